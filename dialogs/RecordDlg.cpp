#include "dialogs/RecordDlg.h"

#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>

#include <algorithm>

#include "dialogs/DialogFrame.h"
#include "ui/RecordFigures.h"

CRecordDlg::CRecordDlg(const kestrum::SimulationState& state, QWidget* parent) : QDialog(parent) {
  BuildControls();
  FillFigures(state);
}

void CRecordDlg::BuildControls() {
  using kestrum::Place;
  const kestrum::DialogUnits units = kestrum::PrepareDialog(*this, QStringLiteral("記録"), 151, 117);

  Place(*new QGroupBox(this), units, 7, 7, 137, 83);
  struct RowTemplate {
    const char16_t* caption;
    int captionX;
    int y;
    const char16_t* unit;
    const char* name;
  };
  static constexpr std::array<RowTemplate, kRows> kRowTemplates = {{
      {u"総局数", 20, 17, u"局", "total"},
      {u"天和回数", 14, 32, u"回", "tenho"},
      {u"天和確率", 14, 47, u"％", "probability"},
      {u"最短局数", 14, 62, u"局", "shortest"},
      {u"最長局数", 14, 77, u"局", "longest"},
  }};
  for (std::size_t row = 0; row < kRows; ++row) {
    const RowTemplate& line = kRowTemplates[row];
    auto* caption = new QLabel(QString::fromUtf16(line.caption), this);
    caption->setAlignment(Qt::AlignRight | Qt::AlignTop);
    Place(*caption, units, line.captionX, line.y, 42 - line.captionX, 8);
    captionsRight_ = std::max(captionsRight_, caption->geometry().right());
    figures_[row] = new QLabel(QStringLiteral("12345678901234567890"), this);
    figures_[row]->setAlignment(Qt::AlignRight | Qt::AlignTop);
    figures_[row]->setObjectName(QLatin1String(line.name));
    Place(*figures_[row], units, 48, line.y, 74, 8);
    auto* unit = new QLabel(QString::fromUtf16(line.unit), this);
    unit->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Place(*unit, units, 128, line.y, 8, 8);
    unitsLeft_ = unit->x();
  }
  clear_ = new QPushButton(QStringLiteral("記録のクリア(&R)"), this);
  Place(*clear_, units, 17, 96, 60, 14);
  ok_ = new QPushButton(QStringLiteral("OK"), this);
  Place(*ok_, units, 84, 96, 50, 14);

  clear_->setObjectName(QStringLiteral("clear"));
  ok_->setObjectName(QStringLiteral("ok"));
  ok_->setDefault(true);
  connect(ok_, &QPushButton::clicked, this, &QDialog::accept);
  connect(clear_, &QPushButton::clicked, this, &CRecordDlg::OnClear);
  QWidget::setTabOrder(ok_, clear_);
  ok_->setFocus();
}

void CRecordDlg::FillFigures(const kestrum::SimulationState& state) {
  ShowFigures(kestrum::ui::RecordFiguresOf(state));
  // The layout holds some sixteen digits of this font; a count runs to
  // nineteen. Such a figure takes the gap after its caption and, if need
  // be, part of the gap before its unit.
  for (QLabel* figure : figures_) kestrum::WidenLeftToText(*figure, captionsRight_ + 1, unitsLeft_ - 2);
}

void CRecordDlg::ShowFigures(const kestrum::ui::RecordTexts& texts) {
  for (std::size_t row = 0; row < kRows; ++row) figures_[row]->setText(QString::fromStdString(texts[row]));
}

// Only marks the dialog: the records go only when the dialog then ends with
// OK.
void CRecordDlg::OnClear() { ShowFigures(form_.Clear()); }

// A dialog's mnemonics work without Alt while the focus is on a button.
void CRecordDlg::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_R && event->modifiers() == Qt::NoModifier) {
    clear_->click();
    event->accept();
    return;
  }
  QDialog::keyPressEvent(event);
}
