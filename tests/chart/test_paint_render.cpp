// What the painter puts on the pixels: null points, hidden series,
// transparency, marks, crisp grid lines, the zoom rectangle.
#include <cmath>
#include <cstdlib>
#include <string>

#include <gtest/gtest.h>

#include "tests/chart/test_paint_fixture.h"

namespace velmora::chart {
namespace {

using namespace velmora::chart::testing;

const QSize kSize(1000, 600);

class ChartRenderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ensureApplication();
    setUpChart(model);
    layout = computeLayout(model, QSizeF(kSize));
  }
  QPointF at(AxisId horizontal, double x, double y) const {
    return QPointF(layout.map(horizontal).toPixel(x), layout.map(AxisId::Left).toPixel(y));
  }
  void showOnly(std::initializer_list<int> shown) {
    for (int s : {kFast, kSlow, kNormFast, kNormSlow}) model.series(s).setActive(false);
    for (int s : shown) model.series(s).setActive(true);
  }
  static QRectF around(QPointF p, double halfWidth, double halfHeight) {
    return QRectF(p.x() - halfWidth, p.y() - halfHeight, 2 * halfWidth, 2 * halfHeight);
  }
  ChartModel model;
  ChartLayout layout;
};

TEST_F(ChartRenderTest, NullPointsDrawNothingAndBreakTheLine) {
  // As the slow curve in sample mode: five nulls, then real points.
  Series& slow = model.series(kSlow);
  Series& normSlow = model.series(kNormSlow);
  for (int i = 0; i < 5; ++i) {
    slow.addNull();
    normSlow.addNull();
  }
  for (int i = 5; i < 10; ++i) {
    slow.add(i, 10.0);
    normSlow.add(i, -5.0);
  }
  showOnly({kSlow, kNormSlow});
  const QImage image = render(model, kSize);

  // Nothing where the nulls would stand (x 0 to 4, y 0), nor on the way
  // from there to the first real points.
  const QPointF first = at(AxisId::Top, 0, 0);
  const QPointF last = at(AxisId::Top, 4, 0);
  const QRectF nullArea(first.x() - 6, last.y() - 12, last.x() - first.x() + 10, 24);
  EXPECT_FALSE(anyPixel(image, nullArea, greenish));
  const QRectF wayUp(first.x() - 6, at(AxisId::Top, 0, 10).y() - 10, last.x() - first.x() + 10,
                     at(AxisId::Top, 0, -5).y() - at(AxisId::Top, 0, 10).y() + 20);
  EXPECT_FALSE(anyPixel(image, wayUp, greenish));
  // The real points are there.
  EXPECT_TRUE(anyPixel(image, around(at(AxisId::Top, 5, 10), 2, 2), greenish));
  EXPECT_TRUE(anyPixel(image, around(at(AxisId::Top, 7, -5), 5, 5), greenish));
}

