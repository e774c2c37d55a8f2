// The chart widget: after each paint PosAxis holds the plot's edges and
// OnAfterDraw runs once; the pointer's hover highlight; the layout cache.
#include <cmath>

#include <QFocusEvent>
#include <QMouseEvent>
#include <QWheelEvent>
#include <QPointingDevice>
#include <gtest/gtest.h>

#include "app/EventGuard.h"
#include "chart/ChartWidget.h"
#include "tests/chart/test_paint_fixture.h"

namespace velmora::chart {
namespace {

using namespace velmora::chart::testing;

class ChartWidgetTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ensureApplication();
    widget = std::make_unique<ChartWidget>();
    setUpChart(widget->model());
    widget->resize(1000, 600);
  }
  ChartModel& model() { return widget->model(); }
  void sendMove(QPointF position) {
    QMouseEvent move(QEvent::MouseMove, position, widget->mapToGlobal(position), Qt::NoButton,
                     Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(widget.get(), &move);
  }
  void sendButton(QEvent::Type type, QPointF position, Qt::MouseButton button,
                  Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : button;
    QMouseEvent event(type, position, widget->mapToGlobal(position), button, held, modifiers);
    QApplication::sendEvent(widget.get(), &event);
  }
  void sendWheel(int delta) {
    const QPointF position(400, 300);
    QWheelEvent event(position, widget->mapToGlobal(position), QPoint(), QPoint(0, delta),
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(widget.get(), &event);
  }
  std::unique_ptr<ChartWidget> widget;
};

TEST_F(ChartWidgetTest, EachPaintSetsPosAxisAndRaisesOnAfterDrawOnce) {
  int raised = 0;
  model().OnAfterDraw = [&] {
    ++raised;
    // PosAxis already holds this paint's values when the handler runs.
    const QRectF& plot = widget->lastLayout()->plot;
    EXPECT_EQ(model().LeftAxis().PosAxis(), static_cast<int>(plot.left()));
    EXPECT_EQ(model().TopAxis().PosAxis(), static_cast<int>(plot.top()));
    EXPECT_EQ(model().BottomAxis().PosAxis(), static_cast<int>(plot.bottom()));
  };
  widget->grab();
  EXPECT_EQ(raised, 1);
  ASSERT_TRUE(widget->lastLayout().has_value());
  const QRectF first = widget->lastLayout()->plot;
  EXPECT_EQ(model().LeftAxis().PosAxis(), static_cast<int>(first.left()));

  widget->resize(1200, 700);
  widget->grab();
  EXPECT_EQ(raised, 2);
  const QRectF second = widget->lastLayout()->plot;
  EXPECT_NE(second, first);
  EXPECT_EQ(model().BottomAxis().PosAxis(), static_cast<int>(second.bottom()));
}

TEST_F(ChartWidgetTest, AHandlerMayThrowFromOnAfterDraw) {
  std::string reported;
  velmora::setExceptionReporter([&](const std::string& message) { reported = message; });
  model().OnAfterDraw = [] { throw std::runtime_error("after draw failed"); };
  widget->grab();
  EXPECT_EQ(reported, "after draw failed");
  velmora::setExceptionReporter(nullptr);
}

TEST_F(ChartWidgetTest, LayoutIsReusedUntilAnInputChanges) {
  widget->grab();
  const ChartLayout* address = &*widget->lastLayout();
  const double right = widget->lastLayout()->plot.right();
  model().BottomAxis().setBoundsOrdered(0, 52);
  widget->grab();
  // Renewed in place, so the pointer the input holds stays good.
  EXPECT_EQ(&*widget->lastLayout(), address);
  EXPECT_EQ(widget->lastLayout()->map(AxisId::Bottom).maximum, 52.0);
  EXPECT_EQ(widget->lastLayout()->plot.right(), right);
}

TEST_F(ChartWidgetTest, TheMarkerUnderThePointerIsHighlighted) {
  Series& fast = model().series(kFast);
  fast.add(20, 0);
  fast.add(40, 5);
  widget->grab();  // a layout to hit-test against
  const ChartLayout& layout = *widget->lastLayout();
  const QPointF marker(layout.map(AxisId::Bottom).toPixel(40), layout.map(AxisId::Left).toPixel(5));

  sendMove(marker + QPointF(1, 2));
  ASSERT_TRUE(widget->hover().has_value());
  EXPECT_EQ(widget->hover()->series, kFast);
  EXPECT_EQ(widget->hover()->point, 1);
  const QImage lit = widget->grab().toImage();
  const QRectF ring(marker.x() - 9, marker.y() - 13, 18, 26);
  EXPECT_TRUE(anyPixel(lit, ring, reddish));

  QEvent leave(QEvent::Leave);
  QApplication::sendEvent(widget.get(), &leave);
  EXPECT_FALSE(widget->hover().has_value());
  EXPECT_FALSE(anyPixel(widget->grab().toImage(), ring, reddish));

  // A hidden series answers no hover.
  sendMove(marker);
  fast.setActive(false);
  widget->grab();
  EXPECT_FALSE(widget->hover().has_value());
}

TEST_F(ChartWidgetTest, AFastLineIsHighlightedAlongItsLine) {
  Series& line = model().addSeries("Series5", "LinearFast", SeriesKind::FastLine, AxisId::Bottom,
                                   kBlue);
  line.showInLegend = false;
  line.line.visible = true;
  line.line.width = 2;
  line.add(10, -10);
  line.add(60, -10);
  widget->grab();
  const ChartLayout& layout = *widget->lastLayout();
  const double y = layout.map(AxisId::Left).toPixel(-10);
  const double x = layout.map(AxisId::Bottom).toPixel(35);
  sendMove(QPointF(x, y + 2));
  ASSERT_TRUE(widget->hover().has_value());
  EXPECT_EQ(widget->hover()->series, model().seriesCount() - 1);
  EXPECT_EQ(widget->hover()->point, -1);
  EXPECT_TRUE(anyPixel(widget->grab().toImage(), QRectF(x + 100, y - 3, 4, 6), reddish));
  sendMove(QPointF(x, y + 20));
  EXPECT_FALSE(widget->hover().has_value());
}

TEST_F(ChartWidgetTest, PressesOnLegendRowsReachTheModelWithButtonAndShift) {
  struct Case {
    Qt::MouseButton button;
    Qt::KeyboardModifiers modifiers;
    MouseButton expected;
    bool shift;
  };
  const Case cases[] = {{Qt::LeftButton, Qt::NoModifier, MouseButton::Left, false},
                        {Qt::RightButton, Qt::ShiftModifier, MouseButton::Right, true}};
  widget->grab();
  const LegendRow row = widget->lastLayout()->legendRows[kNormFast];
  for (const Case& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.expected));
    int clicks = 0;
    model().OnClickLegend = [&](MouseButton button, ShiftState shift, int x, int y) {
      ++clicks;
      EXPECT_EQ(button, c.expected);
      EXPECT_EQ(shift.shift, c.shift);
      EXPECT_EQ(x, 900);
      EXPECT_EQ(y, static_cast<int>(std::lround(row.row.center().y())));
    };
    const bool before = model().series(kNormFast).Active();
    sendButton(QEvent::MouseButtonPress, QPointF(900, row.row.center().y()), c.button, c.modifiers);
    sendButton(QEvent::MouseButtonRelease, QPointF(900, row.row.center().y()), c.button, c.modifiers);
    EXPECT_EQ(clicks, 1);
    EXPECT_NE(model().series(kNormFast).Active(), before);
  }
}

