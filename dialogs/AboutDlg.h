#pragma once
// The about box: icon, name and version, the maker's lines and a button that
// opens the home page without closing the box.

#include <QDialog>

class QPushButton;

class CAboutDlg : public QDialog {
  Q_OBJECT

 public:
  explicit CAboutDlg(QWidget* parent = nullptr);

 private:
  void BuildControls();

  QPushButton* ok_ = nullptr;
  QPushButton* homePage_ = nullptr;
};

// The maker's address, at the home page's own domain.
QString MakerMailAddress();
