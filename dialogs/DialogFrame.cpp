#include "dialogs/DialogFrame.h"

#include <QDialog>
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

void WidenToText(QWidget& control, int rightLimit) {
  const int needed = control.sizeHint().width();
  if (needed <= control.width()) return;
  const int available = rightLimit - control.x();
  control.resize(std::min(needed, std::max(available, control.width())), control.height());
}

}  // namespace kestrum
