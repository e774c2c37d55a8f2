#include "chart/ChartInput.h"

#include <algorithm>
#include <cmath>

namespace velmora::chart {

namespace {

constexpr std::array<AxisId, kAxisCount> kAxes = {AxisId::Left, AxisId::Bottom, AxisId::Top,
                                                  AxisId::Right};

constexpr std::size_t index(AxisId id) { return static_cast<std::size_t>(id); }

bool isHorizontal(AxisId id) { return id == AxisId::Bottom || id == AxisId::Top; }

// The coordinate of a pointer position that an axis reads.
double along(AxisId id, QPointF position) { return isHorizontal(id) ? position.x() : position.y(); }

// Each wheel step moves both ends of every axis by this share of its span.
constexpr double kWheelShare = 0.1;

}  // namespace

ChartInput::ChartInput(ChartModel& model) : model_(model) {}

AxisMap ChartInput::currentMap(AxisId id) const {
  AxisMap map = layout_->map(id);
  const Axis& axis = model_.axis(id);
  map.minimum = axis.Minimum();
  map.maximum = axis.Maximum();
  return map;
}

std::optional<QRectF> ChartInput::zoomRectangle() const {
  if (state_ != State::Zooming || currentPoint_ == pressPoint_) return std::nullopt;
  return QRectF(pressPoint_, currentPoint_).normalized();
}

void ChartInput::rectangleMayHaveChanged(const std::optional<QRectF>& before) {
  if (zoomRectangle() != before && onRectangleChanged) onRectangleChanged();
}

void ChartInput::press(QPointF position, MouseButton button, ShiftState shift) {
  // A second button during a drag changes nothing.
  if (!layout_ || state_ != State::Idle) return;

  // Legend rows take any button and start no drag; the rest of the legend
  // box is dead.
  if (const std::optional<int> row = layout_->legendRowAt(position)) {
    model_.pressLegendRow(*row, button, shift, static_cast<int>(std::lround(position.x())),
                          static_cast<int>(std::lround(position.y())));
    return;
  }
  if (layout_->legendRect.contains(position)) return;

  if (button == MouseButton::Left) {
    state_ = State::Zooming;
    pressPoint_ = currentPoint_ = position;
  } else if (button == MouseButton::Right) {
    state_ = State::Panning;
    lastPanPoint_ = position;
  }
}

void ChartInput::move(QPointF position) {
  if (!layout_) return;
  if (state_ == State::Zooming) {
    const std::optional<QRectF> before = zoomRectangle();
    currentPoint_ = position;
    rectangleMayHaveChanged(before);
  } else if (state_ == State::Panning) {
    panTo(position);
  }
}

void ChartInput::release(QPointF position, MouseButton button) {
  if (!layout_) return;
  if (state_ == State::Zooming && button == MouseButton::Left) {
    finishZoomDrag(position);
  } else if (state_ == State::Panning && button == MouseButton::Right) {
    state_ = State::Idle;
    // The pointer may have moved on since the last move event.
    panTo(position);
  }
}

void ChartInput::finishZoomDrag(QPointF position) {
  // The drag is over before any handler runs, whatever it throws.
  const std::optional<QRectF> before = zoomRectangle();
  state_ = State::Idle;
  rectangleMayHaveChanged(before);

  const double dx = position.x() - pressPoint_.x();
  const double dy = position.y() - pressPoint_.y();
  if (std::abs(dx) <= kMinimumDrag || std::abs(dy) <= kMinimumDrag) return;
  if (dx < 0) {
    model_.UndoZoom();
    return;
  }

  AllBounds bounds;
  for (AxisId id : kAxes) {
    const AxisMap map = currentMap(id);
    // A plot without extent has no values under the rectangle.
    if (map.pixelExtent() == 0.0) return;
    const double a = map.toValue(along(id, pressPoint_));
    const double b = map.toValue(along(id, position));
    bounds[index(id)] = AxisBounds{std::min(a, b), std::max(a, b)};
  }
  model_.zoomTo(bounds);
}

void ChartInput::panTo(QPointF position) {
  if (position == lastPanPoint_) return;
  std::array<double, kAxisCount> offsets{};
  for (AxisId id : kAxes) {
    // Moving the pointer towards larger pixels shows smaller values there,
    // so the curves follow the pointer.
    const AxisMap map = currentMap(id);
    offsets[index(id)] = map.toValue(along(id, lastPanPoint_)) - map.toValue(along(id, position));
  }
  lastPanPoint_ = position;
  model_.panBy(offsets);
}

void ChartInput::wheelStep(int direction, QPointF /*position*/) {
  if (!layout_ || direction == 0) return;
  const double share = direction > 0 ? kWheelShare : -kWheelShare;

  AllBounds bounds;
  for (AxisId id : kAxes) {
    const AxisMap map = currentMap(id);
    // The span as drawn: the values at the two ends of the axis's pixels. A
    // plot without extent shows no span to read, so the bounds stand in.
    double low = map.minimum;
    double high = map.maximum;
    if (map.pixelExtent() != 0.0) {
      const double a = map.toValue(map.pixelStart);
      const double b = map.toValue(map.pixelEnd);
      low = std::min(a, b);
      high = std::max(a, b);
    }
    const double step = (high - low) * share;
    bounds[index(id)] = AxisBounds{low + step, high - step};
  }
  model_.zoomTo(bounds);
}

void ChartInput::cancel() {
  const std::optional<QRectF> before = zoomRectangle();
  state_ = State::Idle;
  rectangleMayHaveChanged(before);
}

}  // namespace velmora::chart
