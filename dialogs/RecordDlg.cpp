#include "dialogs/RecordDlg.h"

#include <QKeyEvent>

#include "engine/SimulationState.h"

CRecordDlg::CRecordDlg(const kestrum::SimulationState&, QWidget* parent) : QDialog(parent) {
  setWindowTitle(QStringLiteral("記録"));
}

void CRecordDlg::keyPressEvent(QKeyEvent* event) { QDialog::keyPressEvent(event); }
