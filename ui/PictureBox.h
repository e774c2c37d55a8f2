// A picture scaled to fit its box with its proportions kept, centred.
#pragma once

#include <QImage>
#include <QWidget>

namespace velmora::ui {

class PictureBox : public QWidget {
 public:
  explicit PictureBox(QWidget* parent = nullptr);

  // Loads a picture from PNG data; throws when the data is not a picture.
  void loadFromData(const QByteArray& png);
  const QImage& picture() const { return picture_; }
  // Where the picture is drawn, in the box's coordinates.
  QRectF pictureRect() const;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QImage picture_;
};

}  // namespace velmora::ui
