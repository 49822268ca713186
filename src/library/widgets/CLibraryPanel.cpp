#include "library/widgets/CLibraryPanel.h"

#include "core/data/DataPath.h"
#include "core/Notifier.h"
#include "library/items/DecorationTypes.h"
#include "library/items/LibraryPicture.h"
#include "ui/widgets/CBitmapButton.h"
#include "ui/widgets/CVexScrollBar.h"
#include "ui/widgets/Skin.h"
#include "ui/widgets/SkinPainting.h"
#include "ui/widgets/access/AccessibleItems.h"

#include <QApplication>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

#include <cstdlib>

namespace mosaiq {
namespace {

const QColor kPanelBackground(240, 240, 240);
const QColor kSelectionFrame(150, 150, 150);
constexpr int kButtonWidth = 76;
constexpr int kButtonHeight = 20;

} // namespace

CLibraryPanel::CLibraryPanel(int panelId, int kind, QWidget* parent)
    : QWidget(parent), m_panelId(panelId), m_kind(kind) {
    // Reached by Tab too: the arrows move the selection and Enter chooses it.
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    m_bar = new CVScrollBar(this);
    m_bar->SetStep(LibraryGrid::kScrollStep);
    m_bar->hide();
    connect(m_bar, &CVexScrollBar::scrolled, this, [this](int code, int position) {
        m_grid.ApplyScrollCode(code, position);
        m_bar->SetPosition(m_grid.Scroll());
        update();
    });
    CreateButtons();
}

QString CLibraryPanel::UnreadableText() {
    return tr("The library could not be read.");
}

void CLibraryPanel::CreateButtons() {
    struct ButtonInfo {
        int id;
        const char* caption;
    };
    std::vector<ButtonInfo> buttons;
    if (m_kind == kClipartKind)
        buttons = {{kApplyButton, QT_TR_NOOP("Add")}};
    else if (m_kind == kMaskKind)
        buttons = {{kApplyButton, QT_TR_NOOP("Apply")},
                   {kImportButton, QT_TR_NOOP("Import")},
                   {kResetButton, QT_TR_NOOP("Reset")}};
    else if (m_kind == kFrameKind)
        buttons = {{kApplyButton, QT_TR_NOOP("Apply")}};
    for (const ButtonInfo& info : buttons) {
        auto* b = new CBitmapButton(info.id, this);
        b->SetBitmaps(195, 194, 193, 195);
        b->SetCaption(tr(info.caption));
        b->SetTextColour(QColor(30, 30, 30));
        connect(b, &CBitmapButton::commandIssued, this, &CLibraryPanel::OnButton);
        m_buttons.push_back(b);
    }
}

CBitmapButton* CLibraryPanel::Button(int commandId) const {
    for (CBitmapButton* b : m_buttons)
        if (b->CommandId() == commandId)
            return b;
    return nullptr;
}

void CLibraryPanel::OnButton(int commandId) {
    if (commandId == kImportButton) {
        Q_EMIT importRequested();
        return;
    }
    if (commandId == kResetButton) {
        Q_EMIT resetRequested();
        return;
    }
    if (m_grid.Selected() < 0) {
        Inform(tr("Please Select a object to operate."));
        return;
    }
    Q_EMIT itemChosen(ApplyAction(), m_grid.Selected());
}

int CLibraryPanel::ApplyAction() const {
    switch (m_kind) {
    case kFrameKind:
        return kApplyFrame;
    case kMaskKind:
        return kApplyMask;
    case kPresetKind:
        return kAddPreset;
    default:
        return kAddClipart;
    }
}

int CLibraryPanel::SelectedCode() const {
    const int index = m_grid.Selected();
    return index < 0 ? -1 : index + m_type * 1000;
}

QSize CLibraryPanel::ThumbnailBox() const {
    const int m = LibraryGrid::kMargin;
    return QSize(m_grid.CellWidth() - 2 * m, m_grid.CellHeight() - 2 * m);
}

bool CLibraryPanel::LoadFile(const QString& fileName, bool keepPictures) {
    m_fileName = fileName;
    m_items = LoadLibraryItems(DataFile(fileName), ThumbnailBox(), keepPictures);
    m_failed = !m_items.complete;
    // Before the first decoration pack there is no "decorate_t": an empty family, not a library
    // that failed.
    if (m_failed && fileName == LibraryPictureFileName(kImportedDecorationType) &&
        !QFileInfo::exists(DataFile(fileName)))
        m_failed = false;
    if (keepPictures)
        DarkenBrushThumbnails();
    m_grid.SetCount(int(m_items.thumbnails.size()));
    m_dragArmed = false;
    return !m_failed;
}

void CLibraryPanel::DarkenBrushThumbnails() {
    // Brushes are white shapes (the stamp takes the brush colour); shown as stored they would
    // vanish on the light panel, so their thumbnails keep the shape in a dark grey.
    for (QImage& thumb : m_items.thumbnails) {
        if (thumb.isNull())
            continue;
        QPainter p(&thumb);
        p.setCompositionMode(QPainter::CompositionMode_SourceIn);
        p.fillRect(thumb.rect(), QColor(70, 70, 70));
    }
}

bool CLibraryPanel::Load(const QString& fileName, bool keepSelection) {
    m_brushes = false;
    const bool ok = LoadFile(fileName, false);
    if (!keepSelection)
        m_grid.Select(0);
    UpdateScrollBar();
    update();
    return ok;
}

bool CLibraryPanel::LoadType(int type, bool keep) {
    const QString name = LibraryPictureFileName(type);
    if (name.isEmpty())
        return false;
    m_type = type;
    const int scroll = m_grid.Scroll();
    const int selected = m_grid.Selected();
    const bool ok = Load(name, keep);
    if (keep) {
        m_grid.SetScroll(scroll);
        if (selected < m_grid.Count())
            m_grid.Select(selected);
        UpdateScrollBar();
        update();
    }
    return ok;
}

bool CLibraryPanel::LoadBrushes() {
    m_brushes = true;
    const bool ok = LoadFile(QStringLiteral("brushs"), true);
    UpdateScrollBar();
    update();
    return ok;
}

bool CLibraryPanel::Reload() {
    const int scroll = m_grid.Scroll();
    const int selected = m_grid.Selected();
    const bool ok = m_brushes ? LoadFile(m_fileName, true) : LoadFile(m_fileName, false);
    m_grid.SetScroll(scroll);
    m_grid.Select(selected < m_grid.Count() ? selected : (m_brushes ? -1 : 0));
    UpdateScrollBar();
    update();
    return ok;
}

void CLibraryPanel::SetCellSize(int width, int height) {
    m_grid.SetCellSize(width, height);
    if (!m_fileName.isEmpty())
        Reload();
}

void CLibraryPanel::Select(int index) {
    m_grid.Select(index);
    update();
}

void CLibraryPanel::Choose(int index) {
    if (index < 0 || index >= Count())
        return;
    m_grid.Select(index);
    ShowItem(index);
    Q_EMIT selectionMade(m_kind, SelectedCode());
    Q_EMIT itemChosen(ApplyAction(), index);
}

QString CLibraryPanel::ItemName(int index) const {
    const QString number = QString::number(index + 1);
    const int selector = m_type == kImportedDecorationType ? kImportedSelector : m_type - 1;
    if (m_brushes)
        return tr("Brush %1").arg(number);
    switch (m_kind) {
    case kFrameKind:
        return tr("Frame %1").arg(number);
    case kMaskKind:
        return tr("Mask %1").arg(number);
    case kClipartKind:
        return m_type == 0 ? tr("Clipart %1").arg(number)
                           : tr("Decoration %1 %2").arg(DecorationSelectorName(selector), number);
    default:
        return tr("Decoration %1 %2").arg(DecorationSelectorName(selector), number);
    }
}

void CLibraryPanel::focusInEvent(QFocusEvent* event) {
    update();
    QWidget::focusInEvent(event);
}

void CLibraryPanel::focusOutEvent(QFocusEvent* event) {
    update();
    QWidget::focusOutEvent(event);
}

void CLibraryPanel::ShowItem(int index) {
    m_grid.EnsureVisible(index);
    m_bar->SetPosition(m_grid.Scroll());
    update();
}

void CLibraryPanel::Disarm() {
    m_dragArmed = false;
    m_dragMoved = false;
    unsetCursor();
}

void CLibraryPanel::UpdateScrollBar() {
    const int maximum = m_grid.MaxScroll();
    if (maximum <= 0) {
        m_bar->hide();
        return;
    }
    m_bar->SetRange(maximum);
    m_bar->SetPosition(m_grid.Scroll());
    m_bar->show();
}

void CLibraryPanel::resizeEvent(QResizeEvent*) {
    m_grid.SetClientSize(size());
    m_bar->setGeometry(width() - kScrollBarThickness, 0, kScrollBarThickness, height());
    int x = 0;
    for (CBitmapButton* b : m_buttons) {
        b->setGeometry(x, height() - kButtonHeight, kButtonWidth, kButtonHeight);
        x += kButtonWidth;
    }
    UpdateScrollBar();
}

void CLibraryPanel::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), m_kind == kMaskKind ? QColor(Qt::white) : kPanelBackground);
    for (int i = m_grid.FirstVisible(); i < m_grid.EndVisible(); ++i) {
        const QRect cell = m_grid.ItemRect(i);
        const QImage& thumb = m_items.thumbnails[size_t(i)];
        if (!thumb.isNull()) {
            const QPoint at(cell.left() + (cell.width() - thumb.width()) / 2,
                            cell.top() + (cell.height() - thumb.height()) / 2);
            p.drawImage(at, thumb);
        }
        if (i == m_grid.Selected()) {
            p.setPen(kSelectionFrame);
            p.setBrush(Qt::NoBrush);
            p.drawRect(cell.adjusted(0, 0, -1, -1));
            p.drawRect(cell.adjusted(-1, -1, -2, -2));
            if (hasFocus())
                DrawFocusMark(p, cell.adjusted(-3, -3, 3, 3));
        }
    }
    if (hasFocus() && m_grid.Selected() < 0)
        DrawFocusMark(p, rect());
    if (m_failed) {
        // One line over the bottom of the grid, right of the buttons.
        const int left = int(m_buttons.size()) * kButtonWidth + 6;
        const QRect line(left, height() - kButtonHeight, width() - left - kScrollBarThickness,
                         kButtonHeight);
        p.setPen(QColor(120, 40, 40));
        p.drawText(line, Qt::AlignLeft | Qt::AlignVCenter,
                   p.fontMetrics().elidedText(UnreadableText(), Qt::ElideRight, line.width()));
    }
}

