#include "chart/ChartPainter.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

#include <QFontMetricsF>
#include <QImage>
#include <QPaintDevice>
#include <QPainter>
#include <QPainterPath>
#include <QPen>
#include <QPixmap>
#include <QTransform>
#include <QBackingStore>
#include <QWidget>

namespace velmora::chart {

namespace {

constexpr Argb kPlotBackground = 0xFFFFFFFF;
constexpr Argb kFrameColour = 0xFF808080;
constexpr Argb kLegendFrame = 0xFFA0A0A0;
constexpr Argb kCheckBoxFrame = 0xFF707070;
constexpr Argb kTextColour = 0xFF000000;
constexpr Argb kZoomOutline = 0xFFC0C0C0;
constexpr int kMarksFontSize = 12;
constexpr double kHoverWidth = 3.0;
constexpr double kLineHitDistance = 3.0;
constexpr std::size_t kMaxGlyphs = 64;

QColor colourOf(Argb argb) { return QColor::fromRgba(argb); }

std::size_t index(AxisId id) { return static_cast<std::size_t>(id); }

QColor hoverColour() { return QColor(255, 0, 0, 128); }

// A line one logical pixel wide, aligned to whole device pixels so that it
// stays crisp at any device pixel ratio.
struct Crisp {
  double dpr = 1.0;
  int deviceWidth = 1;

