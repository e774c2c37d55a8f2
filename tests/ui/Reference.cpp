#include "Reference.h"

#include <cstdlib>

namespace reference {
namespace {

std::vector<float> parse(std::initializer_list<const char*> texts) {
  std::vector<float> values;
  for (const char* text : texts) values.push_back(static_cast<float>(std::strtod(text, nullptr)));
  return values;
}

}  // namespace

const std::vector<float>& fastSamples() {
  static const std::vector<float> values = parse(
      {"0.48021",  "-1.21371", "-2.15335", "-1.9915",   "-1.08594", "0.20038",  "1.65371",
       "3.08145",  "4.3652",   "5.4661",   "6.33667",   "6.94146",  "7.30064",  "7.49473",
       "7.60128",  "7.6727",   "7.76887",  "7.95192",   "8.23826",  "8.59185",  "8.96072",
       "9.31603",  "9.66974",  "10.05298", "10.4612",   "10.80677", "10.9075",  "10.473",
       "9.08091",  "6.24036",  "1.78905",  "-3.42863",  "-7.84702", "-10.45369", "-10.9528",
       "-9.56891", "-7.01848", "-3.97065", "-0.90543",  "1.81558",  "4.04272",  "5.78128",
       "6.99156",  "7.53065",  "7.28754",  "6.38136",   "5.21062",  "4.18017",  "3.44199",
       "3.00138",  "2.77428",  "2.47182",  "1.69689"});
  return values;
}

const std::vector<float>& slowSamples() {
  static const std::vector<float> values = parse(
      {"0.8777",   "-0.15697", "-1.07246", "-1.31376", "-0.93175", "-0.22701", "0.58554",
       "1.41167",  "2.2714",   "3.20854",  "4.19641",  "5.13948",  "5.9627",   "6.66095",
       "7.24547",  "7.71038",  "8.06478",  "8.34434",  "8.58458",  "8.81301",  "9.04806",
       "9.29331",  "9.53992",  "9.77341",  "9.98548",  "10.18202", "10.38304", "10.61231",
       "10.87639", "11.14543", "11.35128", "11.40073", "11.19474", "10.61652", "9.49095",
       "7.54685",  "4.47129",  "0.29093",  "-4.20568", "-7.81171", "-9.75319", "-9.82435",
       "-8.28487", "-5.89309", "-3.30983", "-0.75094", "1.70583",  "3.90187",  "5.65823",
       "6.87068",  "7.48253",  "7.41054",  "6.60693",  "5.24533",  "3.75992",  "2.62222",
       "2.05329",  "1.9975",   "2.26549",  "2.54321",  "2.40774"});
  return values;
}

std::vector<float> splineTable(const std::vector<float>& samples, int span) {
  const int n = static_cast<int>(samples.size());
  // 1-based working arrays, as the rules number them.
  std::vector<float> x(n + 1), y(n + 1), h(n + 1), d(n + 1), w(n + 1), m(n + 1);
  for (int i = 1; i <= n; ++i) {
    y[i] = samples[i - 1];
    x[i] = static_cast<float>((double(i - 1) / double(n - 1)) * double(span));
  }
  for (int i = 2; i <= n - 1; ++i) d[i] = static_cast<float>((double(x[i + 1]) - x[i - 1]) * 2.0);
  for (int i = 1; i <= n - 1; ++i) h[i] = static_cast<float>(double(x[i + 1]) - x[i]);
  for (int i = 2; i <= n - 1; ++i)
    w[i] = static_cast<float>(((double(y[i + 1]) - y[i]) / h[i] - (double(y[i]) - y[i - 1]) / h[i - 1]) * 6.0);
  for (int i = 2; i <= n - 2; ++i) {
    w[i + 1] = static_cast<float>(double(w[i + 1]) - (double(w[i]) * h[i]) / d[i]);
    d[i + 1] = static_cast<float>(double(d[i + 1]) - (double(h[i]) * h[i]) / d[i]);
  }
  m[1] = 0.0f;
  m[n] = 0.0f;
  for (int i = n - 1; i >= 2; --i) m[i] = static_cast<float>((double(w[i]) - double(h[i]) * m[i + 1]) / d[i]);

  auto cube = [](float v) { return static_cast<float>((double(v) * v) * v - v); };
  auto piece = [&](int i, float v) {
    const float t = static_cast<float>((double(v) - x[i]) / h[i]);
    const float a = cube(t);
    const float b = cube(static_cast<float>(1.0 - t));
    const double s = double(t) * y[i + 1] + (1.0 - t) * y[i];
    const double c = ((double(h[i]) * h[i]) * (double(a) * m[i + 1] + double(b) * m[i])) / 6.0;
    return static_cast<float>(s + c);
  };

  std::vector<float> table(span + 1);
  for (int i = 1; i <= n - 1; ++i)
    for (int j = static_cast<int>(x[i]); j <= static_cast<int>(x[i + 1]) - 1; ++j)
      table[j] = piece(i, static_cast<float>(j));
  table[span] = piece(n - 1, static_cast<float>(span));
  return table;
}

std::vector<Point> linear(const std::vector<float>& samples, int pointCount, double xOffset) {
  const int count = pointCount - 1;
  const int intervals = static_cast<int>(samples.size()) - 1;
  std::vector<Point> out;
  for (int i = 0; i <= count; ++i) {
    const float b = static_cast<float>((double(i) / count) * intervals);
    const int k = static_cast<int>(b);
    const float lower = samples[k];
    const float upper = i == count ? 0.0f : samples[k + 1];
    const double f = double(b) - k;
    const float value = static_cast<float>(lower * (1.0 - f) + upper * f);
    const double x = double(static_cast<float>((double(intervals) / count) * i)) + xOffset;
    out.push_back({x, value});
  }
  return out;
}

std::vector<Point> spline(const std::vector<float>& table, int intervals, int pointCount,
                          double xOffset) {
  const int count = pointCount - 1;
  const int span = static_cast<int>(table.size()) - 1;
  std::vector<Point> out;
  for (int i = 0; i <= count; ++i) {
    const double x = double(static_cast<float>((double(i) / count) * intervals)) + xOffset;
    const int position = static_cast<int>((double(i) / count) * span);
    out.push_back({x, table[position]});
  }
  return out;
}

std::vector<Point> splineCurve(const std::vector<float>& table, int sampleCount, int intervals,
                               double xOffset) {
  std::vector<Point> out;
  const int points = (static_cast<int>(table.size()) - 1) / 10 + 1;
  for (int i = 0; i < points; ++i)
    out.push_back({((double(i) / sampleCount) * intervals) / 10.0 + xOffset, table[10 * i]});
  return out;
}

}  // namespace reference
