#include "dialogs/SettingsDlg.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QSlider>

#include <algorithm>
#include <array>

#include "dialogs/DialogFrame.h"
#include "dialogs/TrackBar.h"

namespace {

constexpr int kSlowestSpeed = 1000;
constexpr int kFastestSpeed = 10;
constexpr int kLastIntervalPosition = 5;
// Games per redraw at each position of the interval slider; 0 redraws only
// after a heavenly hand.
constexpr std::array<std::int32_t, kLastIntervalPosition + 1> kIntervalAt = {0, 1, 10, 100, 1000, 10000};

// The slider shows a stored interval by its number of decimal digits, so
// that every power of ten finds its own position; values the dialog never
// writes (negative, or not a power of ten) land on the nearest-looking place
// and keep their value until the slider is moved.
int IntervalPosition(std::int32_t interval) {
  int digits = 0;
  for (std::int64_t rest = interval; rest > 0; rest /= 10) ++digits;
  return digits;
}

QCheckBox* MakeCheckBox(QWidget* parent, const QString& text, bool ticked) {
  auto* box = new QCheckBox(text, parent);
  box->setChecked(ticked);
  return box;
}

}  // namespace

CSettingsDlg::CSettingsDlg(const kestrum::Settings& initial, QWidget* parent)
    : QDialog(parent), result_(initial), intervalValue_(initial.interval) {
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

  speedSlider_->setRange(kFastestSpeed, kSlowestSpeed);
  speedSlider_->setTickPosition(QSlider::NoTicks);
  speedSlider_->setTickInterval(20);
  speedSlider_->setPageStep(10);
  speedSlider_->setSingleStep(40);

  intervalSlider_->setRange(0, kLastIntervalPosition);
  intervalSlider_->setTickPosition(QSlider::TicksAbove);
  intervalSlider_->setTickInterval(1);
  intervalSlider_->setPageStep(1);
  intervalSlider_->setSingleStep(1);

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
  // A stored speed outside the range shows at the nearer end, and OK then
  // writes that end back.
  speedSlider_->setValue(result_.speed);
  intervalSlider_->setValue(IntervalPosition(intervalValue_));
  ShowIntervalValue();
  continueBox_->setChecked(result_.continueRun);
  logFileBox_->setChecked(result_.logFile);
  soundBox_->setChecked(result_.sound);
  autoStartBox_->setChecked(result_.autoStart);
  accumulationBox_->setChecked(result_.accumulation);
}

void CSettingsDlg::OnIntervalMoved(int position) {
  intervalValue_ = kIntervalAt[static_cast<std::size_t>(std::clamp(position, 0, kLastIntervalPosition))];
  ShowIntervalValue();
}

void CSettingsDlg::ShowIntervalValue() { intervalLabel_->setText(QString::number(intervalValue_)); }

void CSettingsDlg::accept() {
  result_.speed = speedSlider_->value();
  result_.continueRun = continueBox_->isChecked();
  result_.logFile = logFileBox_->isChecked();
  result_.sound = soundBox_->isChecked();
  result_.autoStart = autoStartBox_->isChecked();
  result_.accumulation = accumulationBox_->isChecked();
  result_.interval = intervalValue_;
  QDialog::accept();
}
