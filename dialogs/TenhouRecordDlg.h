#pragma once
// The heavenly-hand log browser: one entry of the log table at a time, the
// newest at the slider's left end, its hand drawn with the tile pictures.
// It only reads the table. While it is open games go on and the run may
// append entries; the dialog shows them only when the slider is next used
// (see OnSliderNotified).

#include <QDialog>

#include <array>
#include <memory>

namespace kestrum {
class DialogUnits;
class HandPicture;
struct TenhouLogTable;
namespace ui {
class LogBrowser;
}
}  // namespace kestrum

class QLabel;
class QPoint;
class QPushButton;
class QSlider;

class CTenhouRecordDlg : public QDialog {
  Q_OBJECT

 public:
  explicit CTenhouRecordDlg(const kestrum::TenhouLogTable& table, QWidget* parent = nullptr);
  ~CTenhouRecordDlg() override;

  // Index in the table of the entry shown; -1 while the table is empty.
  int selectedIndex() const;

 private:
  // The value labels, in the order of ui::LogField.
  static constexpr std::size_t kFieldCount = 10;
  static constexpr std::size_t kHand = 9;

  void BuildControls();
  void ShowTemplateTexts();
  void SelectNewest();
  void OnSliderNotified(int position);
  void ShowEntry();

  std::unique_ptr<kestrum::ui::LogBrowser> browser_;

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
