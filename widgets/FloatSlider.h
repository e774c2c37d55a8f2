// A slider over a continuous single-precision range, without a step.
#pragma once

#include <functional>

#include <QRectF>
#include <QWidget>

namespace velmora::widgets {

class FloatSlider : public QWidget {
  Q_OBJECT

 public:
  explicit FloatSlider(Qt::Orientation orientation = Qt::Horizontal, QWidget* parent = nullptr);

  Qt::Orientation orientation() const { return orientation_; }

  float value() const { return value_; }
  // Clamps to [minimum, maximum]; NaN is ignored. Raises OnChange only when
  // the stored value really changes, after storing it.
  void setValue(float v);

  // A maximum below the minimum is raised to the minimum. The value is held
  // within the new range (raising OnChange if that moves it).
  void setRange(float min, float max);
  float minimum() const { return minimum_; }
  float maximum() const { return maximum_; }

  // Where the thumb is drawn and hit, in widget coordinates.
  QRectF thumbRect() const;
  // True while the left button holds the thumb.
  bool isDragging() const { return dragging_; }

  QSize sizeHint() const override;
  QSize minimumSizeHint() const override;

  // Handlers, called directly: an exception from one reaches whoever changed
  // the value (code calling setValue, or the event's guard).
  std::function<void()> OnChange;
  // A completed left click (press and release on the slider), whether or not
  // the value changed; raised after the release.
  std::function<void()> OnClick;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void enterEvent(QEnterEvent* event) override;
  void leaveEvent(QEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  // Positions along the slider run from the minimum end (left, or bottom
  // when vertical) towards the maximum end.
  double length() const;
  double crossExtent() const;
  double thumbDiameter() const;
  double travel() const;
  double fraction() const;
  double thumbStart() const;
  double along(const QPointF& point) const;
  QRectF alongRect(double start, double end, double crossStart, double crossEnd) const;
  void moveThumbTo(double start);

  Qt::Orientation orientation_;
  float minimum_ = 0.0f;
  float maximum_ = 100.0f;
  float value_ = 0.0f;
  bool dragging_ = false;
  // Where the press gripped the thumb, and the thumb's start then: a drag
  // puts the start at gripStart_ + (pointer − gripAlong_), so a pointer back
  // on the grip gives the very same start.
  double gripAlong_ = 0.0;
  double gripStart_ = 0.0;
  bool hovered_ = false;
};

}  // namespace velmora::widgets
