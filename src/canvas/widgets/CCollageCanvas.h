#pragma once

// The canvas window: it owns the collage document and shows it through the compositor at the
// view's zoom and scroll offsets, turns mouse and key input into document changes (through
// CanvasInteraction) and tells its owner when the history changed, when it wants its context
// menu and when a preview should end.
//
// The surface the document is drawn on is logical: max(zoomed canvas, client) in both directions;
// it sets the scroll ranges, and only the part in the window is rasterised.

#include "canvas/interaction/CanvasInteraction.h"
#include "canvas/document/CollageDocument.h"
#include "canvas/render/Compositor.h"
#include "canvas/render/PhotoPrebuild.h"
#include "ui/WheelAccumulator.h"

#include <QRegion>
#include <QThreadPool>
#include <QWidget>

class QPainter;

namespace mosaiq {

class CVexScrollBar;

class CCollageCanvas : public QWidget {
    Q_OBJECT
public:
    explicit CCollageCanvas(QWidget* parent = nullptr);
    ~CCollageCanvas() override;

    CollageDocument& Document() { return m_doc; }
    const CollageDocument& Document() const { return m_doc; }
    CanvasInteraction& Interaction() { return m_interaction; }
    const Compositor& Drawing() const { return m_compositor; }

    // --- view
    float Zoom() const { return m_doc.view.zoom; }
    // Scroll offsets and bars to 0, every cached picture dropped, surface remade, redraw.
    void SetZoom(float zoom);
    // max(zoomed canvas, client), in surface pixels.
    QSize SurfaceSize() const;
    // The canvas on the surface: (0, 0, trunc(width x zoom), trunc(height x zoom)).
    QRect CanvasRect() const;
    QPoint ScrollOffset() const { return {m_doc.view.scrollX, m_doc.view.scrollY}; }
    // Applies a scroll-bar code (0 one pixel back, 1 one forward, 2 and 3 a page, 4 and 5 to
    // position, 6 start, 7 end) to the vertical or horizontal offset.
    void Scroll(Qt::Orientation orientation, int code, int position = 0);
    // Scroll bar ranges and visibility from the canvas, the zoom and the client size.
    void UpdateScrollBars();
    // Asks for a new drawing pass.
    void Redraw();
    // True while the pictures of a zoom step are rebuilt in the background (until then the
    // previous pictures are shown scaled).
    bool RebuildingPictures() const { return m_rescaling; }

    // --- modes
    bool PreviewMode() const { return m_interaction.PreviewMode(); }
    // Preview: no handles, editing input ignored, a click or Escape asks to leave.
    void SetPreviewMode(bool on);
    bool PaintMode() const { return m_interaction.PaintMode(); }
    void SetPaintMode(bool on);

    // --- shell operations
    // The library item a panel is dragging (0 frame, 1 mask, 2 clipart, 4 decoration).
    void SetPendingItem(int type, int index);
    // Drops the pending item at the cursor's position over the canvas.
    void DropLibraryItem();
    // Drops the pending item at a client point (a frame or mask onto the photo there).
    void DropLibraryItemAt(QPoint client);
    void DeleteSelection();
    // Selects the object after (1) or before (-1) the selection, as Tab does; false past the end.
    bool SelectAdjacent(int direction);
    // Makes object index the only selected one, as a click on it does; false when out of range.
    bool SelectObject(int index);
    // The object's rectangle in client pixels as last drawn (empty when not drawn).
    QRect ObjectClientRect(int index) const;
    void MoveUp();
    void MoveDown();
    void MoveToTop();
    void MoveToBottom();
    void Undo();
    void Redo();

    // Maps every object's hit region for the current view when the last pass is out of date
    // (a change since the window last painted), so input always tests what is shown.
    void EnsureRegions();

Q_SIGNALS:
    // The history changed (a snapshot, undo, redo): Undo and Redo controls follow.
    void historyChanged();
    // The mouse went down on the canvas: the selection may have changed.
    void selectionChanged();
    // The user asked for the canvas's context menu at globalPos.
    void contextMenuRequested(const QPoint& globalPos);
    // A click or Escape during a preview: the owner should leave it.
    void previewEndRequested();
    // A text object was picked or added: its text for the text entry box.
    void textEntryRequested(const QString& text);
    // Ctrl+wheel: one zoom step in (direction 1) or out (−1).
    void zoomStepRequested(int direction);
    // A key that acts on the document by itself (Delete) is about to act: the owner finishes
    // any edit it is gathering first, so the key's change follows it in the history.
    void keyCommandPressed();
    // An arrow key: move the selected objects by (dx, dy) canvas pixels.
    void nudgeRequested(int dx, int dy);
    // Ctrl+arrow: scale the selected objects by `steps` key steps (CanvasKeys.h).
    void scaleRequested(int steps);
    // Alt+arrow: turn the selected objects by `steps` key steps.
    void turnRequested(int steps);
    // A double click outside a preview (the press before it picked the object).
    void objectDoubleClicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    void Apply(const CanvasInteraction::Outcome& outcome);
    // Runs a key of the canvas's key table; false when the table has no row for it.
    bool RunKey(int key, Qt::KeyboardModifiers modifiers);
    // Tells assistive technology which objects are selected now.
    void AnnounceSelection();
    void ShowCursor(CanvasCursor cursor);
    HandleFrames CurrentHandles() const;
    // Client rectangle covering the selected objects with their handles; invalid when it cannot
    // be told (a text, or nothing selected).
    QRect SelectionArea() const;
    // Client area covering the smart guides and the selection band; empty when neither is
    // shown. PaintOverlay draws them over the collage (the painter in surface pixels).
    QRegion OverlayArea() const;
    void PaintOverlay(QPainter& painter) const;
    RenderOptions Options(const QRect& exposed) const;
    void LayoutScrollBars();
    void OnBarMoved(Qt::Orientation orientation, int value);
    void OnCanvasSizeChanged();
    // Builds the pictures the next pass needs on every core first, so the pass only draws.
    void PrebuildPictures(const QRect& exposed);
    // Starts rebuilding every photo's picture for the new zoom on worker threads.
    void StartBackgroundRebuild();

    CollageDocument m_doc;
    Compositor m_compositor;
    CanvasInteraction m_interaction;
    CVexScrollBar* m_vbar = nullptr;
    CVexScrollBar* m_hbar = nullptr;
    bool m_regionsStale = true;
    CanvasCursor m_cursor = CanvasCursor::Arrow;
    bool m_swallowContextMenu = false; // the right click that ended a preview
    // The focus came by Tab or Shift+Tab: the next walk starts at the first (last) object.
    bool m_walkFromEnd = false;
    WheelAccumulator m_zoomWheel;
    RecentPhotoPictures m_recentPictures;
    bool m_rescaling = false;    // a zoom step's pictures are being rebuilt in the background
    int m_rebuildGeneration = 0; // which background rebuild may place its pictures
    std::shared_ptr<std::atomic<bool>> m_rebuildCancel;
    // The canvas's own worker for zoom rebuilds: Qt's image scaling runs its parts on the global
    // pool, which a rebuild waiting there for its own helpers would leave without threads.
    QThreadPool m_rebuildPool;
    WheelAccumulator m_scrollWheel;
};

} // namespace mosaiq
