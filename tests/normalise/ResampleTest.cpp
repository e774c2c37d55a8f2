#include "normalise/Resample.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <set>
#include <tuple>
#include <vector>

#include "GaitSamples.h"
#include "normalise/Spline.h"

namespace velmora::normalise {
namespace {

using testdata::kFastSamples;
using testdata::kSlowSamples;

constexpr float kUnset = -12345.0f;

struct Point {
  double x;
  float value;
};

// The raw series as the loader lays it out: fast index k holds sample k + 1;
// slow indices 0..4 are null points, index k >= 5 holds sample k - 4.
class RawSeries {
 public:
  RawSeries(const float* samples, int sampleCount, int nullPoints) {
    for (int k = 0; k < nullPoints; ++k) y_.push_back(std::numeric_limits<double>::quiet_NaN());
    for (int i = 1; i <= sampleCount; ++i) y_.push_back(samples[i]);
  }

  SampleReader reader() {
    return [this](int index) {
      reads.push_back(index);
      return y_.at(static_cast<size_t>(index));
    };
  }

  std::vector<int> reads;

 private:
  std::vector<double> y_;
};

RawSeries fastSeries() { return RawSeries(kFastSamples, 53, 0); }
RawSeries slowSeries() { return RawSeries(kSlowSamples, 61, 5); }

struct Output {
  std::vector<float> stored = std::vector<float>(100, kUnset);
  std::vector<Point> points;

