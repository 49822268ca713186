#pragma once

// A combo box drawn by the program, keeping its own list of items. The drop-down-list style shows
// the current item on the skin face; the drop-down style holds an edit control (id 10009) with
// two optional helpers, auto-complete and a suggestion list. The standard combo box operations
// are answered from the item list; the notifications are signals named for their meaning.

#include <QStringList>
#include <QWidget>

#include <vector>

class QLineEdit;

namespace mosaiq {

class CComboDropDown;

class CVexComboBox : public QWidget {
    Q_OBJECT
public:
    enum class Style { DropDownList, DropDown };
    enum Look { kPressed = 1, kHover = 16, kNormal = 32 };
    static constexpr int kEditId = 10009;
    static constexpr int kDropHeight = 100;

    explicit CVexComboBox(Style style, QWidget* parent = nullptr);
    ~CVexComboBox() override;

    // The standard combo box operations; indices are 0-based, -1 means none or failure.
    int AddString(const QString& text);
    void ResetContent();
    int GetCount() const { return int(m_items.size()); }
    int GetCurSel() const { return m_current; }
    int SetCurSel(int index);
    // Selects the first item after `start` (-1: from the top) that begins with `prefix`,
    // ignoring case, searching round the list; returns its index or -1.
    int SelectString(int start, const QString& prefix);
    QString GetLBText(int index) const;
    int GetLBTextLen(int index) const;
    int GetTopIndex() const { return m_topIndex; }
    int SetTopIndex(int index);

    // Items marked not selectable are skipped by Up and Down.
    void SetItemSelectable(int index, bool selectable);
    void SetAutoComplete(bool on) { m_autoComplete = on; }
    void SetSuggestionList(bool on) { m_suggestions = on; }
    // With auto-scroll (the default) the edit scrolls sideways; without it, text stops at the
    // edit's width.
    void SetAutoScroll(bool on);

    // The drop-down's width: at least the box's own; 0 (the default) is the box's width.
    void SetDroppedWidth(int width) { m_droppedWidth = width; }
    int DroppedWidth() const { return m_droppedWidth; }
    // How many rows the drop-down shows before it scrolls; 0 (the default) is kDropHeight
    // pixels. A list that fits needs no scroll bar.
    void SetVisibleRows(int rows) { m_visibleRows = rows; }
    // The drop-down's size when it opens now, in pixels.
    QSize DropDownSize() const;
    // The open drop-down (nullptr before it was first made).
    QWidget* DropDownWindow() const;

    Style ComboStyle() const { return m_style; }
    QLineEdit* Edit() const { return m_edit; }
    QString Text() const;
    bool IsDroppedDown() const;
    void ShowDropDown(bool show);
    // The item indices the drop-down lists (all, or the suggestions).
    const std::vector<int>& DropDownItems() const { return m_dropItems; }
    // The item the open drop-down marks; -1 when closed or none.
    int DropDownSelection() const;

signals:
    void dropDown();
    void closeUp();
    void selEndOk();
    void selEndCancel();
    void selChange();
    void editChange();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    friend class CComboDropDown;
    bool HandleKey(QKeyEvent* event); // true when the key was used
    void OpenDropDown(const std::vector<int>& items);
    void CloseDropDown(bool chosen);
    void Choose(int index);
    void StepSelection(int direction);
    void StepDropDown(int direction);
    void TypeAhead(QChar letter);
    void OnEditTextEdited(const QString& text);
    void CompleteEdit(const QString& typed);
    bool IsSelectable(int index) const;
    QRect ArrowRect() const;
    void SetLook(int look);

    Style m_style;
    QStringList m_items;
    std::vector<bool> m_selectable;
    int m_current = -1;
    int m_topIndex = 0;
    int m_droppedWidth = 0;
    int m_visibleRows = 0;
    int m_look = kNormal;
    bool m_autoComplete = false;
    bool m_suggestions = false;
    bool m_suppressComplete = false;
    bool m_closing = false;
    QLineEdit* m_edit = nullptr;
    CComboDropDown* m_drop = nullptr;
    std::vector<int> m_dropItems;
};

} // namespace mosaiq
