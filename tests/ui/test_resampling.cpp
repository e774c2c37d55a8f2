// Resampling through the window: the Points slider, the method switch, the
// arrays and the normalised series, bit for bit against the oracle.
#include <cstring>
#include <string>

#include "Reference.h"
#include "WindowFixture.h"

using nlohmann::json;

namespace {

const std::vector<float>& fastTable() {
  static const auto table = reference::splineTable(reference::fastSamples(), 5300);
  return table;
}
const std::vector<float>& slowTable() {
  static const auto table = reference::splineTable(reference::slowSamples(), 6100);
  return table;
}

std::uint32_t bits(double value) {
  const float single = static_cast<float>(value);
  std::uint32_t word;
  std::memcpy(&word, &single, sizeof word);
  return word;
}

// A series' points after `nulls` null points equal the expected ones exactly.
void expectPoints(const json& points, int nulls, const std::vector<reference::Point>& expected) {
  ASSERT_EQ(points.size(), expected.size() + static_cast<std::size_t>(nulls));
  for (int k = 0; k < nulls; ++k) EXPECT_TRUE(points[k]["null"].get<bool>()) << k;
  for (std::size_t i = 0; i < expected.size(); ++i) {
    const json& point = points[i + static_cast<std::size_t>(nulls)];
    ASSERT_EQ(point["x"].get<double>(), expected[i].x) << "point " << i;
    ASSERT_EQ(point["y"].get<double>(), static_cast<double>(expected[i].value)) << "point " << i;
    ASSERT_FALSE(point["null"].get<bool>());
    ASSERT_EQ(point["label"], "");
    ASSERT_EQ(point["color"], "00FFFFFF");
  }
}

void expectArray(const json& array, const std::vector<reference::Point>& expected) {
  for (std::size_t i = 0; i < expected.size(); ++i)
    ASSERT_EQ(bits(array[i].get<double>()), bits(expected[i].value)) << "entry " << i;
}

}  // namespace

TEST_F(WindowTest, TablesEqualTheOracleBitForBit) {
  const json tables = json::parse(run("tables"));
  ASSERT_EQ(tables["fastCurve"].size(), 5301u);
  ASSERT_EQ(tables["slowCurve"].size(), 6101u);
  for (int j = 0; j <= 5300; ++j)
    ASSERT_EQ(bits(tables["fastCurve"][j].get<double>()), bits(fastTable()[j])) << j;
  for (int j = 0; j <= 6100; ++j)
    ASSERT_EQ(bits(tables["slowCurve"][j].get<double>()), bits(slowTable()[j])) << j;
  EXPECT_EQ(tables["slowCurve"][3355].get<double>(), reference::slowSamples()[33]);
}

TEST_F(WindowTest, EveryPointCountAndBothMethodsMatchTheRules) {
  for (int method = 0; method < 2; ++method) {
    if (method == 1) run("click Switch1");
    for (int n = 100; n >= 3; --n) {  // from 100 down: each set is a change
      SCOPED_TRACE("N = " + std::to_string(n) + (method ? " spline" : " linear"));
      run("set TrackBar2 " + std::to_string(n));
      const json state = dump();
      const json& series = state["series"];
      const auto fast = method ? reference::spline(fastTable(), 52, n, 0.0)
                               : reference::linear(reference::fastSamples(), n, 0.0);
      const auto slow = method ? reference::spline(slowTable(), 60, n, 5.0)
                               : reference::linear(reference::slowSamples(), n, 5.0);
      expectPoints(series["Series3"]["points"], 0, fast);
      expectPoints(series["Series4"]["points"], 5, slow);
      expectArray(state["fastNorm"], fast);
      expectArray(state["slowNorm"], slow);
      EXPECT_EQ(state["controls"]["Label5"]["text"], std::to_string(n));
      if (method == 1) {
        expectPoints(series["Series7"]["points"], 0, reference::splineCurve(fastTable(), 53, 52, 0.0));
        expectPoints(series["Series8"]["points"], 0, reference::splineCurve(slowTable(), 61, 60, 5.0));
      }
      if (HasFatalFailure()) return;
    }
  }
}

TEST_F(WindowTest, ExactSamplesWhereThePositionIsWhole) {
  const auto& fast = reference::fastSamples();
  const auto& slow = reference::slowSamples();
  run("set TrackBar2 4\nset TrackBar2 3");
  json state = dump();
  EXPECT_EQ(state["fastNorm"][0].get<double>(), fast[0]);
  EXPECT_EQ(state["fastNorm"][1].get<double>(), fast[26]);
  EXPECT_EQ(state["fastNorm"][2].get<double>(), fast[52]);
  EXPECT_EQ(state["slowNorm"][1].get<double>(), slow[30]);
  EXPECT_EQ(state["series"]["Series4"]["points"][6]["x"].get<double>(), 35.0);
  run("set TrackBar2 53");
  state = dump();
  for (int i = 0; i < 53; ++i) EXPECT_EQ(state["fastNorm"][i].get<double>(), fast[i]) << i;
  run("set TrackBar2 61");
  state = dump();
  for (int i = 0; i < 61; ++i) EXPECT_EQ(state["slowNorm"][i].get<double>(), slow[i]) << i;
}

