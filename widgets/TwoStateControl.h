// What the check box and the switch share: a control that the user flips
// with a completed left click or the space bar, and that lights up under the
// pointer and while it has the focus.
#pragma once

#include <QWidget>

namespace velmora::widgets {

class TwoStateControl : public QWidget {
  Q_OBJECT

 protected:
  explicit TwoStateControl(QWidget* parent = nullptr);

  // The user's flip; runs inside the event guard.
  virtual void flipByUser() = 0;

  // The left button went down on the control and has not come up yet.
  bool isPressed() const { return pressed_; }
  bool isHovered() const { return hovered_; }

  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void enterEvent(QEnterEvent* event) override;
  void leaveEvent(QEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  bool pressed_ = false;
  bool hovered_ = false;
};

}  // namespace velmora::widgets
