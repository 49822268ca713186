// The main window's frame: laying the children out, painting the caption strip, panel header
// and toolbar strip, and moving and resizing the frameless window by its caption and edges.
#include "shell/widgets/CMainDialog.h"

#include "shell/widgets/CMenuBarButton.h"
#include "shell/widgets/CQorMenu.h"
#include "shell/widgets/CommandIds.h"
#include "canvas/widgets/CCollageCanvas.h"
#include "ui/widgets/CBitmapButton.h"
#include "ui/widgets/CVexComboBox.h"
#include "ui/widgets/Skin.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QWindow>

namespace mosaiq {
namespace {

constexpr QColor kFrameFill{172, 172, 172};
constexpr QColor kFrameBorder{10, 10, 10};

Qt::Edges ZoneEdges(FrameZone zone) {
    switch (zone) {
    case FrameZone::Left: return Qt::LeftEdge;
    case FrameZone::Right: return Qt::RightEdge;
    case FrameZone::Top: return Qt::TopEdge;
    case FrameZone::Bottom: return Qt::BottomEdge;
    case FrameZone::TopLeft: return Qt::TopEdge | Qt::LeftEdge;
    case FrameZone::TopRight: return Qt::TopEdge | Qt::RightEdge;
    case FrameZone::BottomLeft: return Qt::BottomEdge | Qt::LeftEdge;
    case FrameZone::BottomRight: return Qt::BottomEdge | Qt::RightEdge;
    default: return {};
    }
}

Qt::CursorShape ZoneCursor(FrameZone zone) {
    switch (zone) {
    case FrameZone::Left: case FrameZone::Right: return Qt::SizeHorCursor;
    case FrameZone::Top: case FrameZone::Bottom: return Qt::SizeVerCursor;
    case FrameZone::TopLeft: case FrameZone::BottomRight: return Qt::SizeFDiagCursor;
    case FrameZone::TopRight: case FrameZone::BottomLeft: return Qt::SizeBDiagCursor;
    default: return Qt::ArrowCursor;
    }
}

// Draws the part (sx, 0, sw, sh) of a skin bitmap, given in logical pixels, into target.
void DrawPart(QPainter& p, const QRectF& target, const QPixmap& bitmap, qreal sx, qreal sw, qreal sh) {
    const qreal dpr = bitmap.devicePixelRatio();
    p.drawPixmap(target, bitmap, QRectF(sx * dpr, 0, sw * dpr, sh * dpr));
}

} // namespace

// --- layout and painting

void CMainDialog::Relayout() {
    if (isMinimized())
        return;
    m_layout = ComputeMainLayout(size());
    if (InPreview()) {
        m_canvas->setGeometry(rect());
        return;
    }
    const MainLayout& l = m_layout;
    m_canvas->setGeometry(l.canvas);
    for (QWidget* panel : m_panels)
        if (panel)
            panel->setGeometry(l.panelArea);
    const QRect areas[kSideAreaCount] = {l.photoBrowser, l.presetPanel, l.listPane, l.swatchPanel};
    for (int i = 0; i < kSideAreaCount; ++i)
        if (QWidget* area = m_areas[size_t(i)])
            area->setGeometry(areas[i]);
    for (int i = 0; i < kTabCount; ++i)
        m_tabs[size_t(i)]->setGeometry(l.tabs[size_t(i)]);
    for (int i = 0; i < kToolbarButtonCount; ++i)
        m_toolbar[size_t(i)]->setGeometry(l.toolbar[size_t(i)]);
    m_toolbar[kToolbarButtonCount]->setGeometry(l.zoomIn);
    m_toolbar[kToolbarButtonCount + 1]->setGeometry(l.zoomOut);
    m_zoomBox->setGeometry(l.zoomBox);
    m_addToCanvas->setGeometry(l.addToCanvas);
    m_import->setGeometry(l.importButton);
    m_remove->setGeometry(l.removeButton);
    m_captionButtons[0]->setGeometry(l.close);
    m_captionButtons[1]->setGeometry(l.maximise);
    m_captionButtons[2]->setGeometry(l.minimise);
    for (int i = 0; i < 5; ++i)
        m_menuButtons[size_t(i)]->setGeometry(l.menuButtons[size_t(i)]);
    update();
}

void CMainDialog::resizeEvent(QResizeEvent*) {
    Relayout();
}

void CMainDialog::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const int w = width();
    const int h = height();
    p.fillRect(rect(), kFrameFill);
    if (InPreview())
        return;
    p.setPen(kFrameBorder);
    p.drawRect(0, 0, w - 1, h - 1);

    const QPixmap caption = SkinBitmap(135);
    DrawPart(p, QRectF(0, 0, 30, 30), caption, 0, 30, 30);
    DrawPart(p, QRectF(30, 0, w - 60, 30), caption, 30, 500, 30);
    DrawPart(p, QRectF(w - 30, 0, 30, 30), caption, 988, 30, 30);

    const QPixmap header = SkinBitmap(262);
    DrawPart(p, QRectF(158, 34, 30, 30), header, 0, 30, 30);
    DrawPart(p, QRectF(188, 34, w - 33 - 188, 30), header, 30, 500, 30);
    DrawPart(p, QRectF(w - 33, 34, 30, 30), header, 550, 30, 30);

    const QPixmap strip = SkinBitmap(263);
    DrawPart(p, QRectF(159, 181, w - 296, 27), strip, 0, 300, 27);

    // The title, embossed: black one pixel down and right, then light over it.
    p.setFont(QApplication::font());
    const QString title = TitleText();
    p.setPen(Qt::black);
    p.drawText(QRect(w / 2 - 49, 5, w / 2 + 50, 26), Qt::AlignLeft | Qt::AlignTop, title);
    p.setPen(QColor(245, 255, 255));
    p.drawText(QRect(w / 2 - 50, 6, w / 2 + 50, 24), Qt::AlignLeft | Qt::AlignTop, title);

