// Where the layout puts things: legend, labels, plot, title; and that it
// stays sane at any size and with any bounds.
#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include <QFontMetricsF>
#include <gtest/gtest.h>

#include "tests/chart/test_paint_fixture.h"

namespace velmora::chart {
namespace {

using namespace velmora::chart::testing;

class ChartLayoutTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ensureApplication();
    setUpChart(model);
  }
  ChartLayout layoutAt(double w = 1000.0, double h = 600.0) const {
    return computeLayout(model, QSizeF(w, h));
  }
  ChartModel model;
};

std::vector<std::string> texts(const AxisLayout& axis) {
  std::vector<std::string> out;
  for (const AxisLabel& label : axis.labels) out.push_back(label.text.toStdString());
  return out;
}

TEST_F(ChartLayoutTest, LegendHasOneRowPerListedSeriesInOrder) {
  const ChartLayout layout = layoutAt();
  const std::vector<std::string> titles = {"Fast gait", "Slow gait", "Normalised Fast",
                                           "Normalised Slow"};
  ASSERT_EQ(layout.legendRows.size(), titles.size());
  for (std::size_t i = 0; i < titles.size(); ++i) {
    SCOPED_TRACE(i);
    const LegendRow& row = layout.legendRows[i];
    EXPECT_EQ(row.title.toStdString(), titles[i]);
    EXPECT_EQ(row.seriesIndex, static_cast<int>(i));
    EXPECT_TRUE(layout.legendRect.contains(row.row));
    EXPECT_TRUE(row.row.contains(row.checkBox));
    EXPECT_TRUE(row.row.contains(row.symbol.center()));
    EXPECT_LE(row.checkBox.right(), row.symbol.left());
    EXPECT_LE(row.symbol.right(), row.text.left());
    EXPECT_GT(row.row.left(), layout.plot.right());  // the legend stands right of the plot
    if (i > 0) {
      EXPECT_GE(row.row.top(), layout.legendRows[i - 1].row.bottom());
    }
    EXPECT_EQ(layout.legendRowAt(row.checkBox.center()), std::optional<int>(static_cast<int>(i)));
  }
  // Below the last row, inside the legend box, is no row.
  const QPointF below(layout.legendRect.center().x(), layout.legendRect.bottom() - 1.0);
  EXPECT_EQ(layout.legendRowAt(below), std::nullopt);
}

TEST_F(ChartLayoutTest, HiddenSeriesKeepTheirLegendRows) {
  model.series(kFast).setActive(false);
  model.series(kNormSlow).setActive(false);
  EXPECT_EQ(layoutAt().legendRows.size(), 4u);
}

// The panel's controls stand in the column x 796..993 from y 303 down at a
// 1000-wide window and keep their distance to the right edge.
TEST_F(ChartLayoutTest, LegendSpansTheControlColumnAndThePlotEndsLeftOfIt) {
  for (double width : {1000.0, 1200.0}) {
    SCOPED_TRACE(width);
    const ChartLayout layout = layoutAt(width, 600.0);
    const double shift = width - 1000.0;
    EXPECT_DOUBLE_EQ(layout.legendRect.right(), 993.0 + shift);
    EXPECT_LE(layout.legendRect.left(), 786.0 + shift);
    EXPECT_LT(layout.legendRect.bottom(), 303.0);
    EXPECT_LT(layout.plot.right(), layout.legendRect.left());
    // The last label of either horizontal axis ends left of the legend.
    for (AxisId id : {AxisId::Bottom, AxisId::Top}) {
      ASSERT_FALSE(layout.axis(id).labels.empty());
      EXPECT_LT(layout.axis(id).labels.back().rect.right(), layout.legendRect.left());
    }
    // The legend's top is a tenth of the way down the area below the title.
    const double below = layout.titleRect.bottom();
    EXPECT_NEAR(layout.legendRect.top(), below + 0.1 * (600.0 - below), 3.0);
  }
}

