// A check box in the panel's own look: an 18-pixel column holding a 13 × 13
// box glyph, and the caption beside it.
#pragma once

#include <functional>

#include <QImage>
#include <QRectF>
#include <QString>
#include "widgets/TwoStateControl.h"

namespace velmora::widgets {

class CheckBox : public TwoStateControl {
  Q_OBJECT

 public:
  // The four pictures of the box; the hover pictures also mark the focus.
  enum class Glyph { Unchecked, Checked, UncheckedHover, CheckedHover };

  explicit CheckBox(QWidget* parent = nullptr);
  explicit CheckBox(const QString& text, QWidget* parent = nullptr);

  QString text() const { return text_; }
  void setText(const QString& text);

  bool isChecked() const { return checked_; }
  // Stores the new state, then raises OnChange, only when it really changes.
  void setChecked(bool checked);

  // The caption's font size in pixels; 16 unless set.
  int textPixelSize() const;
  void setTextPixelSize(int pixels);

  // True while the enabled box is under the pointer or has the focus.
  bool hoverGlyph() const;
  // The picture that painting draws now.
  Glyph glyph() const;
  // The box at 100 % scale and the caption's box, in widget coordinates.
  QRect glyphRect() const;
  QRectF captionRect() const;
  // A glyph picture for a display scale: 13 logical pixels become
  // floor(13 × ratio) device pixels (19 at 150 %, 26 at 200 %).
  static QImage glyphImage(Glyph glyph, qreal devicePixelRatio);

  QSize sizeHint() const override;

  // Raised after the state has been stored, by the user or from code.
  std::function<void()> OnChange;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void flipByUser() override;

 private:
  int captionFlags() const;

  QString text_;
  bool checked_ = false;
};

}  // namespace velmora::widgets
