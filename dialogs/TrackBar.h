#pragma once
// A horizontal slider that steps the way the keyboard has always moved the
// program's sliders: Left, Up and Page Up go towards the minimum, Right, Down
// and Page Down towards the maximum, Home and End to the ends.

#include <QSlider>

namespace kestrum {

class TrackBar : public QSlider {
  Q_OBJECT

 public:
  explicit TrackBar(QWidget* parent = nullptr);

 protected:
  void keyPressEvent(QKeyEvent* event) override;
};

}  // namespace kestrum