TEST_F(ChartLayoutTest, NothingOverlapsAtTheWindowSize) {
  const ChartLayout layout = layoutAt();
  std::vector<QRectF> boxes = {layout.titleRect, layout.legendRect};
  for (AxisId id : {AxisId::Left, AxisId::Bottom, AxisId::Top}) {
    const AxisLayout& axis = layout.axis(id);
    for (const AxisLabel& label : axis.labels) {
      EXPECT_FALSE(label.rect.intersects(layout.plot)) << label.text.toStdString();
      EXPECT_FALSE(label.rect.intersects(layout.legendRect));
      // Clear of the logo (8, 8, 57 x 57) and of the credit line (760, 576).
      EXPECT_FALSE(label.rect.intersects(QRectF(8, 8, 57, 57))) << label.text.toStdString();
      EXPECT_FALSE(label.rect.intersects(QRectF(760, 576, 233, 20))) << label.text.toStdString();
    }
    if (!axis.titleRect.isEmpty()) boxes.push_back(axis.titleRect);
  }
  EXPECT_FALSE(layout.legendRect.intersects(layout.plot));
  EXPECT_FALSE(layout.titleRect.intersects(layout.legendRect));
  EXPECT_FALSE(layout.axis(AxisId::Bottom).titleRect.intersects(QRectF(796, 303, 197, 300)));
  EXPECT_FALSE(layout.plot.intersects(QRectF(796, 303, 197, 300)));
}

struct LabelCase {
  const char* name;
  AxisId axis;
  double minimum, maximum, increment;
  std::vector<std::string> expected;
};

TEST_F(ChartLayoutTest, LabelsStandAtTheMultiplesOfTheStep) {
  const LabelCase cases[] = {
      {"bottom as loaded", AxisId::Bottom, 0, 70, 10, {"0", "10", "20", "30", "40", "50", "60", "70"}},
      {"top as loaded", AxisId::Top, 0, 70, 10, {"0", "10", "20", "30", "40", "50", "60", "70"}},
      {"left as loaded", AxisId::Left, -15, 15, 5, {"-15", "-10", "-5", "0", "5", "10", "15"}},
      {"bottom zoomed", AxisId::Bottom, 7, 63, 10, {"10", "20", "30", "40", "50", "60"}},
      {"top stretched", AxisId::Top, 2.5, 67.5, 10, {"10", "20", "30", "40", "50", "60"}},
      {"half steps", AxisId::Bottom, 0, 2, 0.5, {"0", "0.5", "1", "1.5", "2"}},
      {"tenths", AxisId::Left, -0.3, 0.3, 0.1, {"-0.3", "-0.2", "-0.1", "0", "0.1", "0.2", "0.3"}},
  };
  for (const LabelCase& c : cases) {
    SCOPED_TRACE(c.name);
    ChartModel m;
    setUpChart(m);
    Axis& axis = m.axis(c.axis);
    axis.setBoundsOrdered(c.minimum, c.maximum);
    axis.increment = c.increment;
    const ChartLayout layout = computeLayout(m, QSizeF(1000, 600));
    const AxisLayout& out = layout.axis(c.axis);
    EXPECT_EQ(texts(out), c.expected);
    const QRectF& plot = layout.plot;
    for (const AxisLabel& label : out.labels) {
      const double share = (label.value - c.minimum) / (c.maximum - c.minimum);
      if (axis.horizontal())
        EXPECT_NEAR(label.rect.center().x(), plot.left() + share * plot.width(), 1e-6);
      else
        EXPECT_NEAR(label.rect.center().y(), plot.bottom() - share * plot.height(), 1e-6);
    }
  }
}

TEST_F(ChartLayoutTest, MinorTicksFallBetweenTheLabels) {
  const ChartLayout layout = layoutAt();
  // Bottom: nine between labels ten apart, so every whole unit but the tens.
  std::vector<double> whole;
  for (int v = 0; v <= 70; ++v)
    if (v % 10 != 0) whole.push_back(v);
  const std::vector<double>& bottom = layout.axis(AxisId::Bottom).minorValues;
  ASSERT_EQ(bottom.size(), whole.size());
  for (std::size_t i = 0; i < whole.size(); ++i) EXPECT_NEAR(bottom[i], whole[i], 1e-9);
  // Left: three between labels five apart, at the quarters.
  std::vector<double> quarters;
  for (int q = -12; q <= 12; ++q)
    if (q % 4 != 0) quarters.push_back(q * 1.25);
  const std::vector<double>& left = layout.axis(AxisId::Left).minorValues;
  ASSERT_EQ(left.size(), quarters.size());
  for (std::size_t i = 0; i < quarters.size(); ++i) EXPECT_NEAR(left[i], quarters[i], 1e-9);
}

