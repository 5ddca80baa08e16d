#include "app/MainFrame.h"

#include <QAction>
#include <QEvent>
#include <QIcon>
#include <QLayout>
#include <QMenu>
#include <QMenuBar>
#include <QVBoxLayout>

#include "app/ClientEdge.h"
#include "app/KestrumView.h"

namespace {

// Title bar with the window menu, a minimise and a close button; no
// maximise button and, with the fixed size below, no resizing.
constexpr Qt::WindowFlags kFrameFlags = Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                                        Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                                        Qt::WindowCloseButtonHint;

constexpr Qt::WindowStates kLargerStates = Qt::WindowMaximized | Qt::WindowFullScreen;

QIcon FrameIcon() {
  QIcon icon;
  for (const char* size : {"16", "32", "256"}) {
    icon.addFile(QStringLiteral(":/kestrum/kestrum-%1.png").arg(QLatin1String(size)));
  }
  return icon;
}

}  // namespace

CMainFrame::CMainFrame(const ViewPlaces& places, QWidget* parent) : QMainWindow(parent, kFrameFlags) {
  setWindowTitle(QStringLiteral("Kestrum"));
  setWindowIcon(FrameIcon());

  auto* edge = new ClientEdge(this);
  edge->setObjectName(QStringLiteral("clientEdge"));
  auto* edgeLayout = new QVBoxLayout(edge);
  edgeLayout->setContentsMargins(ClientEdge::kWidth, ClientEdge::kWidth, ClientEdge::kWidth, ClientEdge::kWidth);
  view_ = new CKestrumView(places, edge);
  edgeLayout->addWidget(view_);
  setCentralWidget(edge);

  BuildMenu();
  // The frame takes exactly the size of the menu bar, the edge and the
  // view's 280 x 42, and the window manager is told that it cannot change.
  // The size is fixed here, before the window exists, so that the window
  // manager never sees a resizable window and offers no maximising. (openbox
  // 3.6 still draws a maximise button beside the minimise one, because its
  // title bar gives a button its place whenever one nearer the title is
  // shown; the button does nothing.)
  layout()->setSizeConstraint(QLayout::SetFixedSize);
  layout()->activate();

  connect(view_, &CKestrumView::commandStatesChanged, this, &CMainFrame::UpdateCommandStates);
  UpdateCommandStates();
}

CMainFrame::~CMainFrame() = default;

QMenu* CMainFrame::AddPopup(const QString& caption) {
  QMenu* menu = menuBar()->addMenu(caption);
  connect(menu, &QMenu::aboutToShow, this, &CMainFrame::UpdateCommandStates);
  return menu;
}

// The caption carries the key's name after a tab, as the menu shows it; the
// key itself is a window-wide shortcut, which Qt does not carry out while
// its action is disabled.
QAction* CMainFrame::AddCommand(QMenu* menu, CommandId id, const QString& caption, const QString& prompt,
                                int key) {
  QAction* action = menu->addAction(caption);
  action->setStatusTip(prompt);
  if (key != 0) {
    action->setShortcut(QKeySequence(key));
    action->setShortcutContext(Qt::WindowShortcut);
    addAction(action);
  }
  commands_[id] = action;
  return action;
}

void CMainFrame::BuildMenu() {
  QMenu* simulator = AddPopup(QStringLiteral("シミュレータ(&S)"));
  connect(AddCommand(simulator, ID_SIMULATOR_START, QStringLiteral("スタート(&N)\tF2"),
                     QStringLiteral("シミュレータスタート"), Qt::Key_F2),
          &QAction::triggered, view_, &CKestrumView::OnStart);
  connect(AddCommand(simulator, ID_SIMULATOR_SETTING, QStringLiteral("設定(&S)\tF3"),
                     QStringLiteral("シミュレータの設定"), Qt::Key_F3),
          &QAction::triggered, view_, &CKestrumView::OnSettings);
  simulator->addSeparator();
  connect(AddCommand(simulator, ID_SIMULATOR_RECORD, QStringLiteral("記録(&R)\tF4"),
                     QStringLiteral("シミュレータの記録"), Qt::Key_F4),
          &QAction::triggered, view_, &CKestrumView::OnRecord);
  connect(AddCommand(simulator, ID_SIMULATOR_TENHOU_RECORD, QStringLiteral("天和記録(&L)\tF5"),
                     QStringLiteral("シミュレータの天和記録"), Qt::Key_F5),
          &QAction::triggered, view_, &CKestrumView::OnTenhouRecord);
  simulator->addSeparator();
  connect(AddCommand(simulator, ID_APP_EXIT, QStringLiteral("終了(&X)"), QStringLiteral("アプリケーションを終了")),
          &QAction::triggered, this, &QWidget::close);

  QMenu* help = AddPopup(QStringLiteral("ヘルプ(&H)"));
  connect(AddCommand(help, ID_HOMEPAGE, QStringLiteral("作者のホームページ表示(&H)"),
                     QStringLiteral("作者のホームページ表示")),
          &QAction::triggered, view_, &CKestrumView::OnHomePage);
  // The about box belongs to the application, which connects it.
  AddCommand(help, ID_APP_ABOUT, QStringLiteral("バージョン情報(&A)..."),
             QStringLiteral("プログラムの情報、バージョンそして著作権を表示"));
}

QAction* CMainFrame::CommandAction(CommandId id) const {
  const auto found = commands_.find(id);
  return found == commands_.end() ? nullptr : found->second;
}

void CMainFrame::UpdateCommandStates() {
  commands_.at(ID_SIMULATOR_START)->setEnabled(view_->OnUpdateStart());
  commands_.at(ID_SIMULATOR_TENHOU_RECORD)->setEnabled(view_->OnUpdateTenhouRecord());
}

// The view follows whether the frame is the active window; a minimised
// frame does not count as active. The frame has one size only: a window
// manager that offers full screen (or maximises all the same) is answered
// by going back to the normal state, which keeps the title bar and the
// 280 x 42 picture.
void CMainFrame::changeEvent(QEvent* event) {
  QMainWindow::changeEvent(event);
  if (event->type() == QEvent::ActivationChange) {
    view_->OnActivateView(isActiveWindow() && !isMinimized());
  }
  if (event->type() == QEvent::WindowStateChange && (windowState() & kLargerStates)) {
    setWindowState(windowState() & ~kLargerStates);
  }
}
