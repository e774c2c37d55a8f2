// What the window first shows, right after start-up.
#include <string>

#include "Reference.h"
#include "WindowFixture.h"

using nlohmann::json;

namespace {

void expectSamplePoints(const json& points, const std::vector<float>& samples, int nullPoints,
                        double firstX, const char* colour, bool labelled) {
  ASSERT_EQ(points.size(), samples.size() + static_cast<std::size_t>(nullPoints));
  for (int k = 0; k < nullPoints; ++k) {
    SCOPED_TRACE(k);
    EXPECT_TRUE(points[k]["null"].get<bool>());
    EXPECT_EQ(points[k]["x"].get<double>(), k);
    EXPECT_EQ(points[k]["y"].get<double>(), 0.0);
    EXPECT_EQ(points[k]["label"], "");
  }
  for (std::size_t i = 0; i < samples.size(); ++i) {
    SCOPED_TRACE(i);
    const json& point = points[i + static_cast<std::size_t>(nullPoints)];
    EXPECT_FALSE(point["null"].get<bool>());
    EXPECT_EQ(point["x"].get<double>(), firstX + static_cast<double>(i));
    EXPECT_EQ(point["y"].get<double>(), static_cast<double>(samples[i]));
    EXPECT_EQ(point["label"], labelled ? std::to_string(i + 1) : "");
    EXPECT_EQ(point["color"], colour);
  }
}

}  // namespace

TEST_F(WindowTest, WindowTitleSizeAndChartTitle) {
  const json state = dump();
  EXPECT_EQ(state["window"]["title"], "Velmora");
  EXPECT_EQ(state["window"]["width"], 1000);
  EXPECT_EQ(state["window"]["height"], 600);
  const std::string title = state["chart"]["title"];
  EXPECT_EQ(title, "Gait curves at fast and slow speed" + std::string(12, ' '));
  EXPECT_EQ(title.size(), 46u);
  EXPECT_EQ(state["chart"]["color"], "FFF0F0F0");
  EXPECT_TRUE(state["errors"].empty());
}

TEST_F(WindowTest, RawSeriesAndLinearCurvesHoldTheSamples) {
  const json series = dump()["series"];
  expectSamplePoints(series["Series1"]["points"], reference::fastSamples(), 0, 0.0, "FF0000FF", true);
  expectSamplePoints(series["Series5"]["points"], reference::fastSamples(), 0, 0.0, "FF0000FF", true);
  expectSamplePoints(series["Series2"]["points"], reference::slowSamples(), 5, 5.0, "FF008000", true);
  expectSamplePoints(series["Series6"]["points"], reference::slowSamples(), 5, 5.0, "FF008000", true);
}

TEST_F(WindowTest, ShownAndHiddenSeriesAfterStartUp) {
  const json series = dump()["series"];
  const std::pair<const char*, bool> expected[] = {
      {"Series1", true},  {"Series2", true},  {"Series3", false},  {"Series4", false},
      {"Series5", false}, {"Series6", false}, {"Series7", true},   {"Series8", true},
      {"Series9", false}, {"Series10", false}, {"Series11", true}, {"Series12", true}};
  for (const auto& [name, shown] : expected) {
    SCOPED_TRACE(name);
    EXPECT_EQ(series[name]["active"].get<bool>(), shown);
    EXPECT_EQ(series[name]["transparency"], 0);
  }
  for (const char* empty : {"Series3", "Series4", "Series7", "Series8", "Series11", "Series12"})
    EXPECT_TRUE(series[empty]["points"].empty()) << empty;
}

TEST_F(WindowTest, PointNumberSeriesMarkFirstAndLastSamples) {
  const json series = dump()["series"];
  const auto& fast = reference::fastSamples();
  const auto& slow = reference::slowSamples();
  struct Expected {
    const char* series;
    double x;
    float y;
    const char* label;
  } cases[] = {{"Series9", 0, fast.front(), "#1"},  {"Series9", 52, fast.back(), "#53"},
               {"Series10", 5, slow.front(), "#1"}, {"Series10", 65, slow.back(), "#61"}};
  for (int s = 0; s < 2; ++s) EXPECT_EQ(series[cases[2 * s].series]["points"].size(), 2u);
  for (int c = 0; c < 4; ++c) {
    SCOPED_TRACE(c);
    const json& point = series[cases[c].series]["points"][c % 2];
    EXPECT_EQ(point["x"].get<double>(), cases[c].x);
    EXPECT_EQ(point["y"].get<double>(), static_cast<double>(cases[c].y));
    EXPECT_EQ(point["label"], cases[c].label);
    EXPECT_EQ(point["color"], "00FFFFFF");
    EXPECT_FALSE(point["null"].get<bool>());
  }
}

TEST_F(WindowTest, AxesAndSavedRangeAsLoaded) {
  const json state = dump();
  const json& axes = state["axes"];
  EXPECT_EQ(axes["left"]["min"], -15.0);
  EXPECT_EQ(axes["left"]["max"], 15.0);
  EXPECT_EQ(axes["left"]["title"], "Angle (degrees)");
  for (const char* horizontal : {"bottom", "top"}) {
    EXPECT_EQ(axes[horizontal]["min"], 0.0) << horizontal;
    EXPECT_EQ(axes[horizontal]["max"], 70.0) << horizontal;
    EXPECT_EQ(axes[horizontal]["labelColor"], "FF000000") << horizontal;
  }
  EXPECT_EQ(axes["bottom"]["title"], "Samples");
  EXPECT_EQ(axes["top"]["title"], "");
  // Start-up copies the bottom's minor-grid colour over the layout's.
  EXPECT_EQ(axes["bottom"]["minorGridColor"], "FFD8E4E3");
  EXPECT_EQ(axes["top"]["minorGridColor"], "FFD8E4E3");
  EXPECT_EQ(state["savedRange"], json({0.0, 70.0, 0.0, 70.0, -15.0, 15.0}));
  EXPECT_FALSE(state["zoomed"].get<bool>());
}

