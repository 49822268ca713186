#include "library/widgets/photos/CPhotoBrowser.h"

#include "core/text/FixedText.h"
#include "library/photos/PhotoList.h"
#include "library/photos/PhotoThumbnail.h"
#include "ui/widgets/CBitmapButton.h"
#include "ui/widgets/CVexScrollBar.h"
#include "ui/widgets/Skin.h"
#include "ui/widgets/SkinPainting.h"
#include "ui/widgets/access/AccessibleItems.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QFileInfo>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>
#include <QWheelEvent>

#include <cmath>

namespace mosaiq {
namespace {

constexpr QColor kBackground{240, 240, 240};
constexpr QColor kSelectionFrame{100, 100, 100};
constexpr QColor kBand{100, 100, 100, 120};
// How long a file's existence is trusted before it is looked up again.
constexpr qint64 kMissingCheckMs = 3000;

} // namespace

CPhotoBrowser::CPhotoBrowser(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    // Reached by Tab too; the arrows move the anchor and Enter adds it, as a double click does.
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(false);
    m_bar = new CVScrollBar(this);
    m_bar->SetStep(PhotoGrid::kCellHeight);
    m_bar->hide();
    connect(m_bar, &CVexScrollBar::scrolled, this, &CPhotoBrowser::OnScroll);
    m_addButton = new CBitmapButton(kAddButtonId, this);
    m_addButton->SetBitmaps(255, 254, 256, 255);
    m_addButton->SetCaption(tr("Add to Canvas"));
    m_addButton->SetThreePart(true);
    m_addButton->SetTextColour(QColor(30, 30, 30));
    m_addButton->setCursor(SkinCursor(179));
    connect(m_addButton, &CBitmapButton::commandIssued, this, [this] { Q_EMIT addRequested(); });
}

void CPhotoBrowser::SetList(PhotoList* list) {
    m_list = list;
    m_tiles.clear();
    m_selection = PhotoSelection();
    ListChanged();
}

void CPhotoBrowser::ListChanged() {
    static const std::vector<PictureFileEntry> kNone;
    const auto& records = m_list ? m_list->Records() : kNone;
    // Records are only ever appended or hidden; a shorter list is a new list.
    if (records.size() < m_tiles.size())
        m_tiles.clear();
    m_tiles.resize(records.size());
    // A record's file may have been found again: look at every file anew.
    for (Tile& tile : m_tiles)
        tile.checkedAt = -1;
    m_selection.SetRecords(records);
    UpdateGeometry();
    update();
}

int CPhotoBrowser::HideSelected() {
    if (!m_list)
        return 0;
    const std::vector<int> selected = m_selection.SelectedRecords();
    for (int record : selected)
        m_list->Hide(record);
    if (!selected.empty()) {
        ListChanged();
        Notify(true, false);
    }
    return int(selected.size());
}

void CPhotoBrowser::SetDropTarget(QWidget* target) {
    m_dropTarget = target;
}

QRect CPhotoBrowser::ThumbnailRect(int position) const {
    const int record = m_selection.RecordAt(position);
    if (record < 0 || !m_list)
        return QRect();
    const PictureFileEntry& e = m_list->Records()[size_t(record)];
    return m_grid.Thumbnail(position, int(e.width), int(e.height));
}

int CPhotoBrowser::CachedTiles() const {
    int n = 0;
    for (const Tile& t : m_tiles)
        n += t.made ? 1 : 0;
    return n;
}

// --- geometry and scrolling

void CPhotoBrowser::UpdateGeometry() {
    m_grid.SetClient(size(), m_selection.VisibleCount());
    const int w = width();
    const int h = height();
    m_bar->setGeometry(w - kScrollBarThickness, 0, kScrollBarThickness,
                       std::max(0, h - (PhotoGrid::kButtonBand - 1)));
    m_addButton->setGeometry(0, h - PhotoGrid::kButtonBand, w, PhotoGrid::kButtonBand);
    m_bar->SetRange(m_grid.MaxOffset());
    m_bar->SetPosition(m_grid.Offset());
    m_bar->setVisible(m_grid.NeedsScrollBar());
}

void CPhotoBrowser::SetOffset(int offset) {
    if (m_grid.SetOffset(offset)) {
        m_bar->SetPosition(m_grid.Offset());
        update();
    }
}

void CPhotoBrowser::OnScroll(int code, int position) {
    const int h = PhotoGrid::kCellHeight;
    switch (ScrollCode(code)) {
    case ScrollCode::LineUp:
    case ScrollCode::PageUp:
        SetOffset(m_grid.Offset() - h);
        break;
    case ScrollCode::LineDown:
    case ScrollCode::PageDown:
        SetOffset(m_grid.Offset() + h);
        break;
    case ScrollCode::Track:
    case ScrollCode::ThumbDrag:
        SetOffset(position);
        break;
    case ScrollCode::Top:
        SetOffset(0);
        break;
    case ScrollCode::Bottom:
        SetOffset(m_grid.MaxOffset());
        break;
    }
}

void CPhotoBrowser::resizeEvent(QResizeEvent*) {
    UpdateGeometry();
}

// --- painting

void CPhotoBrowser::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), kBackground);
    p.setFont(QApplication::font());
    if (m_list) {
        const int end = m_grid.EndShown();
        for (int i = m_grid.FirstShown(); i < end; ++i)
            DrawItem(p, i);
    }
    if (m_banding)
        p.fillRect(m_band, kBand);
    if (hasFocus() && m_selection.PositionOf(m_selection.Anchor()) < 0)
        DrawFocusMark(p, rect().adjusted(0, 0, -(m_bar->isVisible() ? m_bar->width() : 0),
                                         -PhotoGrid::kButtonBand));
}

