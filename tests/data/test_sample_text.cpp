#include <clocale>
#include <cmath>
#include <cstring>
#include <locale>
#include <string>

#include <gtest/gtest.h>

#include "data/SampleText.h"

using velmora::data::parseDecimal;
using velmora::data::readSamples;
using velmora::data::SampleFormatError;
using velmora::data::splitLines;

TEST(SplitLines, EndsLinesAtLineBreaksAndKeepsAFinalLineWithoutOne) {
  struct Case {
    const char* text;
    std::vector<std::string> lines;
  } cases[] = {
      {"", {""}},
      {"1.0", {"1.0"}},
      {"1.0\r\n2.0", {"1.0", "2.0"}},
      {"1.0\r\n2.0\r\n", {"1.0", "2.0", ""}},
      {"1.0\n2.0\r3.0", {"1.0", "2.0", "3.0"}},
      {"\r\n\r\n", {"", "", ""}},
      {"a\r\r\nb", {"a", "", "b"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    const auto lines = splitLines(c.text);
    ASSERT_EQ(lines.size(), c.lines.size());
    for (std::size_t i = 0; i < lines.size(); ++i) EXPECT_EQ(std::string(lines[i]), c.lines[i]);
  }
}

TEST(ParseDecimal, ReadsTheShippedFormatCorrectlyRounded) {
  struct Case {
    const char* text;
    double value;
  } cases[] = {
      {"0.48021", 0.48021},   {"-1.21371", -1.21371}, {"10.9075", 10.9075},
      {"10.05298", 10.05298}, {"0", 0.0},             {"-0.0", -0.0},
      {"+2.5", 2.5},          {".5", 0.5},            {"5.", 5.0},
      // Nearest double of a 17-digit text that a naive digit loop misrounds.
      {"0.30000000000000004", 0.30000000000000004},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    double value = 1234.0;
    ASSERT_TRUE(parseDecimal(c.text, value));
    EXPECT_EQ(value, c.value);
    EXPECT_EQ(std::signbit(value), std::signbit(c.value));
  }
}

TEST(ParseDecimal, RefusesAnythingThatIsNotAPlainDecimalNumber) {
  const std::string texts[] = {
      "",     " 1.0", "1.0 ", "1,5",  "1.2.3", "-",  "+",  ".",  "--1", "1e5", "0x10",
      "inf",  "nan",  "1-",   "\t1",  "1\r",   "+-1",
      // Larger than single precision can hold.
      "400000000000000000000000000000000000000.0", std::string(400, '9')};
  for (const std::string& text : texts) {
    SCOPED_TRACE(text);
    double value = 1234.0;
    EXPECT_FALSE(parseDecimal(text, value));
    EXPECT_EQ(value, 1234.0) << "a refused text must leave the value alone";
  }
}

TEST(ParseDecimal, IgnoresTheUsersLocale) {
  struct CommaDecimal : std::numpunct<char> {
    char do_decimal_point() const override { return ','; }
  };
  const std::locale previous = std::locale::global(std::locale(std::locale::classic(), new CommaDecimal));
  double value = 0.0;
  const bool ok = parseDecimal("-1.21371", value);
  std::locale::global(previous);
  ASSERT_TRUE(ok);
  EXPECT_EQ(value, -1.21371);
}

TEST(ReadSamples, TakesEveryEvenLineAndRoundsToSinglePrecision) {
  const std::string text = "0.48021\r\n-0.40238\r\n-1.21371\r\n-1.82304\r\n10.9075";
  const auto samples = readSamples(text, 3, "Fixture");
  ASSERT_EQ(samples.size(), 3u);
  // The single-precision numbers nearest to the texts, written out exactly.
  EXPECT_EQ(samples[0], 0.480210006237030029296875f);
  EXPECT_EQ(static_cast<double>(samples[0]), 0.480210006237030029296875);
  EXPECT_EQ(samples[1], -1.21371f);
  EXPECT_EQ(static_cast<double>(samples[2]), 10.90750026702880859375);
}

TEST(ReadSamples, NamesTheResourceAndTheLineOfABadNumber) {
  const std::string text = "1.0\r\nnot read\r\n2.0\r\nx\r\n3,5\r\n4.0";
  try {
    readSamples(text, 3, "Resource_9");
    FAIL() << "a bad number must be an error";
  } catch (const SampleFormatError& error) {
    EXPECT_STREQ(error.what(), "Resource_9, line 5: \"3,5\" is not a valid number");
  }
}

TEST(ReadSamples, ReportsTooFewLines) {
  try {
    readSamples("1.0\r\n2.0", 2, "Short");
    FAIL() << "a missing line must be an error";
  } catch (const SampleFormatError& error) {
    EXPECT_STREQ(error.what(), "Short has 2 lines, too few for 2 samples: line 3 is missing");
  }
}

TEST(ReadSamples, QuotesUnprintableAndLongLinesSafely) {
  const std::string text = std::string("\x01\x7f") + std::string(60, '7') + "x";
  try {
    readSamples(text, 1, "R");
    FAIL();
  } catch (const SampleFormatError& error) {
    const std::string message = error.what();
    EXPECT_EQ(message, "R, line 1: \"??" + std::string(38, '7') + "...\" is not a valid number");
  }
}