TEST_F(ChartLayoutTest, CrowdedLabelsAreThinnedEvenlyWithoutOverlap) {
  model.BottomAxis().setBoundsOrdered(0, 1000);
  const ChartLayout layout = layoutAt();
  const AxisLayout& bottom = layout.axis(AxisId::Bottom);
  ASSERT_GE(bottom.labels.size(), 2u);
  EXPECT_LT(bottom.labels.size(), 101u);
  const double step = bottom.labels[1].value - bottom.labels[0].value;
  EXPECT_EQ(std::fmod(step, 10.0), 0.0);
  for (std::size_t i = 0; i < bottom.labels.size(); ++i) {
    EXPECT_EQ(std::fmod(bottom.labels[i].value, step), 0.0);
    if (i > 0) {
      EXPECT_LE(bottom.labels[i - 1].rect.right(), bottom.labels[i].rect.left());
      EXPECT_NEAR(bottom.labels[i].value - bottom.labels[i - 1].value, step, 1e-9);
    }
  }
}

TEST_F(ChartLayoutTest, PlotKeepsItsSizeWhenEverySeriesIsHidden) {
  const ChartLayout before = layoutAt();
  for (int s : {kFast, kSlow, kNormFast, kNormSlow}) model.series(s).setActive(false);
  const ChartLayout after = layoutAt();
  EXPECT_EQ(after.plot, before.plot);
  for (AxisId id : {AxisId::Left, AxisId::Bottom, AxisId::Top}) {
    SCOPED_TRACE(static_cast<int>(id));
    EXPECT_TRUE(after.axis(id).visible);
    EXPECT_EQ(texts(after.axis(id)), texts(before.axis(id)));
  }
  EXPECT_FALSE(after.axis(AxisId::Right).visible);
  EXPECT_EQ(after.axis(AxisId::Bottom).titleText.toStdString(), "Samples");
}

TEST_F(ChartLayoutTest, TopLabelsInTheBackgroundColourKeepTheirRoom) {
  const ChartLayout before = layoutAt();
  model.TopAxis().setLabelColour(kBackground);
  const ChartLayout after = layoutAt();
  EXPECT_EQ(after.plot, before.plot);
  EXPECT_EQ(texts(after.axis(AxisId::Top)).size(), 8u);
}

TEST_F(ChartLayoutTest, AHiddenAxisTakesNoRoom) {
  const ChartLayout before = layoutAt();
  for (int s : {kSlow, kNormSlow, kKeepTop}) model.series(s).setActive(false);
  const ChartLayout after = layoutAt();
  EXPECT_FALSE(after.axis(AxisId::Top).visible);
  EXPECT_TRUE(after.axis(AxisId::Top).labels.empty());
  EXPECT_LT(after.plot.top(), before.plot.top());
  EXPECT_EQ(after.plot.bottom(), before.plot.bottom());
}

TEST_F(ChartLayoutTest, MapsSpanThePlotEdges) {
  const ChartLayout layout = layoutAt();
  const QRectF& plot = layout.plot;
  EXPECT_EQ(plot.left(), std::floor(plot.left()));
  EXPECT_EQ(plot.top(), std::floor(plot.top()));
  EXPECT_EQ(plot.right(), std::floor(plot.right()));
  EXPECT_EQ(plot.bottom(), std::floor(plot.bottom()));
  for (AxisId id : {AxisId::Bottom, AxisId::Top}) {
    EXPECT_EQ(layout.map(id).pixelStart, plot.left());
    EXPECT_EQ(layout.map(id).pixelEnd, plot.right());
  }
  for (AxisId id : {AxisId::Left, AxisId::Right}) {
    EXPECT_EQ(layout.map(id).pixelStart, plot.bottom());
    EXPECT_EQ(layout.map(id).pixelEnd, plot.top());
  }
  EXPECT_EQ(layout.map(AxisId::Bottom).minimum, 0.0);
  EXPECT_EQ(layout.map(AxisId::Bottom).maximum, 70.0);
  EXPECT_EQ(layout.map(AxisId::Left).minimum, -15.0);
}

TEST_F(ChartLayoutTest, TitleIsCentredWithItsTrailingBlanks) {
  const ChartLayout layout = layoutAt();
  ASSERT_EQ(layout.titleText.size(), 46);
  EXPECT_TRUE(layout.titleText.endsWith(QString(12, QLatin1Char(' '))));
  const QFontMetricsF fm(layout.titleFont);
  EXPECT_EQ(layout.titleFont.pixelSize(), 18);
  EXPECT_TRUE(layout.titleFont.bold());
  const double whole = fm.horizontalAdvance(layout.titleText);
  const double words = fm.horizontalAdvance(layout.titleText.trimmed());
  const double blanks = fm.horizontalAdvance(QString(12, QLatin1Char(' ')));
  EXPECT_NEAR(layout.titleBaseline.x() + whole / 2.0, 500.0, 0.5);
  // The words stand left of the centre by half the width of the blanks.
  EXPECT_NEAR(layout.titleBaseline.x() + words / 2.0, 500.0 - blanks / 2.0, 0.5);
  EXPECT_GT(layout.legendRect.top(), layout.titleRect.bottom());
  EXPECT_GT(layout.plot.top(), layout.titleRect.bottom());
}

