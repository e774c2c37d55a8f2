#include <string>
#include <vector>

#include <QByteArray>
#include <QLocale>

#include <gtest/gtest.h>

#include "data/ResourceLoader.h"
#include "data/SampleText.h"

using velmora::data::loadSamples;
using velmora::data::readResource;

namespace {

// The curves as published, in order: for each sample the line that is read,
// then the line that is not.
const char* const kFastLines[] = {
    "0.48021", "-0.40238", "-1.21371", "-1.82304", "-2.15335", "-2.19542", "-1.9915", "-1.60362",
    "-1.08594", "-0.47578", "0.20038", "0.91862", "1.65371", "2.38105", "3.08145", "3.74426",
    "4.3652", "4.94103", "5.4661", "5.93333", "6.33667", "6.6727", "6.94146", "7.14759",
    "7.30064", "7.41262", "7.49473", "7.5555", "7.60128", "7.63805", "7.6727", "7.71334",
    "7.76887", "7.84698", "7.95192", "8.08358", "8.23826", "8.41002", "8.59185", "8.77711",
    "8.96072", "9.14023", "9.31603", "9.49106", "9.66974", "9.85639", "10.05298", "10.25722",
    "10.4612", "10.65097", "10.80677", "10.90298", "10.9075", "10.78042", "10.473", "9.92788",
    "9.08091", "7.86789", "6.24036", "4.19232", "1.78905", "-0.82069", "-3.42863", "-5.82374",
    "-7.84702", "-9.40609", "-10.45369", "-10.96744", "-10.9528", "-10.45727", "-9.56891",
    "-8.39158", "-7.01848", "-5.52422", "-3.97065", "-2.41393", "-0.90543", "0.51318", "1.81558",
    "2.99171", "4.04272", "4.97265", "5.78128", "6.45988", "6.99156", "7.35507", "7.53065",
    "7.50685", "7.28754", "6.89725", "6.38136", "5.79918", "5.21062", "4.66228", "4.18017",
    "3.77309", "3.44199", "3.18613", "3.00138", "2.87375", "2.77428", "2.65841", "2.47182",
    "2.16183", "1.69689", "1.09133"};

const char* const kSlowLines[] = {
    "0.8777", "0.39715", "-0.15697", "-0.67804", "-1.07246", "-1.28674", "-1.31376", "-1.18144",
    "-0.93175", "-0.6035", "-0.22701", "0.17472", "0.58554", "0.99767", "1.41167", "1.83371",
    "2.2714", "2.72977", "3.20854", "3.7013", "4.19641", "4.67991", "5.13948", "5.56772",
    "5.9627", "6.32627", "6.66095", "6.96766", "7.24547", "7.49308", "7.71038", "7.8995",
    "8.06478", "8.21144", "8.34434", "8.46753", "8.58458", "8.6988", "8.81301", "8.92915",
    "9.04806", "9.16972", "9.29331", "9.41737", "9.53992", "9.65909", "9.77341", "9.88215",
    "9.98548", "10.08468", "10.18202", "10.28039", "10.38304", "10.49302", "10.61231",
    "10.74092", "10.87639", "11.01372", "11.14543", "11.26176", "11.35128", "11.40172",
    "11.40073", "11.33606", "11.19474", "10.9613", "10.61652", "10.13643", "9.49095", "8.64232",
    "7.54685", "6.16358", "4.47129", "2.489", "0.29093", "-1.99438", "-4.20568", "-6.18511",
    "-7.81171", "-9.01294", "-9.75319", "-10.01979", "-9.82435", "-9.21592", "-8.28487",
    "-7.14331", "-5.89309", "-4.60373", "-3.30983", "-2.02361", "-0.75094", "0.4981", "1.70583",
    "2.8487", "3.90187", "4.84362", "5.65823", "6.33599", "6.87068", "7.25596", "7.48253",
    "7.53797", "7.41054", "7.09638", "6.60693", "5.9733", "5.24533", "4.4856", "3.75992",
    "3.1258", "2.62222", "2.26565", "2.05329", "1.97075", "1.9975", "2.10719", "2.26549",
    "2.42834", "2.54321", "2.55351", "2.40774", "2.07673"};

template <std::size_t N>
QByteArray joined(const char* const (&lines)[N]) {
  QByteArray bytes;
  for (std::size_t i = 0; i < N; ++i) {
    if (i > 0) bytes += "\r\n";
    bytes += lines[i];
  }
  return bytes;
}

}  // namespace

