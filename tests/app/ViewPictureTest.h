#pragma once

#include <QObject>

class ViewPictureTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void initTestCase();
  void picture_data();
  void picture();
  void viewShowsCarriedCountInRedBeforeFirstGame();
  void viewShowsTealCountAfterAGame();
  void pictureFollowsItsContent();
  void layoutHoldsTheLongestCounts();
  void fractionalScaleDrawsTheLargePictureSmaller();
};
