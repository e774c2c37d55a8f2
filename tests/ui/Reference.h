// The resampling rules written out a second time, straight from the
// arithmetic, as the oracle the window's results are checked against.
// Samples come from their decimal texts, not from the program's loader.
#pragma once

#include <vector>

namespace reference {

struct Point {
  double x;
  float value;
};

// Samples 1..n at index 0..n-1.
const std::vector<float>& fastSamples();
const std::vector<float>& slowSamples();

// The dense spline table of a curve, positions 0..span.
std::vector<float> splineTable(const std::vector<float>& samples, int span);

// N points by the linear rule (fast: intervals 52, xOffset 0).
std::vector<Point> linear(const std::vector<float>& samples, int pointCount, double xOffset);
// N points read from the table.
std::vector<Point> spline(const std::vector<float>& table, int intervals, int pointCount,
                          double xOffset);
// Every tenth table position as a curve point.
std::vector<Point> splineCurve(const std::vector<float>& table, int sampleCount, int intervals,
                               double xOffset);

}  // namespace reference