    p.fillRect(EdgeRect(w - 152, h - 208, w - 4, h - 106), kFrameFill);

    // Borders around the main children.
    const MainLayout& l = m_layout;
    p.setPen(QColor(120, 120, 120));
    const auto border = [&p](QRect r) { p.drawRect(r.adjusted(-1, -1, 0, 0)); };
    border(l.photoBrowser);
    border(l.panelArea);
    border(l.presetPanel.adjusted(0, 0, 0, 118));
    border(l.swatchPanel);
    border(l.canvas.adjusted(0, -27, 0, 0));
}

void CMainDialog::changeEvent(QEvent* event) {
    if (event->type() == QEvent::WindowStateChange) {
        m_captionButtons[1]->setToolTip(isMaximized() ? tr("Restore") : tr("Maximise"));
        Relayout();
    }
    QWidget::changeEvent(event);
}

// --- moving and resizing by the frame

void CMainDialog::mousePressEvent(QMouseEvent* event) {
    if (InPreview()) {
        m_swallowRelease = true;
        LeavePreview();
        return;
    }
    const FrameZone zone = HitFrameZone(event->position().toPoint(), size());
    if (event->button() == Qt::RightButton && zone == FrameZone::Caption) {
        ShowWindowMenu(event->globalPosition().toPoint());
        return;
    }
    if (event->button() != Qt::LeftButton || zone == FrameZone::None)
        return;
    if (zone == FrameZone::Caption) {
        // The move starts once the mouse travels: handing the press to the window manager at
        // once would take the second click of a double click (maximise, restore) away.
        m_captionPressed = true;
        m_captionPressGlobal = event->globalPosition().toPoint();
        return;
    }
    StartFrameDrag(zone, event->globalPosition().toPoint());
}

void CMainDialog::StartFrameDrag(FrameZone zone, QPoint pressGlobal) {
    QWindow* handle = windowHandle();
    if (zone == FrameZone::Caption) {
        if (isMaximized())
            return;
        if (handle && handle->startSystemMove())
            return;
    } else if (handle && !isMaximized() && handle->startSystemResize(ZoneEdges(zone))) {
        return;
    }
    // No window manager to do it: move or resize by hand.
    m_dragZone = zone;
    m_dragStartGlobal = pressGlobal;
    m_dragStartGeometry = geometry();
}

void CMainDialog::mouseMoveEvent(QMouseEvent* event) {
    if (m_captionPressed && (event->buttons() & Qt::LeftButton) &&
        (event->globalPosition().toPoint() - m_captionPressGlobal).manhattanLength() >=
            QApplication::startDragDistance()) {
        m_captionPressed = false;
        StartFrameDrag(FrameZone::Caption, m_captionPressGlobal);
    }
    if (m_dragZone != FrameZone::None && (event->buttons() & Qt::LeftButton)) {
        const QPoint delta = event->globalPosition().toPoint() - m_dragStartGlobal;
        QRect g = m_dragStartGeometry;
        if (m_dragZone == FrameZone::Caption) {
            move(g.topLeft() + delta);
            return;
        }
        const Qt::Edges edges = ZoneEdges(m_dragZone);
        const QSize minimum = minimumSize();
        if (edges & Qt::LeftEdge)
            g.setLeft(std::min(g.left() + delta.x(), g.right() - minimum.width() + 1));
        if (edges & Qt::RightEdge)
            g.setRight(g.right() + delta.x());
        if (edges & Qt::TopEdge)
            g.setTop(std::min(g.top() + delta.y(), g.bottom() - minimum.height() + 1));
        if (edges & Qt::BottomEdge)
            g.setBottom(g.bottom() + delta.y());
        setGeometry(g);
        return;
    }
    const FrameZone zone = HitFrameZone(event->position().toPoint(), size());
    if (zone == FrameZone::None || zone == FrameZone::Caption || isMaximized())
        unsetCursor();
    else
        setCursor(ZoneCursor(zone));
}

void CMainDialog::mouseReleaseEvent(QMouseEvent*) {
    m_dragZone = FrameZone::None;
    m_captionPressed = false;
    m_swallowRelease = false;
}

void CMainDialog::mouseDoubleClickEvent(QMouseEvent* event) {
    if (!InPreview() && event->button() == Qt::LeftButton && event->position().y() < 30)
        ToggleMaximised();
}

void CMainDialog::contextMenuEvent(QContextMenuEvent* event) {
    event->accept();
}

void CMainDialog::keyPressEvent(QKeyEvent* event) {
    // Escape never closes the window; during a preview it leaves it.
    if (event->key() == Qt::Key_Escape) {
        LeavePreview();
        return;
    }
    QWidget::keyPressEvent(event);
}

bool CMainDialog::eventFilter(QObject* watched, QEvent* event) {
    return QWidget::eventFilter(watched, event);
}

void CMainDialog::ShowWindowMenu(const QPoint& globalPos) {
    CQorMenu menu(this, this);
    menu.AppendAction(tr("Minimise"), [this] { RunCommand(cmd::kMinimise); });
    menu.AppendAction(isMaximized() ? tr("Restore") : tr("Maximise"),
                      [this] { RunCommand(cmd::kMaximise); });
    menu.AppendAction(tr("Close"), [this] { RunCommand(cmd::kClose); });
    menu.AppendMenuSeparator();
    menu.AppendAction(tr("About Mosaiq Photo Editor(&A)..."),
                      [this] { RunCommand(cmd::kSystemAbout); });
    menu.exec(globalPos);
}

} // namespace mosaiq