  explicit Crisp(double ratio) : dpr(ratio > 0.0 ? ratio : 1.0) {
    deviceWidth = std::max(1, static_cast<int>(std::lround(dpr)));
  }
  double width() const { return deviceWidth / dpr; }
  // The start of the device pixel that holds logical coordinate v.
  double snap(double v) const { return std::floor(v * dpr + 1e-6) / dpr; }
  // The centre of the line whose first device pixel holds logical coordinate v.
  double centre(double v) const { return snap(v) + width() / 2.0; }
  QPen pen(Argb colour) const {
    QPen p(colourOf(colour), width());
    p.setCapStyle(Qt::FlatCap);
    p.setJoinStyle(Qt::MiterJoin);
    return p;
  }
  // Axis-parallel lines as device-aligned rectangles, which fill without
  // going through the stroker.
  QRectF vertical(double x, double y0, double y1) const {
    const double top = snap(std::min(y0, y1));
    return QRectF(snap(x), top, width(), std::max(0.0, snap(std::max(y0, y1)) - top));
  }
  QRectF horizontal(double y, double x0, double x1) const {
    const double left = snap(std::min(x0, x1));
    return QRectF(left, snap(y), std::max(0.0, snap(std::max(x0, x1)) - left), width());
  }
};

void fillRects(QPainter& painter, const std::vector<QRectF>& rects, Argb colour) {
  if (rects.empty()) return;
  const bool antialiased = painter.testRenderHint(QPainter::Antialiasing);
  // Every rectangle lies on whole device pixels: no smoothing needed.
  painter.setRenderHint(QPainter::Antialiasing, false);
  painter.setPen(Qt::NoPen);
  painter.setBrush(colourOf(colour));
  painter.drawRects(rects.data(), static_cast<int>(rects.size()));
  painter.setBrush(Qt::NoBrush);
  painter.setRenderHint(QPainter::Antialiasing, antialiased);
}

// The outline of `r`, one logical pixel wide, inside its device pixels.
void outlineRects(const Crisp& crisp, const QRectF& r, std::vector<QRectF>& out) {
  const double right = r.right() + crisp.width();
  out.push_back(crisp.horizontal(r.top(), r.left(), right));
  out.push_back(crisp.horizontal(r.bottom(), r.left(), right));
  out.push_back(crisp.vertical(r.left(), r.top(), r.bottom()));
  out.push_back(crisp.vertical(r.right(), r.top(), r.bottom()));
}

QPainterPath markerPath(MarkerShape shape, double hw, double hh) {
  QPainterPath path;
  switch (shape) {
    case MarkerShape::Diamond:
      path.moveTo(0.0, -hh);
      path.lineTo(hw, 0.0);
      path.lineTo(0.0, hh);
      path.lineTo(-hw, 0.0);
      path.closeSubpath();
      break;
    case MarkerShape::Circle:
      path.addEllipse(QPointF(0.0, 0.0), hw, hh);
      break;
    case MarkerShape::Triangle:
      path.moveTo(0.0, -hh);
      path.lineTo(hw, hh);
      path.lineTo(-hw, hh);
      path.closeSubpath();
      break;
    case MarkerShape::DownTriangle:
      path.moveTo(0.0, hh);
      path.lineTo(hw, -hh);
      path.lineTo(-hw, -hh);
      path.closeSubpath();
      break;
    case MarkerShape::Square:
      path.addRect(QRectF(-hw, -hh, 2.0 * hw, 2.0 * hh));
      break;
  }
  return path;
}

bool drawable(const QPointF& p) { return std::isfinite(p.x()) && std::isfinite(p.y()); }

// Liang-Barsky: cuts the segment a-b to `r`. False when nothing of it is inside.
bool clipSegment(QPointF& a, QPointF& b, const QRectF& r) {
  const double dx = b.x() - a.x();
  const double dy = b.y() - a.y();
  double t0 = 0.0, t1 = 1.0;
  const double p[4] = {-dx, dx, -dy, dy};
  const double q[4] = {a.x() - r.left(), r.right() - a.x(), a.y() - r.top(), r.bottom() - a.y()};
  for (int i = 0; i < 4; ++i) {
    if (p[i] == 0.0) {
      if (q[i] < 0.0) return false;
      continue;
    }
    const double t = q[i] / p[i];
    if (p[i] < 0.0) {
      if (t > t1) return false;
      t0 = std::max(t0, t);
    } else {
      if (t < t0) return false;
      t1 = std::min(t1, t);
    }
  }
  const QPointF start = a;
  if (t1 < 1.0) b = QPointF(start.x() + t1 * dx, start.y() + t1 * dy);
  if (t0 > 0.0) a = QPointF(start.x() + t0 * dx, start.y() + t0 * dy);
  return true;
}

double distanceToSegment(QPointF p, QPointF a, QPointF b) {
  const double dx = b.x() - a.x();
  const double dy = b.y() - a.y();
  const double lengthSquared = dx * dx + dy * dy;
  double t = 0.0;
  if (lengthSquared > 0.0)
    t = std::clamp(((p.x() - a.x()) * dx + (p.y() - a.y()) * dy) / lengthSquared, 0.0, 1.0);
  const double ex = a.x() + t * dx - p.x();
  const double ey = a.y() + t * dy - p.y();
  return std::sqrt(ex * ex + ey * ey);
}

QPointF pointPixel(const ChartPoint& point, const AxisMap& xMap, const AxisMap& yMap) {
  if (point.isNull) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    return QPointF(nan, nan);
  }
  return QPointF(xMap.toPixel(point.x), yMap.toPixel(point.y));
}

QColor lineColour(const Series& series) {
  QColor colour = colourOf(series.colour());
  colour.setAlphaF(colour.alphaF() * (100 - series.Transparency()) / 100.0);
  return colour;
}

QPen linePen(const Series& series) {
  const QColor colour = lineColour(series);
  QPen pen(colour, std::max(1, series.line.width));
  // Bevel joins: round ones cost the stroker dearly at every dense point and
  // look no different at this width.
  pen.setJoinStyle(Qt::BevelJoin);
  if (series.line.dashed) {
    pen.setStyle(Qt::DashLine);
    pen.setCapStyle(Qt::FlatCap);
  } else {
    // Round caps close the joints between pieces; a translucent line would
    // show them as dots, so it goes without.
    pen.setCapStyle(colour.alpha() == 255 ? Qt::RoundCap : Qt::FlatCap);
  }
  return pen;
}

bool drawsLine(const Series& series) {
  return series.kind() != SeriesKind::Point && series.line.visible && series.Transparency() < 100;
}

// A wide frame around the plot: segments are cut to it, so that coordinates
// from a deep zoom stay small, while the cut lies far outside the clip.
QRectF cutFrame(const QRectF& plot) {
  const double margin = std::max(plot.width(), plot.height()) + 64.0;
  return plot.adjusted(-margin, -margin, margin, margin);
}

// The rasteriser's work grows with the area a path covers, so a long line
// is stroked in short pieces that share their end points.
constexpr int kPiecePoints = 16;

double polylineLength(const QPointF* points, int count) {
  double length = 0.0;
  for (int i = 1; i < count; ++i) {
    const QPointF d = points[i] - points[i - 1];
    length += std::sqrt(d.x() * d.x() + d.y() * d.y());
  }
  return length;
}

// Catmull-Rom through points [from, to] of the run, as cubic Bezier pieces:
// the tangent at a point is half the chord between its neighbours, taken
// from the whole run so that the pieces join smoothly.
QPainterPath smoothPiece(const QPolygonF& run, int from, int to) {
  QPainterPath path;
  path.moveTo(run[from]);
  const int n = static_cast<int>(run.size());
  for (int i = from; i < to; ++i) {
    const QPointF& p0 = run[std::max(0, i - 1)];
    const QPointF& p1 = run[i];
    const QPointF& p2 = run[i + 1];
    const QPointF& p3 = run[std::min(n - 1, i + 2)];
    path.cubicTo(p1 + (p2 - p0) / 6.0, p2 - (p3 - p1) / 6.0, p2);
  }
  return path;
}

// How far, in device pixels, the flattened smooth curve may stray from the
// true one: well inside what the rasteriser's own flattening allows.
constexpr double kFlatness = 0.1;
constexpr int kMaxSubdivisions = 32;

double distanceToLine(QPointF p, QPointF a, QPointF b) {
  const double dx = b.x() - a.x();
  const double dy = b.y() - a.y();
  const double length = std::sqrt(dx * dx + dy * dy);
  if (length == 0.0) return std::hypot(p.x() - a.x(), p.y() - a.y());
  return std::fabs((p.x() - a.x()) * dy - (p.y() - a.y()) * dx) / length;
}

// The run as device-pixel segments; a smooth run is flattened piece by
// piece, each Bezier piece cut into as few chords as keep it within
// kFlatness (a cubic lies within 3/4 of its control points' distance from
// the chord, and cutting it into k parts shrinks that by k squared).
void deviceSegments(const QPolygonF& run, bool smooth, double scale, std::vector<QLineF>& lines) {
  lines.clear();
  const int n = static_cast<int>(run.size());
  if (!smooth) {
    for (int i = 1; i < n; ++i) lines.emplace_back(run[i - 1] * scale, run[i] * scale);
    return;
  }
  for (int i = 0; i + 1 < n; ++i) {
    const QPointF p0 = run[std::max(0, i - 1)] * scale;
    const QPointF p1 = run[i] * scale;
    const QPointF p2 = run[i + 1] * scale;
    const QPointF p3 = run[std::min(n - 1, i + 2)] * scale;
    const QPointF c1 = p1 + (p2 - p0) / 6.0;
    const QPointF c2 = p2 - (p3 - p1) / 6.0;
    const double deviation =
        0.75 * std::max(distanceToLine(c1, p1, p2), distanceToLine(c2, p1, p2));
    int parts = 1;
    if (deviation > kFlatness)
      parts = std::min(kMaxSubdivisions, static_cast<int>(std::ceil(std::sqrt(deviation / kFlatness))));
    QPointF from = p1;
    for (int k = 1; k < parts; ++k) {
      const double t = static_cast<double>(k) / parts;
      const double u = 1.0 - t;
      const QPointF to = u * u * u * p1 + 3.0 * u * u * t * c1 + 3.0 * u * t * t * c2 + t * t * t * p2;
      lines.emplace_back(from, to);
      from = to;
    }
    lines.emplace_back(from, p2);
  }
}

// An opaque line with flat caps drawn as separate segments goes down Qt's
// line rasteriser, many times cheaper than its general stroker. What it
// leaves out is the bevel at each joint: a sliver on the outside of a bend
// of a line two pixels wide, which the markers cover where the bends are
// sharp. Translucent lines would show the overlaps, so they stay with the
// stroker. Drawn in device pixels, since the rasteriser takes no scaling.
bool strokeAsLines(QPainter& painter, const QPolygonF& run, bool smooth, QPen& pen,
                   std::vector<QLineF>& lines) {
  if (pen.color().alpha() != 255 || pen.brush().style() != Qt::SolidPattern) return false;
  if (!painter.worldTransform().isIdentity()) return false;
  const QTransform device = painter.deviceTransform();
  const double scale = device.m11();
  if (device.type() > QTransform::TxScale || scale != device.m22() || !(scale > 0.0))
    return false;
  const int n = static_cast<int>(run.size());
  deviceSegments(run, smooth, scale, lines);

  QPen devicePen = pen;
  devicePen.setWidthF(pen.widthF() * scale);
  devicePen.setCapStyle(Qt::FlatCap);
  painter.save();
  painter.setWorldTransform(QTransform::fromScale(1.0 / scale, 1.0 / scale));
  painter.setPen(devicePen);
  painter.drawLines(lines.data(), static_cast<int>(lines.size()));
  painter.restore();
  // The dashes run on into the next run.
  if (pen.style() != Qt::SolidLine)
    pen.setDashOffset(pen.dashOffset() + polylineLength(run.constData(), n) / std::max(1.0, pen.widthF()));
  return true;
}

void strokeRun(QPainter& painter, const QPolygonF& run, bool smooth, QPen& pen,
               std::vector<QLineF>& lines) {
  if (strokeAsLines(painter, run, smooth, pen, lines)) return;
  const int n = static_cast<int>(run.size());
  const double width = std::max(1.0, pen.widthF());
  for (int from = 0; from + 1 < n; from += kPiecePoints) {
    const int to = std::min(n - 1, from + kPiecePoints);
    painter.setPen(pen);
    if (smooth)
      painter.drawPath(smoothPiece(run, from, to));
    else
      painter.drawPolyline(run.constData() + from, to - from + 1);
    // The dashes run on across the pieces.
    if (pen.style() != Qt::SolidLine)
      pen.setDashOffset(pen.dashOffset() + polylineLength(run.constData() + from, to - from + 1) / width);
  }
}

bool sameMarker(const MarkerStyle& a, const MarkerStyle& b) {
  return a.visible == b.visible && a.shape == b.shape && a.halfWidth == b.halfWidth &&
         a.halfHeight == b.halfHeight && a.fill == b.fill && a.outline == b.outline &&
         a.outlineVisible == b.outlineVisible && a.outlineWidth == b.outlineWidth;
}

bool sameLine(const LineStyle& a, const LineStyle& b) {
  return a.visible == b.visible && a.dashed == b.dashed && a.width == b.width;
}

bool sameMarks(const MarksStyle& a, const MarksStyle& b) {
  return a.visible == b.visible && a.calloutLength == b.calloutLength && a.fill == b.fill &&
         a.frame == b.frame && a.callout == b.callout;
}

// Labels count only where they are drawn.
bool samePoints(const std::vector<ChartPoint>& a, const std::vector<ChartPoint>& b,
                bool labelsDrawn) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    const ChartPoint& p = a[i];
    const ChartPoint& q = b[i];
    // Compared as bits: a NaN that stays NaN draws the same.
    if (std::memcmp(&p.x, &q.x, sizeof p.x) != 0 || std::memcmp(&p.y, &q.y, sizeof p.y) != 0 ||
        p.colour != q.colour || p.isNull != q.isNull || (labelsDrawn && p.label != q.label))
      return false;
  }
  return true;
}

}  // namespace

