// View control through real mouse events: zoom, wheel, pan, reset, Stretch.
#include <cmath>
#include <string>

#include <QImage>

#include "WindowFixture.h"

using nlohmann::json;

namespace {

struct Bounds {
  double bottomMin, bottomMax, topMin, topMax, leftMin, leftMax;
};

Bounds boundsOf(const json& state) {
  const json& axes = state["axes"];
  return {axes["bottom"]["min"], axes["bottom"]["max"], axes["top"]["min"],
          axes["top"]["max"],    axes["left"]["min"],   axes["left"]["max"]};
}

json asRange(const Bounds& b) {
  return json({b.bottomMin, b.bottomMax, b.topMin, b.topMax, b.leftMin, b.leftMax});
}

void expectBounds(const json& state, const Bounds& expected) {
  EXPECT_EQ(asRange(boundsOf(state)), asRange(expected));
}

constexpr Bounds kHome{0, 70, 0, 70, -15, 15};

class ViewTest : public WindowTest {
 protected:
  // A point in the plot, as a fraction of its width and height.
  std::string at(double fx, double fy) {
    const json plot = dump()["chart"]["plot"];
    const double x = plot["x"].get<double>() + fx * plot["width"].get<double>();
    const double y = plot["y"].get<double>() + fy * plot["height"].get<double>();
    return std::to_string(x) + " " + std::to_string(y);
  }
  std::string dragBy(const char* button, double dx, double dy, double fx = 0.5, double fy = 0.5) {
    const json plot = dump()["chart"]["plot"];
    const double x = plot["x"].get<double>() + fx * plot["width"].get<double>();
    const double y = plot["y"].get<double>() + fy * plot["height"].get<double>();
    return std::string("drag ") + button + " " + std::to_string(x) + " " + std::to_string(y) + " " +
           std::to_string(x + dx) + " " + std::to_string(y + dy);
  }
};

}  // namespace

TEST_F(ViewTest, DragThresholdsDecideBetweenNothingZoomAndReset) {
  struct Case {
    double dx, dy;
    bool zooms;
  } cases[] = {{16, 40, false}, {40, 16, false}, {-16, -40, false}, {17, 17, true}, {17, -17, true}};
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.dx) + "," + std::to_string(c.dy));
    run(dragBy("left", c.dx, c.dy));
    const json state = dump();
    EXPECT_EQ(state["zoomed"].get<bool>(), c.zooms);
    if (c.zooms) {
      EXPECT_NE(asRange(boundsOf(state)), asRange(kHome));
      EXPECT_EQ(state["savedRange"], asRange(boundsOf(state)));
      EXPECT_LT(state["axes"]["bottom"]["max"].get<double>() - state["axes"]["bottom"]["min"].get<double>(), 5.0);
    } else {
      expectBounds(state, kHome);
    }
    run(dragBy("left", -17, 17));  // a reset
    const json reset = dump();
    EXPECT_FALSE(reset["zoomed"].get<bool>());
    expectBounds(reset, kHome);
    EXPECT_EQ(reset["savedRange"], asRange(kHome));
  }
  EXPECT_TRUE(dump()["errors"].empty());
}

TEST_F(ViewTest, ZoomTakesTheValuesUnderTheRectangle) {
  // From a quarter to three quarters of the plot, both ways.
  const json plot = dump()["chart"]["plot"];
  const double x0 = plot["x"], y0 = plot["y"], w = plot["width"], h = plot["height"];
  run("drag left " + std::to_string(x0 + w / 4) + " " + std::to_string(y0 + 3 * h / 4) + " " +
      std::to_string(x0 + 3 * w / 4) + " " + std::to_string(y0 + h / 4));
  const json state = dump();
  EXPECT_TRUE(state["zoomed"].get<bool>());
  const Bounds b = boundsOf(state);
  EXPECT_NEAR(b.bottomMin, 17.5, 0.15);
  EXPECT_NEAR(b.bottomMax, 52.5, 0.15);
  EXPECT_NEAR(b.leftMin, -7.5, 0.1);
  EXPECT_NEAR(b.leftMax, 7.5, 0.1);
}

