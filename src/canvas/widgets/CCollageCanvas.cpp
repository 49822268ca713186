#include "canvas/widgets/CCollageCanvas.h"

#include "ui/widgets/CVexScrollBar.h"

#include "canvas/document/ObjectGeometry.h"
#include "canvas/interaction/CanvasKeys.h"
#include "core/text/FixedText.h"
#include "ui/widgets/Skin.h"
#include "ui/widgets/SkinPainting.h"
#include "ui/widgets/access/AccessibleItems.h"

#include <QContextMenuEvent>
#include <QCursor>
#include <QImage>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

#include <QWheelEvent>
#include <QApplication>
#include <QPointer>
#include <QThread>
#include <QThreadPool>

#include <cmath>
#include <cstdlib>

namespace mosaiq {
namespace {

constexpr int kBarThickness = 16;  // laid out along the right and bottom edges
constexpr int kBarShortening = 17; // each bar leaves the corner to the other
constexpr int kScrollStep = 10;    // pixels per arrow click
constexpr int kWheelStep = 40;     // pixels per notch of the mouse wheel
constexpr int kPaintCursorId = 180;
constexpr int kRotateCursorId = 181;

QCursor ToCursor(CanvasCursor cursor) {
    switch (cursor) {
    case CanvasCursor::SizeNwSe:
        return Qt::SizeFDiagCursor;
    case CanvasCursor::SizeWE:
        return Qt::SizeHorCursor;
    case CanvasCursor::SizeNeSw:
        return Qt::SizeBDiagCursor;
    case CanvasCursor::SizeNS:
        return Qt::SizeVerCursor;
    case CanvasCursor::Rotate:
        return SkinCursor(kRotateCursorId);
    case CanvasCursor::Move:
        return Qt::SizeAllCursor;
    case CanvasCursor::Paint:
        return SkinCursor(kPaintCursorId);
    case CanvasCursor::SplitSideways:
        return Qt::SplitHCursor;
    case CanvasCursor::SplitUpDown:
        return Qt::SplitVCursor;
    case CanvasCursor::Pan:
        return Qt::OpenHandCursor;
    case CanvasCursor::Arrow:
        break;
    }
    return Qt::ArrowCursor;
}

} // namespace

CCollageCanvas::CCollageCanvas(QWidget* parent)
    : QWidget(parent), m_interaction(m_doc), m_vbar(new CVScrollBar(this)),
      m_hbar(new CHScrollBar(this)) {
    m_rebuildPool.setMaxThreadCount(1);
    // Scrolled to the start, the margin before the canvas is in view.
    m_doc.view.scrollX = m_doc.view.scrollY = -kViewMargin;
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    for (CVexScrollBar* bar : {m_vbar, m_hbar}) {
        bar->SetStep(kScrollStep);
        bar->setCursor(Qt::ArrowCursor);
        bar->hide();
    }
    // The bars report codes; the canvas applies them with its own steps and ranges.
    connect(m_vbar, &CVexScrollBar::scrolled, this,
            [this](int code, int position) { Scroll(Qt::Vertical, code, position); });
    connect(m_hbar, &CVexScrollBar::scrolled, this,
            [this](int code, int position) { Scroll(Qt::Horizontal, code, position); });

    connect(&m_doc, &CollageDocument::changed, this, &CCollageCanvas::Redraw);
    connect(&m_doc, &CollageDocument::historyChanged, this, [this] {
        // An object placed by any path may have ended painting.
        if (!PaintMode() && m_cursor == CanvasCursor::Paint)
            ShowCursor(CanvasCursor::Arrow);
        Q_EMIT historyChanged();
    });
    connect(&m_doc, &CollageDocument::textEntryRequested, this,
            &CCollageCanvas::textEntryRequested);
    connect(&m_doc, &CollageDocument::focusRequested, this,
            [this] { setFocus(Qt::OtherFocusReason); });
    connect(&m_doc, &CollageDocument::canvasSizeChanged, this,
            &CCollageCanvas::OnCanvasSizeChanged);
}

CCollageCanvas::~CCollageCanvas() {
    if (m_rebuildCancel)
        m_rebuildCancel->store(true);
    m_rebuildPool.waitForDone();
}

QSize CCollageCanvas::SurfaceSize() const {
    return mosaiq::SurfaceSize({m_doc.width, m_doc.height}, m_doc.view.zoom, size());
}

QRect CCollageCanvas::CanvasRect() const {
    return {0, 0, int(float(m_doc.width) * m_doc.view.zoom),
            int(float(m_doc.height) * m_doc.view.zoom)};
}

void CCollageCanvas::Redraw() {
    m_regionsStale = true;
    update();
}

void CCollageCanvas::SetZoom(float zoom) {
    if (!std::isfinite(zoom) || zoom <= 0.0f)
        return;
    for (CVexScrollBar* bar : {m_vbar, m_hbar})
        bar->SetPosition(0);
    m_doc.view.scrollX = m_doc.view.scrollY = -kViewMargin;
    m_doc.view.zoom = zoom;
    // Photos keep their pictures, shown scaled until the new ones are built in the background;
    // everything else is quick to remake.
    for (CanvasObject& object : m_doc.objects)
        if (!object.Photo())
            object.DropCaches();
    StartBackgroundRebuild();
    UpdateScrollBars();
    Redraw();
}

void CCollageCanvas::StartBackgroundRebuild() {
    if (m_rebuildCancel)
        m_rebuildCancel->store(true); // a rebuild for the zoom before is of no use now
    const int generation = ++m_rebuildGeneration;
    auto builds = std::make_shared<std::vector<PhotoBuild>>(
        StalePhotoBuilds(m_doc, &m_recentPictures, QRect(QPoint(0, 0), SurfaceSize())));
    m_rescaling = !builds->empty();
    if (!m_rescaling)
        return;
    auto cancel = std::make_shared<std::atomic<bool>>(false);
    m_rebuildCancel = cancel;
    QPointer<CCollageCanvas> self(this);
    m_rebuildPool.start([builds, cancel, self, generation] {
        RunPhotoBuilds(*builds, QThread::idealThreadCount(), cancel.get());
        // Back on the UI thread, where the canvas may be checked and its caches touched.
        QMetaObject::invokeMethod(qApp, [builds, cancel, self, generation] {
            if (!self || cancel->load() || generation != self->m_rebuildGeneration)
                return;
            ApplyPhotoBuilds(*builds, &self->m_recentPictures);
            self->m_rescaling = false;
            self->Redraw();
        });
    });
}

void CCollageCanvas::PrebuildPictures(const QRect& exposed) {
    std::vector<PhotoBuild> builds = StalePhotoBuilds(m_doc, &m_recentPictures, exposed);
    if (builds.empty())
        return;
    RunPhotoBuilds(builds, QThread::idealThreadCount());
    ApplyPhotoBuilds(builds, &m_recentPictures);
}

void CCollageCanvas::UpdateScrollBars() {
    const int ranges[2] = {ViewScrollRange(m_doc.height, m_doc.view.zoom, height()),
                           ViewScrollRange(m_doc.width, m_doc.view.zoom, width())};
    CVexScrollBar* bars[2] = {m_vbar, m_hbar};
    int* offsets[2] = {&m_doc.view.scrollY, &m_doc.view.scrollX};
    for (int i = 0; i < 2; ++i) {
        if (ranges[i] < 1 || PreviewMode()) {
            bars[i]->hide();
            bars[i]->SetRange(0); // and position 0
            *offsets[i] = -kViewMargin;
            continue;
        }
        bars[i]->SetRange(ranges[i]); // clamps the position to the new range
        bars[i]->show();
        *offsets[i] = bars[i]->Position() - kViewMargin;
    }
    LayoutScrollBars();
}

void CCollageCanvas::LayoutScrollBars() {
    const int w = width();
    const int h = height();
    const int vLength = h - (m_hbar->isVisibleTo(this) ? kBarShortening : 0);
    const int hLength = w - (m_vbar->isVisibleTo(this) ? kBarShortening : 0);
    m_vbar->setGeometry(w - kBarThickness, 0, kBarThickness, std::max(0, vLength));
    m_hbar->setGeometry(0, h - kBarThickness, std::max(0, hLength), kBarThickness);
}

void CCollageCanvas::OnBarMoved(Qt::Orientation orientation, int value) {
    // Bar positions start at 0; the offsets start at the margin before the canvas.
    (orientation == Qt::Vertical ? m_doc.view.scrollY : m_doc.view.scrollX) = value - kViewMargin;
    Redraw();
}

void CCollageCanvas::Scroll(Qt::Orientation orientation, int code, int position) {
    CVexScrollBar* bar = orientation == Qt::Vertical ? m_vbar : m_hbar;
    const int range = bar->isVisibleTo(this) ? bar->Range() : 0;
    const int current =
        (orientation == Qt::Vertical ? m_doc.view.scrollY : m_doc.view.scrollX) + kViewMargin;
    const int next = ApplyScrollCode(code, position, current, range);
    bar->SetPosition(next);
    OnBarMoved(orientation, next);
}

void CCollageCanvas::OnCanvasSizeChanged() {
    UpdateScrollBars();
    Redraw();
}

void CCollageCanvas::SetPreviewMode(bool on) {
    m_interaction.SetPreviewMode(on);
    UpdateScrollBars();
    ShowCursor(CanvasCursor::Arrow);
    Redraw();
}

void CCollageCanvas::SetPaintMode(bool on) {
    m_interaction.SetPaintMode(on);
    ShowCursor(on ? CanvasCursor::Paint : CanvasCursor::Arrow);
}

void CCollageCanvas::SetPendingItem(int type, int index) {
    m_interaction.SetPendingItem(type, index);
}

void CCollageCanvas::DropLibraryItem() {
    DropLibraryItemAt(mapFromGlobal(QCursor::pos()));
}

void CCollageCanvas::DropLibraryItemAt(QPoint client) {
    // The photo under the point is found in the regions of what is shown now.
    EnsureRegions();
    Apply(m_interaction.DropPendingItem(client));
    if (!PaintMode())
        ShowCursor(CanvasCursor::Arrow);
}

void CCollageCanvas::DeleteSelection() {
    Apply(m_interaction.KeyDelete());
}

void CCollageCanvas::MoveUp() {
    m_doc.MoveUp();
}
void CCollageCanvas::MoveDown() {
    m_doc.MoveDown();
}
void CCollageCanvas::MoveToTop() {
    m_doc.MoveToTop();
}
void CCollageCanvas::MoveToBottom() {
    m_doc.MoveToBottom();
}
void CCollageCanvas::Undo() {
    m_doc.Undo();
}
void CCollageCanvas::Redo() {
    m_doc.Redo();
}

RenderOptions CCollageCanvas::Options(const QRect& exposed) const {
    RenderOptions options;
    options.previewMode = PreviewMode();
    options.surfaceSize = SurfaceSize();
    options.exposed = exposed;
    options.viewSurround = true;
    // While a drag is on, the pictures already made are drawn stretched; the release rebuilds
    // them at full quality.
    options.fastTransformedCaches = m_rescaling || m_interaction.Moving() ||
                                    m_interaction.HandleDragging() ||
                                    m_interaction.Layout().GapDragging();
    return options;
}

void CCollageCanvas::paintEvent(QPaintEvent* event) {
    const QPoint scroll = ScrollOffset();
    if (!m_rescaling && !m_interaction.Moving() && !m_interaction.HandleDragging() &&
        !m_interaction.Layout().GapDragging())
        PrebuildPictures(event->rect().translated(scroll));
    QPainter painter(this);
    painter.translate(-scroll);
    m_compositor.Render(m_doc, painter, Options(event->rect().translated(scroll)));
    PaintOverlay(painter);
    // The corner between the two bars belongs to neither: paint it as the bars' background.
    if (m_vbar->isVisibleTo(this) && m_hbar->isVisibleTo(this)) {
        painter.resetTransform();
        painter.fillRect(QRect(width() - kBarShortening, height() - kBarShortening, kBarShortening,
                               kBarShortening),
                         QColor(240, 240, 240));
    }
    if (hasFocus() && !PreviewMode()) {
        painter.resetTransform();
        DrawFocusMark(painter, rect());
    }
    // Handles are kept only for what a pass covered: a partial repaint leaves them to the next
    // full pass.
    m_regionsStale = !event->rect().contains(rect());
}

void CCollageCanvas::wheelEvent(QWheelEvent* event) {
    const QPoint delta = event->angleDelta();
    const int turn = delta.y() != 0 ? delta.y() : delta.x();
    event->accept();
    if (turn == 0 || PreviewMode())
        return;
    // In cell mode the wheel zooms the cell's picture about the pointer.
    if (!(event->modifiers() & Qt::ControlModifier))
        if (const auto outcome = m_interaction.LayoutWheel(event->position().toPoint(),
                                                           double(turn) / 120.0)) {
            Apply(*outcome);
            return;
        }
    // Small deltas (touchpads, fine wheels) add up: a zoom step per notch, the scroll pixels
    // in proportion.
    if (event->modifiers() & Qt::ControlModifier) {
        const int steps = m_zoomWheel.Take(turn);
        for (int i = 0; i < std::abs(steps); ++i)
            Q_EMIT zoomStepRequested(steps > 0 ? 1 : -1);
        return;
    }
    const int pixels = m_scrollWheel.Take(turn, kWheelStep);
    if (pixels == 0)
        return;
    // Shift turns the wheel sideways (some systems already report it as horizontal).
    const bool sideways = (event->modifiers() & Qt::ShiftModifier) || delta.y() == 0;
    const Qt::Orientation orientation = sideways ? Qt::Horizontal : Qt::Vertical;
    const QPoint offset = ScrollOffset() + QPoint(kViewMargin, kViewMargin); // bar positions
    const int current = sideways ? offset.x() : offset.y();
    Scroll(orientation, 5, std::max(0, current - pixels));
}

void CCollageCanvas::EnsureRegions() {
    if (!m_regionsStale)
        return;
    if (isVisible())
        repaint();
    if (!m_regionsStale)
        return;
    // Not on screen: a pass into a scratch picture maps the regions and the handles.
    QImage scratch(size().expandedTo({1, 1}), QImage::Format_ARGB32_Premultiplied);
    QPainter painter(&scratch);
    const QPoint scroll = ScrollOffset();
    painter.translate(-scroll);
    m_compositor.Render(m_doc, painter, Options(QRect(scroll, scratch.size())));
    m_regionsStale = false;
}

HandleFrames CCollageCanvas::CurrentHandles() const {
    return m_compositor.AllHandles();
}

void CCollageCanvas::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    UpdateScrollBars();
    Redraw();
}

