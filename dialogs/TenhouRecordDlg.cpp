#include "dialogs/TenhouRecordDlg.h"

CTenhouRecordDlg::CTenhouRecordDlg(const kestrum::TenhouLogTable& table, QWidget* parent)
    : QDialog(parent), table_(table) {
  setWindowTitle(QStringLiteral("天和記録"));
}

void CTenhouRecordDlg::FollowTable() {}
