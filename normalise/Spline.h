// Natural cubic spline through a curve's samples, tabulated at every whole
// position of the curve's span. Plain C++; single-precision storage,
// double-precision evaluation in the order written.
//
// Arrays are 1-based like the samples: index 0 of knots, samples, widths and
// secondDerivs is unused. The table is 0-based, positions 0..span.
#pragma once

namespace velmora::normalise {

// n samples spread evenly over the positions 0..span.
struct CurveShape {
  int sampleCount;  // n: 53 fast, 61 slow
  int span;         // L: 5300 fast, 6100 slow
};

inline constexpr CurveShape kFastShape{53, 5300};
inline constexpr CurveShape kSlowShape{61, 6100};
inline constexpr int kMaxSamples = 61;

// x*x*x - x, evaluated as ((x*x)*x) - x in double and rounded once.
float F(float x);

// x[i] = ((i - 1) / (n - 1)) * L, rounded to single precision, i = 1..n.
// Knot 1 is 0 and knot n is L exactly.
void placeKnots(const CurveShape& shape, float* knots);

// Widths h[1..n-1] and second derivatives M[1..n] of the natural spline
// (M[1] = M[n] = 0), by forward elimination and back substitution of
//   h[i-1] M[i-1] + 2 (h[i-1] + h[i]) M[i] + h[i] M[i+1]
//     = 6 ((y[i+1] - y[i]) / h[i] - (y[i] - y[i-1]) / h[i-1]),  i = 2..n-1.
// Writes widths[1..n-1] and secondDerivs[1..n]; needs 2 <= n.
void solveSecondDerivatives(const CurveShape& shape, const float* knots, const float* samples,
                            float* widths, float* secondDerivs);

// Piece i (the cubic between knots i and i+1, 1 <= i <= n-1) at position v:
//   t = (v - x[i]) / h[i]
//   S(v) = t y[i+1] + (1 - t) y[i] + h[i]^2 (F(t) M[i+1] + F(1 - t) M[i]) / 6
// with F(u) = u^3 - u. t = 0 gives y[i] and t = 1 gives y[i+1] exactly.
// v may lie a little outside the interval; the table evaluates the position
// just left of a fractional knot with the piece to its right.
float evaluatePiece(int i, float v, const float* knots, const float* samples, const float* widths,
                    const float* secondDerivs);

// table[j] for j = 0..L, each position evaluated once by the piece it belongs
// to: piece i owns Trunc(x[i]) .. Trunc(x[i+1]) - 1, piece n-1 also owns L.
void fillTable(const CurveShape& shape, const float* knots, const float* samples,
               const float* widths, const float* secondDerivs, float* table);

}  // namespace velmora::normalise