  PointSink sink() {
    return [this](double x, float value) { points.push_back({x, value}); };
  }
};

Output linear(const CurveAxis& axis, int count) {
  RawSeries series = axis.indexOffset == 0 ? fastSeries() : slowSeries();
  Output out;
  linearResample(axis, count, series.reader(), out.stored.data(), out.sink());
  return out;
}

TEST(CountFromSlider, TruncatesValueMinusOne) {
  struct Case {
    float slider;
    int count;
  };
  const Case cases[] = {{57.9f, 56}, {3.0f, 2}, {100.0f, 99}, {3.999f, 2}, {20.0f, 19}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.slider);
    EXPECT_EQ(countFromSlider(c.slider), c.count);
  }
}

// Point counts whose output positions all fall on samples.
struct ExactCase {
  const char* curve;
  CurveAxis axis;
  const float* samples;
  int pointCount;
};

const ExactCase kOnSamples[] = {
    {"fast", kFastAxis, kFastSamples, 3},  {"fast", kFastAxis, kFastSamples, 5},
    {"fast", kFastAxis, kFastSamples, 53}, {"slow", kSlowAxis, kSlowSamples, 3},
    {"slow", kSlowAxis, kSlowSamples, 4},  {"slow", kSlowAxis, kSlowSamples, 61},
};

TEST(LinearResample, OutputsOnWholeSamplePositionsAreTheSamples) {
  for (const ExactCase& c : kOnSamples) {
    SCOPED_TRACE(std::string(c.curve) + " N=" + std::to_string(c.pointCount));
    const int count = c.pointCount - 1;
    const int step = c.axis.intervals / count;
    const Output out = linear(c.axis, count);
    ASSERT_EQ(out.points.size(), static_cast<size_t>(c.pointCount));
    for (int i = 0; i <= count; ++i) {
      SCOPED_TRACE(i);
      EXPECT_EQ(out.stored[i], c.samples[1 + i * step]);
      EXPECT_EQ(out.points[i].value, out.stored[i]);
      EXPECT_EQ(out.points[i].x, i * step + c.axis.xOffset);
    }
    EXPECT_EQ(out.stored[c.pointCount], kUnset);
  }
}

TEST(LinearResample, FourFastPointsInterpolateBetweenNeighbours) {
  const Output out = linear(kFastAxis, 3);
  ASSERT_EQ(out.points.size(), 4u);

  // Point 2 at b = 52/3 as a float (17.33...): index 17 (sample 18) weighted
  // by 1 - f and index 18 (sample 19) by f.
  const float b1 = 52.0f / 3.0f;
  const double f1 = static_cast<double>(b1) - 17.0;
  const double s18 = kFastSamples[18];
  const double s19 = kFastSamples[19];
  EXPECT_EQ(out.stored[1], static_cast<float>(s18 * (1.0 - f1) + s19 * f1));
  EXPECT_GT(out.stored[1], kFastSamples[18]);
  EXPECT_LT(out.stored[1], kFastSamples[19]);
  EXPECT_EQ(out.points[1].x, static_cast<double>(52.0f / 3.0f));

  // Point 3 at b = 104/3 (34.67): samples 35 and 36.
  const float b2 = 104.0f / 3.0f;
  const double f2 = static_cast<double>(b2) - 34.0;
  const double s35 = kFastSamples[35];
  const double s36 = kFastSamples[36];
  EXPECT_EQ(out.stored[2], static_cast<float>(s35 * (1.0 - f2) + s36 * f2));
  EXPECT_EQ(out.points[2].x, static_cast<double>(104.0f / 3.0f));

  EXPECT_EQ(out.stored[0], kFastSamples[1]);
  EXPECT_EQ(out.stored[3], kFastSamples[53]);
}

TEST(LinearResample, HundredFastPointsSecondPointLiesBetweenFirstSamples) {
  const Output out = linear(kFastAxis, 99);
  ASSERT_EQ(out.points.size(), 100u);
  const float b = 52.0f / 99.0f;
  const double f = b;
  const double expected = static_cast<double>(kFastSamples[1]) * (1.0 - f) +
                          static_cast<double>(kFastSamples[2]) * f;
  EXPECT_EQ(out.stored[1], static_cast<float>(expected));
  EXPECT_EQ(out.points[1].x, static_cast<double>(52.0f / 99.0f));
}

TEST(LinearResample, ReadsOnlySamplePointsAndNothingPastTheLast) {
  struct Curve {
    const char* name;
    CurveAxis axis;
  };
  for (const Curve& c : {Curve{"fast", kFastAxis}, Curve{"slow", kSlowAxis}}) {
    for (int count = 2; count <= 99; ++count) {
      SCOPED_TRACE(std::string(c.name) + " count=" + std::to_string(count));
      RawSeries series = c.axis.indexOffset == 0 ? fastSeries() : slowSeries();
      Output out;
      linearResample(c.axis, count, series.reader(), out.stored.data(), out.sink());
      // Two reads per point, one for the last.
      ASSERT_EQ(series.reads.size(), static_cast<size_t>(2 * count + 1));
      for (int index : series.reads) {
        EXPECT_GE(index, c.axis.indexOffset);
        EXPECT_LE(index, c.axis.indexOffset + c.axis.intervals);
      }
      EXPECT_EQ(series.reads.back(), c.axis.indexOffset + c.axis.intervals);
      const float* samples = c.axis.indexOffset == 0 ? kFastSamples : kSlowSamples;
      EXPECT_EQ(out.stored[0], samples[1]);
      EXPECT_EQ(out.stored[count], samples[c.axis.sampleCount]);
      EXPECT_EQ(out.points.front().x, c.axis.xOffset);
      EXPECT_EQ(out.points.back().x, c.axis.intervals + c.axis.xOffset);
    }
  }
}

// Exact model of Trunc(double(i / count) * span) in IEEE double arithmetic,
// worked out in integers: the quotient and the product are each rounded to
// 53 significant bits, nearest with ties to even.
using Int128 = __int128;

int bitLength(Int128 v) {
  int bits = 0;
  while (v > 0) {
    v >>= 1;
    ++bits;
  }
  return bits;
}

// Rounds v to 53 significant bits; returns the rounded integer.
Int128 roundTo53Bits(Int128 v) {
  const int extra = bitLength(v) - 53;
  if (extra <= 0) return v;
  const Int128 unit = Int128(1) << extra;
  Int128 kept = v >> extra;
  const Int128 rest = v - (kept << extra);
  const Int128 half = unit >> 1;
  if (rest > half || (rest == half && (kept & 1) != 0)) ++kept;
  return kept << extra;
}

int modelTablePosition(int i, int count, int span) {
  if (i == 0) return 0;
  // Quotient q = m * 2^-s with 2^52 <= m < 2^53 before rounding.
  int s = 0;
  while ((Int128(i) << s) / count < (Int128(1) << 52)) ++s;
  Int128 m = (Int128(i) << s) / count;
  const Int128 r = (Int128(i) << s) % count;
  if (2 * r > count || (2 * r == count && (m & 1) != 0)) ++m;
  // Product q * span = (m * span) * 2^-s, rounded to 53 bits, truncated.
  const Int128 product = roundTo53Bits(m * span);
  return static_cast<int>(product >> s);
}

Output spline(const CurveAxis& axis, int count, const float* table) {
  Output out;
  splineResample(axis, count, table, out.stored.data(), out.sink());
  return out;
}

// A table whose value is its own position tells which position was read.
std::vector<float> positionTable(int span) {
  std::vector<float> table(static_cast<size_t>(span) + 1);
  for (int j = 0; j <= span; ++j) table[j] = static_cast<float>(j);
  return table;
}

TEST(SplineResample, ReadsTheTablePositionOfDoubleArithmetic) {
  // (span, N, i) whose exact position i * span / count is whole but whose
  // double product falls just below it.
  const std::set<std::tuple<int, int, int>> expectedLow = {
      {5300, 11, 7},  {5300, 21, 7},  {5300, 21, 14}, {5300, 31, 21}, {5300, 41, 14},
      {5300, 41, 28}, {5300, 51, 35}, {5300, 54, 19}, {5300, 54, 37}, {5300, 54, 38},
      {5300, 54, 39}, {5300, 61, 21}, {5300, 61, 42}, {5300, 71, 49}, {5300, 81, 28},
      {5300, 81, 56}, {5300, 91, 63}, {6100, 51, 29}, {6100, 62, 5},  {6100, 62, 10},
      {6100, 62, 17}, {6100, 62, 20}, {6100, 62, 34}, {6100, 62, 40},
  };
  ASSERT_EQ(expectedLow.size(), 24u);

  std::set<std::tuple<int, int, int>> foundLow;
  for (const CurveAxis& axis : {kFastAxis, kSlowAxis}) {
    const std::vector<float> table = positionTable(axis.span);
    for (int n = 3; n <= 100; ++n) {
      const int count = n - 1;
      const Output out = spline(axis, count, table.data());
      for (int i = 0; i <= count; ++i) {
        const int read = static_cast<int>(out.stored[i]);
        const int model = modelTablePosition(i, count, axis.span);
        const int exactFloor = i * axis.span / count;
        ASSERT_EQ(read, model) << "span " << axis.span << " N=" << n << " i=" << i;
        if (model != exactFloor) {
          EXPECT_EQ(model, exactFloor - 1);
          EXPECT_EQ(i * axis.span % count, 0) << "exact position should be whole";
          foundLow.insert({axis.span, n, i});
        }
      }
    }
  }
  EXPECT_EQ(foundLow, expectedLow);
}

TEST(SplineResample, NamedOneLowerPositions) {
  const std::vector<float> fastTable = positionTable(5300);
  EXPECT_EQ(spline(kFastAxis, 10, fastTable.data()).stored[7], 3709.0f);
  const std::vector<float> slowTable = positionTable(6100);
  EXPECT_EQ(spline(kSlowAxis, 61, slowTable.data()).stored[5], 499.0f);
}

TEST(SplineResample, OutputXIsQuotientTimesIntervalsRounded) {
  const std::vector<float> fastTable = positionTable(5300);
  const Output fast = spline(kFastAxis, 3, fastTable.data());
  ASSERT_EQ(fast.points.size(), 4u);
  const float fastX[] = {0.0f, 52.0f / 3.0f, 104.0f / 3.0f, 52.0f};
  const float fastPositions[] = {0.0f, 1766.0f, 3533.0f, 5300.0f};
  for (int i = 0; i < 4; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(fast.points[i].x, static_cast<double>(fastX[i]));
    EXPECT_EQ(fast.stored[i], fastPositions[i]);
    EXPECT_EQ(fast.points[i].value, fast.stored[i]);
  }

  const std::vector<float> slowTable = positionTable(6100);
  const Output slow = spline(kSlowAxis, 3, slowTable.data());
  const double slowX[] = {5.0, 25.0, 45.0, 65.0};
  const float slowPositions[] = {0.0f, 2033.0f, 4066.0f, 6100.0f};
  for (int i = 0; i < 4; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(slow.points[i].x, slowX[i]);
    EXPECT_EQ(slow.stored[i], slowPositions[i]);
  }

  // Slow x: the float (i / count) * 60, then + 5 in double.
  const Output slow7 = spline(kSlowAxis, 7, slowTable.data());
  EXPECT_EQ(slow7.points[1].x, static_cast<double>(60.0f / 7.0f) + 5.0);
}

// Spline data of both curves, built as at start-up.
class SplineTables : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    build(kFastShape, kFastSamples, fastCurve_);
    build(kSlowShape, kSlowSamples, slowCurve_);
  }

  static void build(const CurveShape& shape, const float* samples, std::vector<float>& table) {
    float knots[kMaxSamples + 1] = {};
    float widths[kMaxSamples + 1] = {};
    float secondDerivs[kMaxSamples + 1] = {};
    placeKnots(shape, knots);
    solveSecondDerivatives(shape, knots, samples, widths, secondDerivs);
    table.assign(static_cast<size_t>(shape.span) + 1, 0.0f);
    fillTable(shape, knots, samples, widths, secondDerivs, table.data());
  }

  static std::vector<float> fastCurve_;
  static std::vector<float> slowCurve_;
};

