#include "dialogs/TenhouRecordDlg.h"

#include <QGroupBox>
#include <QLabel>
#include <QPoint>
#include <QPushButton>
#include <QSlider>

#include <algorithm>
#include <string>

#include "dialogs/DialogFrame.h"
#include "dialogs/HandPicture.h"
#include "dialogs/TrackBar.h"
#include "platform/ShiftJisText.h"
#include "store/TenhouLogTable.h"
#include "ui/LogBrowser.h"

namespace {

struct LabelTemplate {
  const char16_t* text;
  int x;
  int y;
  int width;
  const char* name = "";
};

// Captions, then the value labels in Field order with their template texts.
constexpr std::array<LabelTemplate, 9> kCaptions = {{
    {u"Ｎｏ．", 17, 17, 15},
    {u"開始：", 17, 32, 22},
    {u"終了：", 17, 46, 22},
    {u"局数：", 17, 60, 22},
    {u"[総局数]", 17, 74, 38},
    {u"[天和回数]", 17, 88, 38},
    {u"[天和確率]", 17, 102, 38},
    {u"[最短局数]", 17, 116, 38},
    {u"[最長局数]", 17, 130, 38},
}};
constexpr std::array<LabelTemplate, 10> kValueLabels = {{
    {u"ログ番号", 34, 17, 89, "number"},
    {u"開始日時", 47, 32, 120, "start"},
    {u"終了日時", 47, 46, 120, "end"},
    {u"シミュレーション局数", 47, 60, 120, "run"},
    {u"総局数", 58, 74, 120, "total"},
    {u"天和回数", 58, 88, 120, "tenho"},
    {u"天和確率", 58, 102, 120, "probability"},
    {u"最短局数", 58, 116, 120, "shortest"},
    {u"最長局数", 58, 130, 120, "longest"},
    {u"牌符", 17, 144, 120, "handText"},
}};

QString LabelText(const kestrum::ui::LogLabelText& text) {
  return kestrum::FromShiftJis(text.value) + kestrum::FromShiftJis(std::string(text.unit));
}

}  // namespace

// The rule and why it moves the hand in taller fonts: ui/HandCells.
QPoint TenhouHandOrigin(const kestrum::DialogUnits& units) {
  const kestrum::ui::HandOrigin origin =
      kestrum::ui::TenhouHandOrigin(units.ToPixelsX(7), units.ToPixelsX(7 + 173), units.baseY());
  return QPoint(origin.x, origin.y);
}

CTenhouRecordDlg::CTenhouRecordDlg(const kestrum::TenhouLogTable& table, QWidget* parent)
    : QDialog(parent), browser_(std::make_unique<kestrum::ui::LogBrowser>(table)) {
  BuildControls();
  if (browser_->HasEntry()) SelectNewest();
  // Every way a person moves the slider (keys, wheel, clicks in the channel,
  // dragging) is an action; letting go of the thumb is one more
  // notification. Setting the value from code is none, as with the trackbar.
  connect(slider_, &QSlider::actionTriggered, this, [this] { OnSliderNotified(slider_->sliderPosition()); });
  connect(slider_, &QSlider::sliderReleased, this, [this] { OnSliderNotified(slider_->value()); });
}

void CTenhouRecordDlg::BuildControls() {
  using kestrum::Place;
  const kestrum::DialogUnits units = kestrum::PrepareDialog(*this, QStringLiteral("天和記録"), 187, 207);

  Place(*new QGroupBox(this), units, 7, 7, 173, 193);
  for (const LabelTemplate& caption : kCaptions) {
    auto* label = new QLabel(QString::fromUtf16(caption.text), this);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Place(*label, units, caption.x, caption.y, caption.width, 8);
  }
  for (std::size_t field = 0; field < fields_.size(); ++field) {
    const LabelTemplate& value = kValueLabels[field];
    fields_[field] = new QLabel(this);
    fields_[field]->setObjectName(QLatin1String(value.name));
    fields_[field]->setTextFormat(Qt::PlainText);
    fields_[field]->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Place(*fields_[field], units, value.x, value.y, value.width, 8);
  }
  ShowTemplateTexts();
  // The hand is drawn as pictures; its notation stays in a hidden label.
  fields_[kHand]->hide();

  ok_ = new QPushButton(QStringLiteral("OK"), this);
  Place(*ok_, units, 124, 17, 50, 14);
  slider_ = new kestrum::TrackBar(this);
  Place(*slider_, units, 14, 170, 158, 26);
  slider_->setTickPosition(QSlider::TicksAbove);
  hand_ = new kestrum::HandPicture(this);
  hand_->move(TenhouHandOrigin(units));

  ok_->setObjectName(QStringLiteral("ok"));
  slider_->setObjectName(QStringLiteral("slider"));
  hand_->setObjectName(QStringLiteral("hand"));
  ok_->setDefault(true);
  connect(ok_, &QPushButton::clicked, this, &QDialog::accept);
  QWidget::setTabOrder(ok_, slider_);
  ok_->setFocus();
}

void CTenhouRecordDlg::ShowTemplateTexts() {
  for (std::size_t field = 0; field < fields_.size(); ++field) {
    fields_[field]->setText(QString::fromUtf16(kValueLabels[field].text));
  }
}

CTenhouRecordDlg::~CTenhouRecordDlg() = default;

int CTenhouRecordDlg::selectedIndex() const { return browser_->SelectedIndex(); }

// The slider's range is set here once: entries appended later are reached
// by the positions counted from the newest, not by a longer slider.
void CTenhouRecordDlg::SelectNewest() {
  slider_->setRange(0, browser_->SliderMaximum());
  slider_->setTickInterval(1);
  slider_->setPageStep(1);
  slider_->setSingleStep(1);
  slider_->setValue(0);
  ShowEntry();
}

void CTenhouRecordDlg::OnSliderNotified(int position) {
  if (browser_->SliderMoved(position)) ShowEntry();
}

void CTenhouRecordDlg::ShowEntry() {
  const kestrum::ui::LogEntryTexts texts = browser_->Texts();
  for (std::size_t field = 0; field < fields_.size(); ++field) fields_[field]->setText(LabelText(texts[field]));
  hand_->SetHandText(browser_->HandText());
}
