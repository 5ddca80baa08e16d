#include "dialogs/TrackBar.h"

#include <QKeyEvent>

namespace kestrum {

TrackBar::TrackBar(QWidget* parent) : QSlider(Qt::Horizontal, parent) { setFocusPolicy(Qt::StrongFocus); }

void TrackBar::keyPressEvent(QKeyEvent* event) {
  SliderAction action = SliderNoAction;
  switch (event->key()) {
    case Qt::Key_Left:
    case Qt::Key_Up:
      action = SliderSingleStepSub;
      break;
    case Qt::Key_Right:
    case Qt::Key_Down:
      action = SliderSingleStepAdd;
      break;
    case Qt::Key_PageUp:
      action = SliderPageStepSub;
      break;
    case Qt::Key_PageDown:
      action = SliderPageStepAdd;
      break;
    case Qt::Key_Home:
      action = SliderToMinimum;
      break;
    case Qt::Key_End:
      action = SliderToMaximum;
      break;
    default:
      QSlider::keyPressEvent(event);
      return;
  }
  triggerAction(action);
  event->accept();
}

}  // namespace kestrum