// --- Hit testing -------------------------------------------------------------------

std::optional<SeriesHit> hitTestSeries(const ChartModel& model, const ChartLayout& layout,
                                       QPointF position) {
  if (!layout.plotArea().contains(position)) return std::nullopt;
  const AxisMap& yMap = layout.map(AxisId::Left);
  for (int s = model.seriesCount() - 1; s >= 0; --s) {
    const Series& series = model.series(s);
    if (!series.Active()) continue;
    const AxisMap& xMap = layout.map(series.horizontalAxis());
    const auto& points = series.points();
    if (series.marker.visible) {
      const double hw = series.marker.halfWidth + 1.5;
      const double hh = series.marker.halfHeight + 1.5;
      for (int i = static_cast<int>(points.size()) - 1; i >= 0; --i) {
        const QPointF p = pointPixel(points[static_cast<std::size_t>(i)], xMap, yMap);
        if (!drawable(p)) continue;
        if (std::fabs(p.x() - position.x()) <= hw && std::fabs(p.y() - position.y()) <= hh)
          return SeriesHit{s, i};
      }
    }
    const bool clickableLine =
        series.kind() == SeriesKind::FastLine || series.kind() == SeriesKind::Curve;
    if (clickableLine && drawsLine(series)) {
      for (std::size_t i = 1; i < points.size(); ++i) {
        const QPointF a = pointPixel(points[i - 1], xMap, yMap);
        const QPointF b = pointPixel(points[i], xMap, yMap);
        if (!drawable(a) || !drawable(b)) continue;
        if (distanceToSegment(position, a, b) <= kLineHitDistance) return SeriesHit{s, -1};
      }
    }
  }
  return std::nullopt;
}

// --- ChartPainter ------------------------------------------------------------------

bool ChartPainter::GlyphKey::operator==(const GlyphKey& o) const {
  return shape == o.shape && halfWidth == o.halfWidth && halfHeight == o.halfHeight &&
         fill == o.fill && outline == o.outline && outlineVisible == o.outlineVisible &&
         outlineWidth == o.outlineWidth && dpr == o.dpr;
}

