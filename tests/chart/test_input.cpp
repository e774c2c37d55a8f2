// The chart's mouse state machine against a hand-built layout: the plot runs
// from (62, 50) to (762, 550), so on the bottom and top axes (0 to 70) one
// pixel is 0.1, and on the left axis (-15 to 15) and the right axis (0 to 30)
// one pixel is 0.06, upwards. The legend's four rows stand at the right.
#include <cmath>
#include <optional>
#include <stdexcept>
#include <vector>

#include <gtest/gtest.h>

#include "chart/ChartInput.h"
#include "chart/ChartLayout.h"
#include "chart/ChartModel.h"

namespace velmora::chart {
namespace {

constexpr double kTolerance = 1e-9;

std::size_t at(AxisId id) { return static_cast<std::size_t>(id); }

const AllBounds kHome{{{-15, 15}, {0, 70}, {0, 70}, {0, 30}}};  // Left, Bottom, Top, Right

void expectBounds(const AllBounds& actual, const AllBounds& expected) {
  const char* names[] = {"left", "bottom", "top", "right"};
  for (std::size_t i = 0; i < actual.size(); ++i) {
    SCOPED_TRACE(names[i]);
    EXPECT_NEAR(actual[i].minimum, expected[i].minimum, kTolerance);
    EXPECT_NEAR(actual[i].maximum, expected[i].maximum, kTolerance);
  }
}

ChartLayout handBuiltLayout(QRectF plot) {
  ChartLayout layout;
  layout.size = QSizeF(1000, 600);
  layout.plot = plot;
  for (AxisId id : {AxisId::Left, AxisId::Bottom, AxisId::Top, AxisId::Right}) {
    AxisLayout& axis = layout.axes[at(id)];
    axis.visible = id != AxisId::Right;
    const bool horizontal = id == AxisId::Bottom || id == AxisId::Top;
    axis.map = AxisMap{kHome[at(id)].minimum, kHome[at(id)].maximum,
                       horizontal ? plot.left() : plot.bottom(),
                       horizontal ? plot.right() : plot.top()};
  }
  layout.legendRect = QRectF(800, 100, 190, 200);
  for (int i = 0; i < 4; ++i) {
    LegendRow row;
    row.seriesIndex = i;
    row.row = QRectF(800, 100 + 40 * i, 190, 39);
    layout.legendRows.push_back(row);
  }
  return layout;
}

class ChartInputTest : public testing::Test {
 protected:
  ChartInputTest() {
    const char* titles[] = {"Fast gait", "Slow gait", "Normalised Fast", "Normalised Slow"};
    for (int i = 0; i < 4; ++i)
      model.addSeries(titles[i], titles[i], SeriesKind::Point,
                      i % 2 == 0 ? AxisId::Bottom : AxisId::Top, 0xFF0000FF);
    model.addSeries("Series11", "KeepBottomAxisOn", SeriesKind::Point, AxisId::Bottom,
                    std::nullopt)
        .showInLegend = false;
    setBounds(kHome);

    model.OnZoom = [this] {
      ++zooms;
      boundsAtZoom.push_back(model.currentBounds());
      EXPECT_TRUE(model.Zoomed());
    };
    model.OnUndoZoom = [this] {
      ++resets;
      boundsAtReset.push_back(model.currentBounds());
      EXPECT_FALSE(model.Zoomed());
    };
    model.OnClickLegend = [this](MouseButton button, ShiftState, int x, int y) {
      legendClicks.push_back({button, x, y});
    };
    input.onRectangleChanged = [this] { ++rectangleChanges; };
    input.setLayout(&layout);
  }

  void setBounds(const AllBounds& bounds) {
    for (AxisId id : {AxisId::Left, AxisId::Bottom, AxisId::Top, AxisId::Right})
      model.axis(id).setBoundsOrdered(bounds[at(id)].minimum, bounds[at(id)].maximum);
  }

  void drag(MouseButton button, QPointF from, QPointF to) {
    input.press(from, button, {});
    input.move((from + to) / 2);
    input.move(to);
    input.release(to, button);
  }

  struct LegendClick {
    MouseButton button;
    int x, y;
  };

