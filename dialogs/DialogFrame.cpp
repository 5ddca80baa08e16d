#include "dialogs/DialogFrame.h"

#include <QDialog>
#include <QEvent>
#include <QGroupBox>
#include <QObject>
#include <QRect>
#include <QString>
#include <QWidget>

#include <algorithm>

#include "dialogs/DialogFont.h"

namespace kestrum {

namespace {

constexpr int kTemplatePointSize = 9;

// The states a modal dialog's frame does not have.
constexpr Qt::WindowStates kRefusedStates = Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen;

// A dialog has one size and no minimise box, but a window manager may offer
// full screen or minimising all the same: openbox does for every dialog,
// whatever its hints say, and minimises the main window with it. Either is
// answered by going back to the normal state, the owner as well, so that
// neither window is left hidden behind a modal loop.
class OneStateOnly : public QObject {
 public:
  using QObject::QObject;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::WindowStateChange) {
      auto& dialog = static_cast<QWidget&>(*watched);
      if (dialog.windowState() & kRefusedStates) Restore(dialog);
    }
    return QObject::eventFilter(watched, event);
  }

 private:
  static void Restore(QWidget& dialog) {
    QWidget* owner = dialog.parentWidget() == nullptr ? nullptr : dialog.parentWidget()->window();
    if (owner != nullptr && owner->isMinimized()) owner->setWindowState(owner->windowState() & ~Qt::WindowMinimized);
    dialog.setWindowState(dialog.windowState() & ~kRefusedStates);
  }
};

}  // namespace

DialogUnits PrepareDialog(QDialog& dialog, const QString& caption, int width, int height) {
  dialog.setWindowTitle(caption);
  dialog.setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                        Qt::WindowCloseButtonHint);
  dialog.installEventFilter(new OneStateOnly(&dialog));
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
