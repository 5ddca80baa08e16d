#include "app/ClientEdge.h"

#include <QPainter>

namespace {

// One ring: top and left in one colour, bottom and right in another.
void DrawRing(QPainter& painter, QRect ring, const QColor& topLeft, const QColor& bottomRight) {
  painter.setPen(topLeft);
  painter.drawLine(ring.topLeft(), ring.topRight() - QPoint(1, 0));
  painter.drawLine(ring.topLeft(), ring.bottomLeft() - QPoint(0, 1));
  painter.setPen(bottomRight);
  painter.drawLine(ring.bottomLeft(), ring.bottomRight());
  painter.drawLine(ring.topRight(), ring.bottomRight());
}

}  // namespace

ClientEdge::ClientEdge(QWidget* parent) : QWidget(parent) {}

void ClientEdge::paintEvent(QPaintEvent* /*event*/) {
  QPainter painter(this);
  const QPalette& colours = palette();
  DrawRing(painter, rect(), colours.color(QPalette::Dark), colours.color(QPalette::Light));
  DrawRing(painter, rect().adjusted(1, 1, -1, -1), colours.color(QPalette::Shadow), colours.color(QPalette::Midlight));
}