void CCollageCanvas::mousePressEvent(QMouseEvent* event) {
    setFocus(Qt::MouseFocusReason);
    m_walkFromEnd = false;
    m_swallowContextMenu = false;
    if (PreviewMode()) {
        // The click that ends a preview does nothing else: a right one opens no menu, whether
        // the menu comes with the press or with the release.
        m_swallowContextMenu = event->button() == Qt::RightButton;
        Q_EMIT previewEndRequested();
        return;
    }
    if (event->button() != Qt::LeftButton)
        return;
    EnsureRegions();
    Apply(m_interaction.Press(event->position().toPoint(), CurrentHandles(), event->modifiers()));
}

void CCollageCanvas::mouseMoveEvent(QMouseEvent* event) {
    const bool dragging = m_interaction.Moving() || m_interaction.HandleDragging();
    // Mid-drag (and while a band is drawn) the handles and regions of the pass before are good
    // enough for the cursor.
    if (!dragging && !m_interaction.Band())
        EnsureRegions();
    const QRect before = dragging ? SelectionArea() : QRect();
    const QRegion overlayBefore = OverlayArea();
    CanvasInteraction::Outcome outcome =
        m_interaction.Move(event->position().toPoint(), CurrentHandles(), event->modifiers());
    // A drag step repaints only where the dragged objects were and are now, and where the
    // guides or the band were and are.
    const QRect after = dragging && outcome.redraw ? SelectionArea() : QRect();
    const QRegion overlay = overlayBefore + OverlayArea();
    if (before.isValid() && after.isValid()) {
        outcome.redraw = false;
        m_regionsStale = true;
        update(QRegion(before | after) + overlay);
    } else if (m_interaction.Band() && outcome.redraw) {
        outcome.redraw = false;
        update(overlay);
    }
    Apply(outcome);
}

