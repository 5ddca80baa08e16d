#pragma once

#include <QObject>

class MainFrameTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void menuCaptionsAndKeys();
  void frameIsFixedAroundTheView();
  void startKeyRefusedWhileRunning();
  void logKeyFollowsTheLogTable();
  void autostartAtFirstUpdateOnly();
  void titleBlinksWhileRunning();
  void exitAndCloseBoxBothSave_data();
  void exitAndCloseBoxBothSave();
};
