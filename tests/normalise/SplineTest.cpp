#include "normalise/Spline.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <ostream>
#include <string>
#include <vector>

#include "GaitSamples.h"

namespace velmora::normalise {
namespace {

using testdata::kFastSamples;
using testdata::kSlowSamples;

TEST(SplineF, CubicMinusLinearAtExactPoints) {
  struct Case {
    float x;
    float expected;
  };
  const Case cases[] = {
      {0.0f, 0.0f}, {1.0f, 0.0f}, {-1.0f, 0.0f}, {2.0f, 6.0f}, {0.5f, -0.375f}, {-0.5f, 0.375f},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.x);
    EXPECT_EQ(F(c.x), c.expected);
  }
}

TEST(SplineF, RoundsOnceAfterDoubleEvaluation) {
  // x = 1 + 2^-12: x^3 - x = 2^-11 + 3*2^-24 + 2^-36 exactly (fits a double);
  // rounding once to float drops 2^-36. Evaluating in float instead rounds
  // x*x (a tie) down to 1 + 2^-11 and ends at 2^-11 + 2*2^-24.
  const float x = 1.0f + std::ldexp(1.0f, -12);
  const float once = std::ldexp(1.0f, -11) + 3 * std::ldexp(1.0f, -24);
  const float inFloat = std::ldexp(1.0f, -11) + 2 * std::ldexp(1.0f, -24);
  EXPECT_EQ(F(x), once);
  EXPECT_NE(F(x), inFloat);
}

// One curve's spline data, built the way the window builds it.
struct CurveCase {
  const char* name;
  CurveShape shape;
  const float* samples;
  int wholeKnotStep;  // every this many knots the knot is a whole number
};

void PrintTo(const CurveCase& c, std::ostream* os) { *os << c.name; }

const CurveCase kCurves[] = {
    {"fast", kFastShape, kFastSamples, 13},
    {"slow", kSlowShape, kSlowSamples, 3},
};

class SplineCurveTest : public ::testing::TestWithParam<CurveCase> {
 protected:
  void SetUp() override {
    const CurveCase& c = GetParam();
    n = c.shape.sampleCount;
    span = c.shape.span;
    y = c.samples;
    placeKnots(c.shape, knots);
    solveSecondDerivatives(c.shape, knots, y, widths, secondDerivs);
    table.assign(static_cast<size_t>(span) + 1, std::numeric_limits<float>::quiet_NaN());
    fillTable(c.shape, knots, y, widths, secondDerivs, table.data());
  }

  float piece(int i, float v) const {
    return evaluatePiece(i, v, knots, y, widths, secondDerivs);
  }

