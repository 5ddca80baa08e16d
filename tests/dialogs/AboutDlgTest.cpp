// The about box and the home-page action: the texts, the icon, and that the
// button opens the same address as the menu command and leaves the box open.

#include <QDesktopServices>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QUrl>

#include "dialogs/AboutDlg.h"
#include "dialogs/DialogUnits.h"
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

  // The URL button's text keeps a character's room on both sides, as the
  // other buttons' texts do, and the button stays inside the box.
  void urlButtonTextHasTheMarginsOfTheOtherButtons() {
    CAboutDlg dialog;
    const auto* button = Child<QPushButton>(dialog, "homePage");
    const int margin = kestrum::DialogUnits(dialog.font()).ToPixelsX(4);
    const int text = button->fontMetrics().horizontalAdvance(button->text());
    QVERIFY2(text + 2 * margin <= button->width(),
             qPrintable(QStringLiteral("text %1, margins %2, button %3").arg(text).arg(margin).arg(button->width())));
    QVERIFY(button->sizeHint().width() <= button->width());
    QVERIFY(button->geometry().left() > 0);
    QVERIFY(button->geometry().right() < dialog.width() - 1);
    QVERIFY(!button->geometry().intersects(Child<QLabel>(dialog, "mail")->geometry()));
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
