// Replays every input the fuzzer found interesting through the same oracle.
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include <gtest/gtest.h>

#include "SampleOracle.h"

TEST(SampleCorpus, EveryKeptInputGivesValuesOrAClearError) {
  std::size_t replayed = 0;
  for (const auto& entry : std::filesystem::directory_iterator(VELMORA_CORPUS_DIR)) {
    std::ifstream file(entry.path(), std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    if (bytes.empty()) continue;
    SCOPED_TRACE(entry.path().filename().string());
    const int count = static_cast<unsigned char>(bytes[0]) % 8;
    EXPECT_NO_THROW(sample_oracle::check(std::string_view(bytes).substr(1), count));
    ++replayed;
  }
  EXPECT_GT(replayed, 0u) << "the corpus is missing";
}

TEST(SampleOracle, CatchesAReaderThatWouldAcceptGarbage) {
  // The oracle itself must tell a refused valid text from an earned error.
  EXPECT_NO_THROW(sample_oracle::check("1.5\r\nx\r\n2", 2));
  EXPECT_NO_THROW(sample_oracle::check("1,5", 1));
  EXPECT_NO_THROW(sample_oracle::check("", 1));
  EXPECT_TRUE(sample_oracle::plainDecimal("-0.5"));
  EXPECT_FALSE(sample_oracle::plainDecimal("1e5"));
}
