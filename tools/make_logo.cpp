// Draws the program's logo (a stylised leg in mid-stride over a gait curve)
// and its desktop icon. Run once; the PNGs are kept in data/resources.
//   make_logo LOGO.png ICON.png
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>

namespace {

void drawLeg(QPainter& p, QRectF box) {
  // Coordinates on a 218 x 166 design grid, scaled into the box.
  p.save();
  p.translate(box.topLeft());
  p.scale(box.width() / 218.0, box.height() / 166.0);
  p.setRenderHint(QPainter::Antialiasing);

  // A gait curve sweeping under the leg.
  QPainterPath curve;
  curve.moveTo(10, 120);
  curve.cubicTo(45, 95, 70, 150, 105, 128);
  curve.cubicTo(140, 106, 160, 60, 208, 98);
  p.setPen(QPen(QColor(0x1f, 0x5f, 0xd0), 7, Qt::SolidLine, Qt::RoundCap));
  p.setBrush(Qt::NoBrush);
  p.drawPath(curve);
  for (QPointF pt : {QPointF(10, 120), QPointF(105, 128), QPointF(208, 98)}) {
    p.setPen(QPen(QColor(0x1f, 0x5f, 0xd0), 3));
    p.setBrush(Qt::white);
    p.drawEllipse(pt, 7, 7);
  }

  // Thigh, shank and foot of a leg in mid-stride.
  const QPointF hip(112, 18), knee(86, 72), ankle(58, 118), toe(88, 130);
  QPen bone(QColor(0x0b, 0x6e, 0x3b), 16, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
  p.setPen(bone);
  QPainterPath leg;
  leg.moveTo(hip);
  leg.lineTo(knee);
  leg.lineTo(ankle);
  leg.lineTo(toe);
  p.drawPath(leg);
  p.setPen(QPen(QColor(0x0b, 0x6e, 0x3b), 2));
  p.setBrush(QColor(0xff, 0xf5, 0x0e));
  for (QPointF joint : {hip, knee, ankle}) p.drawEllipse(joint, 9, 9);
  p.restore();
}

}  // namespace

int main(int argc, char** argv) {
  QGuiApplication app(argc, argv);
  if (argc != 3) return 2;

  QImage logo(218, 166, QImage::Format_ARGB32);
  logo.fill(Qt::transparent);
  {
    QPainter p(&logo);
    drawLeg(p, QRectF(0, 0, 218, 166));
  }
  if (!logo.save(argv[1], "PNG")) return 1;

  QImage icon(256, 256, QImage::Format_ARGB32);
  icon.fill(Qt::transparent);
  {
    QPainter p(&icon);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xf0, 0xf0, 0xf0));
    p.drawRoundedRect(QRectF(8, 8, 240, 240), 40, 40);
    drawLeg(p, QRectF(19, 45, 218, 166));
  }
  return icon.save(argv[2], "PNG") ? 0 : 1;
}
