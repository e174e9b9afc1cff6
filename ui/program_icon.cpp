#include "ui/program_icon.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace velmoran::ui {

namespace {

// ui/resources/velmoran.svg, drawn on its 128-unit grid.
QPixmap Paint(int size) {
  QPixmap pixmap(size, size);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  p.scale(size / 128.0, size / 128.0);
  QLinearGradient tile(0, 8, 0, 120);
  tile.setColorAt(0, QColor("#3d5a99"));
  tile.setColorAt(1, QColor("#22345e"));
  p.setPen(Qt::NoPen);
  p.setBrush(tile);
  p.drawRoundedRect(QRectF(8, 8, 112, 112), 24, 24);
  p.setBrush(Qt::NoBrush);
  p.setPen(QPen(QColor("#f5b642"), 11));
  p.drawLine(QPointF(48, 62), QPointF(80, 62));
  QPainterPath forAll;
  forAll.moveTo(36, 30);
  forAll.lineTo(64, 100);
  forAll.lineTo(92, 30);
  p.setPen(QPen(Qt::white, 12, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.drawPath(forAll);
  return pixmap;
}

}  // namespace

QIcon ProgramIcon() {
  QIcon themed = QIcon::fromTheme("velmoran");
  if (!themed.isNull()) return themed;
  QIcon icon;
  for (int size : {16, 32, 48, 128}) icon.addPixmap(Paint(size));
  return icon;
}

}  // namespace velmoran::ui
