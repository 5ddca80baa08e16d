#include "MainFrameTest.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QList>
#include <QPair>
#include <QMenu>
#include <QMenuBar>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <memory>

#include "AppTestPlace.h"
#include "app/KestrumView.h"
#include "app/MainFrame.h"
#include "engine/SimulationState.h"
#include "store/TenhouLogTable.h"

namespace {

const QString kRunning = QStringLiteral("Kestrum-[実行中]-");
const QString kPlain = QStringLiteral("Kestrum");

std::unique_ptr<CMainFrame> ShownFrame(const std::map<std::string, std::string>& stored,
                                       ViewPlaces places = apptest::FreshPlaces()) {
  apptest::PresetStore(stored);
  auto frame = std::make_unique<CMainFrame>(places);
  frame->View()->OnUpdate();
  frame->show();
  frame->activateWindow();
  return frame;
}

// Presses a key in the frame and reports whether a modal dialog opened
// because of it (the dialog is closed again at once).
bool KeyOpensDialog(QWidget& frame, Qt::Key key) {
  bool opened = false;
  QTimer probe;
  probe.setInterval(50);
  QObject::connect(&probe, &QTimer::timeout, [&] {
    if (QWidget* modal = QApplication::activeModalWidget()) {
      opened = true;
      modal->close();
    }
  });
  probe.start();
  QTest::keyClick(&frame, key);
  QTest::qWait(200);
  return opened;
}

QStringList Captions(const QMenu* menu) {
  QStringList captions;
  for (const QAction* action : menu->actions()) {
    captions << (action->isSeparator() ? QStringLiteral("-") : action->text());
  }
  return captions;
}

}  // namespace

void MainFrameTest::menuCaptionsAndKeys() {
  const auto frame = ShownFrame({});
  const QList<QAction*> popups = frame->menuBar()->actions();
  QCOMPARE(popups.size(), 2);
  QCOMPARE(popups[0]->text(), QStringLiteral("シミュレータ(&S)"));
  QCOMPARE(popups[1]->text(), QStringLiteral("ヘルプ(&H)"));
  QCOMPARE(Captions(popups[0]->menu()),
           (QStringList{QStringLiteral("スタート(&N)\tF2"), QStringLiteral("設定(&S)\tF3"), QStringLiteral("-"),
                        QStringLiteral("記録(&R)\tF4"), QStringLiteral("天和記録(&L)\tF5"), QStringLiteral("-"),
                        QStringLiteral("終了(&X)")}));
  QCOMPARE(Captions(popups[1]->menu()),
           (QStringList{QStringLiteral("作者のホームページ表示(&H)"), QStringLiteral("バージョン情報(&A)...")}));

  const struct {
    CommandId id;
    int key;
  } keys[] = {{ID_SIMULATOR_START, Qt::Key_F2},        {ID_SIMULATOR_SETTING, Qt::Key_F3},
              {ID_SIMULATOR_RECORD, Qt::Key_F4},       {ID_SIMULATOR_TENHOU_RECORD, Qt::Key_F5},
              {ID_APP_EXIT, 0},                        {ID_HOMEPAGE, 0},
              {ID_APP_ABOUT, 0}};
  for (const auto& [id, key] : keys) {
    QAction* action = frame->CommandAction(id);
    QVERIFY(action != nullptr);
    QCOMPARE(action->shortcut(), key == 0 ? QKeySequence() : QKeySequence(key));
    if (key != 0) QCOMPARE(action->shortcutContext(), Qt::WindowShortcut);
  }
}

