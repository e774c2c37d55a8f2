#include "chart/ChartLayout.h"

#include <algorithm>
#include <atomic>
#include <cmath>

#include <QFontMetricsF>

namespace velmora::chart {

namespace {

// Room and gaps, in logical pixels.
constexpr double kTitleMargin = 4.0;        // title box inset from the chart's top and sides
constexpr double kTitleGap = 2.0;           // between the title box and what follows
constexpr double kLegendMinWidth = 207.0;   // as wide as the panel's column below it
constexpr double kLegendRightMargin = 7.0;
constexpr double kLegendTopFraction = 0.10;  // of the area below the title
constexpr double kLegendPadding = 6.0;
constexpr double kLegendGap = 6.0;           // between check box, symbol and text
constexpr double kCheckBoxSize = 13.0;
constexpr double kSymbolWidth = 26.0;
constexpr double kLegendPlotGap = 14.0;      // keeps the last top or bottom label off the legend
constexpr double kLeftMargin = 43.0;         // leaves the top-left corner to the panel's logo
constexpr double kRightMargin = 14.0;        // used when there is no legend
constexpr double kTopMargin = 8.0;           // used when the top axis is hidden
constexpr double kBottomMargin = 4.0;
constexpr double kLabelGap = 2.0;            // between a tick's end and its label

// Beyond these the labels could never be read; the cap keeps the loops short
// whatever the bounds.
constexpr double kMaxLabels = 1000.0;
constexpr double kMaxMinorValues = 20000.0;

std::size_t index(AxisId id) { return static_cast<std::size_t>(id); }

double nonNegative(double v) { return std::isfinite(v) && v > 0.0 ? v : 0.0; }

QFont pixelFont(int pixelSize, bool bold = false) {
  QFont font;
  font.setPixelSize(std::max(1, pixelSize));
  font.setBold(bold);
  return font;
}

QString toQString(const std::string& text) { return QString::fromStdString(text); }

// --- Label values ---------------------------------------------------------------

// The multiples of `step` within the bounds, as the first multiple's factor and
// their number. None when the bounds or the step are unusable.
struct Multiples {
  double first = 0.0;  // factor of the first multiple
  double count = 0.0;
};

Multiples multiplesWithin(double minimum, double maximum, double step) {
  if (!std::isfinite(minimum) || !std::isfinite(maximum) || !std::isfinite(step) || step <= 0.0 ||
      maximum < minimum)
    return {};
  const double lo = minimum / step;
  const double hi = maximum / step;
  if (!std::isfinite(lo) || !std::isfinite(hi)) return {};
  // A little tolerance so that a bound that is a multiple but carries a
  // rounding error still gets its label.
  constexpr double kTolerance = 1e-9;
  const double first = std::ceil(lo - kTolerance);
  const double last = std::floor(hi + kTolerance);
  const double count = last - first + 1.0;
  if (!(count >= 1.0) || !std::isfinite(count)) return {};
  return {first, count};
}

// 1, 2, 5, 10, 20, 50, ...: the factors by which the label step grows when
// labels would overlap.
double nextFactor(double factor) {
  const double decade = std::pow(10.0, std::floor(std::log10(factor) + 1e-9));
  const double mantissa = factor / decade;
  if (mantissa < 1.5) return 2.0 * decade;
  if (mantissa < 3.5) return 5.0 * decade;
  return 10.0 * decade;
}

// --- Title ----------------------------------------------------------------------

QRectF takeTitle(const ChartModel& model, ChartLayout& layout, QRectF area) {
  layout.titleFont = pixelFont(model.titleFontSize, model.titleBold);
  layout.titleText = toQString(model.title);
  if (layout.titleText.isEmpty()) return area;

  const QFontMetricsF fm(layout.titleFont);
  const double width = nonNegative(area.width() - 2.0 * kTitleMargin);
  const double height = std::ceil(fm.height());
  layout.titleRect = QRectF(area.left() + std::min(kTitleMargin, area.width() / 2.0),
                            area.top() + kTitleMargin, width, height);
  // Centred by the advance of the whole text, trailing blanks included.
  const double advance = fm.horizontalAdvance(layout.titleText);
  layout.titleBaseline =
      QPointF(layout.titleRect.center().x() - advance / 2.0, layout.titleRect.top() + fm.ascent());
  const double top = std::min(area.bottom(), layout.titleRect.bottom() + kTitleGap);
  return QRectF(area.left(), top, area.width(), nonNegative(area.bottom() - top));
}

// --- Legend ---------------------------------------------------------------------

// Places the legend at the right edge and returns the area left of it.
QRectF takeLegend(const ChartModel& model, ChartLayout& layout, QRectF area) {
  layout.legendFont = pixelFont(model.legendFontSize);
  const QFontMetricsF fm(layout.legendFont);
  const double lineHeight = std::max(std::ceil(fm.height()), kCheckBoxSize);
  const double spacing = std::max(0, model.legendVertSpacing);

  std::vector<int> listed;
  double textWidth = 0.0;
  for (int i = 0; i < model.seriesCount(); ++i) {
    if (!model.series(i).showInLegend) continue;
    listed.push_back(i);
    textWidth = std::max(textWidth, fm.horizontalAdvance(toQString(model.series(i).title())));
  }
  const QRectF noLegend(area.left(), area.top(), nonNegative(area.width() - kRightMargin),
                        area.height());
  if (listed.empty()) return noLegend;

  const double right = nonNegative(area.right() - kLegendRightMargin);
  const double wanted = std::max(kLegendMinWidth, 2.0 * kLegendPadding + kCheckBoxSize +
                                                      2.0 * kLegendGap + kSymbolWidth +
                                                      std::ceil(textWidth));
  const double width = std::min(wanted, nonNegative(right - area.left()));
  const double left = right - width;
  const double top = area.top() + kLegendTopFraction * area.height();

  // Rows that would fall below the chart are left out.
  double y = top + kLegendPadding;
  for (int seriesIndex : listed) {
    if (y + lineHeight > area.bottom()) break;
    LegendRow row;
    row.seriesIndex = seriesIndex;
    row.title = toQString(model.series(seriesIndex).title());
    // A press in the spacing between two rows counts for the nearer one.
    const double above = layout.legendRows.empty() ? 0.0 : spacing / 2.0;
    row.row = QRectF(left, y - above, width, lineHeight + above + spacing / 2.0);
    const double checkLeft = left + kLegendPadding;
    row.checkBox = QRectF(checkLeft, y + (lineHeight - kCheckBoxSize) / 2.0, kCheckBoxSize,
                          kCheckBoxSize);
    const double symbolLeft = checkLeft + kCheckBoxSize + kLegendGap;
    row.symbol = QRectF(symbolLeft, y, kSymbolWidth, lineHeight);
    const double textLeft = symbolLeft + kSymbolWidth + kLegendGap;
    row.text = QRectF(textLeft, y, nonNegative(left + width - kLegendPadding - textLeft), lineHeight);
    layout.legendRows.push_back(std::move(row));
    y += lineHeight + spacing;
  }
  if (layout.legendRows.empty()) return noLegend;

  const double bottom = y - spacing + kLegendPadding;
  layout.legendRect = QRectF(left, top, width, nonNegative(bottom - top));
  // The last row ends with its text: below it the legend takes no press.
  layout.legendRows.back().row.setBottom(bottom - kLegendPadding);
  return QRectF(area.left(), area.top(), nonNegative(left - kLegendPlotGap - area.left()),
                area.height());
}

// --- Axes -----------------------------------------------------------------------

double titleRoom(const Axis& axis, const QFont& font) {
  if (axis.title.empty()) return 0.0;
  if (axis.titleSize > 0) return axis.titleSize;
  return std::ceil(QFontMetricsF(font).height());
}

// The widest text among the labels the bounds could show, for an axis whose
// label room is "as the labels need".
double widestLabel(const Axis& axis, const QFontMetricsF& fm) {
  Multiples m = multiplesWithin(axis.Minimum(), axis.Maximum(), axis.increment);
  if (m.count <= 0.0) return 0.0;
  double step = axis.increment;
  while (m.count > kMaxLabels) {
    step *= 10.0;
    m = multiplesWithin(axis.Minimum(), axis.Maximum(), step);
  }
  double widest = 0.0;
  for (double k = 0.0; k < m.count; k += 1.0)
    widest = std::max(widest, fm.horizontalAdvance(formatAxisValue((m.first + k) * step, step)));
  return std::ceil(widest);
}

struct SideRoom {
  double left = 0.0, right = 0.0, top = 0.0, bottom = 0.0;
};

SideRoom axesRoom(const ChartModel& model, const ChartLayout& layout) {
  SideRoom room;
  const auto visible = [&](AxisId id) { return layout.axes[index(id)].visible; };
  const auto labelRoomVertical = [&](const Axis& axis) {
    if (axis.labelsSize > 0) return static_cast<double>(axis.labelsSize);
    return widestLabel(axis, QFontMetricsF(layout.axes[index(axis.id())].labelFont));
  };
  const auto labelRoomHorizontal = [&](const Axis& axis) {
    if (axis.labelsSize > 0) return static_cast<double>(axis.labelsSize);
    return std::ceil(QFontMetricsF(layout.axes[index(axis.id())].labelFont).height());
  };
  const auto sideRoom = [&](AxisId id, bool vertical) {
    const Axis& axis = model.axis(id);
    const double labels = vertical ? labelRoomVertical(axis) : labelRoomHorizontal(axis);
    return std::max(0, axis.tickLength) + kLabelGap + labels +
           titleRoom(axis, layout.axes[index(id)].titleFont);
  };

  room.left = kLeftMargin + (visible(AxisId::Left) ? sideRoom(AxisId::Left, true) : 0.0);
  room.right = visible(AxisId::Right) ? sideRoom(AxisId::Right, true) : 0.0;
  room.top = visible(AxisId::Top) ? sideRoom(AxisId::Top, false) : kTopMargin;
  room.bottom = kBottomMargin + (visible(AxisId::Bottom) ? sideRoom(AxisId::Bottom, false) : 0.0);
  return room;
}

QRectF takeAxesRoom(const ChartModel& model, ChartLayout& layout, QRectF area) {
  const SideRoom room = axesRoom(model, layout);
  // Whole pixels, so that the axis lines are crisp and PosAxis is exact.
  // Whatever the room, the plot stays inside the chart.
  const double left = std::min(std::ceil(area.left() + room.left), std::floor(area.right()));
  const double top = std::min(std::ceil(area.top() + room.top), std::floor(area.bottom()));
  const double right = std::max(left, std::floor(area.right() - room.right));
  const double bottom = std::max(top, std::floor(area.bottom() - room.bottom));
  return QRectF(left, top, right - left, bottom - top);
}

// Labels for one axis along the plot: the multiples of the step within the
// bounds, every one where they fit, otherwise every 2nd, 5th, 10th, ...
void placeLabels(const Axis& axis, AxisLayout& out, const QRectF& plot) {
  const QFontMetricsF fm(out.labelFont);
  const bool horizontal = axis.horizontal();
  const double extent = std::fabs(out.map.pixelExtent());
  const Multiples base = multiplesWithin(axis.Minimum(), axis.Maximum(), axis.increment);
  if (base.count <= 0.0 || extent < 1.0) return;

  const double tick = std::max(0, axis.tickLength);
  const double labelHeight = fm.height();
  const double separationShare = std::max(0, axis.labelsSeparation) / 100.0;

  const auto labelAt = [&](double value, double step) {
    AxisLabel label;
    label.value = value;
    label.text = formatAxisValue(value, step);
    const double width = fm.horizontalAdvance(label.text);
    const double pixel = out.map.toPixel(value);
    switch (axis.id()) {
      case AxisId::Bottom:
        label.rect = QRectF(pixel - width / 2.0, plot.bottom() + tick + kLabelGap, width, labelHeight);
        break;
      case AxisId::Top:
        label.rect = QRectF(pixel - width / 2.0, plot.top() - tick - kLabelGap - labelHeight, width,
                            labelHeight);
        break;
      case AxisId::Left:
        label.rect = QRectF(plot.left() - tick - kLabelGap - width, pixel - labelHeight / 2.0, width,
                            labelHeight);
        break;
      case AxisId::Right:
        label.rect = QRectF(plot.right() + tick + kLabelGap, pixel - labelHeight / 2.0, width,
                            labelHeight);
        break;
    }
    label.baseline = QPointF(label.rect.left(), label.rect.top() + fm.ascent());
    return label;
  };

  // Start with a factor that leaves at most one label per pixel.
  const double maxCount = std::min(kMaxLabels, extent + 1.0);
  double factor = 1.0;
  while (base.count / factor > maxCount) factor = nextFactor(factor);

  std::vector<AxisLabel> labels;
  for (;;) {
    const double step = axis.increment * factor;
    const Multiples m = multiplesWithin(axis.Minimum(), axis.Maximum(), step);
    labels.clear();
    bool overlaps = false;
    for (double k = 0.0; k < m.count && !overlaps; k += 1.0) {
      AxisLabel label = labelAt((m.first + k) * step, step);
      if (!labels.empty()) {
        const QRectF& prev = labels.back().rect;
        if (horizontal) {
          const double gap = separationShare * std::max(prev.width(), label.rect.width());
          overlaps = prev.right() + gap > label.rect.left();
        } else {
          // Values grow upwards, so each label stands above the one before.
          const double gap = separationShare * labelHeight;
          overlaps = label.rect.bottom() + gap > prev.top();
        }
      }
      labels.push_back(std::move(label));
    }
    if (!overlaps || m.count <= 1.0) {
      out.labelStep = step;
      break;
    }
    factor = nextFactor(factor);
  }
  out.labels = std::move(labels);
}

// Minor ticks: minorTickCount evenly between two labels, continued up to the
// bounds; the label positions themselves are left out.
void placeMinorValues(const Axis& axis, AxisLayout& out) {
  if (out.labelStep <= 0.0 || axis.minorTickCount <= 0) return;
  const double parts = axis.minorTickCount + 1.0;
  const double step = out.labelStep / parts;
  const Multiples m = multiplesWithin(axis.Minimum(), axis.Maximum(), step);
  const double extent = std::fabs(out.map.pixelExtent());
  if (m.count <= 0.0 || m.count > kMaxMinorValues || m.count > 2.0 * extent + 2.0) return;
  out.minorValues.reserve(static_cast<std::size_t>(m.count));
  for (double k = 0.0; k < m.count; k += 1.0) {
    const double factor = m.first + k;
    if (std::fmod(factor, parts) == 0.0) continue;
    out.minorValues.push_back(factor * step);
  }
}

void placeAxisTitle(const Axis& axis, AxisLayout& out, const QRectF& plot) {
  if (out.titleText.isEmpty()) return;
  const double room = titleRoom(axis, out.titleFont);
  const double tick = std::max(0, axis.tickLength);
  switch (axis.id()) {
    case AxisId::Bottom: {
      const double labels = axis.labelsSize > 0 ? axis.labelsSize
                                                : std::ceil(QFontMetricsF(out.labelFont).height());
      out.titleRect = QRectF(plot.left(), plot.bottom() + tick + kLabelGap + labels, plot.width(), room);
      break;
    }
    case AxisId::Top: {
      const double labels = axis.labelsSize > 0 ? axis.labelsSize
                                                : std::ceil(QFontMetricsF(out.labelFont).height());
      out.titleRect =
          QRectF(plot.left(), plot.top() - tick - kLabelGap - labels - room, plot.width(), room);
      break;
    }
    case AxisId::Left: {
      const double labels = axis.labelsSize > 0 ? axis.labelsSize
                                                : widestLabel(axis, QFontMetricsF(out.labelFont));
      out.titleRect = QRectF(plot.left() - tick - kLabelGap - labels - room, plot.top(), room,
                             plot.height());
      break;
    }
    case AxisId::Right: {
      const double labels = axis.labelsSize > 0 ? axis.labelsSize
                                                : widestLabel(axis, QFontMetricsF(out.labelFont));
      out.titleRect = QRectF(plot.right() + tick + kLabelGap + labels, plot.top(), room, plot.height());
      break;
    }
  }
}

void layoutAxes(const ChartModel& model, ChartLayout& layout) {
  for (AxisId id : {AxisId::Left, AxisId::Bottom, AxisId::Top, AxisId::Right}) {
    const Axis& axis = model.axis(id);
    AxisLayout& out = layout.axes[index(id)];
    if (axis.horizontal())
      out.map = AxisMap{axis.Minimum(), axis.Maximum(), layout.plot.left(), layout.plot.right()};
    else
      out.map = AxisMap{axis.Minimum(), axis.Maximum(), layout.plot.bottom(), layout.plot.top()};
    if (!out.visible) continue;
    placeLabels(axis, out, layout.plot);
    placeMinorValues(axis, out);
    placeAxisTitle(axis, out, layout.plot);
  }
}

}  // namespace

QString formatAxisValue(double value, double step) {
  // A value that is zero but for rounding reads "0", not "-0" or "1e-17".
  if (std::fabs(value) < std::fabs(step) * 1e-9) value = 0.0;
  int decimals = 0;
  double scaled = std::fabs(step);
  while (decimals < 12 && std::isfinite(scaled) &&
         std::fabs(scaled - std::round(scaled)) > 1e-9 * std::max(1.0, scaled)) {
    scaled *= 10.0;
    ++decimals;
  }
  if (std::fabs(value) >= 1e15) return QString::number(value, 'g', 6);
  QString text = QString::number(value, 'f', decimals);
  if (decimals > 0) {
    // 1.50 reads 1.5, 2.0 reads 2.
    while (text.endsWith(QLatin1Char('0'))) text.chop(1);
    if (text.endsWith(QLatin1Char('.'))) text.chop(1);
  }
  if (text == QLatin1String("-0")) text = QStringLiteral("0");
  return text;
}

ChartLayout computeLayout(const ChartModel& model, QSizeF size) {
  static std::atomic<std::uint64_t> nextSerial{1};
  ChartLayout layout;
  layout.serial = nextSerial++;
  layout.size = QSizeF(nonNegative(size.width()), nonNegative(size.height()));

  for (AxisId id : {AxisId::Left, AxisId::Bottom, AxisId::Top, AxisId::Right}) {
    const Axis& axis = model.axis(id);
    AxisLayout& out = layout.axes[index(id)];
    out.visible = model.axisVisible(id);
    out.labelFont = pixelFont(axis.labelFontSize);
    out.titleFont = pixelFont(axis.titleFontSize);
    out.titleText = toQString(axis.title);
  }
  layout.labelFont = layout.axes[index(AxisId::Bottom)].labelFont;
  layout.axisTitleFont = layout.axes[index(AxisId::Left)].titleFont;

  QRectF area(QPointF(0.0, 0.0), layout.size);
  area = takeTitle(model, layout, area);
  area = takeLegend(model, layout, area);
  layout.plot = takeAxesRoom(model, layout, area);
  layoutAxes(model, layout);
  return layout;
}

// --- Layout key -------------------------------------------------------------------

bool LayoutKey::AxisPart::operator==(const AxisPart& o) const {
  return visible == o.visible && bounds == o.bounds && increment == o.increment &&
         labelFontSize == o.labelFontSize && labelsSize == o.labelsSize &&
         labelsSeparation == o.labelsSeparation && title == o.title &&
         titleFontSize == o.titleFontSize && titleRotated == o.titleRotated &&
         titleSize == o.titleSize && minorTickCount == o.minorTickCount &&
         tickLength == o.tickLength && minorTickLength == o.minorTickLength;
}

bool LayoutKey::operator==(const LayoutKey& o) const {
  return revision == o.revision && width == o.width && height == o.height && title == o.title &&
         titleFontSize == o.titleFontSize && titleBold == o.titleBold &&
         legendFontSize == o.legendFontSize && legendVertSpacing == o.legendVertSpacing &&
         legendMask == o.legendMask && seriesCount == o.seriesCount && axes == o.axes;
}

LayoutKey layoutKey(const ChartModel& model, QSizeF size) {
  LayoutKey key;
  key.revision = model.layoutRevision();
  key.width = size.width();
  key.height = size.height();
  key.title = model.title;
  key.titleFontSize = model.titleFontSize;
  key.titleBold = model.titleBold;
  key.legendFontSize = model.legendFontSize;
  key.legendVertSpacing = model.legendVertSpacing;
  key.seriesCount = model.seriesCount();
  for (int i = 0; i < model.seriesCount() && i < 64; ++i)
    if (model.series(i).showInLegend) key.legendMask |= std::uint64_t{1} << i;
  for (AxisId id : {AxisId::Left, AxisId::Bottom, AxisId::Top, AxisId::Right}) {
    const Axis& axis = model.axis(id);
    LayoutKey::AxisPart& part = key.axes[index(id)];
    part.visible = model.axisVisible(id);
    part.bounds = axis.bounds();
    part.increment = axis.increment;
    part.labelFontSize = axis.labelFontSize;
    part.labelsSize = axis.labelsSize;
    part.labelsSeparation = axis.labelsSeparation;
    part.title = axis.title;
    part.titleFontSize = axis.titleFontSize;
    part.titleRotated = axis.titleRotated;
    part.titleSize = axis.titleSize;
    part.minorTickCount = axis.minorTickCount;
    part.tickLength = axis.tickLength;
    part.minorTickLength = axis.minorTickLength;
  }
  return key;
}

}  // namespace velmora::chart
