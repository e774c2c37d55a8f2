// libFuzzer target: the sample reader's line splitting and number reading.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <exception>
#include <iostream>

#include "SampleOracle.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // The first byte chooses how many samples to read, so short and long
  // requests are both explored.
  if (size == 0) return 0;
  const int count = data[0] % 8;
  const std::string_view bytes(reinterpret_cast<const char*>(data + 1), size - 1);
  try {
    sample_oracle::check(bytes, count);
  } catch (const std::exception& error) {
    std::cerr << "sample reader fault: " << error.what() << '\n';
    std::abort();
  }
  return 0;
}