void MainFrameTest::frameIsFixedAroundTheView() {
  const auto frame = ShownFrame({});
  QVERIFY(QTest::qWaitForWindowExposed(frame.get()));
  QCOMPARE(frame->View()->size(), QSize(280, 42));
  QCOMPARE(frame->minimumSize(), frame->maximumSize());
  QCOMPARE(frame->size(), frame->minimumSize());
  const Qt::WindowFlags flags = frame->windowFlags();
  QVERIFY(flags.testFlag(Qt::WindowMinimizeButtonHint));
  QVERIFY(flags.testFlag(Qt::WindowCloseButtonHint));
  QVERIFY(!flags.testFlag(Qt::WindowMaximizeButtonHint));
  QCOMPARE(frame->windowTitle(), kPlain);
  // The view sits wholly inside the frame, below the menu bar.
  const QRect viewInFrame(frame->View()->mapTo(frame.get(), QPoint(0, 0)), frame->View()->size());
  QVERIFY(frame->rect().contains(viewInFrame));
  QVERIFY(viewInFrame.top() >= frame->menuBar()->geometry().bottom());
}

// Full screen and maximised, whether a window manager or a program asks,
// end in the normal state at the one fixed size.
void MainFrameTest::frameRefusesLargerStates() {
  const auto frame = ShownFrame({});
  QVERIFY(QTest::qWaitForWindowExposed(frame.get()));
  const QSize fixed = frame->size();
  for (const Qt::WindowState state : {Qt::WindowFullScreen, Qt::WindowMaximized}) {
    frame->setWindowState(state);
    QTRY_COMPARE(frame->windowState(), Qt::WindowNoState);
    QCOMPARE(frame->size(), fixed);
  }
  frame->showMinimized();
  QTRY_VERIFY(frame->isMinimized());
}

// The sunken edge shows on all four sides against the view's white: the
// inner ring differs from the view's ground everywhere, and the outer ring
// is darker at the top and left than at the bottom and right.
void MainFrameTest::clientEdgeShowsOnEverySide() {
  const auto frame = ShownFrame({});
  QVERIFY(QTest::qWaitForWindowExposed(frame.get()));
  QWidget* edge = frame->findChild<QWidget*>(QStringLiteral("clientEdge"));
  QVERIFY(edge);
  QCOMPARE(frame->View()->geometry(), QRect(2, 2, 280, 42));
  const QImage shot = edge->grab().toImage().scaled(edge->size());
  const QRgb ground = frame->View()->palette().color(QPalette::Base).rgb();
  const int right = edge->width() - 1;
  const int bottom = edge->height() - 1;
  const QPoint inner[] = {{1, 20}, {right - 1, 20}, {140, 1}, {140, bottom - 1}};
  for (const QPoint& p : inner) QVERIFY2(shot.pixel(p) != ground, qPrintable(QStringLiteral("%1,%2").arg(p.x()).arg(p.y())));
  QVERIFY(qGray(shot.pixel(0, 20)) < qGray(shot.pixel(right, 20)));
  QVERIFY(qGray(shot.pixel(140, 0)) < qGray(shot.pixel(140, bottom)));
}

void MainFrameTest::startKeyRefusedWhileRunning() {
  const auto frame = ShownFrame({{"SPEED", "1000"}});
  QVERIFY(QTest::qWaitForWindowActive(frame.get()));
  QAction* start = frame->CommandAction(ID_SIMULATOR_START);
  QVERIFY(start->isEnabled());
  QSignalSpy triggered(start, &QAction::triggered);

  QTest::keyClick(frame.get(), Qt::Key_F2);
  QCOMPARE(triggered.count(), 1);
  QVERIFY(frame->View()->State().running);
  QVERIFY(!start->isEnabled());
  const std::string header = frame->View()->State().startHeader;

  QTest::keyClick(frame.get(), Qt::Key_F2);
  QCOMPARE(triggered.count(), 1);
  // The menu, when opened, still offers no Start.
  Q_EMIT frame->menuBar()->actions()[0]->menu()->aboutToShow();
  QVERIFY(!start->isEnabled());
  QCOMPARE(frame->View()->State().startHeader, header);
}