TEST_F(ChartWidgetTest, EachWheelEventIsOneStepWhateverItsSize) {
  widget->grab();
  int zooms = 0;
  model().OnZoom = [&] { ++zooms; };
  sendWheel(360);  // three notches in one event: still one step
  EXPECT_EQ(zooms, 1);
  EXPECT_TRUE(model().Zoomed());
  // A tenth of the span off each end, to within a pixel's worth of value.
  const double pixel = 70.0 / widget->lastLayout()->plot.width();
  EXPECT_NEAR(model().BottomAxis().Minimum(), 7.0, pixel);
  EXPECT_NEAR(model().BottomAxis().Maximum(), 63.0, pixel);
  sendWheel(0);
  EXPECT_EQ(zooms, 1);
}

TEST_F(ChartWidgetTest, TheZoomRectangleIsDrawnWhileDraggingAndGoesOnFocusLoss) {
  widget->grab();
  sendButton(QEvent::MouseButtonPress, QPointF(200, 200), Qt::LeftButton);
  sendMove(QPointF(320, 300));
  ASSERT_TRUE(widget->input().zoomRectangle().has_value());
  const QImage dragging = widget->grab().toImage();
  const QColor silver = QColor::fromRgba(0xFFC0C0C0);
  EXPECT_EQ(dragging.pixelColor(250, 200), silver);
  EXPECT_EQ(dragging.pixelColor(320, 250), silver);

  QFocusEvent focusOut(QEvent::FocusOut);
  QApplication::sendEvent(widget.get(), &focusOut);
  EXPECT_FALSE(widget->input().zoomRectangle().has_value());
  EXPECT_NE(widget->grab().toImage().pixelColor(250, 200), silver);
  EXPECT_FALSE(model().Zoomed());
}

TEST_F(ChartWidgetTest, IsNamedForAccessibility) {
  EXPECT_EQ(widget->accessibleName().toStdString(), "Chart");
  EXPECT_TRUE(widget->hasMouseTracking());
  EXPECT_TRUE(widget->testAttribute(Qt::WA_OpaquePaintEvent));
}

}  // namespace
}  // namespace velmora::chart