  int n = 0;
  int span = 0;
  const float* y = nullptr;
  float knots[kMaxSamples + 1] = {};
  float widths[kMaxSamples + 1] = {};
  float secondDerivs[kMaxSamples + 1] = {};
  std::vector<float> table;
};

TEST_P(SplineCurveTest, KnotsAreNearestFloatsOfEvenSpacing) {
  const int step = GetParam().wholeKnotStep;
  for (int i = 1; i <= n; ++i) {
    SCOPED_TRACE(i);
    // Both operands are exact floats, so one float division is the nearest
    // float to the rational (i - 1) L / (n - 1).
    const float nearest = static_cast<float>((i - 1) * span) / static_cast<float>(n - 1);
    EXPECT_EQ(knots[i], nearest);
    const bool whole = std::floor(knots[i]) == knots[i];
    EXPECT_EQ(whole, (i - 1) % step == 0);
  }
  EXPECT_EQ(knots[1], 0.0f);
  EXPECT_EQ(knots[n], static_cast<float>(span));
}

TEST_P(SplineCurveTest, WidthsAreExactKnotDifferences) {
  for (int i = 1; i <= n - 1; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(static_cast<double>(widths[i]),
              static_cast<double>(knots[i + 1]) - static_cast<double>(knots[i]));
    EXPECT_NEAR(widths[i], static_cast<double>(span) / (n - 1), 1e-3);
  }
}

TEST_P(SplineCurveTest, NaturalEndsHaveZeroSecondDerivative) {
  EXPECT_EQ(secondDerivs[1], 0.0f);
  EXPECT_EQ(secondDerivs[n], 0.0f);
}

TEST_P(SplineCurveTest, EveryTablePositionIsWrittenByItsOwnPiece) {
  // Owner of j found by scanning the knots: the last piece whose left knot
  // truncates to j or below; the end position L goes to the last piece.
  for (int j = 0; j <= span; ++j) {
    ASSERT_FALSE(std::isnan(table[j])) << "position " << j << " not written";
    int owner = 1;
    for (int i = 1; i <= n - 1; ++i) {
      if (std::floor(knots[i]) <= j) owner = i;
    }
    ASSERT_EQ(table[j], piece(owner, static_cast<float>(j))) << "position " << j;
  }
}

TEST_P(SplineCurveTest, PiecesPassThroughTheirKnots) {
  for (int i = 1; i <= n - 1; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(piece(i, knots[i]), y[i]);
    EXPECT_EQ(piece(i, knots[i + 1]), y[i + 1]);
  }
}

TEST_P(SplineCurveTest, AdjacentPiecesJoinSmoothlyAtInnerKnots) {
  for (int i = 2; i <= n - 1; ++i) {
    SCOPED_TRACE(i);
    const double hl = widths[i - 1];
    const double hr = widths[i];
    const double ml = secondDerivs[i - 1];
    const double m = secondDerivs[i];
    const double mr = secondDerivs[i + 1];
    // Slopes of the cubic pieces either side of knot i, from their formula.
    const double slopeLeft = (static_cast<double>(y[i]) - y[i - 1]) / hl + hl * (ml + 2 * m) / 6;
    const double slopeRight = (static_cast<double>(y[i + 1]) - y[i]) / hr - hr * (2 * m + mr) / 6;
    EXPECT_NEAR(slopeLeft, slopeRight, 1e-7);

    // Both pieces give nearly the same value a fraction of a position off
    // the knot, on either side.
    for (double offset : {-0.9, 0.9}) {
      const float v = static_cast<float>(knots[i] + offset);
      EXPECT_NEAR(piece(i - 1, v), piece(i, v), 2e-6) << "offset " << offset;
    }
  }
}

TEST_P(SplineCurveTest, LeftOfKnotPositionsFollowTheRightPiece) {
  // At Trunc(x[i]) of a fractional knot the two neighbouring pieces differ
  // by under a float ulp; where they round apart, the table must hold the
  // right piece's value. Such positions must exist, or the owner is untested.
  int decided = 0;
  for (int i = 2; i <= n - 1; ++i) {
    if (std::floor(knots[i]) == knots[i]) continue;
    const int j = static_cast<int>(knots[i]);
    const float right = piece(i, static_cast<float>(j));
    const float left = piece(i - 1, static_cast<float>(j));
    SCOPED_TRACE(j);
    EXPECT_EQ(table[j], right);
    EXPECT_NEAR(left, right, 1e-6);
    if (left != right) ++decided;
  }
  EXPECT_GT(decided, 0);
}

// Natural cubic spline in double precision: tridiagonal solve by the Thomas
// algorithm, evaluated in the textbook form on the piece containing v.
class DoubleSpline {
 public:
  DoubleSpline(int n, const float* knots, const float* samples)
      : n_(n), x_(n + 1), y_(n + 1), h_(n + 1), m_(n + 1, 0.0) {
    for (int i = 1; i <= n; ++i) {
      x_[i] = knots[i];
      y_[i] = samples[i];
    }
    for (int i = 1; i < n; ++i) h_[i] = x_[i + 1] - x_[i];
    std::vector<double> c(n + 1, 0.0), r(n + 1, 0.0);
    for (int i = 2; i < n; ++i) {
      const double sub = h_[i - 1];
      const double diag = 2 * (h_[i - 1] + h_[i]);
      const double rhs = 6 * ((y_[i + 1] - y_[i]) / h_[i] - (y_[i] - y_[i - 1]) / h_[i - 1]);
      const double denom = diag - sub * c[i - 1];
      c[i] = h_[i] / denom;
      r[i] = (rhs - sub * r[i - 1]) / denom;
    }
    for (int i = n - 1; i >= 2; --i) m_[i] = r[i] - c[i] * m_[i + 1];
  }

