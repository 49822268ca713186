#pragma once

// The program's owner-drawn popup menu. It is built afresh every time it opens, from the window's
// commands: each item issues a command id, greyed (with its grey icon) when the window says the
// command is disabled, and checked when the window says so. Items are measured in the bold menu
// font and drawn on RGB (234, 234, 237) with the icon column at the left; text after a tab is
// drawn right-aligned (the accelerator).

#include <QMenu>

#include <functional>

namespace mosaiq {

class CMainDialog;

class CQorMenu : public QMenu {
    Q_OBJECT
public:
    static constexpr int kIconSize = 16;

    explicit CQorMenu(CMainDialog* window, QWidget* parent = nullptr);
    ~CQorMenu() override;

    // Appends an item issuing id; icon and disabledIcon are skin icon ids (0: none). The item is
    // greyed when the window reports the command disabled; accelerator text follows a tab.
    QAction* AppendMenuItem(int id, const QString& text, int icon = 0, int disabledIcon = 0,
                            const QString& accelerator = {});
    // Appends an item that runs a function instead of a command (recent files, window actions).
    QAction* AppendAction(const QString& text, std::function<void()> run, bool enabled = true);
    void AppendMenuSeparator();
    CQorMenu* AppendSubmenu(const QString& text, int icon = 0);

    CMainDialog* Window() const { return m_window; }

private:
    CMainDialog* m_window;
};

// The text an accelerator entry shows: "Ctrl+", "Shift+", "Alt+" for its flags, then the key's
// name (a virtual key) or the character itself (a character key other than Esc).
struct AcceleratorEntry {
    bool ctrl = false;
    bool shift = false;
    bool alt = false;
    bool virtualKey = true;
    int key = 0; // a Qt::Key for a virtual key, else the character
};
QString AcceleratorKeyName(const AcceleratorEntry& entry);

} // namespace mosaiq
