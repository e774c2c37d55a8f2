#include "ui/PictureBox.h"

#include <stdexcept>

#include <QPainter>

namespace velmora::ui {

PictureBox::PictureBox(QWidget* parent) : QWidget(parent) {
  setAttribute(Qt::WA_TransparentForMouseEvents);
}

void PictureBox::loadFromData(const QByteArray& png) {
  QImage image;
  if (!image.loadFromData(png, "PNG")) throw std::runtime_error("The picture is not a valid PNG image");
  picture_ = image;
  update();
}

QRectF PictureBox::pictureRect() const {
  if (picture_.isNull() || width() <= 0 || height() <= 0) return {};
  const QSizeF fitted = QSizeF(picture_.size()).scaled(QSizeF(size()), Qt::KeepAspectRatio);
  return QRectF(QPointF((width() - fitted.width()) / 2.0, (height() - fitted.height()) / 2.0),
                fitted);
}

void PictureBox::paintEvent(QPaintEvent*) {
  if (picture_.isNull()) return;
  QPainter painter(this);
  painter.setRenderHint(QPainter::SmoothPixmapTransform);
  painter.drawImage(pictureRect(), picture_);
}

}  // namespace velmora::ui
