#include "widgets/CheckBox.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QFontMetricsF>
#include <QKeyEvent>
#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>

#include "app/EventGuard.h"
#include "widgets/Look.h"

namespace velmora::widgets {
namespace {

// Screen readers see a check box with its caption and state.
class AccessibleCheckBox : public QAccessibleWidget {
 public:
  explicit AccessibleCheckBox(CheckBox* box) : QAccessibleWidget(box, QAccessible::CheckBox) {}

  QAccessible::State state() const override {
    QAccessible::State state = QAccessibleWidget::state();
    state.checkable = true;
    state.checked = box()->isChecked();
    return state;
  }
  QString text(QAccessible::Text which) const override {
    if (which == QAccessible::Name && box()->accessibleName().isEmpty()) return box()->text();
    return QAccessibleWidget::text(which);
  }
  QStringList actionNames() const override {
    return QStringList{toggleAction()} + QAccessibleWidget::actionNames();
  }
  void doAction(const QString& action) override {
    if (action != toggleAction()) return QAccessibleWidget::doAction(action);
    if (!box()->isEnabled()) return;
    runGuarded([&] { box()->setChecked(!box()->isChecked()); });
  }

 private:
  CheckBox* box() const { return static_cast<CheckBox*>(widget()); }
};

QAccessibleInterface* accessibleCheckBox(const QString& className, QObject* object) {
  if (object && object->isWidgetType() &&
      className == QLatin1String(CheckBox::staticMetaObject.className()))
    return new AccessibleCheckBox(static_cast<CheckBox*>(object));
  return nullptr;
}

void installAccessibility() {
  static const bool installed = [] {
    QAccessible::installFactory(accessibleCheckBox);
    return true;
  }();
  (void)installed;
}

constexpr int kColumnWidth = 18;
constexpr int kGlyphSize = 13;
constexpr int kCaptionGap = 3;
constexpr int kDefaultTextPixels = 16;

const QColor kBoxBorder{0x8F, 0x8F, 0x8F};
const QColor kBoxBorderHover{0x3C, 0x7F, 0xB1};
const QColor kBoxFillHoverTop{0xDE, 0xEF, 0xFC};
const QColor kBoxFillHoverBottom{0xF2, 0xF9, 0xFE};
const QColor kCheckMark{0x20, 0x20, 0x20};

// Scales are read off the painter, so a picture rendered at 200 % is drawn
// as at 200 % even when the screen is at 100 %; the slack absorbs the
// rounding of ratios such as 1.5 × 13.
int deviceFloor(double value) { return static_cast<int>(std::floor(value + 1e-6)); }

}  // namespace

CheckBox::CheckBox(QWidget* parent) : CheckBox(QString(), parent) {}

CheckBox::CheckBox(const QString& text, QWidget* parent) : TwoStateControl(parent), text_(text) {
  installAccessibility();
  setFocusPolicy(Qt::StrongFocus);
  // Presses on a control never fall through to the chart beneath it.
  setAttribute(Qt::WA_NoMousePropagation);
  setTextPixelSize(kDefaultTextPixels);
}

void CheckBox::setText(const QString& text) {
  if (text == text_) return;
  text_ = text;
  updateGeometry();
  update();
}

void CheckBox::setChecked(bool checked) {
  if (checked == checked_) return;
  checked_ = checked;
  update();
  if (QAccessible::isActive()) {
    QAccessible::State changed;
    changed.checked = true;
    QAccessibleStateChangeEvent event(this, changed);
    QAccessible::updateAccessibility(&event);
  }
  if (OnChange) OnChange();
}

int CheckBox::textPixelSize() const { return font().pixelSize(); }

void CheckBox::setTextPixelSize(int pixels) {
  QFont caption = font();
  caption.setPixelSize(std::max(1, pixels));
  setFont(caption);
  updateGeometry();
  update();
}

bool CheckBox::hoverGlyph() const { return isEnabled() && (isHovered() || hasFocus()); }

CheckBox::Glyph CheckBox::glyph() const {
  if (checked_) return hoverGlyph() ? Glyph::CheckedHover : Glyph::Checked;
  return hoverGlyph() ? Glyph::UncheckedHover : Glyph::Unchecked;
}

QRect CheckBox::glyphRect() const {
  return QRect((kColumnWidth - kGlyphSize) / 2, (height() - kGlyphSize) / 2, kGlyphSize,
               kGlyphSize);
}

QRectF CheckBox::captionRect() const {
  const int left = kColumnWidth + kCaptionGap;
  return QRectF(left, 0, std::max(0, width() - left), height());
}

QImage CheckBox::glyphImage(Glyph glyph, qreal devicePixelRatio) {
  const qreal ratio = devicePixelRatio > 0 ? devicePixelRatio : 1.0;
  const int size = std::max(1, deviceFloor(kGlyphSize * ratio));
  const int border = std::max(1, deviceFloor(ratio));
  const bool hover = glyph == Glyph::UncheckedHover || glyph == Glyph::CheckedHover;
  const bool checked = glyph == Glyph::Checked || glyph == Glyph::CheckedHover;

  QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QPainter painter(&image);
  // Border and fill are whole device pixels, drawn without smoothing.
  painter.fillRect(QRect(0, 0, size, size), hover ? kBoxBorderHover : kBoxBorder);
  const QRect inside(border, border, size - 2 * border, size - 2 * border);
  if (hover) {
    QLinearGradient fill(0, inside.top(), 0, inside.bottom() + 1);
    fill.setColorAt(0.0, kBoxFillHoverTop);
    fill.setColorAt(1.0, kBoxFillHoverBottom);
    painter.fillRect(inside, fill);
  } else {
    painter.fillRect(inside, Qt::white);
  }
  if (checked) {
    // The mark in units of the 13-pixel box.
    const double unit = size / static_cast<double>(kGlyphSize);
    QPainterPath mark;
    mark.moveTo(3.0 * unit, 6.7 * unit);
    mark.lineTo(5.5 * unit, 9.2 * unit);
    mark.lineTo(10.0 * unit, 3.9 * unit);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(kCheckMark, 1.8 * unit, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(mark);
  }
  painter.end();
  image.setDevicePixelRatio(ratio);
  return image;
}

QSize CheckBox::sizeHint() const {
  const QFontMetrics metrics(font());
  const int textWidth = metrics.horizontalAdvance(text_);
  return QSize(kColumnWidth + kCaptionGap + textWidth + 2,
               std::max(kColumnWidth + 1, metrics.height() + 2));
}

void CheckBox::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  if (!isEnabled()) painter.setOpacity(look::kDisabledOpacity);

  // The glyph is placed on whole device pixels, wherever the control sits,
  // so its picture is copied one to one.
  const QTransform device = painter.deviceTransform();
  const double scale = device.m11() > 0 ? device.m11() : devicePixelRatioF();
  const QImage picture = glyphImage(glyph(), scale);
  const QPointF origin = device.map(QPointF(0, 0));
  const double deviceLeft =
      deviceFloor(origin.x() + (kColumnWidth * scale - picture.width()) / 2.0);
  const double deviceTop = deviceFloor(origin.y() + (height() * scale - picture.height()) / 2.0);
  painter.drawImage(QPointF((deviceLeft - origin.x()) / scale, (deviceTop - origin.y()) / scale),
                    picture);

  painter.setRenderHint(QPainter::TextAntialiasing);
  painter.setPen(Qt::black);
  painter.setFont(font());
  painter.drawText(captionRect(), captionFlags(), text_);
}

// The caption wraps within the control's width as long as its lines fit the
// control's height; one that would need more lines keeps to one line, so a
// caption a pixel too wide loses a sliver at the right, not its last word.
int CheckBox::captionFlags() const {
  constexpr int kPlace = Qt::AlignLeft | Qt::AlignVCenter;
  const QRectF box = captionRect();
  const QRectF wrapped = QFontMetricsF(font()).boundingRect(box, kPlace | Qt::TextWordWrap, text_);
  return wrapped.height() <= box.height() ? kPlace | Qt::TextWordWrap : kPlace | Qt::TextSingleLine;
}

void CheckBox::flipByUser() { setChecked(!checked_); }

}  // namespace velmora::widgets
