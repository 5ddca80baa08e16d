// Runs every widget test class in one process, in a private temporary place
// so that no test reads or writes the settings, log or guard of a real user.

#include <QApplication>
#include <QTest>

#include "AppTestPlace.h"
#include "MainFrameTest.h"
#include "ViewPictureTest.h"

int main(int argc, char** argv) {
  const std::filesystem::path place = apptest::EnterPrivatePlace();
  int failures = 0;
  {
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Local AppWizard-Generated Applications"));
    QApplication::setApplicationName(QStringLiteral("kestrum"));
    ViewPictureTest picture;
    failures += QTest::qExec(&picture, argc, argv);
    MainFrameTest frame;
    failures += QTest::qExec(&frame, argc, argv);
  }
  apptest::LeavePrivatePlace(place);
  return failures == 0 ? 0 : 1;
}