void CLibraryPanel::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return;
    setFocus(Qt::MouseFocusReason);
    const QPoint pos = event->position().toPoint();
    const int hit = m_grid.HitTest(pos);
    if (hit >= 0) {
        m_grid.Select(hit);
        m_dragArmed = true;
        m_dragMoved = false;
        m_pressPos = pos;
    }
    if (m_grid.Selected() >= 0)
        Q_EMIT selectionMade(m_kind, SelectedCode());
    update();
}

void CLibraryPanel::mouseMoveEvent(QMouseEvent* event) {
    if (!m_dragArmed || !(event->buttons() & Qt::LeftButton))
        return;
    if (!m_dragMoved && (event->position().toPoint() - m_pressPos).manhattanLength() <
                            QApplication::startDragDistance())
        return;
    m_dragMoved = true;
    if (m_kind != kPresetKind)
        setCursor(SkinCursor(177));
    Q_EMIT dragMoved(event->globalPosition().toPoint());
}

void CLibraryPanel::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return;
    const bool dropped = m_dragArmed && m_dragMoved;
    const QPoint global = event->globalPosition().toPoint();
    Disarm();
    if (dropped)
        Q_EMIT dragReleased(global);
}

void CLibraryPanel::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return;
    setFocus(Qt::MouseFocusReason);
    const int hit = m_grid.DoubleClickHit(event->position().toPoint());
    if (hit < 0)
        return;
    m_grid.Select(hit);
    update();
    Q_EMIT itemChosen(ApplyAction(), hit);
}

void CLibraryPanel::wheelEvent(QWheelEvent* event) {
    // One scroll step a notch, however finely the wheel reports it.
    const int notches = m_wheel.Take(event->angleDelta().y());
    for (int i = 0; i < std::abs(notches); ++i)
        m_grid.Wheel(notches > 0 ? kWheelNotch : -kWheelNotch);
    m_bar->SetPosition(m_grid.Scroll());
    update();
    event->accept();
}

void CLibraryPanel::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Up:
    case Qt::Key_Down:
        if (m_grid.ArrowKey(event->key())) {
            m_bar->SetPosition(m_grid.Scroll());
            Q_EMIT selectionMade(m_kind, SelectedCode());
            update();
            AnnounceItem(this, m_grid.Selected(), QAccessible::Selection);
            AnnounceItem(this, m_grid.Selected(), QAccessible::Focus);
        }
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (m_grid.Selected() >= 0)
            Q_EMIT itemChosen(ApplyAction(), m_grid.Selected());
        return;
    default:
        QWidget::keyPressEvent(event);
    }
}

} // namespace mosaiq