bool sane(const QRectF& r) {
  return std::isfinite(r.x()) && std::isfinite(r.y()) && std::isfinite(r.width()) &&
         std::isfinite(r.height()) && r.width() >= 0.0 && r.height() >= 0.0;
}

TEST_F(ChartLayoutTest, AnySizeAndAnyBoundsGiveSaneRectangles) {
  struct Bounds {
    const char* name;
    double minimum, maximum, increment;
  };
  const Bounds boundsCases[] = {
      {"as loaded", 0, 70, 10},
      {"huge", -1e300, 1e300, 10},
      {"widest", -1.7e308, 1.7e308, 10},
      {"tiny step", 0, 70, 1e-12},
      {"equal bounds", 5, 5, 10},
      {"far off", 1e15, 1e15 + 70, 10},
      {"no step", 0, 70, 0},
  };
  const QSizeF sizes[] = {{1, 1}, {0, 0}, {5, 300}, {300, 5}, {250, 180}, {7680, 4320}};
  for (const Bounds& b : boundsCases) {
    for (const QSizeF& size : sizes) {
      SCOPED_TRACE(std::string(b.name) + " at " + std::to_string(size.width()) + "x" +
                   std::to_string(size.height()));
      ChartModel m;
      setUpChart(m);
      for (AxisId id : {AxisId::Bottom, AxisId::Top, AxisId::Left}) {
        m.axis(id).setBoundsOrdered(b.minimum, b.maximum);
        m.axis(id).increment = b.increment;
      }
      const ChartLayout layout = computeLayout(m, size);
      for (const QRectF& r : {layout.plot, layout.legendRect, layout.titleRect}) {
        EXPECT_TRUE(sane(r));
        EXPECT_GE(r.x(), 0.0);
        EXPECT_GE(r.y(), 0.0);
      }
      EXPECT_LE(layout.plot.right(), std::max(0.0, size.width()));
      EXPECT_LE(layout.plot.bottom(), std::max(0.0, size.height()));
      for (const LegendRow& row : layout.legendRows) EXPECT_TRUE(sane(row.row));
      for (const AxisLayout& axis : layout.axes) {
        EXPECT_TRUE(sane(axis.titleRect));
        EXPECT_LE(axis.labels.size(), 1001u);
        for (const AxisLabel& label : axis.labels) {
          EXPECT_TRUE(sane(label.rect));
          EXPECT_GE(label.value, axis.map.minimum - 1e-9 * std::fabs(axis.map.minimum));
          EXPECT_LE(label.value, axis.map.maximum + 1e-9 * std::fabs(axis.map.maximum));
        }
      }
    }
  }
}

TEST_F(ChartLayoutTest, LayoutKeyFollowsEveryInput) {
  const LayoutKey key = layoutKey(model, QSizeF(1000, 600));
  EXPECT_EQ(layoutKey(model, QSizeF(1000, 600)), key);
  EXPECT_NE(layoutKey(model, QSizeF(1001, 600)), key);
  model.BottomAxis().setBoundsOrdered(0, 52);
  EXPECT_NE(layoutKey(model, QSizeF(1000, 600)), key);
  const LayoutKey zoomed = layoutKey(model, QSizeF(1000, 600));
  model.BottomAxis().title = "% Gait cycle";
  EXPECT_NE(layoutKey(model, QSizeF(1000, 600)), zoomed);
}

TEST(AxisValueText, ReadsCleanly) {
  struct Case {
    double value, step;
    const char* text;
  };
  const Case cases[] = {
      {70, 10, "70"},      {-15, 5, "-15"},   {0, 5, "0"},        {-1e-17, 0.1, "0"},
      {0.30000000000000004, 0.1, "0.3"},       {2.5, 0.5, "2.5"},  {-0.25, 0.25, "-0.25"},
      {1e6, 1e5, "1000000"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(formatAxisValue(c.value, c.step).toStdString(), c.text);
  }
}

}  // namespace
}  // namespace velmora::chart