ChartPainter::ChartPainter() = default;
ChartPainter::~ChartPainter() = default;

void ChartPainter::paint(QPainter& painter, const ChartModel& model, const ChartLayout& layout,
                         const PaintOverlay& overlay) {
  dpr_ = painter.device() ? painter.device()->devicePixelRatio() : 1.0;
  if (!(dpr_ > 0.0)) dpr_ = 1.0;
  painter.setRenderHint(QPainter::Antialiasing, true);
  painter.setRenderHint(QPainter::TextAntialiasing, true);

  // The bottom layer is kept as an image only once its key has held for two
  // paints in a row: while the layout changes at every frame (a stretch or
  // a zoom being dragged) the image would only cost a copy more.
  const int firstChanged = noteSeriesChanges(model);
  if (layer_.valid && firstChanged < layer_.seriesCount) layer_.valid = false;
  int drawnFrom = 0;
  const QImage::Format format = layerFormat(painter);
  if (format != QImage::Format_Invalid) {
    LayerKey key = layerKey(model, layout, format);
    if (layer_.valid && !(layer_.key == key)) layer_.valid = false;
    if (!layer_.valid && lastKey_ && *lastKey_ == key) {
      const QSize deviceSize(static_cast<int>(std::ceil(layout.size.width() * dpr_)),
                             static_cast<int>(std::ceil(layout.size.height() * dpr_)));
      if (layer_.image.size() != deviceSize || layer_.image.format() != format)
        layer_.image = QImage(deviceSize, format);
      layer_.image.setDevicePixelRatio(dpr_);
      // At a fractional ratio the background's edges may cover a device
      // pixel only in part.
      if (dpr_ != std::round(dpr_)) layer_.image.fill(QColor::fromRgba(model.Color));
      if (!layer_.image.isNull()) {
        QPainter layerPainter(&layer_.image);
        layerPainter.setRenderHint(QPainter::Antialiasing, true);
        layerPainter.setRenderHint(QPainter::TextAntialiasing, true);
        paintBottom(layerPainter, model, layout, firstChanged);
        layer_.valid = true;
        layer_.key = key;
        layer_.seriesCount = firstChanged;
      }
    }
    // Series that stayed as they were join the layer, drawn in their turn.
    if (layer_.valid && firstChanged > layer_.seriesCount) {
      QPainter layerPainter(&layer_.image);
      layerPainter.setRenderHint(QPainter::Antialiasing, true);
      layerPainter.setRenderHint(QPainter::TextAntialiasing, true);
      const AxisMap& yMap = layout.map(AxisId::Left);
      for (int s = layer_.seriesCount; s < firstChanged; ++s) {
        const Series& series = model.series(s);
        paintSeries(layerPainter, series, layout.map(series.horizontalAxis()), yMap, layout.plot);
      }
      layer_.seriesCount = firstChanged;
    }
    lastKey_ = std::move(key);
  } else {
    lastKey_.reset();
    layer_.valid = false;
  }

  if (layer_.valid) {
    painter.drawImage(QPointF(0.0, 0.0), layer_.image);
    drawnFrom = layer_.seriesCount;
  } else {
    paintBottom(painter, model, layout, 0);
  }

  const AxisMap& yMap = layout.map(AxisId::Left);
  for (int s = drawnFrom; s < model.seriesCount(); ++s) {
    const Series& series = model.series(s);
    paintSeries(painter, series, layout.map(series.horizontalAxis()), yMap, layout.plot);
  }
  if (overlay.hover) paintHover(painter, model, layout, *overlay.hover);

  paintLegend(painter, model, layout);
  paintTitle(painter, model, layout);

  if (overlay.zoomRectangle) {
    const Crisp crisp(dpr_);
    rects_.clear();
    outlineRects(crisp, overlay.zoomRectangle->normalized(), rects_);
    fillRects(painter, rects_, kZoomOutline);
  }
}

void ChartPainter::paintBottom(QPainter& painter, const ChartModel& model,
                               const ChartLayout& layout, int seriesCount) {
  paintBackground(painter, model, layout);
  paintGrids(painter, model, layout);
  paintAxes(painter, model, layout);
  const AxisMap& yMap = layout.map(AxisId::Left);
  for (int s = 0; s < seriesCount && s < model.seriesCount(); ++s) {
    const Series& series = model.series(s);
    paintSeries(painter, series, layout.map(series.horizontalAxis()), yMap, layout.plot);
  }
}

int ChartPainter::noteSeriesChanges(const ChartModel& model) {
  const int count = model.seriesCount();
  int firstChanged = count;
  if (static_cast<int>(seen_.size()) != count) {
    seen_.assign(static_cast<std::size_t>(count), SeriesSnapshot{});
    firstChanged = 0;
  }
  for (int i = 0; i < count; ++i) {
    const Series& series = model.series(i);
    SeriesSnapshot& seen = seen_[static_cast<std::size_t>(i)];
    bool same = seen.series == &series && seen.active == series.Active() &&
                seen.transparency == series.Transparency() && seen.colour == series.colour() &&
                sameMarker(seen.marker, series.marker) && sameLine(seen.line, series.line) &&
                sameMarks(seen.marks, series.marks);
    // A series refilled with the points it had draws the same.
    if (same && seen.revision != series.revision())
      same = samePoints(seen.points, series.points(), series.marks.visible);
    if (!same) {
      firstChanged = std::min(firstChanged, i);
      seen.series = &series;
      seen.active = series.Active();
      seen.transparency = series.Transparency();
      seen.colour = series.colour();
      seen.marker = series.marker;
      seen.line = series.line;
      seen.marks = series.marks;
      seen.points = series.points();
    }
    seen.revision = series.revision();
  }
  return firstChanged;
}