std::vector<float> SplineTables::fastCurve_;
std::vector<float> SplineTables::slowCurve_;

TEST_F(SplineTables, ThreePointsAreFirstMiddleAndLastSample) {
  const Output fast = spline(kFastAxis, 2, fastCurve_.data());
  EXPECT_EQ(fast.stored[0], kFastSamples[1]);
  EXPECT_EQ(fast.stored[1], kFastSamples[27]);
  EXPECT_EQ(fast.stored[2], kFastSamples[53]);
  EXPECT_EQ(fast.points[1].x, 26.0);
  EXPECT_EQ(fast.points[2].x, 52.0);

  const Output slow = spline(kSlowAxis, 2, slowCurve_.data());
  EXPECT_EQ(slow.stored[0], kSlowSamples[1]);
  EXPECT_EQ(slow.stored[1], kSlowSamples[31]);
  EXPECT_EQ(slow.stored[2], kSlowSamples[61]);
  EXPECT_EQ(slow.points[0].x, 5.0);
  EXPECT_EQ(slow.points[1].x, 35.0);
  EXPECT_EQ(slow.points[2].x, 65.0);
}

TEST_F(SplineTables, OnePointPerSampleMeetsSamplesOnlyAtWholeKnots) {
  struct Case {
    const char* name;
    CurveAxis axis;
    const float* samples;
    const std::vector<float>& table;
    int wholeKnotStep;
  };
  const Case cases[] = {
      {"fast", kFastAxis, kFastSamples, fastCurve_, 13},
      {"slow", kSlowAxis, kSlowSamples, slowCurve_, 3},
  };
  for (const Case& c : cases) {
    const int count = c.axis.intervals;
    const Output out = spline(c.axis, count, c.table.data());
    for (int i = 0; i <= count; ++i) {
      SCOPED_TRACE(std::string(c.name) + " i=" + std::to_string(i));
      EXPECT_EQ(out.stored[i], c.table[modelTablePosition(i, count, c.axis.span)]);
      if (i % c.wholeKnotStep == 0) {
        EXPECT_EQ(out.stored[i], c.samples[i + 1]);
      } else {
        EXPECT_NE(out.stored[i], c.samples[i + 1]);
      }
    }
  }
  // Point 2 of the fast curve is the table just left of knot 2.
  const Output fast = spline(kFastAxis, 52, fastCurve_.data());
  EXPECT_EQ(fast.stored[1], fastCurve_[101]);
}