TEST_F(ViewTest, WheelStepsNarrowAndWidenByATenthAtEachEnd) {
  run("wheel 1");
  json state = dump();
  Bounds b = boundsOf(state);
  // Within one pixel's worth of value of the exact tenths.
  const double pixel = 70.0 / state["chart"]["plot"]["width"].get<double>();
  EXPECT_NEAR(b.bottomMin, 7, pixel);
  EXPECT_NEAR(b.bottomMax, 63, pixel);
  EXPECT_NEAR(b.topMin, 7, pixel);
  EXPECT_NEAR(b.topMax, 63, pixel);
  EXPECT_NEAR(b.leftMin, -12, 0.1);
  EXPECT_NEAR(b.leftMax, 12, 0.1);
  EXPECT_TRUE(state["zoomed"].get<bool>());
  EXPECT_EQ(state["savedRange"], asRange(b));

  run("drag left " + at(0.6, 0.6) + " " + at(0.4, 0.4));  // reset
  run("wheel -1");
  state = dump();
  b = boundsOf(state);
  EXPECT_NEAR(b.bottomMin, -7, pixel);
  EXPECT_NEAR(b.bottomMax, 77, pixel);
  EXPECT_NEAR(b.leftMin, -18, 0.1);
  EXPECT_NEAR(b.leftMax, 18, 0.1);
  EXPECT_EQ(state["savedRange"], asRange(b));
}

TEST_F(ViewTest, EachWheelStepRaisesOneZoom) {
  int zooms = 0;
  auto original = model().OnZoom;
  model().OnZoom = [&] {
    ++zooms;
    original();
  };
  run("wheel 3");
  EXPECT_EQ(zooms, 3);
  run("wheel -2");
  EXPECT_EQ(zooms, 5);
}

TEST_F(ViewTest, PanKeepsSavedRangeAndResetPutsBackTheBoundsBeforeThePan) {
  run(dragBy("right", 120, -60));
  json state = dump();
  const Bounds panned = boundsOf(state);
  EXPECT_FALSE(state["zoomed"].get<bool>());
  EXPECT_LT(panned.bottomMax, 70.0);
  EXPECT_LT(panned.leftMax, 15.0);
  EXPECT_EQ(state["savedRange"], asRange(kHome));

  Bounds seenByHandler{};
  auto original = model().OnUndoZoom;
  model().OnUndoZoom = [&] {
    auto& m = model();
    seenByHandler = {m.BottomAxis().Minimum(), m.BottomAxis().Maximum(), m.TopAxis().Minimum(),
                     m.TopAxis().Maximum(),    m.LeftAxis().Minimum(),   m.LeftAxis().Maximum()};
    original();
  };
  run(dragBy("left", -30, -30));
  EXPECT_EQ(asRange(seenByHandler), asRange(kHome));
  expectBounds(dump(), kHome);
}

TEST_F(ViewTest, TwoZoomsAndOneResetReturnToTheStart) {
  run(dragBy("left", 200, 150, 0.2, 0.2));
  run(dragBy("left", 100, 80, 0.3, 0.3));
  EXPECT_TRUE(dump()["zoomed"].get<bool>());
  run(dragBy("left", -40, -40));
  const json state = dump();
  EXPECT_FALSE(state["zoomed"].get<bool>());
  expectBounds(state, kHome);
}

TEST_F(ViewTest, ResetWithNothingZoomedStillRunsTheHandler) {
  int resets = 0;
  auto original = model().OnUndoZoom;
  model().OnUndoZoom = [&] {
    ++resets;
    original();
  };
  run(dragBy("left", -20, -20));
  EXPECT_EQ(resets, 1);
  expectBounds(dump(), kHome);
}

