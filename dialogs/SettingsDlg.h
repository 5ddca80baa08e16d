#pragma once
// The settings dialog: the game period, the automatic redraw interval and the
// five switches. It works on a copy; the caller applies settings() only when
// exec() returns Accepted.

#include <QDialog>

#include "engine/SimulationState.h"
#include "ui/SettingsForm.h"

class QCheckBox;
class QLabel;
class QPushButton;
class QSlider;

class CSettingsDlg : public QDialog {
  Q_OBJECT

 public:
  explicit CSettingsDlg(const kestrum::Settings& initial, QWidget* parent = nullptr);

  // The values read back when the dialog ended with OK; the copy made at
  // opening otherwise.
  kestrum::Settings settings() const { return result_; }

  void accept() override;

 private:
  void BuildControls();
  void FillControls();
  void OnIntervalMoved(int position);
  void ShowIntervalValue();

  kestrum::Settings result_;
  kestrum::ui::SettingsForm form_;

  QPushButton* ok_ = nullptr;
  QPushButton* cancel_ = nullptr;
  QSlider* speedSlider_ = nullptr;
  QSlider* intervalSlider_ = nullptr;
  QLabel* intervalLabel_ = nullptr;
  QCheckBox* soundBox_ = nullptr;
  QCheckBox* logFileBox_ = nullptr;
  QCheckBox* continueBox_ = nullptr;
  QCheckBox* autoStartBox_ = nullptr;
  QCheckBox* accumulationBox_ = nullptr;
};
