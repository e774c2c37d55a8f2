// The chart's model on its own: series, axis bounds and their refusal, axis
// visibility, and the zoom state with its events.
#include <cmath>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "chart/ChartModel.h"

namespace velmora::chart {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

// The view the window starts from.
void setHomeView(ChartModel& model) {
  model.LeftAxis().SetMinimum(-15);
  model.LeftAxis().SetMaximum(15);
  model.BottomAxis().SetMaximum(70);
  model.TopAxis().SetMaximum(70);
}

AllBounds homeBounds() { return {{{-15, 15}, {0, 70}, {0, 70}, {0, 0}}}; }

// Counts the model's events and records what a handler sees when it runs.
struct EventSpy {
  int zooms = 0;
  int resets = 0;
  std::vector<AllBounds> boundsAtZoom;
  std::vector<AllBounds> boundsAtReset;
  std::vector<bool> zoomedAtZoom;
  std::vector<bool> zoomedAtReset;

  explicit EventSpy(ChartModel& model) {
    model.OnZoom = [this, &model] {
      ++zooms;
      boundsAtZoom.push_back(model.currentBounds());
      zoomedAtZoom.push_back(model.Zoomed());
    };
    model.OnUndoZoom = [this, &model] {
      ++resets;
      boundsAtReset.push_back(model.currentBounds());
      zoomedAtReset.push_back(model.Zoomed());
    };
  }
};

// --- Axis bounds --------------------------------------------------------------

TEST(AxisBoundsTest, StartsWithFourAxesAtZero) {
  ChartModel model;
  for (AxisId id : {AxisId::Left, AxisId::Bottom, AxisId::Top, AxisId::Right}) {
    EXPECT_EQ(model.axis(id).id(), id);
    EXPECT_EQ(model.axis(id).bounds(), (AxisBounds{0, 0}));
  }
  EXPECT_TRUE(model.BottomAxis().horizontal());
  EXPECT_TRUE(model.TopAxis().horizontal());
  EXPECT_FALSE(model.LeftAxis().horizontal());
  EXPECT_FALSE(model.RightAxis().horizontal());
  EXPECT_FALSE(model.Zoomed());
  EXPECT_FALSE(model.hasRememberedBounds());
}

TEST(AxisBoundsTest, OneBoundAtATimeIsRefusedWhenItCrossesTheOther) {
  enum class Bound { Minimum, Maximum };
  struct Case {
    const char* what;
    Bound bound;
    double value;
    const char* refusal;  // nullptr: accepted
  };
  const Case cases[] = {
      {"minimum above maximum", Bound::Minimum, 80, kMinimumRefused},
      {"minimum equal to maximum", Bound::Minimum, 70, nullptr},
      {"minimum inside", Bound::Minimum, 12.5, nullptr},
      {"minimum below", Bound::Minimum, -1e6, nullptr},
      {"minimum NaN", Bound::Minimum, kNaN, kMinimumRefused},
      {"minimum -inf", Bound::Minimum, -kInf, kMinimumRefused},
      {"maximum below minimum", Bound::Maximum, -0.5, kMaximumRefused},
      {"maximum equal to minimum", Bound::Maximum, 0, nullptr},
      {"maximum above", Bound::Maximum, 100, nullptr},
      {"maximum NaN", Bound::Maximum, kNaN, kMaximumRefused},
      {"maximum +inf", Bound::Maximum, kInf, kMaximumRefused},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ChartModel model;
    Axis& bottom = model.BottomAxis();
    bottom.SetMaximum(70);
    int zooms = 0;
    model.OnZoom = [&] { ++zooms; };
    model.OnUndoZoom = [&] { ++zooms; };

    auto set = [&] {
      if (c.bound == Bound::Minimum)
        bottom.SetMinimum(c.value);
      else
        bottom.SetMaximum(c.value);
    };
    if (c.refusal) {
      try {
        set();
        ADD_FAILURE() << "not refused";
      } catch (const AxisRangeError& error) {
        EXPECT_STREQ(error.what(), c.refusal);
      }
      EXPECT_EQ(bottom.bounds(), (AxisBounds{0, 70}));
    } else {
      set();
      const AxisBounds expected = c.bound == Bound::Minimum ? AxisBounds{c.value, 70}
                                                            : AxisBounds{0, c.value};
      EXPECT_EQ(bottom.bounds(), expected);
    }
    EXPECT_EQ(zooms, 0);
    EXPECT_FALSE(model.Zoomed());
  }
}

TEST(AxisBoundsTest, RefusalMessagesAreTheProgramsWording) {
  EXPECT_STREQ(kMinimumRefused, "Axis Minimum Value must be <= Maximum");
  EXPECT_STREQ(kMaximumRefused, "Axis Maximum Value must be >= Minimum");
}

TEST(AxisBoundsTest, SettingABoundLeavesZoomedAlone) {
  ChartModel model;
  setHomeView(model);
  EventSpy spy(model);
  model.zoomTo({{{-5, 5}, {10, 20}, {10, 20}, {0, 0}}});
  ASSERT_TRUE(model.Zoomed());
  model.BottomAxis().SetMaximum(30);
  model.BottomAxis().SetMinimum(0);
  EXPECT_TRUE(model.Zoomed());
  EXPECT_EQ(spy.zooms, 1);
  EXPECT_EQ(spy.resets, 0);
}

TEST(AxisBoundsTest, OrderedDoorOrdersThePairAndIsNeverRefused) {
  struct Case {
    double a, b;
    AxisBounds expected;
  };
  const Case cases[] = {
      {5, -3, {-3, 5}},
      {-3, 5, {-3, 5}},
      {100, 100, {100, 100}},
      {1e9, -1e9, {-1e9, 1e9}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.a << ", " << c.b);
    ChartModel model;
    model.BottomAxis().SetMaximum(70);
    EXPECT_NO_THROW(model.BottomAxis().setBoundsOrdered(c.a, c.b));
    EXPECT_EQ(model.BottomAxis().bounds(), c.expected);
  }
}

TEST(AxisBoundsTest, OrderedDoorIgnoresPairsThatAreNotFinite) {
  ChartModel model;
  model.BottomAxis().SetMaximum(70);
  model.BottomAxis().setBoundsOrdered(kNaN, 5);
  model.BottomAxis().setBoundsOrdered(1, kInf);
  EXPECT_EQ(model.BottomAxis().bounds(), (AxisBounds{0, 70}));
}

// --- Notifications ------------------------------------------------------------

TEST(NotificationTest, ChangesAskForARepaintAndLayoutChangesRenewTheLayout) {
  struct Case {
    const char* what;
    std::function<void(ChartModel&, Series&)> change;
    bool repaint;
    bool layout;
    bool seriesRevision;
  };
  const Case cases[] = {
      {"add", [](ChartModel&, Series& s) { s.add(1, 2); }, true, false, true},
      {"addY", [](ChartModel&, Series& s) { s.addY(2); }, true, false, true},
      {"addNull", [](ChartModel&, Series& s) { s.addNull(); }, true, false, true},
      {"clear", [](ChartModel&, Series& s) { s.clear(); }, true, false, true},
      {"hide", [](ChartModel&, Series& s) { s.setActive(false); }, true, true, true},
      {"show when shown", [](ChartModel&, Series& s) { s.setActive(true); }, false, false, false},
      {"transparency", [](ChartModel&, Series& s) { s.setTransparency(100); }, true, false, true},
      {"same transparency", [](ChartModel&, Series& s) { s.setTransparency(0); }, false, false,
       false},
      {"minimum", [](ChartModel& m, Series&) { m.BottomAxis().SetMinimum(-1); }, true, true,
       false},
      {"same minimum", [](ChartModel& m, Series&) { m.BottomAxis().SetMinimum(0); }, false, false,
       false},
      {"refused minimum",
       [](ChartModel& m, Series&) { EXPECT_THROW(m.BottomAxis().SetMinimum(99), AxisRangeError); },
       false, false, false},
      {"maximum", [](ChartModel& m, Series&) { m.BottomAxis().SetMaximum(52); }, true, true, false},
      {"title", [](ChartModel& m, Series&) { m.BottomAxis().setTitle("% Gait cycle"); }, true,
       true, false},
      {"label colour", [](ChartModel& m, Series&) { m.TopAxis().setLabelColour(0xFFF0F0F0); },
       true, true, false},
      {"minor grid colour",
       [](ChartModel& m, Series&) { m.TopAxis().setMinorGridColour(0xFFD8E4E3); }, true, true,
       false},
      {"zoom", [](ChartModel& m, Series&) { m.zoomTo(m.currentBounds()); }, true, false, false},
      {"reset", [](ChartModel& m, Series&) { m.UndoZoom(); }, true, false, false},
      {"pan", [](ChartModel& m, Series&) { m.panBy({{1, 1, 1, 1}}); }, true, true, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ChartModel model;
    model.BottomAxis().SetMaximum(70);
    Series& series = model.addSeries("Series1", "Fast gait", SeriesKind::Point, AxisId::Bottom,
                                     0xFF0000FF);
    series.add(0, 1);
    int repaints = 0;
    model.onChanged = [&] { ++repaints; };
    const std::uint64_t layoutBefore = model.layoutRevision();
    const std::uint64_t seriesBefore = series.revision();

    c.change(model, series);

    EXPECT_EQ(repaints > 0, c.repaint);
    EXPECT_EQ(model.layoutRevision() != layoutBefore, c.layout);
    EXPECT_EQ(series.revision() != seriesBefore, c.seriesRevision);
  }
}

TEST(NotificationTest, ClearingAnEmptySeriesChangesNothing) {
  ChartModel model;
  Series& series = model.addSeries("Series11", "KeepBottomAxisOn", SeriesKind::Point,
                                   AxisId::Bottom, std::nullopt);
  int repaints = 0;
  model.onChanged = [&] { ++repaints; };
  const std::uint64_t before = series.revision();
  series.clear();
  EXPECT_EQ(repaints, 0);
  EXPECT_EQ(series.revision(), before);
}

// --- Series -------------------------------------------------------------------

class SeriesTest : public testing::Test {
 protected:
  ChartModel model;
  Series& series = model.addSeries("Series2", "Slow gait", SeriesKind::Point, AxisId::Top,
                                   0xFF008000);
};

TEST_F(SeriesTest, PointsKeepTheOrderOfAddingAndNullPointsTakeAnIndex) {
  for (int i = 0; i < 5; ++i) series.addNull();
  series.add(5, 12.5f);
  series.addY(-3.25, "#7");
  series.add(2, 1, "", 0xFFFF0000);  // out of order: never re-sorted

  ASSERT_EQ(series.count(), 8);
  for (int i = 0; i < 5; ++i) {
    SCOPED_TRACE(i);
    EXPECT_TRUE(series.point(i).isNull);
    EXPECT_EQ(series.xValue(i), i);
    EXPECT_EQ(series.yValue(i), 0.0);
    EXPECT_TRUE(series.point(i).label.empty());
  }
  EXPECT_FALSE(series.point(5).isNull);
  EXPECT_EQ(series.xValue(5), 5.0);
  EXPECT_EQ(series.yValue(5), 12.5);
  EXPECT_EQ(series.xValue(6), 6.0);  // addY: the number of points held before
  EXPECT_EQ(series.yValue(6), -3.25);
  EXPECT_EQ(series.point(6).label, "#7");
  EXPECT_EQ(series.xValue(7), 2.0);
  EXPECT_EQ(series.points().size(), 8u);

  series.clear();
  EXPECT_EQ(series.count(), 0);
  series.addY(4);
  EXPECT_EQ(series.xValue(0), 0.0);
}

TEST_F(SeriesTest, PointColourIsItsOwnUnlessItTakesTheSeriesColour) {
  series.add(0, 0);                     // no colour given
  series.add(1, 0, "", kSeriesColour);  // the marker for "series colour"
  series.add(2, 0, "", 0xFF0000FF);
  series.add(3, 0, "", 0x00FFFFFE);     // near the marker, still its own
  EXPECT_EQ(series.pointColour(0), 0xFF008000u);
  EXPECT_EQ(series.pointColour(1), 0xFF008000u);
  EXPECT_EQ(series.pointColour(2), 0xFF0000FFu);
  EXPECT_EQ(series.pointColour(3), 0x00FFFFFEu);
}

TEST_F(SeriesTest, SeriesWithoutAColourOfTheirOwnTakeOneFromThePalette) {
  Series& labels = model.addSeries("Series9", "FastLastPoint", SeriesKind::Point, AxisId::Bottom,
                                   std::nullopt);
  EXPECT_TRUE(series.hasOwnColour());
  EXPECT_FALSE(labels.hasOwnColour());
  labels.add(0, 0);
  EXPECT_EQ(labels.pointColour(0), labels.colour());
  EXPECT_NE(labels.colour(), kSeriesColour);
}

TEST_F(SeriesTest, TransparencyIsClampedToPercent) {
  const std::pair<int, int> cases[] = {{40, 40}, {-5, 0}, {150, 100}, {100, 100}, {0, 0}};
  for (const auto& [given, kept] : cases) {
    SCOPED_TRACE(given);
    series.setTransparency(given);
    EXPECT_EQ(series.Transparency(), kept);
  }
}

TEST_F(SeriesTest, HiddenSeriesKeepTheirPoints) {
  series.add(5, 1);
  series.add(6, 2);
  series.setActive(false);
  EXPECT_FALSE(series.Active());
  EXPECT_EQ(series.count(), 2);
  series.setActive(true);
  EXPECT_TRUE(series.Active());
  EXPECT_EQ(series.yValue(1), 2.0);
}

TEST(SeriesAxisTest, HorizontalAxisIsBottomOrTop) {
  ChartModel model;
  EXPECT_THROW(model.addSeries("a", "a", SeriesKind::Line, AxisId::Left, std::nullopt),
               std::invalid_argument);
  EXPECT_THROW(model.addSeries("b", "b", SeriesKind::Line, AxisId::Right, std::nullopt),
               std::invalid_argument);
  EXPECT_EQ(model.seriesCount(), 0);
}

TEST(SeriesLookupTest, FindByNameAndListTheLegendRows) {
  ChartModel model;
  Series& fast = model.addSeries("Series1", "Fast gait", SeriesKind::Point, AxisId::Bottom,
                                 0xFF0000FF);
  Series& linear = model.addSeries("Series5", "LinearFast", SeriesKind::FastLine, AxisId::Bottom,
                                   0xFF0000FF);
  Series& slow = model.addSeries("Series2", "Slow gait", SeriesKind::Point, AxisId::Top,
                                 0xFF008000);
  linear.showInLegend = false;

  EXPECT_EQ(model.findSeries("Series5"), &linear);
  EXPECT_EQ(model.findSeries("Series7"), nullptr);
  EXPECT_EQ(&model.series(2), &slow);

  EXPECT_EQ(model.legendSeries(), (std::vector<Series*>{&fast, &slow}));
  const ChartModel& view = model;
  EXPECT_EQ(view.legendSeries(), (std::vector<const Series*>{&fast, &slow}));
  EXPECT_EQ(view.findSeries("Series2"), &slow);
}

// --- Axis visibility ----------------------------------------------------------

TEST(AxisVisibilityTest, AnAxisIsDrawnWhenAShownSeriesUsesItOrNothingIsShown) {
  struct Case {
    const char* what;
    std::vector<std::pair<AxisId, bool>> series;  // horizontal axis, shown
    bool left, bottom, top, right;
  };
  const Case cases[] = {
      {"no series at all", {}, true, true, true, true},
      {"every series hidden", {{AxisId::Bottom, false}, {AxisId::Top, false}}, true, true, true,
       true},
      {"a shown bottom series", {{AxisId::Bottom, true}, {AxisId::Top, false}}, true, true, false,
       false},
      {"a shown top series", {{AxisId::Bottom, false}, {AxisId::Top, true}}, true, false, true,
       false},
      {"a series per axis", {{AxisId::Bottom, true}, {AxisId::Top, true}}, true, true, true,
       false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ChartModel model;
    for (const auto& [axis, shown] : c.series) {
      // An empty series counts.
      Series& s = model.addSeries("s", "s", SeriesKind::Point, axis, std::nullopt);
      s.setActive(shown);
    }
    EXPECT_EQ(model.axisVisible(AxisId::Left), c.left);
    EXPECT_EQ(model.axisVisible(AxisId::Bottom), c.bottom);
    EXPECT_EQ(model.axisVisible(AxisId::Top), c.top);
    EXPECT_EQ(model.axisVisible(AxisId::Right), c.right);
  }
}

// --- Zoom state ---------------------------------------------------------------

class ZoomStateTest : public testing::Test {
 protected:
  ZoomStateTest() { setHomeView(model); }
  ChartModel model;
  EventSpy spy{model};
};

TEST_F(ZoomStateTest, ZoomPutsOrderedBoundsInForceBeforeOnZoom) {
  const AllBounds zoomed{{{5, -5}, {10, 20}, {40, 30}, {1, 2}}};  // two pairs reversed
  const AllBounds ordered{{{-5, 5}, {10, 20}, {30, 40}, {1, 2}}};
  model.zoomTo(zoomed);
  EXPECT_EQ(spy.zooms, 1);
  EXPECT_EQ(spy.resets, 0);
  EXPECT_EQ(spy.boundsAtZoom.at(0), ordered);
  EXPECT_TRUE(spy.zoomedAtZoom.at(0));
  EXPECT_EQ(model.currentBounds(), ordered);
  EXPECT_TRUE(model.Zoomed());
  EXPECT_TRUE(model.hasRememberedBounds());
}

TEST_F(ZoomStateTest, TwoZoomsAndOneResetReturnToTheViewBeforeTheFirst) {
  model.zoomTo({{{-5, 5}, {10, 20}, {10, 20}, {0, 0}}});
  model.zoomTo({{{-1, 1}, {12, 14}, {12, 14}, {0, 0}}});
  model.BottomAxis().SetMaximum(15);  // the program's own change is not remembered
  model.UndoZoom();
  EXPECT_EQ(spy.zooms, 2);
  ASSERT_EQ(spy.resets, 1);
  EXPECT_EQ(spy.boundsAtReset.at(0), homeBounds());
  EXPECT_FALSE(spy.zoomedAtReset.at(0));
  EXPECT_FALSE(model.Zoomed());
  EXPECT_FALSE(model.hasRememberedBounds());
}

TEST_F(ZoomStateTest, PanThenResetPutsBackThePrePanViewBeforeOnUndoZoom) {
  model.panBy({{-3, -10, -10, 0}});
  model.panBy({{1, -5, -5, 0}});
  EXPECT_EQ(model.currentBounds(), (AllBounds{{{-17, 13}, {-15, 55}, {-15, 55}, {0, 0}}}));
  EXPECT_EQ(spy.zooms, 0);
  EXPECT_EQ(spy.resets, 0);
  EXPECT_FALSE(model.Zoomed());
  EXPECT_TRUE(model.hasRememberedBounds());

  model.UndoZoom();
  ASSERT_EQ(spy.resets, 1);
  EXPECT_EQ(spy.boundsAtReset.at(0), homeBounds());
}

TEST_F(ZoomStateTest, PanLeavesZoomedAsItIs) {
  model.zoomTo({{{-5, 5}, {10, 20}, {10, 20}, {0, 0}}});
  model.panBy({{1, 1, 1, 1}});
  EXPECT_TRUE(model.Zoomed());
  EXPECT_EQ(spy.zooms, 1);
  model.UndoZoom();
  // The zoom remembered the view; the pan after it did not replace that copy.
  EXPECT_EQ(spy.boundsAtReset.at(0), homeBounds());
}

TEST_F(ZoomStateTest, ResetWithNothingHeldStillRaisesOnUndoZoomOnce) {
  model.BottomAxis().SetMaximum(52);
  model.UndoZoom();
  ASSERT_EQ(spy.resets, 1);
  AllBounds expected = homeBounds();
  expected[static_cast<std::size_t>(AxisId::Bottom)] = {0, 52};
  EXPECT_EQ(spy.boundsAtReset.at(0), expected);
  EXPECT_FALSE(spy.zoomedAtReset.at(0));

  // A second reset right after puts nothing back either.
  model.zoomTo({{{-5, 5}, {10, 20}, {10, 20}, {0, 0}}});
  model.UndoZoom();
  model.UndoZoom();
  EXPECT_EQ(spy.resets, 3);
  EXPECT_EQ(spy.boundsAtReset.at(2), expected);
}

TEST_F(ZoomStateTest, OnUndoZoomRunsToItsEndBeforeUndoZoomReturns) {
  // Like the window's reset handler: sets the home view one bound at a time.
  bool finished = false;
  model.OnUndoZoom = [&] {
    model.BottomAxis().SetMinimum(0);
    model.LeftAxis().SetMinimum(-15);
    model.LeftAxis().SetMaximum(15);
    model.BottomAxis().SetMaximum(100);
    model.TopAxis().SetMaximum(100);
    finished = true;
  };
  model.zoomTo({{{-5, 5}, {10, 20}, {10, 20}, {0, 0}}});
  model.UndoZoom();
  EXPECT_TRUE(finished);
  EXPECT_EQ(model.currentBounds(), (AllBounds{{{-15, 15}, {0, 100}, {0, 100}, {0, 0}}}));
}

TEST_F(ZoomStateTest, ExceptionsFromHandlersPassThroughAndLeaveTheStateSetBeforeThem) {
  const AllBounds zoomed{{{-5, 5}, {10, 20}, {10, 20}, {0, 0}}};
  model.OnZoom = [] { throw AxisRangeError(kMinimumRefused); };
  EXPECT_THROW(model.zoomTo(zoomed), AxisRangeError);
  EXPECT_EQ(model.currentBounds(), zoomed);
  EXPECT_TRUE(model.Zoomed());

  model.OnUndoZoom = [&] { model.BottomAxis().SetMinimum(80); };
  try {
    model.UndoZoom();
    ADD_FAILURE() << "no exception";
  } catch (const AxisRangeError& error) {
    EXPECT_STREQ(error.what(), kMinimumRefused);
  }
  EXPECT_EQ(model.currentBounds(), homeBounds());
  EXPECT_FALSE(model.Zoomed());
  EXPECT_FALSE(model.hasRememberedBounds());
}

TEST_F(ZoomStateTest, BoundsThatAreNotFiniteDoNothing) {
  model.zoomTo({{{-5, 5}, {kNaN, 20}, {10, 20}, {0, 0}}});
  model.panBy({{0, kInf, 0, 0}});
  model.panBy({{0, 0, 0, kNaN}});
  EXPECT_EQ(spy.zooms, 0);
  EXPECT_FALSE(model.Zoomed());
  EXPECT_FALSE(model.hasRememberedBounds());
  EXPECT_EQ(model.currentBounds(), homeBounds());
}

// --- Legend presses and paint -------------------------------------------------

class LegendPressTest : public testing::Test {
 protected:
  LegendPressTest() {
    const char* titles[] = {"Fast gait", "Slow gait", "LinearFast", "Normalised Fast"};
    for (const char* title : titles)
      rows.push_back(&model.addSeries(title, title, SeriesKind::Line, AxisId::Bottom, 0xFF0000FF));
    rows[2]->showInLegend = false;
    rows.erase(rows.begin() + 2);
    model.OnClickLegend = [this](MouseButton button, ShiftState shift, int x, int y) {
      clicks.push_back({button, shift.shift, x, y});
    };
  }
  struct Click {
    MouseButton button;
    bool shift;
    int x, y;
  };
  ChartModel model;
  std::vector<Series*> rows;
  std::vector<Click> clicks;
};

TEST_F(LegendPressTest, APressTogglesTheRowsSeriesThenRaisesOnClickLegend) {
  bool activeSeenByHandler = true;
  model.OnClickLegend = [&](MouseButton button, ShiftState shift, int x, int y) {
    activeSeenByHandler = rows[2]->Active();
    clicks.push_back({button, shift.shift, x, y});
  };
  model.pressLegendRow(2, MouseButton::Right, ShiftState{true, false, false}, 851, 150);
  EXPECT_FALSE(rows[2]->Active());
  EXPECT_FALSE(activeSeenByHandler);
  ASSERT_EQ(clicks.size(), 1u);
  EXPECT_EQ(clicks[0].button, MouseButton::Right);
  EXPECT_TRUE(clicks[0].shift);
  EXPECT_EQ(clicks[0].x, 851);
  EXPECT_EQ(clicks[0].y, 150);
  EXPECT_TRUE(model.series(2).Active());  // the unlisted series is not a row

  // The two presses of a double click toggle twice.
  model.pressLegendRow(0, MouseButton::Left, {}, 0, 0);
  model.pressLegendRow(0, MouseButton::Left, {}, 0, 0);
  EXPECT_TRUE(rows[0]->Active());
  EXPECT_EQ(clicks.size(), 3u);
}

TEST_F(LegendPressTest, RowsOutOfRangeDoNothing) {
  for (int row : {-1, 3, 100}) {
    SCOPED_TRACE(row);
    model.pressLegendRow(row, MouseButton::Left, {}, 0, 0);
  }
  EXPECT_TRUE(clicks.empty());
  for (int i = 0; i < model.seriesCount(); ++i) EXPECT_TRUE(model.series(i).Active());
}

TEST(AfterDrawTest, RaisesOnAfterDrawWhenBound) {
  ChartModel model;
  EXPECT_NO_THROW(model.raiseAfterDraw());
  int draws = 0;
  model.OnAfterDraw = [&] { ++draws; };
  model.raiseAfterDraw();
  model.raiseAfterDraw();
  EXPECT_EQ(draws, 2);
}

}  // namespace
}  // namespace velmora::chart
