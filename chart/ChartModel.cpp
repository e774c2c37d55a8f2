#include "chart/ChartModel.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

namespace velmora::chart {

namespace {

// Colours handed to series that bring none of their own, by series index.
constexpr std::array<Argb, 8> kPalette = {
    0xFFFF0000, 0xFF008000, 0xFFFFFF00, 0xFF0000FF,
    0xFFFFFFFF, 0xFF808080, 0xFFFF00FF, 0xFF008080,
};

bool finite(const AxisBounds& bounds) {
  return std::isfinite(bounds.minimum) && std::isfinite(bounds.maximum) &&
         std::isfinite(bounds.maximum - bounds.minimum);
}

// A narrowing zoom is taken only while a tenth of the new span still moves
// the bounds, so that the opposite wheel step can always undo it.
bool resolvable(const AxisBounds& now, const AxisBounds& next) {
  const double span = std::fabs(next.maximum - next.minimum);
  if (span >= std::fabs(now.maximum - now.minimum)) return true;
  const double magnitude = std::max(std::fabs(next.minimum), std::fabs(next.maximum));
  return span >= 64.0 * std::numeric_limits<double>::epsilon() * magnitude;
}

}  // namespace

// --- Series -------------------------------------------------------------------

Series::Series(std::string name, std::string title, SeriesKind kind, AxisId horizontalAxis,
               std::optional<Argb> colour)
    : name_(std::move(name)),
      title_(std::move(title)),
      kind_(kind),
      horizontalAxis_(horizontalAxis),
      colour_(colour) {
  if (horizontalAxis != AxisId::Bottom && horizontalAxis != AxisId::Top)
    throw std::invalid_argument("a series' horizontal axis is the bottom or the top axis");
}

Argb Series::colour() const { return colour_.value_or(paletteColour_); }

void Series::add(double x, double y, std::string label, Argb colour) {
  points_.push_back(ChartPoint{x, y, std::move(label), colour, false});
  changed();
}

void Series::addY(double y, std::string label, Argb colour) {
  add(static_cast<double>(points_.size()), y, std::move(label), colour);
}

void Series::addNull() {
  points_.push_back(ChartPoint{static_cast<double>(points_.size()), 0.0, {}, kSeriesColour, true});
  changed();
}

void Series::clear() {
  if (points_.empty()) return;
  points_.clear();
  changed();
}

Argb Series::pointColour(int index) const {
  const Argb own = point(index).colour;
  return own == kSeriesColour ? colour() : own;
}

void Series::setActive(bool active) {
  if (active == active_) return;
  active_ = active;
  ++revision_;
  // Which series are shown decides which axes take room.
  if (owner_) owner_->layoutChanged();
}

void Series::setTransparency(int percent) {
  percent = std::clamp(percent, 0, 100);
  if (percent == transparency_) return;
  transparency_ = percent;
  changed();
}

void Series::changed() {
  ++revision_;
  if (owner_) owner_->changed();
}

// --- Axis ---------------------------------------------------------------------

void Axis::SetMinimum(double value) {
  // Written so that NaN fails the test as well.
  if (!(std::isfinite(value) && value <= bounds_.maximum)) throw AxisRangeError(kMinimumRefused);
  if (value == bounds_.minimum) return;
  bounds_.minimum = value;
  changed();
}

void Axis::SetMaximum(double value) {
  if (!(std::isfinite(value) && value >= bounds_.minimum)) throw AxisRangeError(kMaximumRefused);
  if (value == bounds_.maximum) return;
  bounds_.maximum = value;
  changed();
}

void Axis::setBoundsOrdered(double a, double b) {
  const AxisBounds ordered{std::min(a, b), std::max(a, b)};
  if (!finite(ordered) || ordered == bounds_) return;
  bounds_ = ordered;
  changed();
}

void Axis::setLabelColour(Argb colour) {
  if (colour == labelColour) return;
  labelColour = colour;
  changed();
}

void Axis::setTitle(std::string text) {
  if (text == title) return;
  title = std::move(text);
  changed();
}

void Axis::setMinorGridColour(Argb colour) {
  if (colour == minorGridColour) return;
  minorGridColour = colour;
  changed();
}

// Every axis property reaches the layout (bounds, labels, titles), so every
// change renews it.
void Axis::changed() {
  if (owner_) owner_->layoutChanged();
}

// --- ChartModel ---------------------------------------------------------------

ChartModel::ChartModel() {
  for (AxisId id : {AxisId::Left, AxisId::Bottom, AxisId::Top, AxisId::Right}) {
    auto& slot = axes_[static_cast<std::size_t>(id)];
    slot = std::make_unique<Axis>(id);
    slot->setOwner(this);
  }
}

Series& ChartModel::addSeries(std::string name, std::string title, SeriesKind kind,
                              AxisId horizontalAxis, std::optional<Argb> colour) {
  auto series = std::make_unique<Series>(std::move(name), std::move(title), kind, horizontalAxis,
                                         colour);
  series->paletteColour_ = kPalette[series_.size() % kPalette.size()];
  series->owner_ = this;
  series_.push_back(std::move(series));
  layoutChanged();
  return *series_.back();
}

Series* ChartModel::findSeries(const std::string& name) {
  for (auto& series : series_)
    if (series->name() == name) return series.get();
  return nullptr;
}

const Series* ChartModel::findSeries(const std::string& name) const {
  for (const auto& series : series_)
    if (series->name() == name) return series.get();
  return nullptr;
}

std::vector<Series*> ChartModel::legendSeries() {
  std::vector<Series*> rows;
  for (auto& series : series_)
    if (series->showInLegend) rows.push_back(series.get());
  return rows;
}

std::vector<const Series*> ChartModel::legendSeries() const {
  std::vector<const Series*> rows;
  for (const auto& series : series_)
    if (series->showInLegend) rows.push_back(series.get());
  return rows;
}

bool ChartModel::axisVisible(AxisId id) const {
  bool anyShown = false;
  for (const auto& series : series_) {
    if (!series->Active()) continue;
    anyShown = true;
    if (id == AxisId::Left || series->horizontalAxis() == id) return true;
  }
  return !anyShown;
}

AllBounds ChartModel::currentBounds() const {
  AllBounds bounds;
  for (std::size_t i = 0; i < axes_.size(); ++i) bounds[i] = axes_[i]->bounds();
  return bounds;
}

void ChartModel::zoomTo(const AllBounds& bounds) {
  if (!std::all_of(bounds.begin(), bounds.end(), finite)) return;
  for (std::size_t i = 0; i < axes_.size(); ++i)
    if (!resolvable(axes_[i]->bounds(), bounds[i])) return;
  if (!remembered_) remembered_ = currentBounds();
  for (std::size_t i = 0; i < axes_.size(); ++i)
    axes_[i]->setBoundsOrdered(bounds[i].minimum, bounds[i].maximum);
  zoomed_ = true;
  changed();
  // A copy, so that a handler may rebind the event while it runs.
  if (auto handler = OnZoom) handler();
}

void ChartModel::panBy(const std::array<double, kAxisCount>& valueOffsets) {
  AllBounds shifted = currentBounds();
  for (std::size_t i = 0; i < shifted.size(); ++i) {
    shifted[i].minimum += valueOffsets[i];
    shifted[i].maximum += valueOffsets[i];
  }
  if (!std::all_of(shifted.begin(), shifted.end(), finite)) return;
  if (!remembered_) remembered_ = currentBounds();
  for (std::size_t i = 0; i < axes_.size(); ++i)
    axes_[i]->setBoundsOrdered(shifted[i].minimum, shifted[i].maximum);
}

void ChartModel::UndoZoom() {
  // The remembered view goes back before the handler runs, so the handler
  // starts from bounds it can always set its own over.
  if (remembered_) {
    const AllBounds bounds = *remembered_;
    remembered_.reset();
    for (std::size_t i = 0; i < axes_.size(); ++i)
      axes_[i]->setBoundsOrdered(bounds[i].minimum, bounds[i].maximum);
  }
  zoomed_ = false;
  changed();
  if (auto handler = OnUndoZoom) handler();
}

void ChartModel::pressLegendRow(int row, MouseButton button, ShiftState shift, int x, int y) {
  const std::vector<Series*> rows = legendSeries();
  if (row < 0 || row >= static_cast<int>(rows.size())) return;
  Series& series = *rows[static_cast<std::size_t>(row)];
  series.setActive(!series.Active());
  if (auto handler = OnClickLegend) handler(button, shift, x, y);
}

void ChartModel::raiseAfterDraw() {
  if (auto handler = OnAfterDraw) handler();
}

void ChartModel::changed() {
  if (onChanged) onChanged();
}

void ChartModel::layoutChanged() {
  ++layoutRevision_;
  changed();
}

}  // namespace velmora::chart