TEST_F(WindowTest, SplineReadsOneLowerWhereTheQuotientRoundsDown) {
  run("click Switch1\nset TrackBar2 11");
  EXPECT_EQ(dump()["fastNorm"][7].get<double>(), fastTable()[3709]);
  EXPECT_NE(fastTable()[3709], fastTable()[3710]);
  run("set TrackBar2 62");
  EXPECT_EQ(dump()["slowNorm"][5].get<double>(), slowTable()[499]);
}

TEST_F(WindowTest, CompanionRuleGivesOneOfTwoPictures) {
  struct Picture {
    const char* script;
    bool linear;
  } pictures[] = {{"set TrackBar2 20", true}, {"click Switch1", false}, {"click Switch1", true},
                  {"click TrackBar2", true}};
  for (const auto& picture : pictures) {
    SCOPED_TRACE(picture.script);
    run(picture.script);
    const json series = dump()["series"];
    for (const char* normalised : {"Series3", "Series4"})
      EXPECT_TRUE(series[normalised]["active"].get<bool>());
    for (const char* linear : {"Series5", "Series6"})
      EXPECT_EQ(series[linear]["active"].get<bool>(), picture.linear) << linear;
    for (const char* spline : {"Series7", "Series8"})
      EXPECT_EQ(series[spline]["active"].get<bool>(), !picture.linear) << spline;
    for (const char* untouched : {"Series1", "Series2"})
      EXPECT_TRUE(series[untouched]["active"].get<bool>());
    EXPECT_FALSE(series["Series9"]["active"].get<bool>());
  }
}

TEST_F(WindowTest, SwitchBeforeTheSliderResamplesAtThreeAndKeepsTheLabel) {
  run("click Switch1");
  const json state = dump();
  EXPECT_EQ(state["series"]["Series3"]["points"].size(), 3u);
  EXPECT_EQ(state["series"]["Series4"]["points"].size(), 8u);
  EXPECT_EQ(state["series"]["Series7"]["points"].size(), 531u);
  EXPECT_EQ(state["series"]["Series8"]["points"].size(), 611u);
  EXPECT_EQ(state["controls"]["Label5"]["text"], "3");
  EXPECT_TRUE(state["series"]["Series7"]["active"].get<bool>());
  EXPECT_FALSE(state["series"]["Series5"]["active"].get<bool>());
}

TEST_F(WindowTest, PointCountIsTheWholePartOfTheSliderValue) {
  run("set TrackBar2 57.9");
  json state = dump();
  EXPECT_EQ(state["series"]["Series3"]["points"].size(), 57u);
  EXPECT_EQ(state["controls"]["Label5"]["text"], "57");
  EXPECT_EQ(state["controls"]["TrackBar2"]["value"].get<double>(), static_cast<double>(57.9f));

  // A change inside one whole number resamples again but keeps the label.
  run("set TrackBar2 10.2");
  state = dump();
  const double firstX = state["series"]["Series3"]["points"][1]["x"];
  run("set TrackBar2 10.7");
  state = dump();
  EXPECT_EQ(state["controls"]["Label5"]["text"], "10");
  EXPECT_EQ(state["series"]["Series3"]["points"].size(), 10u);
  EXPECT_EQ(state["series"]["Series3"]["points"][1]["x"].get<double>(), firstX);
}

TEST_F(WindowTest, ClickOnTheThumbResamplesWithoutTouchingTheLabel) {
  run("set TrackBar2 20");
  form().Label5->setText(QStringLiteral("stale"));
  run("click TrackBar2");
  const json state = dump();
  EXPECT_EQ(state["controls"]["TrackBar2"]["value"], 20.0);
  EXPECT_EQ(state["controls"]["Label5"]["text"], "stale");
  EXPECT_EQ(state["series"]["Series3"]["points"].size(), 20u);
}

TEST_F(WindowTest, FewerPointsLeaveTheTailOfTheArraysAlone) {
  run("set TrackBar2 100");
  const json before = dump();
  run("set TrackBar2 3");
  const json after = dump();
  for (const char* array : {"fastNorm", "slowNorm"})
    for (int i = 3; i < 100; ++i)
      EXPECT_EQ(after[array][i], before[array][i]) << array << "[" << i << "]";
}

TEST_F(WindowTest, HiddenNormalisedSeriesComesBackWithItsCompanion) {
  run("click Switch1\nset TrackBar2 20\nlegend 2");
  json series = dump()["series"];
  EXPECT_FALSE(series["Series3"]["active"].get<bool>());
  EXPECT_FALSE(series["Series7"]["active"].get<bool>());
  EXPECT_FALSE(series["Series5"]["active"].get<bool>());
  run("set TrackBar2 21");
  series = dump()["series"];
  EXPECT_TRUE(series["Series3"]["active"].get<bool>());
  EXPECT_TRUE(series["Series7"]["active"].get<bool>());
  EXPECT_FALSE(series["Series5"]["active"].get<bool>());
}
