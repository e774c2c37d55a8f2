#include "widgets/ToggleSwitch.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>

#include "app/EventGuard.h"
#include "widgets/Look.h"

namespace velmora::widgets {
namespace {

// Screen readers see a toggle button with its state.
class AccessibleSwitch : public QAccessibleWidget {
 public:
  explicit AccessibleSwitch(ToggleSwitch* toggle)
      : QAccessibleWidget(toggle, QAccessible::Button) {}

  QAccessible::State state() const override {
    QAccessible::State state = QAccessibleWidget::state();
    state.checkable = true;
    state.checked = toggle()->isOn();
    return state;
  }
  QString text(QAccessible::Text which) const override {
    if (which == QAccessible::Value)
      return toggle()->isOn() ? QStringLiteral("On") : QStringLiteral("Off");
    return QAccessibleWidget::text(which);
  }
  QStringList actionNames() const override {
    return QStringList{toggleAction()} + QAccessibleWidget::actionNames();
  }
  void doAction(const QString& action) override {
    if (action != toggleAction()) return QAccessibleWidget::doAction(action);
    if (!toggle()->isEnabled()) return;
    runGuarded([&] { toggle()->setOn(!toggle()->isOn()); });
  }

 private:
  ToggleSwitch* toggle() const { return static_cast<ToggleSwitch*>(widget()); }
};

QAccessibleInterface* accessibleSwitch(const QString& className, QObject* object) {
  if (object && object->isWidgetType() &&
      className == QLatin1String(ToggleSwitch::staticMetaObject.className()))
    return new AccessibleSwitch(static_cast<ToggleSwitch*>(object));
  return nullptr;
}

void installAccessibility() {
  static const bool installed = [] {
    QAccessible::installFactory(accessibleSwitch);
    return true;
  }();
  (void)installed;
}

// Room around the track for the focus ring.
constexpr double kTrackMargin = 2.0;
constexpr double kKnobInset = 2.0;

}  // namespace

ToggleSwitch::ToggleSwitch(QWidget* parent) : TwoStateControl(parent) {
  installAccessibility();
  setFocusPolicy(Qt::StrongFocus);
  // Presses on a control never fall through to the chart beneath it.
  setAttribute(Qt::WA_NoMousePropagation);
  setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

void ToggleSwitch::setOn(bool on) {
  if (on == on_) return;
  on_ = on;
  update();
  if (QAccessible::isActive()) {
    QAccessible::State changed;
    changed.checked = true;
    QAccessibleStateChangeEvent event(this, changed);
    QAccessible::updateAccessibility(&event);
  }
  if (OnSwitch) OnSwitch();
}

QSize ToggleSwitch::sizeHint() const { return QSize(44, 26); }

void ToggleSwitch::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  if (!isEnabled()) painter.setOpacity(look::kDisabledOpacity);

  const QRectF track =
      QRectF(rect()).adjusted(kTrackMargin, kTrackMargin, -kTrackMargin, -kTrackMargin);
  if (track.width() <= 0.0 || track.height() <= 0.0) return;
  const double radius = std::min(track.width(), track.height()) / 2.0;
  const bool lit = isEnabled() && (isHovered() || isPressed());

  if (hasFocus()) {
    const QRectF ring = QRectF(rect()).adjusted(0.75, 0.75, -0.75, -0.75);
    const double ringRadius = radius + kTrackMargin - 0.75;
    painter.setPen(QPen(look::kFocusRing, 1.5));
    painter.setBrush(Qt::NoBrush);
    painter.drawRoundedRect(ring, ringRadius, ringRadius);
  }

  painter.setPen(Qt::NoPen);
  painter.setBrush(on_ ? (lit ? look::kAccentDark : look::kAccent)
                       : (lit ? look::kTrackOffHover : look::kTrackOff));
  painter.drawRoundedRect(track, radius, radius);

  const double knob = std::max(0.0, std::min(track.width(), track.height()) - 2.0 * kKnobInset);
  const double knobLeft = on_ ? track.right() - kKnobInset - knob : track.left() + kKnobInset;
  const QRectF knobRect(knobLeft, track.top() + (track.height() - knob) / 2.0, knob, knob);
  // A faint rim keeps the white knob distinct on either track colour.
  painter.setBrush(QColor(0, 0, 0, 40));
  painter.drawEllipse(knobRect.adjusted(-0.5, -0.5, 0.5, 0.5));
  painter.setBrush(Qt::white);
  painter.drawEllipse(knobRect);
}

void ToggleSwitch::flipByUser() { setOn(!on_); }

}  // namespace velmora::widgets
