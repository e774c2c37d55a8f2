#include "widgets/FloatSlider.h"

#include <algorithm>
#include <cmath>

#include <QAccessible>
#include <QAccessibleWidget>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include "app/EventGuard.h"
#include "widgets/Look.h"

namespace velmora::widgets {
namespace {

// Screen readers see a slider with its value and range.
class AccessibleSlider : public QAccessibleWidget, public QAccessibleValueInterface {
 public:
  explicit AccessibleSlider(FloatSlider* slider) : QAccessibleWidget(slider, QAccessible::Slider) {}

  void* interface_cast(QAccessible::InterfaceType type) override {
    if (type == QAccessible::ValueInterface) return static_cast<QAccessibleValueInterface*>(this);
    return QAccessibleWidget::interface_cast(type);
  }
  QString text(QAccessible::Text which) const override {
    if (which == QAccessible::Value) return QString::number(slider()->value());
    return QAccessibleWidget::text(which);
  }

  QVariant currentValue() const override { return static_cast<double>(slider()->value()); }
  void setCurrentValue(const QVariant& value) override {
    if (!slider()->isEnabled()) return;
    runGuarded([&] { slider()->setValue(value.toFloat()); });
  }
  QVariant maximumValue() const override { return static_cast<double>(slider()->maximum()); }
  QVariant minimumValue() const override { return static_cast<double>(slider()->minimum()); }
  QVariant minimumStepSize() const override { return 1.0; }

 private:
  FloatSlider* slider() const { return static_cast<FloatSlider*>(widget()); }
};

QAccessibleInterface* accessibleSlider(const QString& className, QObject* object) {
  if (object && object->isWidgetType() &&
      className == QLatin1String(FloatSlider::staticMetaObject.className()))
    return new AccessibleSlider(static_cast<FloatSlider*>(object));
  return nullptr;
}

void installAccessibility() {
  static const bool installed = [] {
    QAccessible::installFactory(accessibleSlider);
    return true;
  }();
  (void)installed;
}

constexpr double kThumbMaxDiameter = 15.0;
// Room around the thumb for the focus halo.
constexpr double kThumbMargin = 2.0;

}  // namespace

FloatSlider::FloatSlider(Qt::Orientation orientation, QWidget* parent)
    : QWidget(parent), orientation_(orientation) {
  installAccessibility();
  setFocusPolicy(Qt::StrongFocus);
  // Presses on a control never fall through to the chart beneath it.
  setAttribute(Qt::WA_NoMousePropagation);
  if (orientation_ == Qt::Horizontal)
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
  else
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Expanding);
}

void FloatSlider::setValue(float v) {
  if (std::isnan(v)) return;
  const float clamped = std::clamp(v, minimum_, maximum_);
  if (clamped == value_) return;
  value_ = clamped;
  update();
  if (QAccessible::isActive()) {
    QAccessibleValueChangeEvent event(this, static_cast<double>(value_));
    QAccessible::updateAccessibility(&event);
  }
  if (OnChange) OnChange();
}

void FloatSlider::setRange(float min, float max) {
  if (std::isnan(min) || std::isnan(max)) return;
  minimum_ = min;
  maximum_ = std::max(min, max);
  update();
  setValue(value_);
}

QRectF FloatSlider::thumbRect() const {
  const double diameter = thumbDiameter();
  const double crossStart = (crossExtent() - diameter) / 2.0;
  const double start = thumbStart();
  return alongRect(start, start + diameter, crossStart, crossStart + diameter);
}

QSize FloatSlider::sizeHint() const {
  return orientation_ == Qt::Horizontal ? QSize(89, 19) : QSize(19, 89);
}

QSize FloatSlider::minimumSizeHint() const { return QSize(19, 19); }

void FloatSlider::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  if (!isEnabled()) painter.setOpacity(look::kDisabledOpacity);

  const double diameter = thumbDiameter();
  const double cross = crossExtent();
  // An odd thickness in an odd height (and even in even) keeps the groove's
  // edges on whole pixels.
  const double grooveThickness = static_cast<int>(cross) % 2 == 1 ? 3.0 : 4.0;
  const double grooveCross = (cross - grooveThickness) / 2.0;
  const double grooveStart = diameter / 2.0;
  const double grooveEnd = length() - diameter / 2.0;
  const double radius = grooveThickness / 2.0;
  const QRectF thumb = thumbRect();

  painter.setPen(Qt::NoPen);
  if (grooveEnd > grooveStart) {
    painter.setBrush(look::kGroove);
    painter.drawRoundedRect(
        alongRect(grooveStart, grooveEnd, grooveCross, grooveCross + grooveThickness), radius,
        radius);
    const double filledEnd = thumbStart() + diameter / 2.0;
    if (filledEnd > grooveStart) {
      painter.setBrush(look::kAccent);
      painter.drawRoundedRect(
          alongRect(grooveStart, filledEnd, grooveCross, grooveCross + grooveThickness), radius,
          radius);
    }
  }

  if (diameter < 3.0) return;
  if (hasFocus()) {
    painter.setPen(QPen(look::kFocusRing, 2.0));
    painter.setBrush(Qt::NoBrush);
    painter.drawEllipse(thumb.adjusted(-1.0, -1.0, 1.0, 1.0));
  }
  const bool lit = isEnabled() && (hovered_ || dragging_);
  painter.setPen(QPen(lit ? look::kAccent : look::kThumbBorder, 1.0));
  painter.setBrush(Qt::white);
  painter.drawEllipse(thumb.adjusted(0.5, 0.5, -0.5, -0.5));
  const double dot = diameter / kThumbMaxDiameter * (dragging_ ? 2.5 : lit ? 3.5 : 3.0);
  painter.setPen(Qt::NoPen);
  painter.setBrush(dragging_ ? look::kAccentDark : look::kAccent);
  painter.drawEllipse(thumb.center(), dot, dot);
}

