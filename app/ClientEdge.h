#pragma once
// The sunken edge around the view, two pixels on every side as desktop
// programs of the view's kind have always drawn it: the outer ring dark at
// the top and left and light at the bottom and right, the inner ring darker
// at the top and left and a light grey at the bottom and right. Qt's own
// sunken panel puts white on the bottom and right, which vanishes against
// the view's white ground and leaves the edge on two sides only. Whoever
// puts a widget inside keeps kWidth pixels free on each side.

#include <QWidget>

class ClientEdge final : public QWidget {
  Q_OBJECT

 public:
  static constexpr int kWidth = 2;

  explicit ClientEdge(QWidget* parent = nullptr);

 protected:
  void paintEvent(QPaintEvent* event) override;
};
