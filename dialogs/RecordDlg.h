#pragma once
// The record dialog: a snapshot of the lifetime statistics taken at opening,
// with a clear button that only marks the dialog. The caller clears the
// records when exec() returns Accepted and cleared() is true.

#include <QDialog>

#include <array>

#include "ui/RecordFigures.h"

namespace kestrum {
struct SimulationState;
}

class QLabel;
class QPushButton;

class CRecordDlg : public QDialog {
  Q_OBJECT

 public:
  explicit CRecordDlg(const kestrum::SimulationState& state, QWidget* parent = nullptr);

  bool cleared() const { return form_.Cleared(); }

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  // Rows top to bottom: total games, heavenly hands, probability, shortest
  // run, longest run.
  static constexpr std::size_t kRows = kestrum::ui::kRecordRows;

  void BuildControls();
  void FillFigures(const kestrum::SimulationState& state);
  void ShowFigures(const kestrum::ui::RecordTexts& texts);
  void OnClear();

  kestrum::ui::RecordForm form_;
  int captionsRight_ = 0;  // the right edge of the widest-reaching caption
  int unitsLeft_ = 0;      // where the units after the figures begin
  std::array<QLabel*, kRows> figures_{};
  QPushButton* ok_ = nullptr;
  QPushButton* clear_ = nullptr;
};