void FloatSlider::mousePressEvent(QMouseEvent* event) {
  event->accept();
  if (event->button() != Qt::LeftButton || !isEnabled()) return;
  runGuarded([&] {
    const double at = along(event->position());
    const double start = thumbStart();
    dragging_ = true;
    gripAlong_ = at;
    update();
    if (at >= start && at <= start + thumbDiameter()) {
      gripStart_ = start;
      return;
    }
    // A press on the track brings the thumb's centre there; the drag goes on
    // from that grip.
    gripStart_ = at - thumbDiameter() / 2.0;
    moveThumbTo(gripStart_);
  });
}

void FloatSlider::mouseMoveEvent(QMouseEvent* event) {
  event->accept();
  if (!dragging_) return;
  runGuarded([&] { moveThumbTo(gripStart_ + (along(event->position()) - gripAlong_)); });
}

void FloatSlider::mouseReleaseEvent(QMouseEvent* event) {
  event->accept();
  if (event->button() != Qt::LeftButton || !dragging_) return;
  dragging_ = false;
  update();
  if (!QRectF(rect()).contains(event->position())) return;
  runGuarded([&] {
    if (OnClick) OnClick();
  });
}

void FloatSlider::keyPressEvent(QKeyEvent* event) {
  float target = value_;
  switch (event->key()) {
    case Qt::Key_Left:
    case Qt::Key_Down:
      target = value_ - 1.0f;
      break;
    case Qt::Key_Right:
    case Qt::Key_Up:
      target = value_ + 1.0f;
      break;
    case Qt::Key_PageUp:
      target = value_ + 10.0f;
      break;
    case Qt::Key_PageDown:
      target = value_ - 10.0f;
      break;
    case Qt::Key_Home:
      target = minimum_;
      break;
    case Qt::Key_End:
      target = maximum_;
      break;
    default:
      QWidget::keyPressEvent(event);
      return;
  }
  event->accept();
  if (!isEnabled()) return;
  runGuarded([&] { setValue(target); });
}

void FloatSlider::enterEvent(QEnterEvent*) {
  hovered_ = true;
  update();
}

void FloatSlider::leaveEvent(QEvent*) {
  hovered_ = false;
  update();
}

void FloatSlider::focusInEvent(QFocusEvent* event) {
  update();
  QWidget::focusInEvent(event);
}

void FloatSlider::focusOutEvent(QFocusEvent* event) {
  update();
  QWidget::focusOutEvent(event);
}

void FloatSlider::changeEvent(QEvent* event) {
  if (event->type() == QEvent::EnabledChange) {
    // A slider disabled mid-drag lets go; its release may never come.
    if (!isEnabled()) dragging_ = false;
    update();
  }
  QWidget::changeEvent(event);
}

double FloatSlider::length() const {
  return orientation_ == Qt::Horizontal ? width() : height();
}

double FloatSlider::crossExtent() const {
  return orientation_ == Qt::Horizontal ? height() : width();
}

double FloatSlider::thumbDiameter() const {
  return std::clamp(std::min(crossExtent() - 2.0 * kThumbMargin, kThumbMaxDiameter), 0.0,
                    length());
}

double FloatSlider::travel() const { return std::max(0.0, length() - thumbDiameter()); }

double FloatSlider::fraction() const {
  if (!(maximum_ > minimum_)) return 0.0;
  return (static_cast<double>(value_) - minimum_) /
         (static_cast<double>(maximum_) - minimum_);
}

double FloatSlider::thumbStart() const { return fraction() * travel(); }

double FloatSlider::along(const QPointF& point) const {
  return orientation_ == Qt::Horizontal ? point.x() : height() - point.y();
}

QRectF FloatSlider::alongRect(double start, double end, double crossStart,
                              double crossEnd) const {
  if (orientation_ == Qt::Horizontal)
    return QRectF(QPointF(start, crossStart), QPointF(end, crossEnd));
  return QRectF(QPointF(crossStart, height() - end), QPointF(crossEnd, height() - start));
}

// value = min + fraction × (max − min), fraction = thumb start / travel,
// clamped to [0, 1]; worked in double and stored in single precision.
void FloatSlider::moveThumbTo(double start) {
  const double span = travel();
  if (span <= 0.0) return;
  // A thumb held where it stands keeps its value to the last bit, which the
  // value → pixel → value round trip might not.
  if (start == thumbStart()) return;
  const double f = std::clamp(start / span, 0.0, 1.0);
  // The far end is exact: min + 1 × (max − min) need not round back to max.
  const float v = f >= 1.0 ? maximum_
                           : static_cast<float>(static_cast<double>(minimum_) +
                                                f * (static_cast<double>(maximum_) - minimum_));
  setValue(v);
}

}  // namespace velmora::widgets
