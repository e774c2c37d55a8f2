// Mouse handling of the chart: a press, drag and release state machine that
// turns mouse events into model operations (zoom to a rectangle, wheel step,
// pan, reset, legend press). Knows nothing of painting or of Qt widgets'
// event classes; positions are in the chart's logical coordinates.
#pragma once

#include <functional>
#include <optional>

#include <QPointF>
#include <QRectF>

#include "chart/ChartLayout.h"
#include "chart/ChartModel.h"

namespace velmora::chart {

class ChartInput {
 public:
  // A drag must span more than this many pixels both ways to zoom or reset.
  static constexpr double kMinimumDrag = 16.0;

  explicit ChartInput(ChartModel& model);

  // The layout of the last paint; mapping and hit-testing use it.
  void setLayout(const ChartLayout* layout) { layout_ = layout; }

  // Without a layout (before the first paint) every call here does nothing.
  // Exceptions from the program's handlers pass through unchanged; the drag
  // has ended by then.
  void press(QPointF position, MouseButton button, ShiftState shift);
  void move(QPointF position);
  // A release of another button than the one that started the drag is ignored.
  void release(QPointF position, MouseButton button);
  // One wheel step: forward (> 0) narrows, backward (< 0) widens. Only the
  // sign counts; anywhere over the chart.
  void wheelStep(int direction, QPointF position);
  // Ends any drag without effect (focus lost, window hidden).
  void cancel();

  // The zoom rectangle while a left-button drag is under way.
  std::optional<QRectF> zoomRectangle() const;
  bool busy() const { return state_ != State::Idle; }

  // Raised when the zoom rectangle appears, changes or disappears.
  std::function<void()> onRectangleChanged;

 private:
  enum class State { Idle, Zooming, Panning };

  // The axis's pixel extent in the last layout over the bounds in force now,
  // so that steps arriving between two paints build on one another.
  AxisMap currentMap(AxisId id) const;
  void finishZoomDrag(QPointF position);
  void panTo(QPointF position);
  // Raises onRectangleChanged when the rectangle differs from `before`.
  void rectangleMayHaveChanged(const std::optional<QRectF>& before);

  ChartModel& model_;
  const ChartLayout* layout_ = nullptr;
  State state_ = State::Idle;
  QPointF pressPoint_;
  QPointF currentPoint_;
  QPointF lastPanPoint_;
};

}  // namespace velmora::chart
