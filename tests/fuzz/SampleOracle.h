// What must hold for any bytes given to the sample reader: either the values,
// each equal to an independent reading of its line, or a SampleFormatError
// naming the resource. Used by the fuzzer and by the corpus replay.
#pragma once

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <regex>
#include <stdexcept>
#include <string>
#include <string_view>

#include "data/SampleText.h"

namespace sample_oracle {

// Lines split independently of the reader: at CR LF, CR or LF.
inline std::vector<std::string> lines(std::string_view bytes) {
  std::vector<std::string> result(1);
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    if (bytes[i] == '\r' || bytes[i] == '\n') {
      if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
      result.emplace_back();
    } else {
      result.back() += bytes[i];
    }
  }
  return result;
}

inline bool plainDecimal(const std::string& text) {
  static const std::regex grammar(R"([+-]?([0-9]+(\.[0-9]*)?|\.[0-9]+))");
  return std::regex_match(text, grammar);
}

// Throws std::logic_error when the reader did something it must not.
inline void check(std::string_view bytes, int count) {
  const std::vector<std::string> expectedLines = lines(bytes);
  const auto split = velmora::data::splitLines(bytes);
  if (split.size() != expectedLines.size()) throw std::logic_error("line count differs");
  for (std::size_t i = 0; i < split.size(); ++i)
    if (std::string(split[i]) != expectedLines[i]) throw std::logic_error("line text differs");

  std::vector<float> values;
  try {
    values = velmora::data::readSamples(bytes, count, "Fuzz");
  } catch (const velmora::data::SampleFormatError& error) {
    if (std::strncmp(error.what(), "Fuzz", 4) != 0) throw std::logic_error("error does not name the resource");
    // The error must be earned: some needed line is missing or not a number.
    bool earned = false;
    for (int i = 1; i <= count && !earned; ++i) {
      const std::size_t line = 2 * static_cast<std::size_t>(i - 1);
      earned = line >= expectedLines.size() || !plainDecimal(expectedLines[line]) ||
               std::fabs(std::strtod(expectedLines[line].c_str(), nullptr)) > 3.4028234663852886e38;
    }
    if (!earned) throw std::logic_error("a valid text was refused");
    return;
  }
  if (static_cast<int>(values.size()) != count) throw std::logic_error("wrong number of values");
  for (int i = 1; i <= count; ++i) {
    const std::string& text = expectedLines[2 * static_cast<std::size_t>(i - 1)];
    if (!plainDecimal(text)) throw std::logic_error("accepted a text that is not a number");
    const float expected = static_cast<float>(std::strtod(text.c_str(), nullptr));
    const float actual = values[static_cast<std::size_t>(i - 1)];
    if (std::memcmp(&expected, &actual, sizeof actual) != 0) throw std::logic_error("silent wrong value");
  }
}

}  // namespace sample_oracle