QRegion CCollageCanvas::OverlayArea() const {
    // Each guide and the band's outline on their own: a guide crossing the canvas would make
    // one bounding rectangle of everything.
    QRegion area;
    const float zoom = m_doc.view.zoom;
    const QPoint scroll = ScrollOffset();
    for (const QLineF& line : m_interaction.Guides())
        area += QRectF(line.p1() * zoom, line.p2() * zoom)
                    .normalized()
                    .toAlignedRect()
                    .adjusted(-2, -2, 2, 2)
                    .translated(-scroll);
    if (const std::optional<QRect> band = m_interaction.Band())
        area += band->adjusted(-2, -2, 2, 2).translated(-scroll);
    return area;
}

void CCollageCanvas::PaintOverlay(QPainter& painter) const {
    const float zoom = m_doc.view.zoom;
    if (!m_interaction.Guides().empty()) {
        painter.setPen(QPen(QColor(0xe0, 0x30, 0x90), 1));
        for (const QLineF& line : m_interaction.Guides())
            painter.drawLine(QLineF(line.p1() * zoom, line.p2() * zoom));
    }
    if (const std::optional<QRect> band = m_interaction.Band()) {
        painter.setPen(QPen(QColor(0x3d, 0x7f, 0xd0), 1, Qt::DashLine));
        painter.setBrush(QColor(0x3d, 0x7f, 0xd0, 40));
        painter.drawRect(*band);
    }
}

