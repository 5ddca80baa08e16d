#include "dialogs/DialogFrame.h"

#include <QDialog>
#include <QGroupBox>
#include <QRect>
#include <QString>
#include <QWidget>

#include <algorithm>

#include "dialogs/DialogFont.h"

namespace kestrum {

namespace {
constexpr int kTemplatePointSize = 9;
}

DialogUnits PrepareDialog(QDialog& dialog, const QString& caption, int width, int height) {
  dialog.setWindowTitle(caption);
  dialog.setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                        Qt::WindowCloseButtonHint);
  dialog.setFont(DialogFont(kTemplatePointSize));
  const DialogUnits units(dialog.font());
  dialog.setFixedSize(units.ToPixels(width, height));
  return units;
}

void Place(QWidget& control, const DialogUnits& units, int x, int y, int width, int height) {
  control.setGeometry(units.ToPixels(x, y, width, height));
}

// The box's contents rectangle starts just inside its frame line.
void KeepBelowFrameLine(QWidget& control, const QGroupBox& box) {
  const int lineBottom = box.y() + box.contentsRect().top();
  const int overlap = lineBottom - control.y();
  if (overlap <= 0) return;
  control.setGeometry(control.x(), lineBottom, control.width(), std::max(control.height() - overlap, 1));
}

void WidenToText(QWidget& control, int rightLimit) {
  const int needed = control.sizeHint().width();
  if (needed <= control.width()) return;
  const int available = rightLimit - control.x();
  control.resize(std::min(needed, std::max(available, control.width())), control.height());
}

void WidenLeftToText(QWidget& control, int leftLimit, int rightLimit) {
  const int needed = control.sizeHint().width();
  if (needed <= control.width()) return;
  const int left = std::max(leftLimit, std::min(control.x(), control.geometry().right() + 1 - needed));
  const int right = std::max(control.geometry().right() + 1, std::min(rightLimit, left + needed));
  control.setGeometry(left, control.y(), right - left, control.height());
}

}  // namespace kestrum
