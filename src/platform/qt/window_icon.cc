#include "platform/qt/window_icon.h"

#include <QPainter>
#include <QPainterPath>

namespace brevak {
namespace {

constexpr int kIconSize = 90;

void DrawBadge(QPainter& painter) {
  QLinearGradient fill(0, 0, 0, kIconSize);
  fill.setColorAt(0, QColor(0x3A, 0x8E, 0xE6));
  fill.setColorAt(1, QColor(0x1B, 0x4F, 0x9C));
  painter.setPen(QPen(QColor(0x12, 0x35, 0x6B), 3));
  painter.setBrush(fill);
  painter.drawRoundedRect(QRectF(3, 3, kIconSize - 6, kIconSize - 6), 16, 16);
}

// A wrench lying from bottom left to top right, its open head at the
// bottom left.
void DrawWrench(QPainter& painter) {
  painter.save();
  painter.translate(36, 56);
  painter.rotate(-45);
  painter.setPen(QPen(QColor(0x5A, 0x5F, 0x66), 2));
  painter.setBrush(QColor(0xD9, 0xDD, 0xE2));
  QPainterPath wrench;
  wrench.setFillRule(Qt::WindingFill);
  wrench.addRoundedRect(QRectF(-12, -6, 46, 12), 5, 5);
  wrench.addEllipse(QPointF(-18, 0), 14, 14);
  QPainterPath jaw;
  jaw.addRect(QRectF(-34, -6, 16, 12));
  painter.drawPath(wrench.simplified().subtracted(jaw));
  painter.restore();
}

// An upward arrow: the upgrade.
void DrawArrow(QPainter& painter) {
  const QPointF arrow[] = {{62, 14}, {80, 36}, {69, 36}, {69, 56}, {55, 56}, {55, 36}, {44, 36}};
  painter.setPen(QPen(QColor(0x1E, 0x6B, 0x1E), 2));
  painter.setBrush(QColor(0x4C, 0xD1, 0x4C));
  painter.drawPolygon(arrow, std::size(arrow));
}

}  // namespace

QImage MakeWindowIcon() {
  QImage canvas(kIconSize, kIconSize, QImage::Format_ARGB32);
  canvas.fill(Qt::transparent);
  QPainter painter(&canvas);
  painter.setRenderHint(QPainter::Antialiasing);
  DrawBadge(painter);
  DrawWrench(painter);
  DrawArrow(painter);
  painter.end();
  // Quantise to a palette of at most 256 colours, as the icon format asks.
  return canvas.convertToFormat(QImage::Format_Indexed8, Qt::DiffuseDither);
}

}  // namespace brevak
