// Draws a chart from its model and a layout. Knows nothing of the window: a
// series is drawn from the series, its axes' maps and the plot rectangle.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include <QImage>
#include <QLineF>
#include <QPixmap>
#include <QPointF>
#include <QPolygonF>
#include <QRectF>

#include "chart/AxisMap.h"
#include "chart/ChartLayout.h"
#include "chart/ChartModel.h"

class QPainter;
class QPen;

namespace velmora::chart {

// What is under the mouse pointer: a marker (point >= 0) or a series' line.
struct SeriesHit {
  int series = -1;
  int point = -1;  // the marker's point; -1 when the hit is on the line
  bool operator==(const SeriesHit& o) const { return series == o.series && point == o.point; }
  bool operator!=(const SeriesHit& o) const { return !(*this == o); }
};

// The topmost shown series part under `position`: markers first, then the
// lines of fast-line and curve series (line series answer at their markers only).
std::optional<SeriesHit> hitTestSeries(const ChartModel& model, const ChartLayout& layout,
                                       QPointF position);

// What is drawn over the chart besides the model.
struct PaintOverlay {
  std::optional<QRectF> zoomRectangle;
  std::optional<SeriesHit> hover;
};

class ChartPainter {
 public:
  ChartPainter();
  ~ChartPainter();

  // The whole chart: background, grids, axes, series, legend, title, overlay.
  void paint(QPainter& painter, const ChartModel& model, const ChartLayout& layout,
             const PaintOverlay& overlay = {});

  // One series: its line, its markers and its marks. Line and markers are
  // clipped to the plot.
  void paintSeries(QPainter& painter, const Series& series, const AxisMap& xMap,
                   const AxisMap& yMap, const QRectF& plot);

 private:
  struct GlyphKey {
    MarkerShape shape;
    int halfWidth;
    int halfHeight;
    Argb fill;
    Argb outline;
    bool outlineVisible;
    int outlineWidth;
    double dpr;
    bool operator==(const GlyphKey& o) const;
  };
  struct Glyph {
    GlyphKey key;
    QPixmap pixmap;
  };

  // What one series was last drawn from: enough to tell whether drawing it
  // again would give the same pixels.
  struct SeriesSnapshot {
    const Series* series = nullptr;
    std::uint64_t revision = 0;
    bool active = false;
    int transparency = 0;
    Argb colour = 0;
    MarkerStyle marker;
    LineStyle line;
    MarksStyle marks;
    std::vector<ChartPoint> points;
  };
  // Everything the bottom layer (background, grids, axes) is drawn from
  // besides the series.
  struct LayerKey {
    std::uint64_t layoutSerial = 0;
    double dpr = 0.0;
    QImage::Format format = QImage::Format_Invalid;
    Argb background = 0;
    struct AxisLook {
      bool grid = false;
      bool minorGrid = false;
      Argb gridColour = 0;
      Argb minorGridColour = 0;
      Argb tickColour = 0;
      Argb labelColour = 0;
      int tickLength = 0;
      int minorTickLength = 0;
      bool titleRotated = false;
      bool operator==(const AxisLook& o) const;
    };
    std::array<AxisLook, kAxisCount> axes;
    bool operator==(const LayerKey& o) const;
  };
  // The picture up to and including the first `seriesCount` series, kept
  // while none of them changes, so that a step that refills only the later
  // series draws just those.
  struct Layer {
    bool valid = false;
    LayerKey key;
    int seriesCount = 0;
    QImage image;
  };

  // Notes which series changed since the last paint; returns the index of
  // the first one that did (the series count when none did).
  int noteSeriesChanges(const ChartModel& model);
  // The image format for a layer that blits 1:1 onto the painter's device;
  // Format_Invalid when the painter cannot take one.
  QImage::Format layerFormat(const QPainter& painter) const;
  LayerKey layerKey(const ChartModel& model, const ChartLayout& layout, QImage::Format format) const;
  void paintBottom(QPainter& painter, const ChartModel& model, const ChartLayout& layout,
                   int seriesCount);
  QPixmap glyph(const GlyphKey& key);
  void paintBackground(QPainter& painter, const ChartModel& model, const ChartLayout& layout);
  void paintGrids(QPainter& painter, const ChartModel& model, const ChartLayout& layout);
  void paintAxes(QPainter& painter, const ChartModel& model, const ChartLayout& layout);
  void paintLegend(QPainter& painter, const ChartModel& model, const ChartLayout& layout);
  void paintLegendSymbol(QPainter& painter, const Series& series, const QRectF& rect);
  void paintTitle(QPainter& painter, const ChartModel& model, const ChartLayout& layout);
  void paintHover(QPainter& painter, const ChartModel& model, const ChartLayout& layout,
                  const SeriesHit& hit);
  void paintLine(QPainter& painter, const Series& series, const QRectF& plot);
  // Strokes the series' line with `pen`: one polyline or smooth curve per run
  // of drawable points, cut at null points and at the edges of a wide frame
  // around the plot so that far-off coordinates never reach the rasteriser.
  void strokeRuns(QPainter& painter, const Series& series, const QRectF& plot, const QPen& pen);
  void paintMarkers(QPainter& painter, const Series& series, const QRectF& plot);
  void paintMarks(QPainter& painter, const Series& series, const QRectF& plot);
  // Fills pixels_ with the series' points in pixels; NaN for null points.
  void mapPoints(const Series& series, const AxisMap& xMap, const AxisMap& yMap);

  double dpr_ = 1.0;
  std::vector<Glyph> glyphs_;
  std::vector<QPointF> pixels_;  // reused from paint to paint
  QPolygonF run_;
  std::vector<QLineF> lines_;
  std::vector<QRectF> rects_;
  QImage rowImage_;  // one device row of the background, repeated down the chart
  std::vector<SeriesSnapshot> seen_;  // by series index, as of the last paint
  std::optional<LayerKey> lastKey_;   // the bottom layer's key at the last paint
  Layer layer_;
};

}  // namespace velmora::chart