TEST_F(WindowTest, ControlsStartInTheirLayoutStates) {
  const json controls = dump()["controls"];
  EXPECT_EQ(controls["TrackBar1"]["value"], 0.0);
  EXPECT_EQ(controls["TrackBar2"]["value"], 3.0);
  for (const char* pan : {"TrackBar3", "TrackBar4"}) {
    EXPECT_EQ(controls[pan]["value"], 0.0) << pan;
    EXPECT_FALSE(controls[pan]["visible"].get<bool>()) << pan;
  }
  EXPECT_FALSE(controls["Switch1"]["on"].get<bool>());
  EXPECT_FALSE(controls["CheckBox1"]["checked"].get<bool>());
  EXPECT_FALSE(controls["CheckBox2"]["checked"].get<bool>());
  EXPECT_TRUE(controls["CheckBox3"]["checked"].get<bool>());
  const std::pair<const char*, const char*> texts[] = {
      {"CheckBox1", "Normalise to gait cycle"}, {"CheckBox2", "Point #"}, {"CheckBox3", "Connect"},
      {"Label1", "Stretch"}, {"Label2", "Points"}, {"Label3", "Linear"}, {"Label4", "Spline"},
      {"Label5", "3"}};
  for (const auto& [name, text] : texts) EXPECT_EQ(controls[name]["text"], text) << name;
  EXPECT_EQ(controls["Label7"]["text"],
            "To zoom an area: drag a rectangle down+right.\nTo pan: drag with right button.\n"
            "To reset: drag up+left.");
  EXPECT_EQ(controls["Image1"]["pictureWidth"], 218);
  EXPECT_EQ(controls["Image1"]["pictureHeight"], 166);
  for (const auto& [name, control] : controls.items())
    if (name != "TrackBar3" && name != "TrackBar4") {
      EXPECT_TRUE(control["visible"].get<bool>()) << name;
      EXPECT_TRUE(control["enabled"].get<bool>()) << name;
    }
}

TEST_F(WindowTest, ControlsStandAtTheirLayoutPlaces) {
  const json controls = dump()["controls"];
  struct Place {
    const char* name;
    int x, y, width, height;
  } places[] = {{"Image1", 8, 8, 57, 57},        {"CheckBox2", 796, 303, 78, 19},
                {"Label1", 796, 344, 54, 20},     {"TrackBar1", 881, 346, 89, 19},
                {"Label2", 796, 390, 54, 20},     {"Label5", 844, 390, 33, 20},
                {"TrackBar2", 881, 392, 89, 19},  {"CheckBox3", 796, 413, 94, 19},
                {"Label3", 796, 450, 54, 20},     {"Switch1", 853, 448, 44, 26},
                {"Label4", 910, 450, 53, 20},     {"CheckBox1", 796, 496, 197, 30},
                {"Label6", 760, 576, 233, 20},    {"TrackBar3", 56, 577, 762, 19},
                {"TrackBar4", 6, 56, 19, 500}};
  for (const auto& place : places) {
    SCOPED_TRACE(place.name);
    const json& control = controls[place.name];
    EXPECT_EQ(control["x"], place.x);
    EXPECT_EQ(control["y"], place.y);
    // Captions may grow to fit their text, never shrink.
    const bool caption = std::string(place.name).rfind("Label", 0) == 0;
    if (caption) {
      EXPECT_GE(control["width"].get<int>(), place.width);
      EXPECT_GE(control["height"].get<int>(), place.height);
    } else {
      EXPECT_EQ(control["width"], place.width);
      EXPECT_EQ(control["height"], place.height);
    }
  }
}

TEST_F(WindowTest, AnchorsMoveThePanelWithTheRightEdge) {
  run("resize 1200 600");
  const json controls = dump()["controls"];
  EXPECT_EQ(controls["CheckBox1"]["x"], 996);
  EXPECT_EQ(controls["TrackBar2"]["x"], 1081);
  EXPECT_EQ(controls["Label6"]["x"], 960);
  EXPECT_EQ(controls["Label6"]["y"], 576);
  EXPECT_EQ(controls["Image1"]["x"], 8);
  EXPECT_EQ(controls["Image1"]["y"], 8);
  EXPECT_EQ(controls["TrackBar3"]["width"], 962);

  // Taller: right-anchored controls keep their vertical centre's fraction,
  // the credit line its distance to the bottom.
  run("resize 1000 800");
  const json taller = dump()["controls"];
  EXPECT_EQ(taller["CheckBox1"]["y"], 511 * 800 / 600 - 15);
  EXPECT_EQ(taller["Label6"]["y"], 776);
  EXPECT_EQ(taller["TrackBar4"]["height"], 700);
}

TEST_F(WindowTest, HintSitsInsideThePlotCornerAfterPaint) {
  const json state = dump();
  const int left = state["axes"]["left"]["pos"];
  const int top = state["axes"]["top"]["pos"];
  EXPECT_GT(left, 0);
  EXPECT_GT(top, 0);
  EXPECT_EQ(state["controls"]["Label7"]["x"], left + 8);
  EXPECT_EQ(state["controls"]["Label7"]["y"], top + 8);
}