TEST(BuiltInResources, HoldExactlyThePublishedBytes) {
  static_assert(std::size(kFastLines) == 106 && std::size(kSlowLines) == 122);
  const QByteArray fast = readResource(QStringLiteral("Resource_1"));
  const QByteArray slow = readResource(QStringLiteral("Resource_2"));
  EXPECT_EQ(fast.size(), 979);
  EXPECT_EQ(slow.size(), 1125);
  EXPECT_EQ(fast, joined(kFastLines));
  EXPECT_EQ(slow, joined(kSlowLines));
  EXPECT_FALSE(fast.endsWith('\n'));
  EXPECT_FALSE(slow.endsWith('\n'));
}

TEST(BuiltInResources, LogoIsA218By166Png) {
  const QByteArray png = readResource(QStringLiteral("PngImage_1"));
  ASSERT_GE(png.size(), 8);
  EXPECT_EQ(png.left(8), QByteArray("\x89PNG\r\n\x1a\n", 8));
  // Width and height stand big-endian in the IHDR chunk.
  auto word = [&](int at) {
    return (static_cast<unsigned char>(png[at]) << 24) | (static_cast<unsigned char>(png[at + 1]) << 16) |
           (static_cast<unsigned char>(png[at + 2]) << 8) | static_cast<unsigned char>(png[at + 3]);
  };
  EXPECT_EQ(word(16), 218);
  EXPECT_EQ(word(20), 166);
}

TEST(BuiltInResources, UnknownNameIsAnError) {
  EXPECT_THROW(readResource(QStringLiteral("Resource_3")), std::runtime_error);
}

TEST(LoadSamples, ReadsEvenLinesOnlyAndTheLastSampleFromTheSecondToLastLine) {
  const auto fast = loadSamples(QStringLiteral("Resource_1"), 53);
  const auto slow = loadSamples(QStringLiteral("Resource_2"), 61);
  ASSERT_EQ(fast.size(), 53u);
  ASSERT_EQ(slow.size(), 61u);
  for (std::size_t i = 0; i < 53; ++i) EXPECT_EQ(fast[i], std::stof(kFastLines[2 * i])) << i;
  for (std::size_t i = 0; i < 61; ++i) EXPECT_EQ(slow[i], std::stof(kSlowLines[2 * i])) << i;
  EXPECT_EQ(fast[1], -1.21371f) << "sample 2 is line 2, not line 1";
  EXPECT_EQ(fast[52], 1.69689f);
  EXPECT_EQ(slow[60], 2.40774f);
  EXPECT_EQ(static_cast<double>(fast[0]), 0.480210006237030029296875);
  EXPECT_EQ(static_cast<double>(fast[26]), 10.90750026702880859375);
}

TEST(LoadSamples, SameValuesUnderACommaLocale) {
  const auto before = loadSamples(QStringLiteral("Resource_1"), 53);
  QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
  std::setlocale(LC_NUMERIC, "de_DE.UTF-8");  // may be missing; then nothing changes
  const auto after = loadSamples(QStringLiteral("Resource_1"), 53);
  std::setlocale(LC_NUMERIC, "C");
  QLocale::setDefault(QLocale::c());
  EXPECT_EQ(before, after);
}

TEST(LoadSamples, BadLineThroughTheSameLoaderNamesResourceAndLine) {
  try {
    loadSamples(QStringLiteral("BadSamples"), 3);
    FAIL() << "a bad line must fail the load";
  } catch (const velmora::data::SampleFormatError& error) {
    EXPECT_STREQ(error.what(), "BadSamples, line 5: \"1,5\" is not a valid number");
  }
}
