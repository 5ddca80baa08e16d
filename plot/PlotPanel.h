#pragma once
// One frame of a chart: the data ranges of its two axes, the mapping from
// data to the painter's coordinates, and the axes with their tick labels.

#include <QRectF>
#include <QString>

#include <functional>
#include <vector>

class QPainter;
class QPointF;

namespace kestrum {

struct AxisRange {
  double low = 0.0;
  double high = 1.0;
};

// Round tick values (1, 2 or 5 times a power of ten apart) within the range,
// at most about maxTicks of them.
std::vector<double> NiceTicks(AxisRange range, int maxTicks);

class PlotPanel {
 public:
  using TickText = std::function<QString(double)>;

  PlotPanel(const QRectF& area, AxisRange x, AxisRange y);

  const QRectF& Area() const { return area_; }
  QPointF Map(double x, double y) const;
  // Map, with y held inside the panel: bands and lines that reach beyond the
  // range are drawn cut at its edge.
  QPointF MapClamped(double x, double y) const;

  // Grid, frame, tick labels and the two axis titles.
  void DrawAxes(QPainter& painter, const QString& xTitle, const QString& yTitle, const TickText& xText,
                const TickText& yText) const;
  // A title above the frame, left-aligned.
  void DrawTitle(QPainter& painter, const QString& title) const;

 private:
  QRectF area_;
  AxisRange x_;
  AxisRange y_;
};

}  // namespace kestrum
