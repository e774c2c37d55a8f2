// The chart control: owns the model, paints it, and feeds mouse events to the
// input state machine. The panel's controls are its children.
#pragma once

#include <memory>
#include <optional>

#include <QImage>
#include <QPointF>
#include <QWidget>

#include "chart/ChartInput.h"
#include "chart/ChartLayout.h"
#include "chart/ChartModel.h"
#include "chart/ChartPainter.h"

namespace velmora::chart {

class ChartWidget : public QWidget {
 public:
  explicit ChartWidget(QWidget* parent = nullptr);
  ~ChartWidget() override;

  ChartModel& model() { return model_; }
  const ChartModel& model() const { return model_; }
  ChartInput& input() { return input_; }

  // The layout of the last paint; empty before the first one.
  const std::optional<ChartLayout>& lastLayout() const { return layout_; }

  // The series part under the mouse pointer at the last pointer move.
  std::optional<SeriesHit> hover() const { return hover_; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void leaveEvent(QEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
  void hideEvent(QHideEvent* event) override;

 private:
  // The layout for the current model and size, recomputed only when one of
  // its inputs changed.
  const ChartLayout& currentLayout();
  // One update() per frame: a handler that refills a series changes the
  // model once per point.
  void requestPaint();
  void updateHover(std::optional<QPointF> position);

  ChartModel model_;
  ChartInput input_;
  ChartPainter painter_;
  std::optional<ChartLayout> layout_;
  std::optional<LayoutKey> layoutKey_;
  std::optional<QPointF> pointer_;
  std::optional<SeriesHit> hover_;
  bool paintRequested_ = false;  // update() called since the last paint
};

}  // namespace velmora::chart