TEST_F(SplineTables, FourSlowPointsMissTheFractionalKnots) {
  const Output slow = spline(kSlowAxis, 3, slowCurve_.data());
  EXPECT_EQ(slow.stored[0], kSlowSamples[1]);
  EXPECT_EQ(slow.stored[1], slowCurve_[2033]);
  EXPECT_NE(slow.stored[1], kSlowSamples[21]);
  EXPECT_EQ(slow.stored[2], slowCurve_[4066]);
  EXPECT_NE(slow.stored[2], kSlowSamples[41]);
  EXPECT_EQ(slow.stored[3], kSlowSamples[61]);
}

TEST_F(SplineTables, LoweringThePointCountLeavesLaterEntries) {
  struct Method {
    const char* name;
    bool isSpline;
  };
  struct Curve {
    CurveAxis axis;
    const float* samples;
    const std::vector<float>& table;
  };
  const Curve curves[] = {{kFastAxis, kFastSamples, fastCurve_},
                          {kSlowAxis, kSlowSamples, slowCurve_}};
  for (const Method& method : {Method{"linear", false}, Method{"spline", true}}) {
    for (const Curve& c : curves) {
      SCOPED_TRACE(std::string(method.name) + " span " + std::to_string(c.axis.span));
      std::vector<float> stored(100, kUnset);
      auto run = [&](int count) {
        if (method.isSpline) {
          splineResample(c.axis, count, c.table.data(), stored.data(), nullptr);
        } else {
          RawSeries series = c.axis.indexOffset == 0 ? fastSeries() : slowSeries();
          linearResample(c.axis, count, series.reader(), stored.data(), nullptr);
        }
      };
      run(99);
      const std::vector<float> after100 = stored;
      for (float v : after100) ASSERT_NE(v, kUnset);
      run(2);
      EXPECT_EQ(stored[0], c.samples[1]);
      EXPECT_EQ(stored[2], c.samples[c.axis.sampleCount]);
      for (int k = 3; k < 100; ++k) EXPECT_EQ(stored[k], after100[k]) << "entry " << k;
    }
  }
}

