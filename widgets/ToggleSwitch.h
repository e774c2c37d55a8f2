// An on/off switch: a rounded track with a knob at its off or on end.
#pragma once

#include <functional>

#include "widgets/TwoStateControl.h"

namespace velmora::widgets {

class ToggleSwitch : public TwoStateControl {
  Q_OBJECT

 public:
  explicit ToggleSwitch(QWidget* parent = nullptr);

  bool isOn() const { return on_; }
  // Stores the state, then raises OnSwitch, only when it really changes.
  void setOn(bool on);

  QSize sizeHint() const override;

  // Raised once per change of state, by the user or from code.
  std::function<void()> OnSwitch;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void flipByUser() override;

 private:
  bool on_ = false;
};

}  // namespace velmora::widgets
