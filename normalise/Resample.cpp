#include "normalise/Resample.h"

namespace velmora::normalise {

// Operands are single precision, arithmetic is double in the order written,
// and only the commented steps round to float: which sample an output equals
// and which table position it reads depend on exactly these roundings.

int countFromSlider(float sliderValue) {
  return static_cast<int>(static_cast<double>(sliderValue) - 1.0);
}

void linearResample(const CurveAxis& axis, int count, const SampleReader& sampleAt, float* out,
                    const PointSink& emit) {
  for (int i = 0; i <= count; ++i) {
    // Fractional sample position, division first, stored as float.
    const float b = static_cast<float>((static_cast<double>(i) / count) * axis.intervals);
    const int k = static_cast<int>(b);
    const int lowerIndex = static_cast<int>(
        static_cast<float>(static_cast<double>(k) + axis.indexOffset));
    const float lower = static_cast<float>(sampleAt(lowerIndex));
    // The last output sits on the last sample: nothing beyond it is read.
    const float upper = i == count ? 0.0f : static_cast<float>(sampleAt(lowerIndex + 1));
    const double f = static_cast<double>(b) - k;
    out[i] = static_cast<float>(static_cast<double>(lower) * (1.0 - f) +
                                static_cast<double>(upper) * f);
    // Here the division is 52 / count (60 / count), unlike the spline's i / count.
    const float x = static_cast<float>((static_cast<double>(axis.intervals) / count) * i);
    if (emit) emit(static_cast<double>(x) + axis.xOffset, out[i]);
  }
}

void splineResample(const CurveAxis& axis, int count, const float* table, float* out,
                    const PointSink& emit) {
  for (int i = 0; i <= count; ++i) {
    const double fraction = static_cast<double>(i) / count;
    const float x = static_cast<float>(fraction * axis.intervals);
    // No rounding to float before the truncation: the rounded quotient makes
    // some whole positions come out just below and read the position before.
    const int p = static_cast<int>(fraction * axis.span);
    out[i] = table[p];
    if (emit) emit(static_cast<double>(x) + axis.xOffset, out[i]);
  }
}

void splineCurve(const CurveAxis& axis, const float* table, const PointSink& emit) {
  const int points = axis.span / 10;
  for (int i = 0; i <= points; ++i) {
    const double x =
        ((static_cast<double>(i) / axis.sampleCount) * axis.intervals) / 10.0 + axis.xOffset;
    if (emit) emit(x, table[10 * i]);
  }
}

}  // namespace velmora::normalise