TEST_F(ViewTest, StretchBoundsAtTheEndsAndHalfway) {
  struct Case {
    const char* value;
    Bounds bounds;
  } cases[] = {{"100", {0, 52, 5, 65, -15, 15}},
               {"50", {0, 61, 2.5, 67.5, -15, 15}},
               {"0", {0, 70, 0, 70, -15, 15}}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.value);
    run(std::string("set TrackBar1 ") + c.value);
    const json state = dump();
    expectBounds(state, c.bounds);
    EXPECT_EQ(state["savedRange"], asRange(c.bounds));
  }
}

TEST_F(ViewTest, StretchWhileZoomedResetsFirst) {
  run(dragBy("left", 100, 100));
  ASSERT_TRUE(dump()["zoomed"].get<bool>());
  run("set TrackBar1 50");
  const json state = dump();
  EXPECT_FALSE(state["zoomed"].get<bool>());
  expectBounds(state, {0, 61, 2.5, 67.5, -15, 15});
}

TEST_F(ViewTest, StretchAfterAPanLeavesTheLeftAxisPanned) {
  run(dragBy("right", 40, 50));
  const Bounds panned = boundsOf(dump());
  ASSERT_NE(panned.leftMin, -15.0);
  run("set TrackBar1 100");
  const json state = dump();
  const Bounds expected{0, 52, 5, 65, panned.leftMin, panned.leftMax};
  expectBounds(state, expected);
  EXPECT_EQ(state["savedRange"], asRange(expected));
  EXPECT_TRUE(state["errors"].empty());
}

TEST_F(ViewTest, StretchAfterAFarPanStillGivesTheStretchBounds) {
  // Far enough towards smaller x that the bottom maximum falls below 0.
  for (int i = 0; i < 3; ++i) run(dragBy("right", 300, 0, 0.1, 0.5));
  ASSERT_LT(dump()["axes"]["bottom"]["max"].get<double>(), 0.0);
  for (const char* value : {"20", "20.5", "80"}) {
    SCOPED_TRACE(value);
    run(std::string("set TrackBar1 ") + value);
    const json state = dump();
    const double v = static_cast<double>(std::stof(value));
    const Bounds expected{0, (100 - v) / 100 * 18 + 52, v / 100 * 5, (100 - v) / 100 * 5 + 65,
                          boundsOf(state).leftMin, boundsOf(state).leftMax};
    expectBounds(state, expected);
    EXPECT_EQ(state["savedRange"], asRange(expected));
  }
  EXPECT_TRUE(dump()["errors"].empty());
}

TEST_F(ViewTest, TheAxisItselfStillRefusesACrossingBound) {
  auto& bottom = model().BottomAxis();
  try {
    bottom.SetMinimum(80);
    FAIL();
  } catch (const velmora::chart::AxisRangeError& error) {
    EXPECT_STREQ(error.what(), "Axis Minimum Value must be <= Maximum");
  }
  try {
    bottom.SetMaximum(-1);
    FAIL();
  } catch (const velmora::chart::AxisRangeError& error) {
    EXPECT_STREQ(error.what(), "Axis Maximum Value must be >= Minimum");
  }
  EXPECT_EQ(bottom.Minimum(), 0.0);
  EXPECT_EQ(bottom.Maximum(), 70.0);
}

TEST_F(ViewTest, PanSlidersFollowSavedRange) {
  run("set TrackBar3 50");
  json state = dump();
  EXPECT_EQ(state["axes"]["bottom"]["min"], -35.0);
  EXPECT_EQ(state["axes"]["bottom"]["max"], 35.0);
  EXPECT_EQ(state["axes"]["top"]["min"], -35.0);
  run("set TrackBar4 50");
  state = dump();
  EXPECT_EQ(state["axes"]["left"]["min"], 0.0);
  EXPECT_EQ(state["axes"]["left"]["max"], 30.0);
  // A zoom and a reset put both back to 0, invisibly.
  run("wheel 1");
  state = dump();
  EXPECT_EQ(state["controls"]["TrackBar3"]["value"], 0.0);
  EXPECT_EQ(state["controls"]["TrackBar4"]["value"], 0.0);
  EXPECT_FALSE(state["controls"]["TrackBar3"]["visible"].get<bool>());
}