  double operator()(double v) const {
    int i = 1;
    while (i < n_ - 1 && v >= x_[i + 1]) ++i;
    const double h = h_[i];
    const double l = x_[i + 1] - v;
    const double r = v - x_[i];
    return m_[i] * l * l * l / (6 * h) + m_[i + 1] * r * r * r / (6 * h) +
           (y_[i] / h - m_[i] * h / 6) * l + (y_[i + 1] / h - m_[i + 1] * h / 6) * r;
  }

  double secondDeriv(int i) const { return m_[i]; }

 private:
  int n_;
  std::vector<double> x_, y_, h_, m_;
};

TEST_P(SplineCurveTest, AgreesWithDoublePrecisionSpline) {
  const DoubleSpline reference(n, knots, y);
  for (int i = 1; i <= n; ++i) {
    EXPECT_NEAR(secondDerivs[i], reference.secondDeriv(i), 1e-8) << "knot " << i;
  }
  double worst = 0.0;
  int worstAt = -1;
  for (int j = 0; j <= span; ++j) {
    const double diff = std::fabs(table[j] - reference(j));
    if (diff > worst) {
      worst = diff;
      worstAt = j;
    }
  }
  EXPECT_LE(worst, 6e-7) << "at position " << worstAt;
}

INSTANTIATE_TEST_SUITE_P(Curves, SplineCurveTest, ::testing::ValuesIn(kCurves),
                         [](const auto& info) { return std::string(info.param.name); });

class FastSplineTest : public SplineCurveTest {};

TEST_P(FastSplineTest, PositionLeftOfFractionalKnotBelongsToTheRightPiece) {
  // Knot 2 is 5300/52 rounded, a little below 102: position 101 lies left
  // of it but is still piece 2, at a small negative t.
  ASSERT_GT(knots[2], 101.0f);
  ASSERT_LT(knots[2], 102.0f);
  const double t = (101.0 - knots[2]) / widths[2];
  EXPECT_LT(t, 0.0);
  EXPECT_GT(t, -0.01);

  EXPECT_EQ(table[100], piece(1, 100.0f));
  EXPECT_EQ(table[101], piece(2, 101.0f));
  EXPECT_EQ(table[102], piece(2, 102.0f));
  // Piece 1 would differ here only by its third-derivative term, a few 1e-8
  // degrees: both round to the same float at 101, but not at every such
  // position (see LeftOfKnotPositionsFollowTheRightPiece).
  EXPECT_NEAR(piece(1, 101.0f), table[101], 1e-7);
}

TEST_P(FastSplineTest, TableHoldsSamplesAtWholeKnots) {
  // Knots 1, 14, 27, 40 and 53 are whole positions: t = 0 gives the sample.
  EXPECT_EQ(table[0], kFastSamples[1]);
  EXPECT_EQ(table[1325], kFastSamples[14]);
  EXPECT_EQ(table[2650], kFastSamples[27]);
  EXPECT_EQ(table[3975], kFastSamples[40]);
  EXPECT_EQ(table[5300], kFastSamples[53]);
}

INSTANTIATE_TEST_SUITE_P(Fast, FastSplineTest, ::testing::Values(kCurves[0]),
                         [](const auto& info) { return std::string(info.param.name); });

class SlowSplineTest : public SplineCurveTest {};

TEST_P(SlowSplineTest, KnotRoundedOntoWholePositionGivesItsSample) {
  // (33/60) * 6100 is 3355.0000000000005 in double; the float knot is 3355.
  EXPECT_GT((33.0 / 60) * 6100, 3355.0);
  EXPECT_EQ(knots[34], 3355.0f);
  EXPECT_EQ(table[3355], kSlowSamples[34]);
  for (int k = 0; k <= 20; ++k) {
    SCOPED_TRACE(k);
    EXPECT_EQ(table[305 * k], kSlowSamples[1 + 3 * k]);
  }
}

INSTANTIATE_TEST_SUITE_P(Slow, SlowSplineTest, ::testing::Values(kCurves[1]),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace velmora::normalise
