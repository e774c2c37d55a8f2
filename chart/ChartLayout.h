// Where everything of one paint stands. Computed once per paint from the model
// and the widget's size; the painter draws from it and the mouse handling
// hit-tests against the same rectangles.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include <QFont>
#include <QPointF>
#include <QRectF>
#include <QSizeF>
#include <QString>

#include "chart/AxisMap.h"
#include "chart/ChartModel.h"

namespace velmora::chart {

struct LegendRow {
  int seriesIndex = -1;  // index into the model's series
  QRectF row;            // the whole row: check box, symbol and title
  QRectF checkBox;
  QRectF symbol;
  QRectF text;
  QString title;
};

struct AxisLabel {
  double value = 0.0;
  QString text;
  QRectF rect;
  QPointF baseline;  // where the text is drawn from
};

struct AxisLayout {
  bool visible = false;
  AxisMap map;
  std::vector<AxisLabel> labels;     // the labels that are drawn, overlaps dropped
  double labelStep = 0.0;            // distance between drawn labels; 0 when none
  std::vector<double> minorValues;   // minor ticks and minor grid lines
  QRectF titleRect;
  QString titleText;
  QFont labelFont;
  QFont titleFont;
};

struct ChartLayout {
  // Different for every layout computed, so that what was drawn from one
  // layout can be recognised and reused.
  std::uint64_t serial = 0;
  QSizeF size;
  QRectF titleRect;
  QString titleText;
  QPointF titleBaseline;  // the text is centred with its trailing blanks counted
  QRectF legendRect;      // empty when the legend has no rows
  std::vector<LegendRow> legendRows;
  // The plot area, whole pixels. The axis lines and the frame lie on its
  // edges: the pixel columns `left` and `right`, the rows `top` and `bottom`.
  QRectF plot;
  std::array<AxisLayout, kAxisCount> axes;  // indexed by AxisId

  QFont titleFont;
  QFont legendFont;
  QFont labelFont;      // the bottom axis' label font
  QFont axisTitleFont;  // the left axis' title font

  const AxisMap& map(AxisId id) const { return axes[static_cast<std::size_t>(id)].map; }
  const AxisLayout& axis(AxisId id) const { return axes[static_cast<std::size_t>(id)]; }

  // The plot with its far edge pixels included: what the series are
  // clipped to and what is filled white.
  QRectF plotArea() const { return QRectF(plot.left(), plot.top(), plot.width() + 1.0, plot.height() + 1.0); }

  // The legend row under a point, if any.
  std::optional<int> legendRowAt(QPointF point) const {
    for (std::size_t i = 0; i < legendRows.size(); ++i)
      if (legendRows[i].row.contains(point)) return static_cast<int>(i);
    return std::nullopt;
  }
};

// Lays out the title, the legend and the axes' room, in that order, shrinking
// the chart's rectangle until the plot is left.
ChartLayout computeLayout(const ChartModel& model, QSizeF size);

// Everything a layout is computed from, so that a layout can be reused until
// one of them changes. Cheap to build and compare; allocates nothing beyond
// the short title texts.
struct LayoutKey {
  std::uint64_t revision = 0;
  double width = 0.0;
  double height = 0.0;
  std::string title;
  int titleFontSize = 0;
  bool titleBold = false;
  int legendFontSize = 0;
  int legendVertSpacing = 0;
  std::uint64_t legendMask = 0;  // which of the first 64 series are listed
  int seriesCount = 0;
  struct AxisPart {
    bool visible = false;
    AxisBounds bounds;
    double increment = 0.0;
    int labelFontSize = 0;
    int labelsSize = 0;
    int labelsSeparation = 0;
    std::string title;
    int titleFontSize = 0;
    bool titleRotated = false;
    int titleSize = 0;
    int minorTickCount = 0;
    int tickLength = 0;
    int minorTickLength = 0;
    bool operator==(const AxisPart& o) const;
  };
  std::array<AxisPart, kAxisCount> axes;
  bool operator==(const LayoutKey& o) const;
  bool operator!=(const LayoutKey& o) const { return !(*this == o); }
};

LayoutKey layoutKey(const ChartModel& model, QSizeF size);

// The text of an axis label: whole numbers without decimals, other values
// with as many decimals as the step needs.
QString formatAxisValue(double value, double step);

}  // namespace velmora::chart
