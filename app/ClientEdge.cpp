#include "app/ClientEdge.h"

#include <QPainter>

#include <cmath>

namespace {

// One ring, given in device pixels as the band from `outer` to `inner`
// pixels in from the window's sides: top and left in one colour, bottom and
// right in another. The bottom and right bands run the full length, the top
// and left ones stop where those begin, as a pixel-wide pen would draw them.
void FillRing(QPainter& painter, QSize size, int outer, int inner, const QColor& topLeft,
              const QColor& bottomRight) {
  const int thickness = inner - outer;
  const int length = size.width() - 2 * outer;
  const int height = size.height() - 2 * outer;
  painter.fillRect(outer, outer, length - thickness, thickness, topLeft);
  painter.fillRect(outer, outer, thickness, height - thickness, topLeft);
  painter.fillRect(outer, size.height() - inner, length, thickness, bottomRight);
  painter.fillRect(size.width() - inner, outer, thickness, height, bottomRight);
}

}  // namespace

ClientEdge::ClientEdge(QWidget* parent) : QWidget(parent) {}

// Drawn in device pixels: at a device pixel ratio that is not whole (1.5),
// lines one logical pixel wide land between device pixels and leave a light
// seam between the rings and the view. The edge has a window of its own,
// which starts on a device pixel, and the view inside it starts on the
// device pixel nearest to kWidth logical ones in; each ring takes the device
// pixels nearest to its logical one.
void ClientEdge::paintEvent(QPaintEvent* /*event*/) {
  const qreal ratio = devicePixelRatioF();
  const QSize device(static_cast<int>(std::lround(width() * ratio)), static_cast<int>(std::lround(height() * ratio)));
  const int ring = static_cast<int>(std::lround(ratio));
  const int view = static_cast<int>(std::lround(kWidth * ratio));
  QPainter painter(this);
  painter.scale(1 / ratio, 1 / ratio);
  const QPalette& colours = palette();
  FillRing(painter, device, 0, ring, colours.color(QPalette::Dark), colours.color(QPalette::Light));
  FillRing(painter, device, ring, view, colours.color(QPalette::Shadow), colours.color(QPalette::Midlight));
}
