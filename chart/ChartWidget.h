// The chart control: owns the model, paints it, and feeds mouse events to the
// input state machine. The panel's controls are its children.
#pragma once

#include <memory>
#include <optional>

#include <QImage>
#include <QWidget>

#include "chart/ChartInput.h"
#include "chart/ChartLayout.h"
#include "chart/ChartModel.h"

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

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void leaveEvent(QEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;

 private:
  ChartModel model_;
  ChartInput input_;
  std::optional<ChartLayout> layout_;
};

}  // namespace velmora::chart