TEST(SplineCurve, EveryTenthPositionOnTheSampleAxis) {
  struct Case {
    const char* name;
    CurveAxis axis;
    size_t points;
    double firstX, middleX, lastX;
  };
  const Case cases[] = {
      {"fast", kFastAxis, 531, 0.0, 26.0, 52.0},
      {"slow", kSlowAxis, 611, 5.0, 35.0, 65.0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::vector<float> table = positionTable(c.axis.span);
    Output out;
    splineCurve(c.axis, table.data(), out.sink());
    ASSERT_EQ(out.points.size(), c.points);
    const size_t last = c.points - 1;
    EXPECT_EQ(out.points[0].x, c.firstX);
    EXPECT_EQ(out.points[last / 2].x, c.middleX);
    EXPECT_EQ(out.points[last].x, c.lastX);
    for (size_t i = 0; i < c.points; ++i) {
      SCOPED_TRACE(i);
      EXPECT_EQ(out.points[i].value, static_cast<float>(10 * i));
      // Evenly spaced: intervals / 10 sample units per tenth sample.
      EXPECT_NEAR(out.points[i].x,
                  c.axis.xOffset + static_cast<double>(i) * c.axis.intervals / (c.points - 1),
                  1e-12);
    }
  }
}

}  // namespace
}  // namespace velmora::normalise
