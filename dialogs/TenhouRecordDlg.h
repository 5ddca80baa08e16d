#pragma once
// The heavenly-hand log browser: one entry of the log table at a time, the
// newest at the slider's left end, its hand drawn with the tile pictures.
// It only reads the table. While it is open games go on, and entries the
// run appends are taken in by a short poll of the table's count.

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
class QTimer;

class CTenhouRecordDlg : public QDialog {
  Q_OBJECT

 public:
  static constexpr int kFollowPeriodMs = 250;

  explicit CTenhouRecordDlg(const kestrum::TenhouLogTable& table, QWidget* parent = nullptr);

  // Index in the table of the entry shown; -1 while the table is empty.
  int selectedIndex() const { return selectedIndex_; }

  // Takes in entries appended since the last look, keeping the entry shown
  // (its number and the slider's position move with the new entries).
  void FollowTable();

 private:
  // The value labels, in the order they are filled.
  enum Field { kNumber, kStart, kEnd, kRun, kTotal, kTenho, kProbability, kShortest, kLongest, kHand, kFieldCount };

  void BuildControls();
  void ShowTemplateTexts();
  void SelectNewest();
  void OnSliderMoved(int position);
  void ShowEntry();
  int CurrentCount() const;

  const kestrum::TenhouLogTable& table_;
  int knownCount_ = 0;
  int selectedIndex_ = -1;

  std::array<QLabel*, kFieldCount> fields_{};
  QPushButton* ok_ = nullptr;
  QSlider* slider_ = nullptr;
  kestrum::HandPicture* hand_ = nullptr;
  QTimer* follow_ = nullptr;
};

// Top-left pixel of the hand picture in the dialog: (23, 220) in the layout's
// own font, whose base units are 7 x 12; in other fonts the hand keeps its
// place between the last text row and the slider.
QPoint TenhouHandOrigin(const kestrum::DialogUnits& units);
