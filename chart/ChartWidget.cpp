#include "chart/ChartWidget.h"

#include <cmath>

#include <QFocusEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

#include "app/EventGuard.h"

namespace velmora::chart {

namespace {

std::optional<MouseButton> toButton(Qt::MouseButton button) {
  switch (button) {
    case Qt::LeftButton: return MouseButton::Left;
    case Qt::RightButton: return MouseButton::Right;
    case Qt::MiddleButton: return MouseButton::Middle;
    default: return std::nullopt;
  }
}

ShiftState toShift(Qt::KeyboardModifiers modifiers) {
  ShiftState shift;
  shift.shift = modifiers.testFlag(Qt::ShiftModifier);
  shift.control = modifiers.testFlag(Qt::ControlModifier);
  shift.alt = modifiers.testFlag(Qt::AltModifier);
  return shift;
}

}  // namespace

ChartWidget::ChartWidget(QWidget* parent) : QWidget(parent), input_(model_) {
  // Every pixel is painted, so Qt need not clear the background first.
  setAttribute(Qt::WA_OpaquePaintEvent);
  setMouseTracking(true);
  setFocusPolicy(Qt::ClickFocus);
  setAccessibleName(QStringLiteral("Chart"));
  // update() is coalesced: the repaint comes after the running handler.
  model_.onChanged = [this] { requestPaint(); };
  input_.onRectangleChanged = [this] { update(); };
}

ChartWidget::~ChartWidget() {
  model_.onChanged = nullptr;
  input_.onRectangleChanged = nullptr;
  input_.setLayout(nullptr);
}

const ChartLayout& ChartWidget::currentLayout() {
  const QSizeF size(width(), height());
  LayoutKey key = layoutKey(model_, size);
  if (!layout_ || !layoutKey_ || *layoutKey_ != key) {
    // Assigned in place, so the pointer handed to the input stays valid.
    if (layout_)
      *layout_ = computeLayout(model_, size);
    else
      layout_.emplace(computeLayout(model_, size));
    layoutKey_ = std::move(key);
  }
  return *layout_;
}

void ChartWidget::requestPaint() {
  if (paintRequested_) return;
  paintRequested_ = true;
  update();
}

void ChartWidget::paintEvent(QPaintEvent*) {
  paintRequested_ = false;
  bool painted = false;
  runGuarded([&] {
    const ChartLayout& layout = currentLayout();
    if (pointer_ && !input_.busy())
      hover_ = hitTestSeries(model_, layout, *pointer_);
    else
      hover_.reset();

    PaintOverlay overlay;
    overlay.zoomRectangle = input_.zoomRectangle();
    overlay.hover = hover_;
    {
      QPainter painter(this);
      painter_.paint(painter, model_, layout, overlay);
    }

    const QRectF& plot = layout.plot;
    model_.LeftAxis().setPosAxis(static_cast<int>(std::lround(plot.left())));
    model_.TopAxis().setPosAxis(static_cast<int>(std::lround(plot.top())));
    model_.BottomAxis().setPosAxis(static_cast<int>(std::lround(plot.bottom())));
    model_.RightAxis().setPosAxis(static_cast<int>(std::lround(plot.right())));
    input_.setLayout(&*layout_);
    painted = true;
  });
  // After the painter has ended: the handler may move child controls.
  if (painted) runGuarded([&] { model_.raiseAfterDraw(); });
}

void ChartWidget::updateHover(std::optional<QPointF> position) {
  pointer_ = position;
  std::optional<SeriesHit> hit;
  if (position && layout_ && !input_.busy()) hit = hitTestSeries(model_, *layout_, *position);
  if (hit != hover_) {
    hover_ = hit;
    update();
  }
}

void ChartWidget::mousePressEvent(QMouseEvent* event) {
  const auto button = toButton(event->button());
  if (!button) return;
  const QPointF position = event->position();
  const ShiftState shift = toShift(event->modifiers());
  runGuarded([&] {
    input_.press(position, *button, shift);
    updateHover(position);
  });
}

void ChartWidget::mouseMoveEvent(QMouseEvent* event) {
  const QPointF position = event->position();
  runGuarded([&] {
    input_.move(position);
    updateHover(position);
  });
}

void ChartWidget::mouseReleaseEvent(QMouseEvent* event) {
  const auto button = toButton(event->button());
  if (!button) return;
  const QPointF position = event->position();
  runGuarded([&] {
    input_.release(position, *button);
    updateHover(position);
  });
}

void ChartWidget::wheelEvent(QWheelEvent* event) {
  const QPoint delta = event->angleDelta();
  const int amount = delta.y() != 0 ? delta.y() : delta.x();
  event->accept();
  if (amount == 0) return;
  const QPointF position = event->position();
  runGuarded([&] { input_.wheelStep(amount > 0 ? 1 : -1, position); });
}

void ChartWidget::leaveEvent(QEvent* event) {
  runGuarded([&] { updateHover(std::nullopt); });
  QWidget::leaveEvent(event);
}

void ChartWidget::focusOutEvent(QFocusEvent* event) {
  runGuarded([&] { input_.cancel(); });
  QWidget::focusOutEvent(event);
}

void ChartWidget::hideEvent(QHideEvent* event) {
  // Hidden, the update is dropped; showing again paints anyway.
  paintRequested_ = false;
  runGuarded([&] {
    input_.cancel();
    updateHover(std::nullopt);
  });
  QWidget::hideEvent(event);
}

}  // namespace velmora::chart
