#pragma once

// The library panel: one library (a picture list file of the data directory) as a scrolling grid
// of thumbnails. A click selects an item and arms a drag; a double-click or the panel's button
// chooses it. The panel tells its owner through signals; it never changes the document itself.
//
// Kinds (button layout and behaviour): 0 frames ("Apply"), 1 masks ("Apply", "Import", "Reset",
// white background), 2 cliparts ("Add"), 4 decorations and brushes (no buttons, no drag cursor).

#include "ui/WheelAccumulator.h"
#include "library/items/LibraryGrid.h"
#include "library/items/LibraryItems.h"

#include <QImage>
#include <QString>
#include <QWidget>

#include <vector>

namespace mosaiq {

class CBitmapButton;
class CVScrollBar;

class CLibraryPanel : public QWidget {
    Q_OBJECT
public:
    enum Kind { kFrameKind = 0, kMaskKind = 1, kClipartKind = 2, kPresetKind = 4 };
    // Apply actions handed to itemChosen.
    enum Action { kAddClipart = 0, kAddPreset = 1, kApplyMask = 2, kApplyFrame = 3 };
    // Command ids of the panel's buttons.
    static constexpr int kApplyButton = 10014;
    static constexpr int kImportButton = 10016;
    static constexpr int kResetButton = 10017;

    CLibraryPanel(int panelId, int kind, QWidget* parent = nullptr);

    // Shows the picture list `fileName` of the data directory. Without keepSelection item 0 is
    // selected. False (with the items read before any damage shown, and one line saying the
    // library could not be read) when the file is missing, unreadable or damaged.
    bool Load(const QString& fileName, bool keepSelection);
    // Shows item type 0–6 (clipart, then the six decoration families). With keep set the scroll
    // offset and the selected index survive when the new list is long enough.
    bool LoadType(int type, bool keep);
    // Shows "brushs", keeping each brush's full picture (BrushPictures); nothing is selected.
    bool LoadBrushes();
    // Loads the shown file again, keeping the selection and offset where they still fit.
    bool Reload();

    void SetCellSize(int width, int height);
    void Select(int index);
    // Scrolls just enough to show the item.
    void ShowItem(int index);
    // Selects the item and chooses it, as a double-click on it does (Enter chooses the selection).
    void Choose(int index);
    // The item's name for assistive technology: its library and number ("Clipart 12").
    QString ItemName(int index) const;

    int PanelId() const { return m_panelId; }
    int Kind() const { return m_kind; }
    int Type() const { return m_type; }
    bool ShowsBrushes() const { return m_brushes; }
    QString FileName() const { return m_fileName; }
    bool LoadFailed() const { return m_failed; }
    int Count() const { return m_grid.Count(); }
    int SelectedIndex() const { return m_grid.Selected(); }
    // The item code of the selection: index + type × 1000 (−1 for none).
    int SelectedCode() const;
    int ApplyAction() const;
    bool DragArmed() const { return m_dragArmed; }
    void Disarm();
    const LibraryGrid& Grid() const { return m_grid; }
    const std::vector<QImage>& BrushPictures() const { return m_items.pictures; }
    CVScrollBar* ScrollBar() const { return m_bar; }
    CBitmapButton* Button(int commandId) const;
    // The line shown when the library could not be read.
    static QString UnreadableText();

Q_SIGNALS:
    // A click left an item selected: the panel's kind and the item code.
    void selectionMade(int kind, int code);
    // A double-click on an item, or the Apply/Add button with an item selected.
    void itemChosen(int action, int index);
    // While a drag is armed and the left button is held: the mouse in global coordinates.
    void dragMoved(const QPoint& globalPos);
    // The left button went up after the mouse moved with a drag armed.
    void dragReleased(const QPoint& globalPos);
    void importRequested();
    void resetRequested();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    bool LoadFile(const QString& fileName, bool keepPictures);
    void DarkenBrushThumbnails();
    void CreateButtons();
    void OnButton(int commandId);
    void UpdateScrollBar();
    QSize ThumbnailBox() const;

    int m_panelId;
    int m_kind;
    int m_type = 0;
    bool m_brushes = false;
    QString m_fileName;
    bool m_failed = false;
    LibraryGrid m_grid;
    LibraryItems m_items;
    bool m_dragArmed = false;
    bool m_dragMoved = false;
    WheelAccumulator m_wheel;
    QPoint m_pressPos;
    CVScrollBar* m_bar = nullptr;
    std::vector<CBitmapButton*> m_buttons;
};

} // namespace mosaiq
