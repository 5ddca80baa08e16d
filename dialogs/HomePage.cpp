#include "dialogs/HomePage.h"

#include <QDesktopServices>
#include <QString>
#include <QUrl>

QString HomePageAddress() { return QStringLiteral(KESTRUM_HOMEPAGE_ADDRESS); }

void OpenHomePage() {
  // The desktop reports failure only by the return value, and there is
  // nothing the program could do about a missing browser.
  static_cast<void>(QDesktopServices::openUrl(QUrl(HomePageAddress())));
}
