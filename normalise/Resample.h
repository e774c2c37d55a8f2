// Resampling of one curve to N evenly spaced points, linearly between the
// samples or from the dense spline table. Plain C++; every value rounded to
// single precision only where the arithmetic says so.
#pragma once

#include <functional>

namespace velmora::normalise {

// How a curve lies on its chart axis.
struct CurveAxis {
  int intervals;     // 52 fast, 60 slow: the span of the sample numbers
  int span;          // table span, 5300 fast, 6100 slow
  int sampleCount;   // 53 fast, 61 slow
  int indexOffset;   // series index of sample 1: 0 fast, 5 slow (null points ahead)
  double xOffset;    // 0 fast, 5 slow
};

inline constexpr CurveAxis kFastAxis{52, 5300, 53, 0, 0.0};
inline constexpr CurveAxis kSlowAxis{60, 6100, 61, 5, 5.0};

// count = Trunc(V - 1), the subtraction in double: N - 1 for slider value V.
int countFromSlider(float sliderValue);

// Receives each output point: x for the chart and the stored value. May be
// empty when only the stored values are wanted.
using PointSink = std::function<void(double x, float value)>;
// Reads the y value of the raw series at a point index.
using SampleReader = std::function<double(int index)>;

// Linear resampling, output i = 0..count: writes out[i] and emits (x, out[i]).
// Reads the series at indices indexOffset .. indexOffset + intervals only;
// the last output reads just the last sample.
void linearResample(const CurveAxis& axis, int count, const SampleReader& sampleAt, float* out,
                    const PointSink& emit);

// Spline resampling from the table (positions 0..span): out[i] is the table
// value at Trunc((i / count) * span), at or just below the exact position.
void splineResample(const CurveAxis& axis, int count, const float* table, float* out,
                    const PointSink& emit);

// The dense spline curve: every tenth table position, span / 10 + 1 points,
// point i at x = ((i / sampleCount) * intervals) / 10 + xOffset.
void splineCurve(const CurveAxis& axis, const float* table, const PointSink& emit);

}  // namespace velmora::normalise
