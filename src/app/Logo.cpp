#include "app/Logo.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace hv {

QPixmap DrawLogo(int size) {
  QPixmap pixmap(size, size);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.scale(size / 100.0, size / 100.0);

  QPainterPath shield;
  shield.moveTo(50, 6);
  shield.cubicTo(64, 14, 78, 16, 88, 16);
  shield.cubicTo(88, 56, 74, 80, 50, 94);
  shield.cubicTo(26, 80, 12, 56, 12, 16);
  shield.cubicTo(22, 16, 36, 14, 50, 6);
  QLinearGradient fill(0, 0, 0, 100);
  fill.setColorAt(0, QColor(0x3a, 0x7b, 0xd5));
  fill.setColorAt(1, QColor(0x1d, 0x3f, 0x7a));
  painter.setPen(QPen(QColor(0x14, 0x2c, 0x55), 2.5));
  painter.setBrush(fill);
  painter.drawPath(shield);

  QPainterPath keyhole;
  keyhole.addEllipse(QPointF(50, 42), 10, 10);
  keyhole.moveTo(45, 48);
  keyhole.lineTo(41, 70);
  keyhole.lineTo(59, 70);
  keyhole.lineTo(55, 48);
  keyhole.closeSubpath();
  painter.setPen(Qt::NoPen);
  painter.setBrush(QColor(0xf4, 0xf7, 0xfb));
  painter.drawPath(keyhole.simplified());
  return pixmap;
}

}  // namespace hv