TEST_F(ViewTest, RightPressOnALegendRowTogglesWithoutPanning) {
  run("legend 0 right");
  json state = dump();
  EXPECT_FALSE(state["series"]["Series1"]["active"].get<bool>());
  expectBounds(state, kHome);
  run("legend 0 left");
  state = dump();
  EXPECT_TRUE(state["series"]["Series1"]["active"].get<bool>());
  expectBounds(state, kHome);
}

TEST_F(ViewTest, HintLabelGoesEightInsideThePlotCorner) {
  model().LeftAxis().setPosAxis(62);
  model().TopAxis().setPosAxis(50);
  form().Chart1AfterDraw(form().Chart1);
  EXPECT_EQ(form().Label7->pos(), QPoint(70, 58));
}

TEST_F(ViewTest, HintFollowsThePlotAfterEveryPaint) {
  for (const char* size : {"resize 1400 800", "resize 700 500"}) {
    run(size);
    const json state = dump();
    EXPECT_EQ(state["controls"]["Label7"]["x"].get<int>(), state["axes"]["left"]["pos"].get<int>() + 8);
    EXPECT_EQ(state["controls"]["Label7"]["y"].get<int>(), state["axes"]["top"]["pos"].get<int>() + 8);
  }
}

TEST_F(ViewTest, ZoomRectangleIsDrawnSilverWithoutFillWhileDragging) {
  const json plot = dump()["chart"]["plot"];
  const int x0 = static_cast<int>(plot["x"].get<double>() + 100);
  const int y0 = static_cast<int>(plot["y"].get<double>() + 100);
  run("press left " + std::to_string(x0) + " " + std::to_string(y0));
  run("move left " + std::to_string(x0 + 200) + " " + std::to_string(y0 + 150));
  const std::string file = ::testing::TempDir() + "mid-drag.png";
  run("snapshot " + file);
  run("release left " + std::to_string(x0 + 200) + " " + std::to_string(y0 + 150));
  QImage image(QString::fromStdString(file));
  ASSERT_FALSE(image.isNull());
  const qreal ratio = image.devicePixelRatio();
  auto pixel = [&](int x, int y) { return image.pixel(int(x * ratio), int(y * ratio)) & 0xFFFFFF; };
  // Along the top edge, away from any curve, the outline is silver.
  int silver = 0;
  for (int x = x0 + 20; x < x0 + 180; ++x) silver += pixel(x, y0) == 0xC0C0C0;
  EXPECT_GT(silver, 100);
  EXPECT_TRUE(dump()["zoomed"].get<bool>());
}

TEST_F(ViewTest, MovingTheHintCausesAtMostOneMorePaint) {
  int paints = 0;
  auto original = model().OnAfterDraw;
  model().OnAfterDraw = [&] {
    ++paints;
    original();
  };
  // In place already: a repaint moves nothing and asks for nothing more.
  form().Chart1->update();
  velmora::script::ScriptDriver::settle();
  EXPECT_EQ(paints, 1);
  // Out of place: the paint moves it back, and one more paint follows.
  paints = 0;
  form().Label7->move(300, 300);
  form().Chart1->update();
  velmora::script::ScriptDriver::settle();
  EXPECT_GE(paints, 1);
  EXPECT_LE(paints, 2);
  const QPoint corner(model().LeftAxis().PosAxis() + 8, model().TopAxis().PosAxis() + 8);
  EXPECT_EQ(form().Label7->pos(), corner);
}