QRect CCollageCanvas::SelectionArea() const {
    // How far handles (two steps of 8 pixels) and smoothed edges reach beyond an object's box.
    constexpr int kMargin = 26;
    const float zoom = m_doc.view.zoom;
    QRectF area;
    for (const CanvasObject& object : m_doc.objects) {
        if (!object.Selected())
            continue;
        // Text draws glows and shadows outside its box: left to a whole redraw.
        if (object.Text())
            return {};
        const QSize unscaled = object.UnscaledSize();
        const QSize shown =
            DisplayedSize(unscaled.width(), unscaled.height(), object.Scale(), zoom);
        const QPoint p = object.Position();
        const QTransform transform = ObjectTransform(shown, object.Angle(), p.x(), p.y(), zoom);
        area |= transform.mapRect(QRectF(QPointF(0, 0), QSizeF(shown)));
    }
    if (area.isNull())
        return {};
    return area.toAlignedRect()
        .adjusted(-kMargin, -kMargin, kMargin, kMargin)
        .translated(-ScrollOffset());
}

void CCollageCanvas::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return;
    Apply(m_interaction.Release());
}

void CCollageCanvas::mouseDoubleClickEvent(QMouseEvent* event) {
    event->accept();
    if (event->button() != Qt::LeftButton || PreviewMode())
        return;
    EnsureRegions();
    // A photo of the layout enters cell mode; elsewhere the owner hears of it.
    const CanvasInteraction::Outcome outcome =
        m_interaction.DoubleClick(event->position().toPoint());
    if (outcome.redraw) {
        Apply(outcome);
        return;
    }
    Q_EMIT objectDoubleClicked();
}

