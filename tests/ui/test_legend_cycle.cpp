// Legend clicks, "Point #", "Connect" and the gait-cycle mode.
#include <string>

#include "Reference.h"
#include "WindowFixture.h"

using nlohmann::json;

namespace {

float percent(int p, int n) { return static_cast<float>(static_cast<double>(p) / (n - 1) * 100.0); }

const char* const kPanel[] = {"TrackBar1", "Label1", "TrackBar2", "Label2", "Switch1",
                              "Label3",    "Label4", "Label5",    "CheckBox2", "CheckBox3"};

struct Visibility {
  bool s5, s6, s7, s8;
};

Visibility companions(const json& series) {
  return {series["Series5"]["active"], series["Series6"]["active"], series["Series7"]["active"],
          series["Series8"]["active"]};
}

void expectCompanions(const json& series, Visibility expected) {
  const Visibility actual = companions(series);
  EXPECT_EQ(actual.s5, expected.s5) << "Series5";
  EXPECT_EQ(actual.s6, expected.s6) << "Series6";
  EXPECT_EQ(actual.s7, expected.s7) << "Series7";
  EXPECT_EQ(actual.s8, expected.s8) << "Series8";
}

}  // namespace

TEST_F(WindowTest, PointNumbersFollowTheirRawCurves) {
  run("set CheckBox2 1");
  EXPECT_TRUE(active("Series9"));
  EXPECT_TRUE(active("Series10"));
  run("legend 1");  // hide "Slow gait"
  EXPECT_TRUE(active("Series9"));
  EXPECT_FALSE(active("Series10"));
  run("legend 1");
  EXPECT_TRUE(active("Series10"));
  run("set CheckBox2 0\nlegend 0\nset CheckBox2 1");
  EXPECT_FALSE(active("Series9"));
  EXPECT_TRUE(active("Series10"));
}

TEST_F(WindowTest, LegendClickReappliesTheCompanionRuleToBothCurves) {
  struct Case {
    const char* method;
    int row;
    Visibility after;
  } cases[] = {
      {"linear", 2, {false, true, false, false}},
      {"linear", 3, {true, false, false, false}},
      {"spline", 2, {false, false, false, true}},
      {"spline", 3, {false, false, true, false}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.method) + " row " + std::to_string(c.row));
    TearDown();
    SetUp();
    if (std::string(c.method) == "spline") run("click Switch1");
    run("set TrackBar2 12\nlegend " + std::to_string(c.row));
    expectCompanions(dump()["series"], c.after);
    run("legend " + std::to_string(c.row));
    const bool linear = std::string(c.method) == "linear";
    expectCompanions(dump()["series"], {linear, linear, !linear, !linear});
  }
}

TEST_F(WindowTest, LegendClickBeforeAnyResamplingLeavesTheCompanionsAlone) {
  run("legend 2");
  json series = dump()["series"];
  EXPECT_TRUE(series["Series3"]["active"].get<bool>());
  EXPECT_TRUE(series["Series3"]["points"].empty());
  expectCompanions(series, {false, false, true, true});
  run("legend 2");
  series = dump()["series"];
  EXPECT_FALSE(series["Series3"]["active"].get<bool>());
  expectCompanions(series, {false, false, true, true});
}

TEST_F(WindowTest, ConnectHidesOnlyTheLinesAndSurvivesRefills) {
  run("set CheckBox3 0");
  json series = dump()["series"];
  EXPECT_EQ(series["Series3"]["transparency"], 100);
  EXPECT_EQ(series["Series4"]["transparency"], 100);
  run("set TrackBar2 15\nset CheckBox1 1");
  series = dump()["series"];
  EXPECT_EQ(series["Series3"]["transparency"], 100);
  EXPECT_EQ(series["Series3"]["points"].size(), 15u);
  run("set CheckBox1 0\nset CheckBox3 1");
  series = dump()["series"];
  EXPECT_EQ(series["Series3"]["transparency"], 0);
  EXPECT_EQ(series["Series4"]["transparency"], 0);
}