void CPhotoBrowser::focusInEvent(QFocusEvent* event) {
    update();
    QWidget::focusInEvent(event);
}

void CPhotoBrowser::focusOutEvent(QFocusEvent* event) {
    update();
    QWidget::focusOutEvent(event);
}

QString CPhotoBrowser::FileNameAt(int position) const {
    const int record = m_selection.RecordAt(position);
    if (record < 0 || !m_list || record >= int(m_list->Records().size()))
        return QString();
    const PictureFileEntry& e = m_list->Records()[size_t(record)];
    return ReadFixedText(e.name) + ReadFixedText(e.extension);
}

void CPhotoBrowser::SelectPosition(int position) {
    if (position < 0 || position >= m_selection.VisibleCount())
        return;
    const bool changed = m_selection.Click(position, false, false);
    SetOffset(m_grid.OffsetToShow(position));
    update();
    Notify(changed, true);
    AnnounceItem(this, position, QAccessible::Selection);
}

void CPhotoBrowser::DrawItem(QPainter& p, int position) {
    const int record = m_selection.RecordAt(position);
    // A record from before pictures were turned is brought upright the first time it is shown.
    if (m_list->RemeasureOldRecord(record))
        m_tiles[size_t(record)].made = false;
    const PictureFileEntry& e = m_list->Records()[size_t(record)];
    const QRect t = m_grid.Thumbnail(position, int(e.width), int(e.height));
    if (!t.isEmpty())
        p.drawPixmap(t.left() - 1, t.top() - 1, TileFor(record, t.size()));

    // The caption: file name and extension, elided in the middle (names often share their
    // start and differ at the end); the tooltip holds the whole name.
    const QRect caption = m_grid.Caption(position);
    p.setPen(Qt::black);
    p.drawText(caption, Qt::AlignHCenter | Qt::AlignTop | Qt::TextSingleLine,
               CaptionText(record, p.fontMetrics(), caption.width()));

    if (IsMissing(record)) {
        const QPixmap icon = SkinIconPixmap(190, devicePixelRatioF());
        const QSize s(32, 32);
        p.drawPixmap(QRect(t.center() - QPoint(s.width() / 2 - 1, s.height() / 2 - 1), s), icon);
    }
    if (m_selection.IsSelected(record)) {
        QRect r = t;
        p.setBrush(Qt::NoBrush);
        for (const QColor& c : {kSelectionFrame, kSelectionFrame, QColor(Qt::white)}) {
            p.setPen(c);
            p.drawRect(r.adjusted(0, 0, -1, -1));
            r.adjust(1, 1, -1, -1);
        }
    }
    if (hasFocus() && record == m_selection.Anchor())
        DrawFocusMark(p, m_grid.Cell(position));
}

