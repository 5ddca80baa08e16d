#include "dialogs/DialogResources.h"

#include <QFile>
#include <QtGlobal>

// Q_INIT_RESOURCE must be used at global scope, outside any namespace.
static void InitKestrumResources() { Q_INIT_RESOURCE(kestrum); }

namespace kestrum {

void EnsureDialogResources() {
  static const bool registered = [] {
    if (!QFile::exists(QStringLiteral(":/kestrum/tiles.png"))) InitKestrumResources();
    return true;
  }();
  static_cast<void>(registered);
}

}  // namespace kestrum
