// The about box and the home-page action: the texts, the icon, and that the
// button opens the same address as the menu command and leaves the box open.

#include <QDesktopServices>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QUrl>

#include "dialogs/AboutDlg.h"
#include "dialogs/HomePage.h"
#include "tests/dialogs/DialogTestSupport.h"

// Stands in for the desktop's browser: records the addresses it is asked to open.
class UrlRecorder : public QObject {
  Q_OBJECT

 public:
  QList<QUrl> opened;

 public Q_SLOTS:
  void open(const QUrl& url) { opened << url; }
};

class AboutDlgTest : public QObject {
  Q_OBJECT

 private:
  UrlRecorder browser_;

 private Q_SLOTS:
  void initTestCase() {
    const QString scheme = QUrl(HomePageAddress()).scheme();
    QVERIFY(!scheme.isEmpty());
    QDesktopServices::setUrlHandler(scheme, &browser_, "open");
  }

  void cleanupTestCase() { QDesktopServices::unsetUrlHandler(QUrl(HomePageAddress()).scheme()); }

  void showsNameVersionMakerAndIcon() {
    CAboutDlg dialog;
    QCOMPARE(dialog.windowTitle(), QStringLiteral("バージョン情報(kestrum)"));
    QCOMPARE(Child<QLabel>(dialog, "name")->text(), QStringLiteral("Kestrum for Windows Version 1.11"));
    QCOMPARE(Child<QLabel>(dialog, "maker")->text(), QStringLiteral("Kestrum developers"));
    QCOMPARE(Child<QLabel>(dialog, "mail")->text(), QStringLiteral("E-Mail : ") + MakerMailAddress());
    QVERIFY(MakerMailAddress().endsWith(QLatin1Char('@') + QUrl(HomePageAddress()).host()));
    QCOMPARE(Child<QPushButton>(dialog, "homePage")->text(), QStringLiteral("URL : ") + HomePageAddress());
    QVERIFY(!Child<QLabel>(dialog, "icon")->pixmap().isNull());
  }

  void buttonAndMenuOpenTheSameAddressAndTheBoxStaysOpen() {
    browser_.opened.clear();
    CAboutDlg dialog;
    dialog.show();
    Child<QPushButton>(dialog, "homePage")->click();
    QVERIFY(dialog.isVisible());
    OpenHomePage();
    QCOMPARE(browser_.opened, QList<QUrl>({QUrl(HomePageAddress()), QUrl(HomePageAddress())}));
    QTest::keyClick(&dialog, Qt::Key_Escape);
    QVERIFY(!dialog.isVisible());
  }
};

QTEST_MAIN(AboutDlgTest)
#include "AboutDlgTest.moc"
