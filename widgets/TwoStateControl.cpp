#include "widgets/TwoStateControl.h"

#include <QKeyEvent>
#include <QMouseEvent>

#include "app/EventGuard.h"

namespace velmora::widgets {

TwoStateControl::TwoStateControl(QWidget* parent) : QWidget(parent) {}

void TwoStateControl::mousePressEvent(QMouseEvent* event) {
  event->accept();
  if (event->button() != Qt::LeftButton || !isEnabled()) return;
  pressed_ = true;
  update();
}

void TwoStateControl::mouseReleaseEvent(QMouseEvent* event) {
  event->accept();
  if (event->button() != Qt::LeftButton || !pressed_) return;
  pressed_ = false;
  update();
  // A release outside the control is no click.
  if (!QRectF(rect()).contains(event->position())) return;
  runGuarded([&] { flipByUser(); });
}

void TwoStateControl::keyPressEvent(QKeyEvent* event) {
  if (event->key() != Qt::Key_Space) {
    QWidget::keyPressEvent(event);
    return;
  }
  event->accept();
  if (event->isAutoRepeat() || !isEnabled()) return;
  runGuarded([&] { flipByUser(); });
}

void TwoStateControl::enterEvent(QEnterEvent*) {
  hovered_ = true;
  update();
}

void TwoStateControl::leaveEvent(QEvent*) {
  hovered_ = false;
  update();
}

void TwoStateControl::focusInEvent(QFocusEvent* event) {
  update();
  QWidget::focusInEvent(event);
}

void TwoStateControl::focusOutEvent(QFocusEvent* event) {
  update();
  QWidget::focusOutEvent(event);
}

void TwoStateControl::changeEvent(QEvent* event) {
  if (event->type() == QEvent::EnabledChange) {
    if (!isEnabled()) pressed_ = false;
    update();
  }
  QWidget::changeEvent(event);
}

}  // namespace velmora::widgets