QImage::Format ChartPainter::layerFormat(const QPainter& painter) const {
  const QPaintDevice* device = painter.device();
  if (!device || painter.opacity() != 1.0 ||
      painter.compositionMode() != QPainter::CompositionMode_SourceOver ||
      !painter.worldTransform().isIdentity())
    return QImage::Format_Invalid;
  // The layer's device pixels must land on the device's one to one.
  const QTransform t = painter.deviceTransform();
  if (t.type() > QTransform::TxScale || t.m11() != dpr_ || t.m22() != dpr_ ||
      t.dx() != std::round(t.dx()) || t.dy() != std::round(t.dy()))
    return QImage::Format_Invalid;

  QImage::Format format = QImage::Format_Invalid;
  switch (device->devType()) {
    case QInternal::Image:
      format = static_cast<const QImage*>(device)->format();
      break;
    case QInternal::Pixmap:
      format = static_cast<const QPixmap*>(device)->hasAlphaChannel()
                   ? QImage::Format_ARGB32_Premultiplied
                   : QImage::Format_RGB32;
      break;
    case QInternal::Widget: {
      // Drawn in the backing store's own format, so text is rendered alike.
      format = QImage::Format_RGB32;
      const QWidget* widget = static_cast<const QWidget*>(device);
      if (QBackingStore* store = widget->backingStore())
        if (QPaintDevice* target = store->paintDevice(); target && target->devType() == QInternal::Image)
          format = static_cast<const QImage*>(target)->format();
      break;
    }
    default:
      break;
  }
  switch (format) {
    case QImage::Format_RGB32:
    case QImage::Format_ARGB32:
    case QImage::Format_ARGB32_Premultiplied:
      return format;
    default:
      return QImage::Format_Invalid;
  }
}

ChartPainter::LayerKey ChartPainter::layerKey(const ChartModel& model, const ChartLayout& layout,
                                              QImage::Format format) const {
  LayerKey key;
  key.layoutSerial = layout.serial;
  key.dpr = dpr_;
  key.format = format;
  key.background = model.Color;
  for (AxisId id : {AxisId::Left, AxisId::Bottom, AxisId::Top, AxisId::Right}) {
    const Axis& axis = model.axis(id);
    LayerKey::AxisLook& look = key.axes[index(id)];
    look.grid = axis.grid;
    look.minorGrid = axis.minorGrid;
    look.gridColour = axis.gridColour;
    look.minorGridColour = axis.minorGridColour;
    look.tickColour = axis.tickColour;
    look.labelColour = axis.labelColour;
    look.tickLength = axis.tickLength;
    look.minorTickLength = axis.minorTickLength;
    look.titleRotated = axis.titleRotated;
  }
  return key;
}

bool ChartPainter::LayerKey::AxisLook::operator==(const AxisLook& o) const {
  return grid == o.grid && minorGrid == o.minorGrid && gridColour == o.gridColour &&
         minorGridColour == o.minorGridColour && tickColour == o.tickColour &&
         labelColour == o.labelColour && tickLength == o.tickLength &&
         minorTickLength == o.minorTickLength && titleRotated == o.titleRotated;
}

bool ChartPainter::LayerKey::operator==(const LayerKey& o) const {
  return layoutSerial == o.layoutSerial && dpr == o.dpr && format == o.format &&
         background == o.background && axes == o.axes;
}

void ChartPainter::paintBackground(QPainter& painter, const ChartModel& model,
                                   const ChartLayout& layout) {
  const double w = layout.size.width();
  const double h = layout.size.height();
  const int deviceWidth = static_cast<int>(std::lround(w * dpr_));
  if (deviceWidth <= 0 || h <= 0.0) return;
  const Crisp crisp(dpr_);
  const QRectF area = layout.plotArea();
  const QRgb background = model.Color;

  // Each pixel is written once. The rows across the plot are all alike:
  // background, frame, white with the vertical grid lines, frame,
  // background. One such device row is built and repeated down the plot,
  // which is far cheaper than filling each grid line on its own.
  if (rowImage_.width() != deviceWidth) rowImage_ = QImage(deviceWidth, 1, QImage::Format_RGB32);
  QRgb* row = reinterpret_cast<QRgb*>(rowImage_.scanLine(0));
  const auto column = [&](double x) {
    return std::clamp(static_cast<int>(std::floor(x * dpr_ + 1e-6)), 0, deviceWidth);
  };
  const auto paintColumns = [&](int from, int to, QRgb colour) {
    std::fill(row + std::clamp(from, 0, deviceWidth), row + std::clamp(to, 0, deviceWidth), colour);
  };
  const auto line = [&](double x, QRgb colour) {
    const int c = column(x);
    paintColumns(c, c + crisp.deviceWidth, colour);
  };
  paintColumns(0, deviceWidth, background);
  paintColumns(column(area.left()), column(area.right()), kPlotBackground);
  const auto verticalGrid = [&](bool minor) {
    for (AxisId id : {AxisId::Bottom, AxisId::Top}) {
      const AxisLayout& out = layout.axes[index(id)];
      const Axis& axis = model.axis(id);
      if (!out.visible || !(minor ? axis.minorGrid : axis.grid)) continue;
      const QRgb colour = minor ? axis.minorGridColour : axis.gridColour;
      const auto add = [&](double value) {
        const double pixel = out.map.toPixel(value);
        if (std::isfinite(pixel) && pixel >= layout.plot.left() && pixel <= layout.plot.right())
          line(pixel, colour);
      };
      if (minor)
        for (double v : out.minorValues) add(v);
      else
        for (const AxisLabel& label : out.labels) add(label.value);
    }
  };
  verticalGrid(true);
  verticalGrid(false);
  line(layout.plot.left(), kFrameColour);
  line(layout.plot.right(), kFrameColour);

  QPixmap plotRows = QPixmap::fromImage(rowImage_);
  plotRows.setDevicePixelRatio(dpr_);
  painter.drawTiledPixmap(QRectF(0.0, area.top(), w, area.height()), plotRows);

  // Above and below the plot: background only.
  paintColumns(0, deviceWidth, background);
  QPixmap bandRows = QPixmap::fromImage(rowImage_);
  bandRows.setDevicePixelRatio(dpr_);
  painter.drawTiledPixmap(QRectF(0.0, 0.0, w, area.top()), bandRows);
  painter.drawTiledPixmap(QRectF(0.0, area.bottom(), w, std::max(0.0, h - area.bottom())), bandRows);
}