const QPixmap& CPhotoBrowser::TileFor(int record, QSize size) {
    Tile& tile = m_tiles[size_t(record)];
    const QSize outer = size + QSize(3, 3);
    const qreal dpr = devicePixelRatioF();
    if (tile.made && tile.pixmap.deviceIndependentSize().toSize() == outer)
        return tile.pixmap;
    // The backdrop stretched under the thumbnail, decoded once and kept for every later paint.
    QPixmap pixmap(outer * dpr);
    pixmap.setDevicePixelRatio(dpr);
    pixmap.fill(kBackground);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.drawPixmap(QRect(QPoint(0, 0), outer), SkinBitmap(189, dpr));
    const auto& thumbs = m_list->Thumbnails();
    if (size_t(record) < thumbs.size() && !thumbs[size_t(record)].isEmpty()) {
        const QImage thumb = DecodePhotoThumbnail(thumbs[size_t(record)],
                                                  m_list->Records()[size_t(record)].rotation);
        if (!thumb.isNull())
            p.drawImage(QRect(QPoint(1, 1), size), thumb);
    }
    p.end();
    tile.pixmap = pixmap;
    tile.made = true;
    return tile.pixmap;
}

bool CPhotoBrowser::IsMissing(int record) {
    Tile& tile = m_tiles[size_t(record)];
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    if (tile.checkedAt < 0 || now - tile.checkedAt > kMissingCheckMs) {
        tile.missing = !QFileInfo::exists(EntryPath(m_list->Records()[size_t(record)]));
        tile.checkedAt = now;
    }
    return tile.missing;
}

// --- mouse and keys

void CPhotoBrowser::Notify(bool changed, bool byUser) {
    if (!changed)
        return;
    Q_EMIT selectionChanged();
    if (byUser)
        Q_EMIT selectionChangedByUser();
}

bool CPhotoBrowser::PressAt(QPoint p, Qt::KeyboardModifiers modifiers) {
    const int position = m_grid.HitTest(p);
    if (position < 0)
        return false;
    Notify(
        m_selection.Click(position, modifiers & Qt::ControlModifier, modifiers & Qt::ShiftModifier),
        true);
    return true;
}

void CPhotoBrowser::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return;
    setFocus(Qt::MouseFocusReason);
    const QPoint p = event->position().toPoint();
    if (PressAt(p, event->modifiers())) {
        m_pressPoint = p;
        m_pressed = true;
    } else if (p.y() < height() - PhotoGrid::kButtonBand) {
        Notify(m_selection.ClearAll(), true);
        m_banding = true;
        m_bandStart = p;
        m_band = QRect(p, QSize(0, 0));
    }
    update();
}

void CPhotoBrowser::mouseMoveEvent(QMouseEvent* event) {
    const QPoint p = event->position().toPoint();
    if (m_pressed) {
        const QPoint d = p - m_pressPoint;
        if (std::sqrt(double(std::abs(d.x()) + std::abs(d.y()))) > 5.0) {
            m_dragging = true;
            m_pressed = false;
        }
    }
    if (m_dragging) {
        if (OverDropTarget(event->globalPosition().toPoint()))
            setCursor(SkinCursor(178));
        else
            setCursor(Qt::ForbiddenCursor);
        return;
    }
    if (!m_banding)
        return;
    // Dragging the band past an edge scrolls by one cell; the band's start moves with the grid.
    const int h = PhotoGrid::kCellHeight;
    if (p.y() > height() && m_grid.Offset() < m_grid.MaxOffset()) {
        const int before = m_grid.Offset();
        SetOffset(before + h);
        m_bandStart.ry() -= m_grid.Offset() - before;
    } else if (p.y() < 0 && m_grid.Offset() > 0) {
        const int before = m_grid.Offset();
        SetOffset(before - h);
        m_bandStart.ry() += before - m_grid.Offset();
    }
    m_band = QRect(m_bandStart, p).normalized();
    if (m_list)
        Notify(m_selection.ApplyBand(m_grid, m_list->Records(), m_band), false);
    update();
}

void CPhotoBrowser::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return;
    const bool dropped = m_dragging && OverDropTarget(event->globalPosition().toPoint());
    m_banding = false;
    m_dragging = false;
    m_pressed = false;
    unsetCursor();
    update();
    if (dropped)
        Q_EMIT photosDropped(m_dropTarget->mapFromGlobal(event->globalPosition().toPoint()));
}

void CPhotoBrowser::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton ||
        event->position().y() >= height() - PhotoGrid::kButtonBand)
        return;
    // The double click's own press already selected the photo under the pointer (with Ctrl it
    // toggled it on): selecting again would toggle it off. Only a double click that arrives
    // without that press (the pointer on another photo) selects as a press does.
    const QPoint p = event->position().toPoint();
    const int position = m_grid.HitTest(p);
    if (position >= 0 && m_selection.RecordAt(position) != m_selection.Anchor())
        PressAt(p, event->modifiers());
    update();
    Q_EMIT addRequested();
}

