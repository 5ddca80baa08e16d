#include "dialogs/DialogUnits.h"

#include <QFont>
#include <QFontMetrics>
#include <QRect>
#include <QSize>

namespace kestrum {
namespace {

// The dialog manager averages the widths of the 52 Latin letters and rounds
// to the nearest pixel.
int AverageCharWidth(const QFontMetrics& metrics) {
  const int width = metrics.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
  return (width / 26 + 1) / 2;
}

// Multiplies and divides with rounding to the nearest integer, halves away
// from zero, as MulDiv does when dialog units become pixels.
int ScaleRounded(int value, int numerator, int denominator) {
  const long long product = static_cast<long long>(value) * numerator;
  const long long half = denominator / 2;
  const long long rounded = product >= 0 ? (product + half) / denominator : (product - half) / denominator;
  return static_cast<int>(rounded);
}

}  // namespace

DialogUnits::DialogUnits(const QFont& font) {
  const QFontMetrics metrics(font);
  baseX_ = AverageCharWidth(metrics);
  baseY_ = metrics.height();
}

int DialogUnits::ToPixelsX(int units) const { return ScaleRounded(units, baseX_, 4); }

int DialogUnits::ToPixelsY(int units) const { return ScaleRounded(units, baseY_, 8); }

QRect DialogUnits::ToPixels(int x, int y, int width, int height) const {
  return QRect(ToPixelsX(x), ToPixelsY(y), ToPixelsX(width), ToPixelsY(height));
}

QSize DialogUnits::ToPixels(int width, int height) const { return QSize(ToPixelsX(width), ToPixelsY(height)); }

}  // namespace kestrum