void ChartPainter::paintGrids(QPainter& painter, const ChartModel& model,
                              const ChartLayout& layout) {
  // The vertical grid lines are part of the background; here the grid lines
  // of the vertical axes, between the frame's sides.
  const Crisp crisp(dpr_);
  const QRectF& plot = layout.plot;
  const auto drawSet = [&](const Axis& axis, const AxisLayout& out, bool minor) {
    rects_.clear();
    const auto add = [&](double value) {
      const double pixel = out.map.toPixel(value);
      if (!std::isfinite(pixel) || pixel < plot.top() || pixel > plot.bottom()) return;
      rects_.push_back(crisp.horizontal(pixel, plot.left() + crisp.width(), plot.right()));
    };
    if (minor)
      for (double v : out.minorValues) add(v);
    else
      for (const AxisLabel& label : out.labels) add(label.value);
    fillRects(painter, rects_, minor ? axis.minorGridColour : axis.gridColour);
  };
  for (bool minor : {true, false}) {
    for (AxisId id : {AxisId::Left, AxisId::Right}) {
      const AxisLayout& out = layout.axes[index(id)];
      const Axis& axis = model.axis(id);
      if (out.visible && (minor ? axis.minorGrid : axis.grid)) drawSet(axis, out, minor);
    }
  }
}

void ChartPainter::paintAxes(QPainter& painter, const ChartModel& model, const ChartLayout& layout) {
  const Crisp crisp(dpr_);
  const QRectF& plot = layout.plot;

  // The frame: the axis lines on the plot's edges; its sides are part of
  // the background.
  rects_.clear();
  const double frameRight = plot.right() + crisp.width();
  rects_.push_back(crisp.horizontal(plot.top(), plot.left(), frameRight));
  rects_.push_back(crisp.horizontal(plot.bottom(), plot.left(), frameRight));
  fillRects(painter, rects_, kFrameColour);

  for (AxisId id : {AxisId::Left, AxisId::Bottom, AxisId::Top, AxisId::Right}) {
    const AxisLayout& out = layout.axes[index(id)];
    if (!out.visible) continue;
    const Axis& axis = model.axis(id);

    // Ticks point outwards from the frame.
    rects_.clear();
    const auto addTick = [&](double value, int length) {
      if (length <= 0) return;
      const double pixel = out.map.toPixel(value);
      if (!std::isfinite(pixel)) return;
      switch (id) {
        case AxisId::Bottom: {
          const double y0 = plot.bottom() + crisp.width();
          rects_.push_back(crisp.vertical(pixel, y0, y0 + length));
          break;
        }
        case AxisId::Top:
          rects_.push_back(crisp.vertical(pixel, plot.top() - length, plot.top()));
          break;
        case AxisId::Left:
          rects_.push_back(crisp.horizontal(pixel, plot.left() - length, plot.left()));
          break;
        case AxisId::Right: {
          const double x0 = plot.right() + crisp.width();
          rects_.push_back(crisp.horizontal(pixel, x0, x0 + length));
          break;
        }
      }
    };
    for (const AxisLabel& label : out.labels) addTick(label.value, axis.tickLength);
    for (double v : out.minorValues) addTick(v, axis.minorTickLength);
    fillRects(painter, rects_, axis.tickColour);

    // Labels keep their place whatever their colour.
    painter.setFont(out.labelFont);
    painter.setPen(colourOf(axis.labelColour));
    for (const AxisLabel& label : out.labels) painter.drawText(label.baseline, label.text);

    if (!out.titleText.isEmpty() && !out.titleRect.isEmpty()) {
      painter.setFont(out.titleFont);
      painter.setPen(colourOf(kTextColour));
      if (axis.titleRotated) {
        const QRectF& tr = out.titleRect;
        painter.save();
        painter.translate(tr.center());
        painter.rotate(id == AxisId::Right ? 90.0 : -90.0);
        painter.drawText(QRectF(-tr.height() / 2.0, -tr.width() / 2.0, tr.height(), tr.width()),
                         Qt::AlignCenter, out.titleText);
        painter.restore();
      } else {
        painter.drawText(out.titleRect, Qt::AlignCenter, out.titleText);
      }
    }
  }
}

void ChartPainter::mapPoints(const Series& series, const AxisMap& xMap, const AxisMap& yMap) {
  const auto& points = series.points();
  pixels_.resize(points.size());
  for (std::size_t i = 0; i < points.size(); ++i) pixels_[i] = pointPixel(points[i], xMap, yMap);
}

void ChartPainter::paintSeries(QPainter& painter, const Series& series, const AxisMap& xMap,
                               const AxisMap& yMap, const QRectF& plot) {
  if (!series.Active() || series.count() == 0) return;
  if (painter.device()) dpr_ = painter.device()->devicePixelRatio();
  if (!(dpr_ > 0.0)) dpr_ = 1.0;
  mapPoints(series, xMap, yMap);

  const QRectF area(plot.left(), plot.top(), plot.width() + 1.0, plot.height() + 1.0);
  painter.save();
  painter.setClipRect(area);
  paintLine(painter, series, plot);
  paintMarkers(painter, series, plot);
  painter.restore();
  paintMarks(painter, series, plot);
}

void ChartPainter::paintLine(QPainter& painter, const Series& series, const QRectF& plot) {
  if (!drawsLine(series)) return;
  strokeRuns(painter, series, plot, linePen(series));
}