TEST_F(WindowTest, CycleModeReplotsOnPercentOfTheGaitCycle) {
  run("set TrackBar2 4\nset TrackBar2 3\nset CheckBox1 1");
  json state = dump();
  const json& series = state["series"];
  const auto& fast = reference::fastSamples();
  const auto& slow = reference::slowSamples();
  ASSERT_EQ(series["Series1"]["points"].size(), 53u);
  ASSERT_EQ(series["Series2"]["points"].size(), 61u);
  for (int i = 0; i < 53; ++i) {
    EXPECT_EQ(series["Series1"]["points"][i]["x"].get<double>(), percent(i, 53)) << i;
    EXPECT_EQ(series["Series1"]["points"][i]["y"].get<double>(), fast[i]) << i;
  }
  for (int i = 0; i < 61; ++i) {
    EXPECT_FALSE(series["Series2"]["points"][i]["null"].get<bool>()) << i;
    EXPECT_EQ(series["Series2"]["points"][i]["x"].get<double>(), percent(i, 61)) << i;
    EXPECT_EQ(series["Series2"]["points"][i]["y"].get<double>(), slow[i]) << i;
  }
  EXPECT_EQ(series["Series1"]["points"][52]["x"].get<double>(), 100.0);
  EXPECT_EQ(series["Series2"]["points"][1]["x"].get<double>(), static_cast<float>(1.0 / 60 * 100));
  const double xs[] = {0, 50, 100};
  for (int p = 0; p < 3; ++p) {
    EXPECT_EQ(series["Series3"]["points"][p]["x"].get<double>(), xs[p]);
    EXPECT_EQ(series["Series4"]["points"][p]["x"].get<double>(), xs[p]);
    EXPECT_EQ(series["Series3"]["points"][p]["y"], state["fastNorm"][p]);
    EXPECT_EQ(series["Series4"]["points"][p]["y"], state["slowNorm"][p]);
  }
  for (const char* curve : {"Series5", "Series6", "Series7", "Series8"})
    EXPECT_TRUE(series[curve]["points"].empty()) << curve;

  const json& axes = state["axes"];
  EXPECT_EQ(axes["bottom"]["min"], 0.0);
  EXPECT_EQ(axes["bottom"]["max"], 100.0);
  EXPECT_EQ(axes["top"]["min"], 0.0);
  EXPECT_EQ(axes["top"]["max"], 100.0);
  EXPECT_EQ(axes["bottom"]["title"], "% Gait cycle");
  EXPECT_EQ(axes["top"]["labelColor"], "FFF0F0F0");
  for (const char* control : kPanel) EXPECT_FALSE(state["controls"][control]["enabled"].get<bool>()) << control;
  EXPECT_TRUE(state["controls"]["CheckBox1"]["enabled"].get<bool>());
}

TEST_F(WindowTest, CycleModeWithAHundredPoints) {
  run("set TrackBar2 100\nset CheckBox1 1");
  const json points = WindowTest::points("Series3");
  ASSERT_EQ(points.size(), 100u);
  for (int p = 0; p < 100; ++p) EXPECT_EQ(points[p]["x"].get<double>(), percent(p, 100)) << p;
  EXPECT_EQ(points[99]["x"].get<double>(), 100.0);
}

TEST_F(WindowTest, LeavingCycleModeRestoresSampleMode) {
  for (const char* method : {"linear", "spline"}) {
    SCOPED_TRACE(method);
    TearDown();
    SetUp();
    const bool spline = std::string(method) == "spline";
    if (spline) run("click Switch1");
    run("set TrackBar2 20\nset TrackBar1 100");
    const json before = dump();
    run("set CheckBox1 1\nset CheckBox1 0");
    const json after = dump();
    for (const char* name : {"Series1", "Series2", "Series3", "Series4", "Series7", "Series8"}) {
      SCOPED_TRACE(name);
      ASSERT_EQ(after["series"][name]["points"].size(), before["series"][name]["points"].size());
      for (std::size_t i = 0; i < before["series"][name]["points"].size(); ++i) {
        EXPECT_EQ(after["series"][name]["points"][i]["x"], before["series"][name]["points"][i]["x"]);
        EXPECT_EQ(after["series"][name]["points"][i]["y"], before["series"][name]["points"][i]["y"]);
        EXPECT_EQ(after["series"][name]["points"][i]["null"], before["series"][name]["points"][i]["null"]);
      }
    }
    EXPECT_EQ(after["fastNorm"], before["fastNorm"]);
    EXPECT_EQ(after["slowNorm"], before["slowNorm"]);
    EXPECT_EQ(after["axes"]["bottom"]["max"], 52.0);
    EXPECT_EQ(after["axes"]["top"]["min"], 5.0);
    EXPECT_EQ(after["axes"]["top"]["max"], 65.0);
    EXPECT_EQ(after["axes"]["top"]["labelColor"], "FF000000");
    EXPECT_EQ(after["axes"]["bottom"]["title"], "Samples");
    expectCompanions(after["series"], {!spline, !spline, spline, spline});
    // The linear curves are rebuilt from the samples, without null points.
    EXPECT_EQ(after["series"]["Series5"]["points"].size(), 53u);
    EXPECT_EQ(after["series"]["Series6"]["points"].size(), 61u);
    EXPECT_EQ(after["series"]["Series6"]["points"][0]["x"], 5.0);
    for (const char* control : kPanel) EXPECT_TRUE(after["controls"][control]["enabled"].get<bool>());
  }
}

