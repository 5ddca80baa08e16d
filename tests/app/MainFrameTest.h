#pragma once

#include <QObject>

class MainFrameTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void menuCaptionsAndKeys();
  void frameIsFixedAroundTheView();
  void frameRefusesLargerStates();
  void clientEdgeShowsOnEverySide();
  void startKeyRefusedWhileRunning();
  void logKeyFollowsTheLogTable();
  void autostartAtFirstUpdateOnly();
  void titleBlinksWhileRunning();
  void exitAndCloseBoxBothSave_data();
  void exitAndCloseBoxBothSave();
};
