// Where everything of one paint stands. Computed once per paint from the model
// and the widget's size; the painter draws from it and the mouse handling
// hit-tests against the same rectangles.
#pragma once

#include <array>
#include <optional>
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
};

struct AxisLayout {
  bool visible = false;
  AxisMap map;
  std::vector<AxisLabel> labels;     // the labels that are drawn, overlaps dropped
  std::vector<double> minorValues;   // minor ticks and minor grid lines
  QRectF titleRect;
  QString titleText;
};

struct ChartLayout {
  QSizeF size;
  QRectF titleRect;
  QString titleText;
  QRectF legendRect;
  std::vector<LegendRow> legendRows;
  QRectF plot;  // the plot area; axis lines lie on its edges
  std::array<AxisLayout, kAxisCount> axes;  // indexed by AxisId

  QFont titleFont;
  QFont legendFont;
  QFont labelFont;
  QFont axisTitleFont;

  const AxisMap& map(AxisId id) const { return axes[static_cast<std::size_t>(id)].map; }

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

}  // namespace velmora::chart
