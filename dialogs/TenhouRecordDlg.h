#pragma once
// The heavenly-hand log browser: one entry of the log table at a time, the
// newest at the slider's left end, its hand drawn with the tile pictures.
// It only reads the table, and follows entries appended while it is open.

#include <QDialog>

#include <array>

namespace kestrum {
struct TenhouLogTable;
}

class CHandPicture;
class QLabel;
class QPushButton;
class QSlider;
class QTimer;

class CTenhouRecordDlg : public QDialog {
  Q_OBJECT

 public:
  explicit CTenhouRecordDlg(const kestrum::TenhouLogTable& table, QWidget* parent = nullptr);

  // Index in the table of the entry shown; -1 while the table is empty.
  int selectedIndex() const { return selectedIndex_; }

  // Takes in entries appended since the last look; runs on a short timer
  // while the dialog is open.
  void FollowTable();

 private:
  // The value labels, in the order they are filled.
  enum Field { kNumber, kStart, kEnd, kRun, kTotal, kTenho, kProbability, kShortest, kLongest, kHand, kFieldCount };

  void BuildControls();
  void OnSliderMoved(int position);
  void ShowEntry();
  int PositionOf(int index) const;

  const kestrum::TenhouLogTable& table_;
  int knownCount_ = 0;
  int selectedIndex_ = -1;

  std::array<QLabel*, kFieldCount> fields_{};
  QPushButton* ok_ = nullptr;
  QSlider* slider_ = nullptr;
  CHandPicture* hand_ = nullptr;
  QTimer* follow_ = nullptr;
};