TEST_F(WindowTest, CycleModeBeforeAnyResampling) {
  run("set CheckBox1 1");
  json series = dump()["series"];
  EXPECT_TRUE(series["Series3"]["points"].empty());
  EXPECT_TRUE(series["Series4"]["points"].empty());
  expectCompanions(series, {false, false, false, false});
  run("set CheckBox1 0");
  series = dump()["series"];
  EXPECT_EQ(series["Series2"]["points"].size(), 66u);
  EXPECT_TRUE(series["Series3"]["points"].empty());
  expectCompanions(series, {false, false, false, false});
}

TEST_F(WindowTest, ModeChangeTableOfCompanionsWithAHiddenNormalisedSeries) {
  struct Case {
    bool spline;
    Visibility inCycle;   // with "Normalised Slow" hidden in the legend
    Visibility back;
  } cases[] = {
      {false, {true, false, false, false}, {true, false, false, false}},
      {true, {false, false, true, false}, {false, false, true, false}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.spline ? "spline" : "linear");
    TearDown();
    SetUp();
    if (c.spline) run("click Switch1");
    run("set TrackBar2 9\nlegend 3\nset CheckBox1 1");
    json series = dump()["series"];
    expectCompanions(series, c.inCycle);
    EXPECT_FALSE(series["Series4"]["active"].get<bool>());
    run("set CheckBox1 0");
    series = dump()["series"];
    expectCompanions(series, c.back);
    EXPECT_FALSE(series["Series4"]["active"].get<bool>());
    EXPECT_TRUE(series["Series3"]["active"].get<bool>());
  }
}

TEST_F(WindowTest, ModeChangeUnchecksPointNumbers) {
  // Into cycle mode, then back; "Point #" is disabled in cycle mode, so it is
  // checked there from code.
  for (const char* into : {"1", "0"}) {
    SCOPED_TRACE(into);
    run("set CheckBox2 1");
    ASSERT_TRUE(dump()["controls"]["CheckBox2"]["checked"].get<bool>());
    run(std::string("set CheckBox1 ") + into);
    const json state = dump();
    EXPECT_FALSE(state["controls"]["CheckBox2"]["checked"].get<bool>());
    EXPECT_FALSE(state["series"]["Series9"]["active"].get<bool>());
    EXPECT_FALSE(state["series"]["Series10"]["active"].get<bool>());
  }
}

TEST_F(WindowTest, ModeChangeResetsAZoomedOrPannedView) {
  const json plot = dump()["chart"]["plot"];
  const double cx = plot["x"].get<double>() + plot["width"].get<double>() / 2;
  const double cy = plot["y"].get<double>() + plot["height"].get<double>() / 2;
  auto at = [](double x, double y) { return std::to_string(x) + " " + std::to_string(y); };
  run("set TrackBar1 100\ndrag left " + at(cx, cy) + " " + at(cx + 80, cy + 80));
  run("set TrackBar3 10\nset TrackBar4 -10");
  run("set CheckBox1 1");
  json state = dump();
  EXPECT_FALSE(state["zoomed"].get<bool>());
  EXPECT_EQ(state["axes"]["bottom"]["min"], 0.0);
  EXPECT_EQ(state["axes"]["bottom"]["max"], 100.0);
  EXPECT_EQ(state["axes"]["left"]["min"], -15.0);
  EXPECT_EQ(state["axes"]["left"]["max"], 15.0);
  EXPECT_EQ(state["controls"]["TrackBar3"]["value"], 0.0);
  EXPECT_EQ(state["controls"]["TrackBar4"]["value"], 0.0);
  EXPECT_EQ(state["controls"]["TrackBar1"]["value"], 100.0);

  run("drag right " + at(cx, cy) + " " + at(cx + 50, cy - 30));
  run("set CheckBox1 0");
  state = dump();
  EXPECT_EQ(state["axes"]["bottom"]["max"], 52.0);
  EXPECT_EQ(state["axes"]["top"]["min"], 5.0);
  EXPECT_EQ(state["axes"]["top"]["max"], 65.0);
  EXPECT_EQ(state["axes"]["left"]["min"], -15.0);
  EXPECT_EQ(state["savedRange"], json({0.0, 52.0, 5.0, 65.0, -15.0, 15.0}));
  EXPECT_TRUE(state["errors"].empty());
}

TEST_F(WindowTest, DisabledControlsTakeNoClicks) {
  run("set TrackBar2 7\nset CheckBox1 1\nclick Switch1\nclick CheckBox3\nclick TrackBar2\nclick CheckBox2");
  const json state = dump();
  EXPECT_FALSE(state["controls"]["Switch1"]["on"].get<bool>());
  EXPECT_TRUE(state["controls"]["CheckBox3"]["checked"].get<bool>());
  EXPECT_FALSE(state["controls"]["CheckBox2"]["checked"].get<bool>());
  EXPECT_EQ(state["series"]["Series3"]["points"][1]["x"].get<double>(), percent(1, 7));
  run("click CheckBox1");
  EXPECT_FALSE(dump()["controls"]["CheckBox1"]["checked"].get<bool>());
}