TEST_F(ChartRenderTest, AHiddenSeriesDrawsNothing) {
  struct Case {
    const char* name;
    SeriesKind kind;
    bool markers;
  };
  const Case cases[] = {{"point", SeriesKind::Point, true},
                        {"line with markers", SeriesKind::Line, true},
                        {"fast line", SeriesKind::FastLine, false},
                        {"curve", SeriesKind::Curve, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ChartModel m;
    setUpAxes(m);
    Series& s = m.addSeries("S", "S", c.kind, AxisId::Bottom, kBlue);
    s.line.visible = c.kind != SeriesKind::Point;
    s.line.width = 2;
    s.marker.visible = c.markers;
    s.marker.shape = MarkerShape::Circle;
    for (int i = 0; i <= 70; i += 5) s.add(i, 10.0 * std::sin(i / 10.0));
    const QRectF plot = computeLayout(m, QSizeF(kSize)).plotArea();
    EXPECT_TRUE(anyPixel(render(m, kSize), plot, bluish));
    s.setActive(false);
    EXPECT_FALSE(anyPixel(render(m, kSize), plot, bluish));
  }
}

TEST_F(ChartRenderTest, FullTransparencyRemovesTheLineButKeepsTheMarkers) {
  Series& norm = model.series(kNormFast);
  norm.add(10, 0);
  norm.add(20, 0);
  showOnly({kNormFast});
  const QPointF a = at(AxisId::Bottom, 10, 0);
  const QPointF b = at(AxisId::Bottom, 20, 0);
  // Between the circles, along the line.
  const QRectF between(a.x() + 8, a.y() - 2, b.x() - a.x() - 16, 4);
  const LegendRow& row = layout.legendRows[kNormFast];
  const QRectF symbolLeft(row.symbol.left(), row.symbol.top(), 6, row.symbol.height());

  for (int transparency : {0, 100}) {
    SCOPED_TRACE(transparency);
    norm.setTransparency(transparency);
    const QImage image = render(model, kSize);
    EXPECT_EQ(anyPixel(image, between, bluish), transparency == 0);
    EXPECT_EQ(anyPixel(image, symbolLeft, bluish), transparency == 0);
    // The circle: a blue outline 4 px from the centre, a white inside.
    for (QPointF centre : {a, b}) {
      EXPECT_TRUE(anyPixel(image, QRectF(centre.x() + 3, centre.y() - 1, 2, 2), bluish));
      EXPECT_TRUE(anyPixel(image, QRectF(centre.x() - 4, centre.y() - 1, 2, 2), bluish));
      EXPECT_EQ(image.pixelColor(QPoint(int(centre.x()), int(centre.y()) - 1)), QColor(Qt::white));
    }
    // The legend symbol keeps its marker.
    EXPECT_TRUE(anyPixel(image, row.symbol, bluish));
  }
}

TEST_F(ChartRenderTest, MarksStandInFramedBoxesAboveTheirPoints) {
  Series& numbers = model.addSeries("Series9", "FastLastPoint", SeriesKind::Point, AxisId::Bottom,
                                    std::nullopt);
  numbers.showInLegend = false;
  numbers.marks.visible = true;
  numbers.add(30, 0, "#1");
  showOnly({});
  numbers.setActive(true);
  const QImage image = render(model, kSize);
  const QPointF p = at(AxisId::Bottom, 30, 0);
  const auto markFill = [](QColor c) { return c == QColor::fromRgba(0xFFFFFFE1); };
  const auto dark = [](QColor c) { return c.red() < 80 && c.green() < 80 && c.blue() < 80; };
  // The box lies above the 16-pixel callout; the callout is black.
  EXPECT_TRUE(anyPixel(image, QRectF(p.x() - 3, p.y() - 16 - 8, 6, 4), markFill));
  EXPECT_FALSE(anyPixel(image, QRectF(p.x() - 20, p.y() - 14, 40, 14), markFill));
  EXPECT_TRUE(anyPixel(image, QRectF(p.x() - 1, p.y() - 10, 2, 4), dark));
}

TEST_F(ChartRenderTest, GridLinesAreCrispAtEveryPixelRatio) {
  showOnly({});
  for (double dpr : {1.0, 2.0}) {
    SCOPED_TRACE(dpr);
    const QImage image = render(model, kSize, dpr);
    // The grid line at 10 on the bottom axis, a seventh of the way across.
    const double x = layout.plot.left() + layout.plot.width() / 7.0;
    const int column = static_cast<int>(std::floor(x * dpr));
    const int width = static_cast<int>(dpr);
    const int row = static_cast<int>(layout.plot.center().y() * dpr);
    const QColor grid = QColor::fromRgba(0xFFC0C0C0);
    for (int c = column; c < column + width; ++c) EXPECT_EQ(image.pixelColor(c, row), grid);
    EXPECT_EQ(image.pixelColor(column - 1, row), QColor(Qt::white));
    EXPECT_EQ(image.pixelColor(column + width, row), QColor(Qt::white));
    // Minor grid at 11, between the grid lines.
    const double minor = layout.plot.left() + layout.plot.width() * 11.0 / 70.0;
    EXPECT_EQ(image.pixelColor(static_cast<int>(std::floor(minor * dpr)), row),
              QColor::fromRgba(0xFFD8E4E3));
    // Outside the plot: the chart's background.
    EXPECT_EQ(image.pixelColor(2, static_cast<int>(300 * dpr)), QColor::fromRgba(kBackground));
  }
}

TEST_F(ChartRenderTest, BottomAndTopGridsAreDrawnIndependently) {
  showOnly({});
  model.TopAxis().setBoundsOrdered(5, 65);
  layout = computeLayout(model, QSizeF(kSize));
  const QImage image = render(model, kSize);
  const int row = static_cast<int>(layout.plot.center().y());
  const QColor grid = QColor::fromRgba(0xFFC0C0C0);
  for (AxisId id : {AxisId::Bottom, AxisId::Top}) {
    SCOPED_TRACE(static_cast<int>(id));
    const int column = static_cast<int>(std::floor(layout.map(id).toPixel(40)));
    EXPECT_EQ(image.pixelColor(column, row), grid);
  }
}

TEST_F(ChartRenderTest, ZoomRectangleHasASilverOutlineAndNoFill) {
  showOnly({});
  PaintOverlay overlay;
  overlay.zoomRectangle = QRectF(QPointF(300, 200), QPointF(200, 120));  // dragged up-left
  const QImage plain = render(model, kSize);
  const QImage zoom = render(model, kSize, 1.0, overlay);
  const QColor silver = QColor::fromRgba(0xFFC0C0C0);
  EXPECT_EQ(zoom.pixelColor(200, 150), silver);
  EXPECT_EQ(zoom.pixelColor(300, 150), silver);
  EXPECT_EQ(zoom.pixelColor(250, 120), silver);
  EXPECT_EQ(zoom.pixelColor(250, 200), silver);
  EXPECT_EQ(zoom.pixelColor(253, 153), plain.pixelColor(253, 153));
}

TEST_F(ChartRenderTest, TheLegendTicksExactlyTheShownSeries) {
  model.series(kSlow).setActive(false);
  const QImage image = render(model, kSize);
  const auto ink = [](QColor c) { return c.red() < 100 && c.green() < 100 && c.blue() < 100; };
  for (int s : {kFast, kSlow, kNormFast, kNormSlow}) {
    SCOPED_TRACE(s);
    const QRectF inside = layout.legendRows[s].checkBox.adjusted(2, 2, -2, -2);
    EXPECT_EQ(anyPixel(image, inside, ink), s != kSlow);
  }
}

// The widget promises to paint every pixel (it skips Qt's background fill),
// whatever the size, the pixel ratio or the bounds.
TEST_F(ChartRenderTest, EveryPixelIsPaintedAtAnySizeRatioAndBounds) {
  struct Bounds {
    const char* name;
    double minimum, maximum;
  };
  const Bounds boundsCases[] = {{"as loaded", 0, 70}, {"deep zoom", 10, 10 + 1e-9}, {"huge", -1e300, 1e300}};
  const QSize sizes[] = {{1, 1}, {3, 2}, {120, 80}, {1000, 600}};
  for (const Bounds& b : boundsCases) {
    ChartModel m;
    setUpChart(m);
    for (int i = 0; i < 60; ++i) {
      m.series(kFast).add(i, std::sin(i / 5.0) * 10);
      m.series(kNormFast).add(i * 1.1, std::cos(i / 5.0) * 10);
    }
    m.BottomAxis().setBoundsOrdered(b.minimum, b.maximum);
    for (const QSize& size : sizes) {
      for (double dpr : {1.0, 1.5, 2.0}) {
        SCOPED_TRACE(std::string(b.name) + " " + std::to_string(size.width()) + "x" +
                     std::to_string(size.height()) + " at " + std::to_string(dpr));
        const QImage image = render(m, size, dpr);
        const auto unpainted = [](QColor c) { return c == QColor(255, 0, 255); };
        EXPECT_FALSE(anyPixel(image, QRectF(QPointF(0, 0), QSizeF(size)), unpainted));
      }
    }
  }
}

// A chart as the program shows it, for a look by eye: set
// VELMORA_CHART_DEMO_PNG to a file name to have it saved.
TEST_F(ChartRenderTest, RepresentativeChartKeepsEverySeriesInsideThePlot) {
  const auto gait = [](double t) {
    return 12.0 * std::sin(2 * M_PI * t) - 4.0 * std::cos(4 * M_PI * t) + 2.0;
  };
  Series& fast = model.series(kFast);
  Series& slow = model.series(kSlow);
  Series& normFast = model.series(kNormFast);
  Series& normSlow = model.series(kNormSlow);
  for (int i = 0; i < 53; ++i) fast.add(i, gait(i / 52.0));
  for (int i = 0; i < 5; ++i) slow.addNull();
  for (int i = 0; i < 61; ++i) slow.add(i + 5, gait(i / 60.0) - 1.0);
  for (int k = 0; k < 10; ++k) {
    normFast.add(k * 52.0 / 9.0, gait(k / 9.0));
    normSlow.add(5 + k * 60.0 / 9.0, gait(k / 9.0) - 1.0);
  }
  Series& curve = model.addSeries("Series7", "SplineFast", SeriesKind::Curve, AxisId::Bottom, kBlue);
  curve.showInLegend = false;
  curve.line.visible = true;
  curve.line.width = 2;
  for (int i = 0; i <= 520; ++i) curve.add(i / 10.0, gait(i / 520.0));
  Series& numbers =
      model.addSeries("Series9", "FastLastPoint", SeriesKind::Point, AxisId::Bottom, std::nullopt);
  numbers.showInLegend = false;
  numbers.marks.visible = true;
  numbers.add(0, gait(0), "#1");
  numbers.add(52, gait(1), "#53");

  const QImage image = render(model, kSize);
  if (const char* path = std::getenv("VELMORA_CHART_DEMO_PNG")) {
    EXPECT_TRUE(image.save(path));
  }

  // Blue and green appear only in the plot and in the legend.
  const QRectF area = layout.plotArea().adjusted(-1, -1, 1, 1);
  const auto coloured = [](QColor c) { return bluish(c) || greenish(c); };
  for (int y = 0; y < image.height(); y += 2)
    for (int x = 0; x < image.width(); x += 2) {
      const QPointF p(x + 0.5, y + 0.5);
      if (area.contains(p) || layout.legendRect.contains(p)) continue;
      ASSERT_FALSE(coloured(image.pixelColor(x, y))) << x << "," << y;
    }
  EXPECT_TRUE(anyPixel(image, layout.plotArea(), bluish));
  EXPECT_TRUE(anyPixel(image, layout.plotArea(), greenish));
}

}  // namespace
}  // namespace velmora::chart