void MainFrameTest::logKeyFollowsTheLogTable() {
  {
    const auto frame = ShownFrame({});
    QVERIFY(QTest::qWaitForWindowActive(frame.get()));
    QCOMPARE(kestrum::TheTenhouLogTable().entryCount, 0);
    QVERIFY(!frame->CommandAction(ID_SIMULATOR_TENHOU_RECORD)->isEnabled());
    QVERIFY(!KeyOpensDialog(*frame, Qt::Key_F5));
    // The record key has no such rule.
    QVERIFY(KeyOpensDialog(*frame, Qt::Key_F4));
  }
  ViewPlaces places = apptest::FreshPlaces();
  apptest::AppendLogEntry(places.logFile);
  const auto frame = ShownFrame({}, places);
  QVERIFY(QTest::qWaitForWindowActive(frame.get()));
  QCOMPARE(kestrum::TheTenhouLogTable().entryCount, 1);
  QVERIFY(frame->CommandAction(ID_SIMULATOR_TENHOU_RECORD)->isEnabled());
  QVERIFY(KeyOpensDialog(*frame, Qt::Key_F5));
}

void MainFrameTest::autostartAtFirstUpdateOnly() {
  apptest::PresetStore({{"AUTOSTART", "1"}, {"SPEED", "1000"}});
  CMainFrame frame(apptest::FreshPlaces());
  QVERIFY(!frame.View()->State().running);
  QVERIFY(frame.CommandAction(ID_SIMULATOR_START)->isEnabled());
  frame.View()->OnUpdate();
  QVERIFY(frame.View()->State().running);
  QVERIFY(!frame.CommandAction(ID_SIMULATOR_START)->isEnabled());
}

// The first tick after a start shows the running title, the next the plain
// one, and so on, once a second.
void MainFrameTest::titleBlinksWhileRunning() {
  const auto frame = ShownFrame({{"SPEED", "1000"}});
  QVERIFY(QTest::qWaitForWindowActive(frame.get()));
  QCOMPARE(frame->windowTitle(), kPlain);
  // Only lower bounds on the times, so that a slow machine cannot fail it.
  QElapsedTimer clock;
  QList<QPair<qint64, QString>> changes;
  QObject::connect(frame.get(), &QWidget::windowTitleChanged,
                   [&](const QString& title) { changes.append({clock.elapsed(), title}); });
  clock.start();
  frame->View()->OnStart();
  QTRY_VERIFY_WITH_TIMEOUT(changes.size() >= 2, 6000);
  QCOMPARE(changes[0].second, kRunning);
  QCOMPARE(changes[1].second, kPlain);
  QVERIFY2(changes[0].first >= 900, "the first tick comes a full period after the start");
  QVERIFY2(changes[1].first - changes[0].first >= 900, "the title changes once a second");
}

void MainFrameTest::exitAndCloseBoxBothSave_data() {
  QTest::addColumn<bool>("byExitCommand");
  QTest::newRow("exit command") << true;
  QTest::newRow("close box") << false;
}

void MainFrameTest::exitAndCloseBoxBothSave() {
  QFETCH(bool, byExitCommand);
  auto frame = ShownFrame({{"SPEED", "10"}, {"TOTALCNT", "100"}, {"ACCUMULATIONCNT", "7"}});
  QVERIFY(QTest::qWaitForWindowExposed(frame.get()));
  frame->View()->OnStart();
  QTRY_VERIFY_WITH_TIMEOUT(frame->View()->State().totalCnt >= 105, 3000);
  if (byExitCommand) {
    frame->CommandAction(ID_APP_EXIT)->trigger();
  } else {
    QVERIFY(frame->close());
  }
  QVERIFY(!frame->isVisible());
  const kestrum::Count64 played = frame->View()->State().totalCnt - 100;
  const kestrum::Count64 carried = frame->View()->State().accumulationCnt;
  frame.reset();
  QCOMPARE(apptest::StoredValue("TOTALCNT"), std::to_string(100 + played));
  QCOMPARE(apptest::StoredValue("ACCUMULATIONCNT"), std::to_string(carried));
}
