#pragma once
// The main window: a fixed-size frame around the view, with the simulator's
// menu and its keys F2 to F5. It can be minimised, but neither resized nor
// maximised.

#include <map>

#include <QMainWindow>

#include "app/CommandIds.h"
#include "app/ViewPlaces.h"

class CKestrumView;
class QAction;
class QMenu;

class CMainFrame final : public QMainWindow {
  Q_OBJECT

 public:
  explicit CMainFrame(const ViewPlaces& places = {}, QWidget* parent = nullptr);
  ~CMainFrame() override;

  CKestrumView* View() const { return view_; }
  // The menu item of a command; nullptr for an id the menu does not have.
  QAction* CommandAction(CommandId id) const;

  // Enables Start and the log command by the view's current rules.
  void UpdateCommandStates();

 protected:
  void changeEvent(QEvent* event) override;

 private:
  void BuildMenu();
  QMenu* AddPopup(const QString& caption);
  QAction* AddCommand(QMenu* menu, CommandId id, const QString& caption, const QString& prompt,
                      int key = 0);

  CKestrumView* view_ = nullptr;
  std::map<CommandId, QAction*> commands_;
};
