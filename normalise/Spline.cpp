#include "normalise/Spline.h"

#include <cstddef>
#include <vector>

namespace velmora::normalise {

// Every formula below widens its single-precision operands, evaluates in
// double in the order written, and rounds to float only where the value is
// stored. Regrouping any expression changes the last bits of the tables.

float F(float x) {
  const double u = x;
  return static_cast<float>(((u * u) * u) - u);
}

void placeKnots(const CurveShape& shape, float* knots) {
  const int n = shape.sampleCount;
  for (int i = 1; i <= n; ++i) {
    // Division first: (i - 1) * L / (n - 1) would give other roundings.
    // Rounding to float then snaps e.g. 3355.0000000000005 to the whole 3355.
    const double fraction = static_cast<double>(i - 1) / (n - 1);
    knots[i] = static_cast<float>(fraction * shape.span);
  }
}

void solveSecondDerivatives(const CurveShape& shape, const float* knots, const float* samples,
                            float* widths, float* secondDerivs) {
  const int n = shape.sampleCount;
  const float* x = knots;
  const float* y = samples;
  float* h = widths;
  float* m = secondDerivs;

  // Diagonal and right-hand side, kept in single precision between steps.
  std::vector<float> d(static_cast<std::size_t>(n) + 1, 0.0f);
  std::vector<float> w(static_cast<std::size_t>(n) + 1, 0.0f);

  for (int i = 2; i <= n - 1; ++i) {
    d[i] = static_cast<float>((static_cast<double>(x[i + 1]) - x[i - 1]) * 2.0);
  }
  for (int i = 1; i <= n - 1; ++i) {
    h[i] = static_cast<float>(static_cast<double>(x[i + 1]) - x[i]);
  }
  for (int i = 2; i <= n - 1; ++i) {
    const double right = (static_cast<double>(y[i + 1]) - y[i]) / h[i];
    const double left = (static_cast<double>(y[i]) - y[i - 1]) / h[i - 1];
    w[i] = static_cast<float>((right - left) * 6.0);
  }
  // Each step reads the w[i] and d[i] already rounded by the step before.
  for (int i = 2; i <= n - 2; ++i) {
    w[i + 1] = static_cast<float>(static_cast<double>(w[i + 1]) -
                                  (static_cast<double>(w[i]) * h[i]) / d[i]);
    d[i + 1] = static_cast<float>(static_cast<double>(d[i + 1]) -
                                  (static_cast<double>(h[i]) * h[i]) / d[i]);
  }
  m[1] = 0.0f;
  m[n] = 0.0f;
  for (int i = n - 1; i >= 2; --i) {
    m[i] = static_cast<float>((static_cast<double>(w[i]) - static_cast<double>(h[i]) * m[i + 1]) /
                              d[i]);
  }
}

float evaluatePiece(int i, float v, const float* knots, const float* samples, const float* widths,
                    const float* secondDerivs) {
  const double h = widths[i];
  const float t = static_cast<float>((static_cast<double>(v) - knots[i]) / h);
  const float a = F(t);
  // F gets 1 - t rounded to float; the linear part below keeps it in double.
  const float b = F(static_cast<float>(1.0 - t));
  const double s = static_cast<double>(t) * samples[i + 1] + (1.0 - t) * samples[i];
  // Squared width times the bracket, then the division by 6: this grouping
  // decides the last bit of the result.
  const double c = ((h * h) * (static_cast<double>(a) * secondDerivs[i + 1] +
                               static_cast<double>(b) * secondDerivs[i])) /
                   6.0;
  return static_cast<float>(s + c);
}

void fillTable(const CurveShape& shape, const float* knots, const float* samples,
               const float* widths, const float* secondDerivs, float* table) {
  const int n = shape.sampleCount;
  // Piece i owns Trunc(x[i]) .. Trunc(x[i+1]) - 1: truncating both knots
  // tiles 0..L-1 with no gap and no overlap. Where x[i] is fractional,
  // Trunc(x[i]) lies just left of the knot and is taken by piece i at a small
  // negative t (above -0.01), the cubic extended by under one position.
  // Piece i-1 differs there only in its third-derivative term, a few 1e-8,
  // yet at some positions that changes the rounded float.
  for (int i = 1; i <= n - 1; ++i) {
    const int first = static_cast<int>(knots[i]);
    const int end = static_cast<int>(knots[i + 1]);
    for (int j = first; j < end; ++j) {
      table[j] = evaluatePiece(i, static_cast<float>(j), knots, samples, widths, secondDerivs);
    }
  }
  // The last knot is L exactly; t = 1 on the last piece gives y[n].
  const int last = static_cast<int>(knots[n]);
  table[last] = evaluatePiece(n - 1, static_cast<float>(shape.span), knots, samples, widths,
                              secondDerivs);
}

}  // namespace velmora::normalise