bool CCollageCanvas::event(QEvent* event) {
    // Tab and Shift+Tab walk the objects before they move the focus (see RunKey).
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if ((key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) &&
            RunKey(key->key(), key->modifiers())) {
            event->accept();
            return true;
        }
    }
    return QWidget::event(event);
}

void CCollageCanvas::keyPressEvent(QKeyEvent* event) {
    // Cell mode takes its keys first.
    if (const auto outcome = m_interaction.LayoutKey(event->key())) {
        Apply(*outcome);
        return;
    }
    if (!RunKey(event->key(), event->modifiers()))
        QWidget::keyPressEvent(event);
}

bool CCollageCanvas::RunKey(int key, Qt::KeyboardModifiers modifiers) {
    const std::optional<CanvasKeyBinding> row = FindCanvasKey(key, modifiers);
    if (!row)
        return false;
    const bool editing = !PreviewMode();
    switch (row->action) {
    case CanvasKeyAction::Delete:
        Q_EMIT keyCommandPressed();
        Apply(m_interaction.KeyDelete());
        return true;
    case CanvasKeyAction::Escape:
        Apply(m_interaction.KeyEscape());
        return true;
    case CanvasKeyAction::Nudge:
        if (editing)
            Q_EMIT nudgeRequested(row->dx, row->dy);
        return true;
    case CanvasKeyAction::Scale:
        if (editing)
            Q_EMIT scaleRequested(row->dx);
        return true;
    case CanvasKeyAction::Turn:
        if (editing)
            Q_EMIT turnRequested(row->dx);
        return true;
    case CanvasKeyAction::SelectNext:
    case CanvasKeyAction::SelectPrevious: {
        const bool next = row->action == CanvasKeyAction::SelectNext;
        // Past the last object (or the first, backwards) the focus moves on: no keyboard trap.
        if (!editing || !SelectAdjacent(next ? 1 : -1))
            QWidget::focusNextPrevChild(next);
        return true;
    }
    case CanvasKeyAction::ContextMenu: {
        if (!editing)
            return true;
        EnsureRegions();
        QRect area;
        for (size_t i = 0; i < m_doc.objects.size(); ++i)
            if (m_doc.objects[i].Selected())
                area |= ObjectClientRect(int(i));
        const QPoint at = area.intersected(rect()).isEmpty() ? rect().center()
                                                             : area.intersected(rect()).center();
        Q_EMIT contextMenuRequested(mapToGlobal(at));
        return true;
    }
    case CanvasKeyAction::LeaveCanvas:
        QWidget::focusNextPrevChild(true);
        return true;
    }
    return false;
}

