#include "dialogs/AboutDlg.h"

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent) {
  setWindowTitle(QStringLiteral("バージョン情報(kestrum)"));
}