  ChartModel model;
  ChartLayout layout = handBuiltLayout(QRectF(QPointF(62, 50), QPointF(762, 550)));
  ChartInput input{model};
  int zooms = 0;
  int resets = 0;
  int rectangleChanges = 0;
  std::vector<AllBounds> boundsAtZoom;
  std::vector<AllBounds> boundsAtReset;
  std::vector<LegendClick> legendClicks;
};

// --- Rectangle zoom and reset by drag -----------------------------------------

TEST_F(ChartInputTest, LeftDragZoomsOrResetsOnlyBeyondSixteenPixelsBothWays) {
  enum class Outcome { Nothing, Zoom, Reset };
  struct Case {
    double dx, dy;
    Outcome outcome;
    AllBounds zoomed;  // for Outcome::Zoom
  };
  // From (300, 300): bottom and top read (x - 62) / 10, left reads
  // -15 + (550 - y) * 0.06 and right (550 - y) * 0.06.
  const Case cases[] = {
      {16, 40, Outcome::Nothing, {}},
      {40, 16, Outcome::Nothing, {}},
      {-16, -40, Outcome::Nothing, {}},
      {0, 0, Outcome::Nothing, {}},
      {17, -17, Outcome::Zoom, {{{0, 1.02}, {23.8, 25.5}, {23.8, 25.5}, {15, 16.02}}}},
      {17, 17, Outcome::Zoom, {{{-1.02, 0}, {23.8, 25.5}, {23.8, 25.5}, {13.98, 15}}}},
      {16.5, -30, Outcome::Zoom, {{{0, 1.8}, {23.8, 25.45}, {23.8, 25.45}, {15, 16.8}}}},
      {-17, 17, Outcome::Reset, {}},
      {-40, -40, Outcome::Reset, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "dx " << c.dx << ", dy " << c.dy);
    zooms = resets = 0;
    boundsAtZoom.clear();
    model.UndoZoom();
    setBounds(kHome);
    resets = 0;

    drag(MouseButton::Left, QPointF(300, 300), QPointF(300 + c.dx, 300 + c.dy));

    EXPECT_FALSE(input.busy());
    EXPECT_EQ(zooms, c.outcome == Outcome::Zoom ? 1 : 0);
    EXPECT_EQ(resets, c.outcome == Outcome::Reset ? 1 : 0);
    EXPECT_EQ(model.Zoomed(), c.outcome == Outcome::Zoom);
    if (c.outcome == Outcome::Zoom) {
      ASSERT_EQ(boundsAtZoom.size(), 1u);
      expectBounds(boundsAtZoom[0], c.zoomed);
    } else {
      expectBounds(model.currentBounds(), kHome);
    }
  }
}

TEST_F(ChartInputTest, ResetDragReturnsToTheViewBeforeTheZooms) {
  drag(MouseButton::Left, QPointF(100, 100), QPointF(400, 400));
  drag(MouseButton::Left, QPointF(100, 100), QPointF(400, 400));
  ASSERT_EQ(zooms, 2);
  drag(MouseButton::Left, QPointF(400, 100), QPointF(200, 400));
  ASSERT_EQ(resets, 1);
  expectBounds(boundsAtReset[0], kHome);
  EXPECT_FALSE(model.Zoomed());
}

TEST_F(ChartInputTest, ZoomRectangleSpansPressToPointerWhileDragging) {
  EXPECT_FALSE(input.zoomRectangle());
  input.press(QPointF(300, 300), MouseButton::Left, {});
  EXPECT_FALSE(input.zoomRectangle());  // nothing to show until the pointer moves
  EXPECT_EQ(rectangleChanges, 0);

  input.move(QPointF(250, 380));
  ASSERT_TRUE(input.zoomRectangle());
  EXPECT_EQ(*input.zoomRectangle(), QRectF(250, 300, 50, 80));
  EXPECT_EQ(rectangleChanges, 1);

  input.move(QPointF(250, 380));  // no change, no notice
  EXPECT_EQ(rectangleChanges, 1);
  input.move(QPointF(420, 200));
  EXPECT_EQ(*input.zoomRectangle(), QRectF(300, 200, 120, 100));
  EXPECT_EQ(rectangleChanges, 2);

  input.release(QPointF(420, 200), MouseButton::Left);
  EXPECT_FALSE(input.zoomRectangle());
  EXPECT_EQ(rectangleChanges, 3);
  EXPECT_EQ(zooms, 1);
}

TEST_F(ChartInputTest, AnExceptionFromOnZoomLeavesTheZoomInPlace) {
  model.OnZoom = [] { throw AxisRangeError(kMaximumRefused); };
  input.press(QPointF(300, 300), MouseButton::Left, {});
  input.move(QPointF(317, 283));
  try {
    input.release(QPointF(317, 283), MouseButton::Left);
    ADD_FAILURE() << "no exception";
  } catch (const AxisRangeError& error) {
    EXPECT_STREQ(error.what(), kMaximumRefused);
  }
  EXPECT_TRUE(model.Zoomed());
  expectBounds(model.currentBounds(), {{{0, 1.02}, {23.8, 25.5}, {23.8, 25.5}, {15, 16.02}}});
  EXPECT_FALSE(input.busy());
  EXPECT_FALSE(input.zoomRectangle());
}

// --- Buttons, cancel and missing layout ---------------------------------------

TEST_F(ChartInputTest, OtherButtonsDuringADragAreIgnored) {
  input.press(QPointF(300, 300), MouseButton::Left, {});
  input.move(QPointF(400, 400));
  input.press(QPointF(400, 400), MouseButton::Right, {});  // no pan starts
  input.move(QPointF(450, 450));
  input.release(QPointF(450, 450), MouseButton::Right);  // not the drag's button
  EXPECT_TRUE(input.busy());
  EXPECT_EQ(zooms, 0);
  EXPECT_FALSE(model.hasRememberedBounds());
  input.release(QPointF(450, 450), MouseButton::Left);
  EXPECT_EQ(zooms, 1);

  // A middle press starts nothing.
  input.press(QPointF(300, 300), MouseButton::Middle, {});
  EXPECT_FALSE(input.busy());
}

TEST_F(ChartInputTest, CancelEndsADragWithoutEffect) {
  input.press(QPointF(300, 300), MouseButton::Left, {});
  input.move(QPointF(400, 400));
  input.cancel();
  EXPECT_FALSE(input.busy());
  EXPECT_FALSE(input.zoomRectangle());
  EXPECT_EQ(rectangleChanges, 2);
  input.release(QPointF(400, 400), MouseButton::Left);

  input.press(QPointF(300, 300), MouseButton::Right, {});
  input.cancel();
  input.move(QPointF(400, 400));
  EXPECT_EQ(zooms + resets, 0);
  EXPECT_FALSE(model.hasRememberedBounds());
  expectBounds(model.currentBounds(), kHome);
}

TEST_F(ChartInputTest, NothingHappensBeforeTheFirstLayout) {
  input.setLayout(nullptr);
  input.press(QPointF(820, 120), MouseButton::Left, {});  // a legend row in the layout
  drag(MouseButton::Left, QPointF(100, 100), QPointF(400, 400));
  drag(MouseButton::Right, QPointF(100, 100), QPointF(400, 400));
  input.wheelStep(1, QPointF(300, 300));
  EXPECT_FALSE(input.busy());
  EXPECT_EQ(zooms + resets, 0);
  EXPECT_TRUE(legendClicks.empty());
  EXPECT_TRUE(model.series(0).Active());
  expectBounds(model.currentBounds(), kHome);
}

TEST_F(ChartInputTest, APlotWithoutExtentNeverGivesBoundsThatAreNotFinite) {
  layout = handBuiltLayout(QRectF(QPointF(62, 50), QPointF(62, 50)));
  drag(MouseButton::Left, QPointF(30, 30), QPointF(90, 90));
  EXPECT_EQ(zooms, 0);  // no values under a rectangle on no plot
  drag(MouseButton::Right, QPointF(30, 30), QPointF(90, 90));
  input.wheelStep(1, QPointF(62, 50));
  for (const AxisBounds& bounds : model.currentBounds()) {
    EXPECT_TRUE(std::isfinite(bounds.minimum));
    EXPECT_TRUE(std::isfinite(bounds.maximum));
  }
  // The wheel falls back on the bounds themselves.
  expectBounds(model.currentBounds(), {{{-12, 12}, {7, 63}, {7, 63}, {3, 27}}});
}

// --- Wheel --------------------------------------------------------------------

TEST_F(ChartInputTest, EachWheelStepNarrowsOrWidensByATenthAtEachEnd) {
  struct Case {
    int direction;
    AllBounds expected;
  };
  // Spans 30, 70, 70, 30: a tenth is 3, 7, 7, 3.
  const AllBounds narrowed{{{-12, 12}, {7, 63}, {7, 63}, {3, 27}}};
  const AllBounds widened{{{-18, 18}, {-7, 77}, {-7, 77}, {-3, 33}}};
  const Case cases[] = {{1, narrowed}, {120, narrowed}, {-1, widened}, {-240, widened}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.direction);
    model.UndoZoom();
    setBounds(kHome);
    zooms = 0;
    boundsAtZoom.clear();

    input.wheelStep(c.direction, QPointF(300, 300));

    ASSERT_EQ(zooms, 1);
    expectBounds(boundsAtZoom[0], c.expected);
    EXPECT_TRUE(model.Zoomed());
  }
}

TEST_F(ChartInputTest, WheelStepsBeforeTheNextPaintBuildOnEachOther) {
  input.wheelStep(1, QPointF(300, 300));
  input.wheelStep(1, QPointF(300, 300));
  // 7 to 63 (span 56) narrows by 5.6; -12 to 12 (span 24) by 2.4.
  expectBounds(model.currentBounds(),
               {{{-9.6, 9.6}, {12.6, 57.4}, {12.6, 57.4}, {5.4, 24.6}}});
  EXPECT_EQ(zooms, 2);

  input.wheelStep(0, QPointF(300, 300));
  EXPECT_EQ(zooms, 2);

  model.UndoZoom();
  expectBounds(boundsAtReset.at(0), kHome);
}

// --- Pan ----------------------------------------------------------------------

TEST_F(ChartInputTest, RightDragPansSoThatTheCurvesFollowThePointer) {
  input.press(QPointF(300, 300), MouseButton::Right, {});
  input.move(QPointF(400, 250));
  // 100 pixels right shows values 10 smaller; 50 pixels up shows values 3 smaller.
  expectBounds(model.currentBounds(), {{{-18, 12}, {-10, 60}, {-10, 60}, {-3, 27}}});
  input.move(QPointF(450, 250));
  expectBounds(model.currentBounds(), {{{-18, 12}, {-15, 55}, {-15, 55}, {-3, 27}}});
  // The release point counts as the last move.
  input.release(QPointF(450, 300), MouseButton::Right);
  expectBounds(model.currentBounds(), {{{-15, 15}, {-15, 55}, {-15, 55}, {0, 30}}});

  EXPECT_EQ(zooms + resets, 0);
  EXPECT_FALSE(model.Zoomed());
  EXPECT_FALSE(input.busy());

  // There is no limit to panning.
  drag(MouseButton::Right, QPointF(62, 300), QPointF(762, 300));
  drag(MouseButton::Right, QPointF(62, 300), QPointF(762, 300));
  expectBounds(model.currentBounds(), {{{-15, 15}, {-155, -85}, {-155, -85}, {0, 30}}});

  drag(MouseButton::Left, QPointF(400, 100), QPointF(200, 400));
  ASSERT_EQ(resets, 1);
  expectBounds(boundsAtReset[0], kHome);
}

TEST_F(ChartInputTest, PanWhileZoomedKeepsZoomed) {
  input.wheelStep(1, QPointF(300, 300));
  drag(MouseButton::Right, QPointF(300, 300), QPointF(200, 300));
  EXPECT_TRUE(model.Zoomed());
  EXPECT_EQ(zooms, 1);
  model.UndoZoom();
  expectBounds(boundsAtReset.at(0), kHome);
}

// --- Legend -------------------------------------------------------------------

TEST_F(ChartInputTest, PressesOnLegendRowsToggleAndStartNoDrag) {
  struct Case {
    const char* what;
    QPointF position;
    MouseButton button;
    int toggledRow;  // -1: none
  };
  const Case cases[] = {
      {"right press on the second row", QPointF(850.6, 150.2), MouseButton::Right, 1},
      {"left press on the first row", QPointF(805, 110), MouseButton::Left, 0},
      {"middle press on the last row", QPointF(980, 255), MouseButton::Middle, 3},
      {"left press below the last row", QPointF(850, 280), MouseButton::Left, -1},
      {"right press below the last row", QPointF(850, 280), MouseButton::Right, -1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    for (int i = 0; i < 4; ++i) model.series(i).setActive(true);
    legendClicks.clear();

    // Pressed, dragged far into the plot and released.
    drag(c.button, c.position, QPointF(200, 450));

    for (int i = 0; i < 4; ++i) EXPECT_EQ(model.series(i).Active(), i != c.toggledRow) << i;
    if (c.toggledRow >= 0) {
      ASSERT_EQ(legendClicks.size(), 1u);
      EXPECT_EQ(legendClicks[0].button, c.button);
      EXPECT_EQ(legendClicks[0].x, std::lround(c.position.x()));
      EXPECT_EQ(legendClicks[0].y, std::lround(c.position.y()));
    } else {
      EXPECT_TRUE(legendClicks.empty());
    }
    EXPECT_EQ(zooms + resets, 0);
    EXPECT_FALSE(model.hasRememberedBounds());
    EXPECT_FALSE(input.zoomRectangle());
    EXPECT_EQ(rectangleChanges, 0);
    expectBounds(model.currentBounds(), kHome);
  }
}

TEST_F(ChartInputTest, AnExceptionFromOnClickLegendStillLeavesTheRowToggled) {
  model.OnClickLegend = [](MouseButton, ShiftState, int, int) {
    throw std::runtime_error("handler failed");
  };
  EXPECT_THROW(input.press(QPointF(850, 150), MouseButton::Left, {}), std::runtime_error);
  EXPECT_FALSE(model.series(1).Active());
  EXPECT_FALSE(input.busy());
}

}  // namespace
}  // namespace velmora::chart