void ChartPainter::strokeRuns(QPainter& painter, const Series& series, const QRectF& plot,
                              const QPen& pen) {
  painter.setBrush(Qt::NoBrush);
  const bool smooth = series.kind() == SeriesKind::Curve;
  const QRectF frame = cutFrame(plot);
  QPen runPen = pen;

  run_.clear();
  const auto flush = [&] {
    if (run_.size() >= 2) strokeRun(painter, run_, smooth, runPen, lines_);
    run_.clear();
  };
  for (std::size_t i = 1; i < pixels_.size(); ++i) {
    QPointF a = pixels_[i - 1];
    QPointF b = pixels_[i];
    if (!drawable(a) || !drawable(b)) {
      flush();
      continue;
    }
    const QPointF originalA = a;
    const QPointF originalB = b;
    if (!clipSegment(a, b, frame)) {
      flush();
      continue;
    }
    if (run_.isEmpty()) {
      run_ << a;
    } else if (a != originalA) {
      flush();
      run_ << a;
    }
    run_ << b;
    if (b != originalB) flush();
  }
  flush();
}

QPixmap ChartPainter::glyph(const GlyphKey& key) {
  for (const Glyph& g : glyphs_)
    if (g.key == key) return g.pixmap;
  if (glyphs_.size() >= kMaxGlyphs) glyphs_.clear();

  const double pad = (key.outlineVisible ? key.outlineWidth : 0) + 2.0;
  const auto evenDevice = [&](double logical) {
    int device = static_cast<int>(std::ceil(logical * key.dpr));
    return device + (device % 2);
  };
  const int deviceWidth = evenDevice(2.0 * (key.halfWidth + pad));
  const int deviceHeight = evenDevice(2.0 * (key.halfHeight + pad));
  QPixmap pixmap(deviceWidth, deviceHeight);
  pixmap.setDevicePixelRatio(key.dpr);
  pixmap.fill(Qt::transparent);
  {
    QPainter gp(&pixmap);
    gp.setRenderHint(QPainter::Antialiasing, true);
    gp.translate(deviceWidth / 2.0 / key.dpr, deviceHeight / 2.0 / key.dpr);
    if (key.outlineVisible) {
      QPen pen(colourOf(key.outline), std::max(1, key.outlineWidth));
      pen.setJoinStyle(Qt::MiterJoin);
      gp.setPen(pen);
    } else {
      gp.setPen(Qt::NoPen);
    }
    gp.setBrush(colourOf(key.fill));
    gp.drawPath(markerPath(key.shape, key.halfWidth, key.halfHeight));
  }
  glyphs_.push_back(Glyph{key, pixmap});
  return pixmap;
}

void ChartPainter::paintMarkers(QPainter& painter, const Series& series, const QRectF& plot) {
  const MarkerStyle& marker = series.marker;
  if (!marker.visible) return;
  const double hw = std::max(0, marker.halfWidth);
  const double hh = std::max(0, marker.halfHeight);
  const QRectF reach = plot.adjusted(-hw - 4.0, -hh - 4.0, hw + 5.0, hh + 5.0);

  GlyphKey key{marker.shape, marker.halfWidth, marker.halfHeight, 0, 0,
               marker.outlineVisible, marker.outlineWidth, dpr_};
  bool haveGlyph = false;
  QPixmap pixmap;
  double halfW = 0.0, halfH = 0.0;
  for (std::size_t i = 0; i < pixels_.size(); ++i) {
    const QPointF& p = pixels_[i];
    if (!drawable(p) || !reach.contains(p)) continue;
    const Argb colour = series.pointColour(static_cast<int>(i));
    const Argb fill = marker.fill.value_or(colour);
    const Argb outline = marker.outline.value_or(colour);
    if (!haveGlyph || fill != key.fill || outline != key.outline) {
      key.fill = fill;
      key.outline = outline;
      pixmap = glyph(key);
      halfW = pixmap.width() / 2.0 / dpr_;
      halfH = pixmap.height() / 2.0 / dpr_;
      haveGlyph = true;
    }
    // The marker's centre on a device pixel corner, the glyph on whole pixels.
    const double cx = std::round(p.x() * dpr_) / dpr_;
    const double cy = std::round(p.y() * dpr_) / dpr_;
    painter.drawPixmap(QPointF(cx - halfW, cy - halfH), pixmap);
  }
}

void ChartPainter::paintMarks(QPainter& painter, const Series& series, const QRectF& plot) {
  const MarksStyle& marks = series.marks;
  if (!marks.visible) return;
  const QRectF area(plot.left(), plot.top(), plot.width() + 1.0, plot.height() + 1.0);
  QFont font;
  font.setPixelSize(kMarksFontSize);
  const QFontMetricsF fm(font);
  const Crisp crisp(dpr_);
  painter.setFont(font);
  for (std::size_t i = 0; i < pixels_.size(); ++i) {
    const QPointF& p = pixels_[i];
    if (!drawable(p) || !area.contains(p)) continue;
    const std::string& label = series.points()[i].label;
    if (label.empty()) continue;
    const QString text = QString::fromStdString(label);
    const double width = std::ceil(fm.horizontalAdvance(text)) + 6.0;
    const double height = std::ceil(fm.height()) + 2.0;
    const double x = crisp.centre(p.x());
    const double boxBottom = std::round(p.y()) - std::max(0, marks.calloutLength);
    const QRectF box(std::round(x - width / 2.0), boxBottom - height, width, height);

    painter.setPen(crisp.pen(marks.callout));
    painter.drawLine(QPointF(x, p.y()), QPointF(x, box.bottom()));
    painter.setPen(crisp.pen(marks.frame));
    painter.setBrush(colourOf(marks.fill));
    painter.drawRect(QRectF(QPointF(crisp.centre(box.left()), crisp.centre(box.top())),
                            QPointF(crisp.centre(box.right()), crisp.centre(box.bottom()))));
    painter.setPen(colourOf(kTextColour));
    painter.drawText(box, Qt::AlignCenter, text);
  }
  painter.setBrush(Qt::NoBrush);
}

