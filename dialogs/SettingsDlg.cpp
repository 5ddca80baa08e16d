#include "dialogs/SettingsDlg.h"

CSettingsDlg::CSettingsDlg(const kestrum::Settings& initial, QWidget* parent) : QDialog(parent), result_(initial) {
  setWindowTitle(QStringLiteral("設定"));
}

void CSettingsDlg::accept() { QDialog::accept(); }
