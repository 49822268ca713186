#pragma once

// One group of the main window's commands (project, edit, view, photos, libraries, editing
// panels, effects, packs and converter, tools). A group is a small object that gets the main
// window, builds and owns the panels of its family (installing them into the window's areas),
// runs its command ids and says whether each is enabled. The window's dispatcher asks the groups
// in order; a command that no group handles is greyed in menus and on buttons.

#include <QObject>
#include <QStringList>

namespace mosaiq {

class CMainDialog;
class CQorMenu;

enum class MenuId { File, Panels, Edit, Tools, Help, CanvasContext, PhotoListContext };

class CommandGroup : public QObject {
    Q_OBJECT
public:
    explicit CommandGroup(CMainDialog& window) : QObject(nullptr), m_window(window) {}
    ~CommandGroup() override = default;

    // True for every command id this group runs.
    virtual bool Handles(int id) const = 0;
    // Runs a command this group handles (the dispatcher checked IsEnabled first).
    virtual void Run(int id) = 0;
    // Whether the control issuing id is enabled now; menus grey the item otherwise.
    virtual bool IsEnabled(int id) const {
        (void)id;
        return true;
    }
    // Whether a menu item of id carries a check mark.
    virtual bool IsChecked(int id) const {
        (void)id;
        return false;
    }
    // Adds this group's own items to a menu being built (after the fixed items).
    virtual void ExtendMenu(MenuId menu, CQorMenu& popup) {
        (void)menu;
        (void)popup;
    }
    // Finishes every edit this group gathers over time (a typing or nudging burst) as its one
    // undo step now. The window calls it before any command, key command or close acts.
    virtual void CommitPendingBursts() {}
    // The close hook: false keeps the window open (asked before anything is saved).
    virtual bool CanClose() { return true; }
    // Runs once when the window closes, after every group agreed (save lists, stop workers).
    virtual void OnClose() {}
    // Files handed over at start or by a second start; returns the paths this group took.
    virtual QStringList OpenPaths(const QStringList& paths) {
        (void)paths;
        return {};
    }

protected:
    CMainDialog& Window() const { return m_window; }

private:
    CMainDialog& m_window;
};

} // namespace mosaiq