void ChartPainter::paintHover(QPainter& painter, const ChartModel& model, const ChartLayout& layout,
                              const SeriesHit& hit) {
  if (hit.series < 0 || hit.series >= model.seriesCount()) return;
  const Series& series = model.series(hit.series);
  if (!series.Active()) return;
  const AxisMap& xMap = layout.map(series.horizontalAxis());
  const AxisMap& yMap = layout.map(AxisId::Left);
  // Flat caps: the line is stroked in pieces, and translucent round caps
  // would show where they meet.
  QPen pen(hoverColour(), kHoverWidth);
  pen.setJoinStyle(Qt::BevelJoin);
  pen.setCapStyle(Qt::FlatCap);

  painter.save();
  painter.setClipRect(layout.plotArea());
  if (hit.point >= 0 && hit.point < series.count()) {
    const QPointF p = pointPixel(series.point(hit.point), xMap, yMap);
    if (drawable(p)) {
      const double cx = std::round(p.x() * dpr_) / dpr_;
      const double cy = std::round(p.y() * dpr_) / dpr_;
      painter.setPen(pen);
      painter.setBrush(Qt::NoBrush);
      painter.drawPath(markerPath(series.marker.shape, series.marker.halfWidth + 1.0,
                                  series.marker.halfHeight + 1.0)
                           .translated(cx, cy));
    }
  } else if (hit.point < 0) {
    // A band of the hover width on either side of the line, with the line
    // drawn again on top of it.
    mapPoints(series, xMap, yMap);
    pen.setWidthF(std::max(1, series.line.width) + 2.0 * kHoverWidth);
    strokeRuns(painter, series, layout.plot, pen);
    if (drawsLine(series)) strokeRuns(painter, series, layout.plot, linePen(series));
  }
  painter.restore();
}

void ChartPainter::paintLegend(QPainter& painter, const ChartModel& model,
                               const ChartLayout& layout) {
  if (layout.legendRows.empty() || layout.legendRect.isEmpty()) return;
  const Crisp crisp(dpr_);
  const QRectF& r = layout.legendRect;
  painter.setPen(crisp.pen(kLegendFrame));
  painter.setBrush(colourOf(kPlotBackground));
  painter.drawRect(QRectF(QPointF(crisp.centre(r.left()), crisp.centre(r.top())),
                          QPointF(crisp.centre(r.right() - 1.0), crisp.centre(r.bottom() - 1.0))));

  painter.setFont(layout.legendFont);
  for (const LegendRow& row : layout.legendRows) {
    if (row.seriesIndex < 0 || row.seriesIndex >= model.seriesCount()) continue;
    const Series& series = model.series(row.seriesIndex);

    // The check box, ticked exactly while the series is shown.
    const QRectF& box = row.checkBox;
    const double bl = crisp.centre(std::round(box.left()));
    const double bt = crisp.centre(std::round(box.top()));
    const QRectF frame(QPointF(bl, bt), QPointF(bl + box.width() - 1.0, bt + box.height() - 1.0));
    painter.setPen(crisp.pen(kCheckBoxFrame));
    painter.setBrush(colourOf(kPlotBackground));
    painter.drawRect(frame);
    if (series.Active()) {
      QPen tick(colourOf(kTextColour), 2.0);
      tick.setCapStyle(Qt::RoundCap);
      tick.setJoinStyle(Qt::RoundJoin);
      painter.setPen(tick);
      painter.setBrush(Qt::NoBrush);
      const QPointF o = frame.topLeft();
      const double s = frame.width();
      const QPointF check[3] = {o + QPointF(0.22 * s, 0.52 * s), o + QPointF(0.42 * s, 0.72 * s),
                                o + QPointF(0.78 * s, 0.28 * s)};
      painter.drawPolyline(check, 3);
    }

    paintLegendSymbol(painter, series, row.symbol);

    painter.setPen(colourOf(kTextColour));
    painter.drawText(row.text, Qt::AlignLeft | Qt::AlignVCenter, row.title);
  }
  painter.setBrush(Qt::NoBrush);
}

void ChartPainter::paintLegendSymbol(QPainter& painter, const Series& series, const QRectF& rect) {
  const double cy = rect.center().y();
  if (drawsLine(series)) {
    QPen pen = linePen(series);
    if (series.line.dashed) pen.setDashPattern({3.0, 1.5});
    painter.setPen(pen);
    painter.drawLine(QPointF(rect.left() + 1.0, cy), QPointF(rect.right() - 1.0, cy));
  }
  const MarkerStyle& marker = series.marker;
  if (!marker.visible) return;
  // Scaled down where the marker is taller or wider than the row.
  const double hw = std::max(1, marker.halfWidth);
  const double hh = std::max(1, marker.halfHeight);
  const double scale = std::min({1.0, (rect.height() / 2.0 - 1.0) / hh, (rect.width() / 2.0 - 1.0) / hw});
  if (!(scale > 0.0)) return;
  const Argb colour = series.colour();
  if (marker.outlineVisible) {
    QPen pen(colourOf(marker.outline.value_or(colour)), std::max(1, marker.outlineWidth));
    painter.setPen(pen);
  } else {
    painter.setPen(Qt::NoPen);
  }
  painter.setBrush(colourOf(marker.fill.value_or(colour)));
  painter.drawPath(markerPath(marker.shape, hw * scale, hh * scale).translated(rect.center()));
  painter.setBrush(Qt::NoBrush);
}

void ChartPainter::paintTitle(QPainter& painter, const ChartModel& model,
                              const ChartLayout& layout) {
  if (layout.titleText.isEmpty()) return;
  painter.setFont(layout.titleFont);
  painter.setPen(colourOf(model.titleColour));
  painter.drawText(layout.titleBaseline, layout.titleText);
}

}  // namespace velmora::chart
