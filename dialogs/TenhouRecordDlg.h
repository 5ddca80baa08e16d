#pragma once
// The heavenly-hand log browser: one entry of the log table at a time, the
// newest at the slider's left end, its hand drawn with the tile pictures.
// It only reads the table. While it is open games go on and the run may
// append entries; the dialog shows them only when the slider is next used
// (see OnSliderNotified).

#include <QDialog>

#include <array>

namespace kestrum {
class DialogUnits;
class HandPicture;
struct TenhouLogTable;
}  // namespace kestrum

class QLabel;
class QPoint;
class QPushButton;
class QSlider;

class CTenhouRecordDlg : public QDialog {
  Q_OBJECT

 public:
  explicit CTenhouRecordDlg(const kestrum::TenhouLogTable& table, QWidget* parent = nullptr);

  // Index in the table of the entry shown; -1 while the table is empty.
  int selectedIndex() const { return selectedIndex_; }

 private:
  // The value labels, in the order they are filled.
  enum Field { kNumber, kStart, kEnd, kRun, kTotal, kTenho, kProbability, kShortest, kLongest, kHand, kFieldCount };

  void BuildControls();
  void ShowTemplateTexts();
  void SelectNewest(int count);
  void OnSliderNotified(int position);
  void ShowEntry(int count);
  int CurrentCount() const;

  const kestrum::TenhouLogTable& table_;
  int selectedIndex_ = -1;

  std::array<QLabel*, kFieldCount> fields_{};
  QPushButton* ok_ = nullptr;
  QSlider* slider_ = nullptr;
  kestrum::HandPicture* hand_ = nullptr;
};

// Top-left pixel of the hand picture in the dialog: (23, 220) in the layout's
// own font, whose base units are 7 x 12; in other fonts the hand keeps its
// place between the last text row and the slider (238 in the usual 7 x 13
// font; see the definition).
QPoint TenhouHandOrigin(const kestrum::DialogUnits& units);