void CPhotoBrowser::contextMenuEvent(QContextMenuEvent* event) {
    PressAt(event->pos(), event->modifiers());
    update();
    Q_EMIT contextMenuRequested(event->globalPos());
}

void CPhotoBrowser::wheelEvent(QWheelEvent* event) {
    // One notch (120) scrolls 120 pixels.
    SetOffset(m_grid.Offset() - event->angleDelta().y());
    event->accept();
}

void CPhotoBrowser::keyPressEvent(QKeyEvent* event) {
    if (event->matches(QKeySequence::SelectAll)) {
        Notify(m_selection.SelectAll(), false);
        update();
        return;
    }
    using Direction = PhotoSelection::Direction;
    Direction direction;
    switch (event->key()) {
    case Qt::Key_Left:
        direction = Direction::Left;
        break;
    case Qt::Key_Right:
        direction = Direction::Right;
        break;
    case Qt::Key_Up:
        direction = Direction::Up;
        break;
    case Qt::Key_Down:
        direction = Direction::Down;
        break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (m_selection.Anchor() >= 0)
            Q_EMIT addRequested();
        return;
    default:
        QWidget::keyPressEvent(event);
        return;
    }
    setFocus(Qt::OtherFocusReason);
    const int position = m_selection.Step(direction, m_grid.Columns());
    if (position >= 0) {
        SetOffset(m_grid.OffsetToShow(position));
        Notify(true, true);
        AnnounceItem(this, position, QAccessible::Selection);
        AnnounceItem(this, position, QAccessible::Focus);
    }
    update();
}

bool CPhotoBrowser::event(QEvent* event) {
    if (event->type() == QEvent::ShortcutOverride) {
        // Ctrl+A selects the photos while the browser has the focus, not the canvas objects.
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->matches(QKeySequence::SelectAll)) {
            event->accept();
            return true;
        }
    }
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        const QString text = ToolTipAt(help->pos());
        if (text.isEmpty())
            QToolTip::hideText();
        else
            QToolTip::showText(help->globalPos(), text, this);
        return true;
    }
    return QWidget::event(event);
}

QString ElideKeepingTheEnd(const QString& text, const QFontMetrics& metrics, int width) {
    if (metrics.horizontalAdvance(text) <= width)
        return text;
    // Photos of one camera or folder share the start of their names and differ near the end
    // (a number, then the extension): the end takes the room, the start keeps its first letter.
    const QString ellipsis(QChar(0x2026));
    const int room = width - metrics.horizontalAdvance(ellipsis);
    const int tailRoom = room - metrics.horizontalAdvance(text.left(1));
    int tail = 0;
    while (tail + 1 < text.size() && metrics.horizontalAdvance(text.right(tail + 1)) <= tailRoom)
        ++tail;
    const int headRoom = room - metrics.horizontalAdvance(text.right(tail));
    int head = 0;
    while (head + tail < text.size() && metrics.horizontalAdvance(text.left(head + 1)) <= headRoom)
        ++head;
    return text.left(head) + ellipsis + text.right(tail);
}

QString CPhotoBrowser::CaptionText(int record, const QFontMetrics& metrics, int width) const {
    if (!m_list || record < 0 || record >= m_list->Count())
        return QString();
    const PictureFileEntry& e = m_list->Records()[size_t(record)];
    return ElideKeepingTheEnd(ReadFixedText(e.name) + ReadFixedText(e.extension), metrics, width);
}

QString CPhotoBrowser::CaptionAt(int position) const {
    return CaptionText(m_selection.RecordAt(position), fontMetrics(),
                       m_grid.Caption(position).width());
}

QString CPhotoBrowser::ToolTipAt(QPoint p) {
    const int record = m_selection.RecordAt(m_grid.HitTest(p));
    if (record < 0 || !m_list)
        return QString();
    const PictureFileEntry& e = m_list->Records()[size_t(record)];
    QString text = tr("%1\n%2 x %3 pixels\n%4")
                       .arg(ReadFixedText(e.name) + ReadFixedText(e.extension))
                       .arg(e.width)
                       .arg(e.height)
                       .arg(EntryPath(e));
    if (IsMissing(record))
        text += QLatin1Char('\n') + tr("The file is missing.");
    return text;
}

bool CPhotoBrowser::OverDropTarget(QPoint globalPos) const {
    return m_dropTarget && m_dropTarget->isVisible() &&
           m_dropTarget->rect().contains(m_dropTarget->mapFromGlobal(globalPos));
}

} // namespace mosaiq
