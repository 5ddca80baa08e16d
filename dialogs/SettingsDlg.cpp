#include "dialogs/SettingsDlg.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QSlider>

#include "dialogs/DialogFrame.h"
#include "dialogs/TrackBar.h"

namespace {

void ApplyRange(QSlider& slider, const kestrum::ui::SliderRange& range) {
  slider.setRange(range.minimum, range.maximum);
  slider.setTickInterval(range.tickFrequency);
  slider.setPageStep(range.pageStep);
  slider.setSingleStep(range.lineStep);
}

QCheckBox* MakeCheckBox(QWidget* parent, const QString& text, bool ticked) {
  auto* box = new QCheckBox(text, parent);
  box->setChecked(ticked);
  return box;
}

}  // namespace

CSettingsDlg::CSettingsDlg(const kestrum::Settings& initial, QWidget* parent)
    : QDialog(parent), result_(initial), form_(initial) {
  BuildControls();
  FillControls();
  connect(intervalSlider_, &QSlider::valueChanged, this, &CSettingsDlg::OnIntervalMoved);
}

void CSettingsDlg::BuildControls() {
  using kestrum::Place;
  const kestrum::DialogUnits units = kestrum::PrepareDialog(*this, QStringLiteral("設定"), 167, 231);

  auto* speedBox = new QGroupBox(QStringLiteral("シミュレーション速度"), this);
  Place(*speedBox, units, 7, 7, 153, 45);
  ok_ = new QPushButton(QStringLiteral("OK"), this);
  speedSlider_ = new kestrum::TrackBar(this);
  auto* fast = new QLabel(QStringLiteral("速い"), this);
  auto* slow = new QLabel(QStringLiteral("遅い"), this);
  auto* intervalBox = new QGroupBox(QStringLiteral("自動描画間隔"), this);
  Place(*intervalBox, units, 7, 61, 153, 48);
  intervalSlider_ = new kestrum::TrackBar(this);
  intervalLabel_ = new QLabel(QStringLiteral("99999"), this);
  auto* everyGames = new QLabel(QStringLiteral("局毎"), this);
  soundBox_ = MakeCheckBox(this, QStringLiteral("天和が出たとき音を再生する"), false);
  logFileBox_ = MakeCheckBox(this, QStringLiteral("天和のログファイルを作成する"), false);
  continueBox_ = MakeCheckBox(this, QStringLiteral("天和が出てもシミュレーションを続ける"), false);
  autoStartBox_ = MakeCheckBox(this, QStringLiteral("起動時に自動的にシミュレーションを開始する"), false);
  accumulationBox_ = MakeCheckBox(this, QStringLiteral("シミュレーション局数累積機能"), false);
  cancel_ = new QPushButton(QStringLiteral("キャンセル"), this);

  Place(*speedSlider_, units, 14, 20, 138, 15);
  Place(*fast, units, 16, 42, 14, 8);
  Place(*slow, units, 138, 42, 14, 8);
  Place(*intervalSlider_, units, 14, 71, 138, 24);
  speedBox->setObjectName(QStringLiteral("speedBox"));
  intervalBox->setObjectName(QStringLiteral("intervalBox"));
  kestrum::KeepBelowFrameLine(*speedSlider_, *speedBox);
  kestrum::KeepBelowFrameLine(*intervalSlider_, *intervalBox);
  Place(*intervalLabel_, units, 46, 97, 36, 8);
  Place(*everyGames, units, 87, 97, 15, 8);
  Place(*soundBox_, units, 13, 120, 99, 10);
  Place(*logFileBox_, units, 13, 138, 104, 10);
  Place(*continueBox_, units, 13, 156, 126, 10);
  Place(*autoStartBox_, units, 13, 174, 147, 10);
  Place(*accumulationBox_, units, 13, 192, 103, 10);
  Place(*ok_, units, 28, 210, 50, 14);
  Place(*cancel_, units, 91, 210, 50, 14);

  intervalLabel_->setAlignment(Qt::AlignRight | Qt::AlignTop);
  for (QLabel* label : {fast, slow, everyGames}) label->setAlignment(Qt::AlignLeft | Qt::AlignTop);

  ApplyRange(*speedSlider_, kestrum::ui::kSpeedSlider);
  speedSlider_->setTickPosition(QSlider::NoTicks);
  ApplyRange(*intervalSlider_, kestrum::ui::kIntervalSlider);
  intervalSlider_->setTickPosition(QSlider::TicksAbove);

  ok_->setObjectName(QStringLiteral("ok"));
  cancel_->setObjectName(QStringLiteral("cancel"));
  speedSlider_->setObjectName(QStringLiteral("speed"));
  intervalSlider_->setObjectName(QStringLiteral("interval"));
  intervalLabel_->setObjectName(QStringLiteral("intervalValue"));
  soundBox_->setObjectName(QStringLiteral("sound"));
  logFileBox_->setObjectName(QStringLiteral("logFile"));
  continueBox_->setObjectName(QStringLiteral("continueRun"));
  autoStartBox_->setObjectName(QStringLiteral("autoStart"));
  accumulationBox_->setObjectName(QStringLiteral("accumulation"));

  ok_->setDefault(true);
  connect(ok_, &QPushButton::clicked, this, &QDialog::accept);
  connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);

  QWidget::setTabOrder(ok_, speedSlider_);
  QWidget::setTabOrder(speedSlider_, soundBox_);
  QWidget::setTabOrder(soundBox_, logFileBox_);
  QWidget::setTabOrder(logFileBox_, continueBox_);
  QWidget::setTabOrder(continueBox_, intervalSlider_);
  QWidget::setTabOrder(intervalSlider_, autoStartBox_);
  QWidget::setTabOrder(autoStartBox_, accumulationBox_);
  QWidget::setTabOrder(accumulationBox_, cancel_);
  ok_->setFocus();
}

void CSettingsDlg::FillControls() {
  speedSlider_->setValue(form_.SpeedPosition());
  intervalSlider_->setValue(form_.IntervalPosition());
  ShowIntervalValue();
  const kestrum::ui::SettingsForm::Boxes boxes = form_.InitialBoxes();
  continueBox_->setChecked(boxes.continueRun);
  logFileBox_->setChecked(boxes.logFile);
  soundBox_->setChecked(boxes.sound);
  autoStartBox_->setChecked(boxes.autoStart);
  accumulationBox_->setChecked(boxes.accumulation);
}

void CSettingsDlg::OnIntervalMoved(int position) {
  form_.IntervalMoved(position);
  ShowIntervalValue();
}

void CSettingsDlg::ShowIntervalValue() { intervalLabel_->setText(QString::fromStdString(form_.IntervalLabel())); }

void CSettingsDlg::accept() {
  result_ = form_.Accepted(speedSlider_->value(),
                           {continueBox_->isChecked(), logFileBox_->isChecked(), soundBox_->isChecked(),
                            autoStartBox_->isChecked(), accumulationBox_->isChecked()});
  QDialog::accept();
}
