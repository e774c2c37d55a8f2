// A small chart like the program's: three axes as laid out, two point series,
// two line series with circle markers, and the two empty series that keep
// the horizontal axes on. Plus helpers to render and probe pixels.
#pragma once

#include <cmath>
#include <functional>

#include <QApplication>
#include <QColor>
#include <QImage>
#include <QPainter>

#include "chart/ChartLayout.h"
#include "chart/ChartModel.h"
#include "chart/ChartPainter.h"

namespace velmora::chart::testing {

inline void ensureApplication() {
  if (QApplication::instance()) return;
  static int argc = 1;
  static char name[] = "chart_paint_tests";
  static char* argv[] = {name, nullptr};
  // Lives until the process ends: destroying it from a static destructor
  // would run after Qt's own input devices are gone.
  static QApplication* app = new QApplication(argc, argv);
  (void)app;
}

constexpr Argb kBlue = 0xFF0000FF;
constexpr Argb kGreen = 0xFF008000;
constexpr Argb kBackground = 0xFFF0F0F0;

enum SeriesSlot { kFast = 0, kSlow, kNormFast, kNormSlow, kKeepBottom, kKeepTop };

inline void setUpAxes(ChartModel& model) {
  model.title = "Gait curves at fast and slow speed            ";
  Axis& left = model.LeftAxis();
  left.SetMaximum(15.0);
  left.SetMinimum(-15.0);
  left.increment = 5.0;
  left.labelsSize = 20;
  left.title = "Angle (degrees)";
  left.titleRotated = true;
  left.titleSize = 21;
  left.grid = false;
  left.minorTickCount = 3;
  for (Axis* axis : {&model.BottomAxis(), &model.TopAxis()}) {
    axis->SetMaximum(70.0);
    axis->SetMinimum(0.0);
    axis->increment = 10.0;
    axis->labelsSeparation = 0;
    axis->minorGrid = true;
    axis->minorGridColour = 0xFFD8E4E3;
    axis->minorTickCount = 9;
  }
  model.BottomAxis().title = "Samples";
  model.BottomAxis().titleSize = 20;
}

inline Series& addPointSeries(ChartModel& model, const char* name, const char* title, AxisId axis,
                              Argb colour) {
  Series& s = model.addSeries(name, title, SeriesKind::Point, axis, colour);
  s.marker.visible = true;
  s.marker.shape = MarkerShape::Diamond;
  s.marker.halfWidth = 5;
  s.marker.halfHeight = 9;
  s.marker.outlineVisible = false;
  return s;
}

inline Series& addLineSeries(ChartModel& model, const char* name, const char* title, AxisId axis,
                             Argb colour, Argb fill) {
  Series& s = model.addSeries(name, title, SeriesKind::Line, axis, colour);
  s.line.visible = true;
  s.line.dashed = true;
  s.line.width = 2;
  s.marker.visible = true;
  s.marker.shape = MarkerShape::Circle;
  s.marker.halfWidth = 4;
  s.marker.halfHeight = 4;
  s.marker.fill = fill;
  s.marker.outline = colour;
  return s;
}

// The six series, empty, in the slots of SeriesSlot.
inline void setUpSeries(ChartModel& model) {
  addPointSeries(model, "Series1", "Fast gait", AxisId::Bottom, kBlue);
  addPointSeries(model, "Series2", "Slow gait", AxisId::Top, kGreen);
  addLineSeries(model, "Series3", "Normalised Fast", AxisId::Bottom, kBlue, 0xFFFFFFFF);
  addLineSeries(model, "Series4", "Normalised Slow", AxisId::Top, kGreen, 0xFFFFF50E);
  Series& keepBottom = model.addSeries("Series11", "KeepBottomAxisOn", SeriesKind::Point,
                                       AxisId::Bottom, std::nullopt);
  keepBottom.showInLegend = false;
  Series& keepTop =
      model.addSeries("Series12", "KeepTopAxisOn", SeriesKind::Point, AxisId::Top, std::nullopt);
  keepTop.showInLegend = false;
}

inline void setUpChart(ChartModel& model) {
  setUpAxes(model);
  setUpSeries(model);
}

inline QImage render(const ChartModel& model, QSize size, double dpr = 1.0,
                     const PaintOverlay& overlay = {}) {
  QImage image(static_cast<int>(std::lround(size.width() * dpr)),
               static_cast<int>(std::lround(size.height() * dpr)), QImage::Format_ARGB32);
  image.setDevicePixelRatio(dpr);
  image.fill(QColor(255, 0, 255));
  const ChartLayout layout = computeLayout(model, QSizeF(size));
  QPainter painter(&image);
  ChartPainter chartPainter;
  chartPainter.paint(painter, model, layout, overlay);
  return image;
}

// Whether any pixel of `area` (logical coordinates) satisfies `test`.
inline bool anyPixel(const QImage& image, const QRectF& area,
                     const std::function<bool(QColor)>& test) {
  const double dpr = image.devicePixelRatio();
  const QRect device = QRectF(area.left() * dpr, area.top() * dpr, area.width() * dpr,
                              area.height() * dpr)
                           .toAlignedRect()
                           .intersected(image.rect());
  for (int y = device.top(); y <= device.bottom(); ++y)
    for (int x = device.left(); x <= device.right(); ++x)
      if (test(image.pixelColor(x, y))) return true;
  return false;
}

// Hue tests that hold for a colour and its anti-aliased blends with white.
inline bool bluish(QColor c) { return c.blue() - std::max(c.red(), c.green()) > 60; }
inline bool greenish(QColor c) { return c.green() - std::max(c.red(), c.blue()) > 40; }
inline bool reddish(QColor c) { return c.red() - std::max(c.green(), c.blue()) > 60; }

}  // namespace velmora::chart::testing