bool CCollageCanvas::SelectAdjacent(int direction) {
    if (m_walkFromEnd) {
        // Entered by Tab: the walk begins at the first object (Shift+Tab: the last), whatever
        // was selected before, so every object is reached before Tab leaves again.
        m_walkFromEnd = false;
        return SelectObject(direction > 0 ? 0 : int(m_doc.objects.size()) - 1);
    }
    return SelectObject(AdjacentObject(m_doc, direction));
}

bool CCollageCanvas::SelectObject(int index) {
    if (index < 0 || index >= int(m_doc.objects.size()))
        return false;
    // A pending nudge burst belongs to the object it moved: it is committed first.
    Q_EMIT keyCommandPressed();
    SelectOnlyObject(m_doc, index);
    Redraw();
    if (const TextRecord* text = m_doc.objects[size_t(index)].Text())
        Q_EMIT textEntryRequested(ReadFixedText(text->text));
    Q_EMIT selectionChanged();
    AnnounceSelection();
    return true;
}

QRect CCollageCanvas::ObjectClientRect(int index) const {
    if (index < 0 || index >= int(m_doc.objects.size()))
        return QRect();
    // Regions are kept in surface pixels (the zoomed canvas's); the window sees them through the
    // view's offsets, which start below zero where the view keeps its margin round the canvas.
    const QRect surface = m_doc.objects[size_t(index)].screenRegion.boundingRect().toAlignedRect();
    return surface.translated(m_doc.view.SurfaceToWindow(QPoint(0, 0)));
}

void CCollageCanvas::AnnounceSelection() {
    for (size_t i = 0; i < m_doc.objects.size(); ++i) {
        if (!m_doc.objects[i].Selected())
            continue;
        AnnounceItem(this, int(i), QAccessible::Selection);
        if (hasFocus())
            AnnounceItem(this, int(i), QAccessible::Focus);
        return;
    }
    // Nothing selected: the canvas itself is what has the focus.
    QAccessibleEvent event(this, QAccessible::SelectionRemove);
    Announce(event);
}

void CCollageCanvas::focusInEvent(QFocusEvent* event) {
    m_walkFromEnd = event->reason() == Qt::TabFocusReason || event->reason() == Qt::BacktabFocusReason;
    update();
    QWidget::focusInEvent(event);
}

void CCollageCanvas::focusOutEvent(QFocusEvent* event) {
    m_walkFromEnd = false;
    update();
    QWidget::focusOutEvent(event);
}

void CCollageCanvas::contextMenuEvent(QContextMenuEvent* event) {
    const bool swallow = m_swallowContextMenu && event->reason() == QContextMenuEvent::Mouse;
    m_swallowContextMenu = false;
    if (PreviewMode() || swallow)
        return;
    Q_EMIT contextMenuRequested(event->globalPos());
}

void CCollageCanvas::ShowCursor(CanvasCursor cursor) {
    // Moves arrive many times a second: the cursor is only made when it changes.
    if (cursor == m_cursor)
        return;
    m_cursor = cursor;
    setCursor(ToCursor(cursor));
}

void CCollageCanvas::Apply(const CanvasInteraction::Outcome& outcome) {
    if (outcome.cursor)
        ShowCursor(*outcome.cursor);
    if (outcome.redraw)
        Redraw();
    if (outcome.textEntry)
        Q_EMIT textEntryRequested(*outcome.textEntry);
    if (outcome.stateChanged) {
        Q_EMIT selectionChanged();
        AnnounceSelection();
    }
    if (outcome.leavePreview)
        Q_EMIT previewEndRequested();
}

} // namespace mosaiq
