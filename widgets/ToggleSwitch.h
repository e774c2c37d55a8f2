// An on/off switch: a rounded track with a knob at its off or on end.
#pragma once

#include <functional>

#include <QWidget>

namespace velmora::widgets {

class ToggleSwitch : public QWidget {
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
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void enterEvent(QEnterEvent* event) override;
  void leaveEvent(QEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  bool on_ = false;
  // The left button went down on the switch and has not come up yet.
  bool pressed_ = false;
  bool hovered_ = false;
};

}  // namespace velmora::widgets
