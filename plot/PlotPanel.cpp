#include "plot/PlotPanel.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPen>
#include <QPointF>

#include <algorithm>
#include <cmath>

namespace kestrum {
namespace {

const QColor kGridColour(0xE4, 0xE4, 0xE4);
const QColor kAxisColour(0x40, 0x40, 0x40);
constexpr double kTickLength = 4.0;

double Fraction(double value, AxisRange range) {
  const double span = range.high - range.low;
  return span > 0.0 ? (value - range.low) / span : 0.0;
}

}  // namespace

std::vector<double> NiceTicks(AxisRange range, int maxTicks) {
  const double span = range.high - range.low;
  if (!(span > 0.0) || maxTicks < 1) return {range.low};
  const double rough = span / maxTicks;
  const double power = std::pow(10.0, std::floor(std::log10(rough)));
  double step = power * 10.0;
  for (const double factor : {1.0, 2.0, 5.0})
    if (power * factor >= rough) {
      step = power * factor;
      break;
    }
  std::vector<double> ticks;
  for (double tick = std::ceil(range.low / step) * step; tick <= range.high + step * 1e-9; tick += step)
    ticks.push_back(std::abs(tick) < step * 1e-9 ? 0.0 : tick);
  return ticks;
}

PlotPanel::PlotPanel(const QRectF& area, AxisRange x, AxisRange y) : area_(area), x_(x), y_(y) {}

QPointF PlotPanel::Map(double x, double y) const {
  return {area_.left() + Fraction(x, x_) * area_.width(), area_.bottom() - Fraction(y, y_) * area_.height()};
}

QPointF PlotPanel::MapClamped(double x, double y) const { return Map(x, std::clamp(y, y_.low, y_.high)); }

void PlotPanel::DrawAxes(QPainter& painter, const QString& xTitle, const QString& yTitle, const TickText& xText,
                         const TickText& yText) const {
  painter.save();
  const QFontMetricsF metrics(painter.font());
  for (const double tick : NiceTicks(x_, 8)) {
    const double px = Map(tick, y_.low).x();
    painter.setPen(QPen(kGridColour, 1.0));
    painter.drawLine(QPointF(px, area_.top()), QPointF(px, area_.bottom()));
    painter.setPen(QPen(kAxisColour, 1.0));
    painter.drawLine(QPointF(px, area_.bottom()), QPointF(px, area_.bottom() + kTickLength));
    const QString text = xText(tick);
    painter.drawText(QPointF(px - metrics.horizontalAdvance(text) / 2, area_.bottom() + kTickLength + metrics.ascent()),
                     text);
  }
  for (const double tick : NiceTicks(y_, 5)) {
    const double py = Map(x_.low, tick).y();
    painter.setPen(QPen(kGridColour, 1.0));
    painter.drawLine(QPointF(area_.left(), py), QPointF(area_.right(), py));
    painter.setPen(QPen(kAxisColour, 1.0));
    painter.drawLine(QPointF(area_.left() - kTickLength, py), QPointF(area_.left(), py));
    const QString text = yText(tick);
    painter.drawText(QPointF(area_.left() - kTickLength - 3 - metrics.horizontalAdvance(text),
                             py + metrics.ascent() / 2 - 1),
                     text);
  }
  painter.setPen(QPen(kAxisColour, 1.0));
  painter.setBrush(Qt::NoBrush);
  painter.drawRect(area_);
  const double xTitleTop = area_.bottom() + kTickLength + metrics.height() + 2;
  painter.drawText(QRectF(area_.left(), xTitleTop, area_.width(), metrics.height()), Qt::AlignRight, xTitle);
  painter.translate(area_.left() - 48, area_.center().y());
  painter.rotate(-90);
  painter.drawText(QRectF(-area_.height() / 2, -metrics.height(), area_.height(), metrics.height()), Qt::AlignCenter,
                   yTitle);
  painter.restore();
}

void PlotPanel::DrawTitle(QPainter& painter, const QString& title) const {
  painter.save();
  QFont font = painter.font();
  font.setBold(true);
  painter.setFont(font);
  const QFontMetricsF metrics(font);
  painter.setPen(kAxisColour);
  painter.drawText(QPointF(area_.left(), area_.top() - metrics.descent() - 4), title);
  painter.restore();
}

}  // namespace kestrum
