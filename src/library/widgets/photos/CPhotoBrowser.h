#pragma once

// The photo library browser: the photo list as a scrolling grid of thumbnails with their file
// names. It shows the list's records that are not hidden; the user selects with a click, Ctrl,
// Shift, a band or the arrow keys, drags the selected photos onto a drop target (the canvas),
// double-clicks or presses "Add to Canvas" to add the anchor photo, and asks for the context
// menu. The browser owns no photo data: it reads the list it is given and hides records when asked.

#include "library/photos/PhotoGrid.h"
#include "library/photos/PhotoSelection.h"

#include <QDateTime>
#include <QPixmap>
#include <QPointer>
#include <QWidget>

#include <vector>

class QFontMetrics;

namespace mosaiq {

class CBitmapButton;
class CVScrollBar;
class PhotoList;

// text cut to width with an ellipsis, the room kept for its end (where names of one camera
// differ) after its first letter; text that fits is returned whole.
QString ElideKeepingTheEnd(const QString& text, const QFontMetrics& metrics, int width);

class CPhotoBrowser : public QWidget {
    Q_OBJECT
public:
    // The id of the browser's own "Add to Canvas" button.
    static constexpr int kAddButtonId = 10480;

    explicit CPhotoBrowser(QWidget* parent = nullptr);

    // Shows list (not owned; it must outlive the browser or be replaced).
    void SetList(PhotoList* list);
    // The list grew or records were hidden: rebuilds the visible list and repaints.
    void ListChanged();
    // The caption under the item at grid position, as drawn (the name elided in the middle),
    // and the tooltip at a point (the whole name, size and path).
    QString CaptionAt(int position) const;
    QString ToolTipAt(QPoint p);
    // Hides every selected photo (they are left out when the list is saved). Returns how many.
    int HideSelected();
    // Where photos may be dropped; a release over it reports photosDropped.
    void SetDropTarget(QWidget* target);

    const PhotoSelection& Selection() const { return m_selection; }
    const PhotoGrid& Grid() const { return m_grid; }
    int Anchor() const { return m_selection.Anchor(); }
    CVScrollBar* ScrollBar() const { return m_bar; }
    CBitmapButton* AddButton() const { return m_addButton; }
    bool IsDragging() const { return m_dragging; }
    // The client rectangle of the thumbnail of visible position i (empty when not shown).
    QRect ThumbnailRect(int position) const;
    // Decoded thumbnails drawn so far (each is decoded once and kept).
    int CachedTiles() const;
    // The file name and extension shown under the photo at visible position i; empty when none.
    QString FileNameAt(int position) const;
    // Makes the photo at visible position i the only selected one and the anchor, shown, as a
    // click on it does.
    void SelectPosition(int position);

Q_SIGNALS:
    // The selection changed (any way).
    void selectionChanged();
    // The selection changed by a click or a key.
    void selectionChangedByUser();
    // "Add to Canvas" was pressed or a photo double-clicked.
    void addRequested();
    // The context menu was asked for at a global position.
    void contextMenuRequested(const QPoint& globalPos);
    // Photos dragged from the browser were released over the drop target, at targetPos in its
    // client coordinates.
    void photosDropped(const QPoint& targetPos);

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    struct Tile {
        QPixmap pixmap; // backdrop and thumbnail, (thumbnail + 3) square pixels
        bool made = false;
        bool missing = false;
        qint64 checkedAt = -1; // when the file was last looked up (ms since epoch)
    };
    void UpdateGeometry();
    void SetOffset(int offset);
    void OnScroll(int code, int position);
    // Hit test and selection of a press at p; true on a hit.
    bool PressAt(QPoint p, Qt::KeyboardModifiers modifiers);
    void DrawItem(QPainter& p, int position);
    const QPixmap& TileFor(int record, QSize size);
    bool IsMissing(int record);
    bool OverDropTarget(QPoint globalPos) const;
    void Notify(bool changed, bool byUser);
    QString CaptionText(int record, const QFontMetrics& metrics, int width) const;

    PhotoList* m_list = nullptr;
    PhotoGrid m_grid;
    PhotoSelection m_selection;
    std::vector<Tile> m_tiles; // per record
    CVScrollBar* m_bar = nullptr;
    CBitmapButton* m_addButton = nullptr;
    QPointer<QWidget> m_dropTarget;
    QPoint m_pressPoint;
    bool m_pressed = false;
    bool m_dragging = false;
    bool m_banding = false;
    QPoint m_bandStart;
    QRect m_band;
};

} // namespace mosaiq
