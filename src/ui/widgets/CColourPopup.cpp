#include "ui/widgets/CColourPopup.h"

#include "ui/widgets/access/AccessibleItems.h"
#include "ui/ColorrefColour.h"

#include "ui/NamedColours.h"
#include "ui/widgets/DialogProvider.h"
#include "ui/widgets/SkinPainting.h"

#include <QFontMetrics>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QPainter>
#include <QScreen>
#include <QToolTip>

#include <algorithm>

namespace mosaiq {

namespace {
constexpr int kEdge = 2; // the system edge width
const QColor kLight(255, 255, 255);
const QColor kShadow(160, 160, 160);
const QColor kDark(105, 105, 105);

QSize TextSize(const QFontMetrics& metrics, const QString& text) {
    return text.isEmpty() ? QSize() : QSize(metrics.horizontalAdvance(text), metrics.height());
}

// A raised edge (light top-left) or a sunken one (dark top-left), two pixels wide.
void Edge(QPainter& p, const QRect& r, bool raised) {
    const QColor outerTopLeft = raised ? kLight : kShadow;
    const QColor outerBottomRight = raised ? kDark : kLight;
    const QColor innerTopLeft = raised ? QColor(227, 227, 227) : kDark;
    const QColor innerBottomRight = raised ? kShadow : QColor(227, 227, 227);
    auto frame = [&p](const QRect& f, const QColor& tl, const QColor& br) {
        p.fillRect(QRect(f.left(), f.top(), f.width(), 1), tl);
        p.fillRect(QRect(f.left(), f.top(), 1, f.height()), tl);
        p.fillRect(QRect(f.left(), f.bottom(), f.width(), 1), br);
        p.fillRect(QRect(f.right(), f.top(), 1, f.height()), br);
    };
    frame(r, outerTopLeft, outerBottomRight);
    frame(r.adjusted(1, 1, -1, -1), innerTopLeft, innerBottomRight);
}
} // namespace

CColourPopup::CColourPopup(QWidget* picker, QPoint origin, int buttonTop, Colorref initial,
                           const QString& automaticText, const QString& moreText)
    : QWidget(picker, Qt::Popup | Qt::FramelessWindowHint), m_picker(picker),
      m_automaticText(automaticText), m_moreText(moreText), m_initial(initial), m_chosen(initial) {
    setMouseTracking(true);
    setFont(DefaultGuiFont());
    const QFontMetrics metrics(font());
    ColourPopupInput input;
    input.margin = kEdge;
    input.box = std::max(18, 2 * kEdge + 7);
    input.automaticText = TextSize(metrics, automaticText);
    input.moreText = TextSize(metrics, moreText);
    input.origin = origin;
    input.buttonTop = buttonTop;
    const QScreen* screen = picker && picker->screen() ? picker->screen() : nullptr;
    input.screen = screen ? screen->geometry() : QRect(0, 0, 1 << 15, 1 << 15);
    m_layout = std::make_unique<ColourPopupLayout>(input);
    m_selected = InitialPopupSelection(initial, m_layout->HasAutomatic(), m_layout->HasMore());
    setGeometry(m_layout->Window());
}

void CColourPopup::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), QColor(240, 240, 240));
    p.setPen(QColor(210, 210, 210));
    p.drawRect(rect().adjusted(0, 0, -1, -1));
    p.setPen(QColor(170, 170, 170));
    p.drawLine(rect().bottomLeft(), rect().bottomRight());
    p.drawLine(rect().topRight(), rect().bottomRight());
    if (m_layout->HasAutomatic())
        DrawItem(p, kPopupAutomatic);
    for (int i = 0; i < kNamedColourCount; ++i)
        DrawItem(p, i);
    if (m_layout->HasMore())
        DrawItem(p, kPopupMoreColours);
}

void CColourPopup::DrawItem(QPainter& p, int index) {
    const QRect r = m_layout->ItemRect(index);
    if (r.isNull())
        return;
    const bool box = index < 0;
    p.fillRect(r, box ? QColor(210, 210, 210) : QColor(240, 240, 240));
    if (index == m_hover)
        Edge(p, r, true);
    else if (index == m_selected)
        Edge(p, r, false);
    if (box) {
        p.setPen(Qt::black);
        p.drawText(r, Qt::AlignCenter | Qt::TextSingleLine,
                   index == kPopupAutomatic ? m_automaticText : m_moreText);
        return;
    }
    const QRect swatch = r.adjusted(kEdge + 1, kEdge + 1, -(kEdge + 1), -(kEdge + 1));
    p.fillRect(swatch, ColorFromColorref(NamedColours()[std::size_t(index)].colour));
    p.setPen(kShadow);
    p.drawRect(swatch.adjusted(0, 0, -1, -1));
}

void CColourPopup::SetHover(int index) {
    if (index == m_hover)
        return;
    const int old = m_hover;
    m_hover = index;
    update(m_layout->ItemRect(old));
    update(m_layout->ItemRect(index));
    // Cells are items 0–39 to assistive technology, then the Automatic and More Colours boxes.
    const int item = index >= 0 ? index : index == kPopupAutomatic ? kNamedColourCount
                                        : index == kPopupMoreColours ? kNamedColourCount + 1 : -1;
    AnnounceItem(this, item, QAccessible::Focus);
    if (index == kPopupMoreColours) {
        emit selectionChanged(m_initial);
        return;
    }
    if (index == kPopupAutomatic)
        m_chosen = kAutomaticColour;
    else if (index >= 0)
        m_chosen = NamedColours()[std::size_t(index)].colour;
    else
        return;
    emit selectionChanged(m_chosen);
}

void CColourPopup::mouseMoveEvent(QMouseEvent* event) {
    if (const auto item = m_layout->ItemAt(event->position().toPoint()))
        SetHover(*item);
}

void CColourPopup::mousePressEvent(QMouseEvent* event) {
    // The choice is made when the button comes up; a press never closes the popup by itself.
    event->accept();
}

void CColourPopup::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return;
    const QPoint pos = event->position().toPoint();
    if (rect().contains(pos)) {
        if (const auto item = m_layout->ItemAt(pos))
            SetHover(*item);
        End(true);
    } else {
        End(false);
    }
}

void CColourPopup::keyPressEvent(QKeyEvent* event) {
    int dx = 0;
    int dy = 0;
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
        End(true);
        return;
    case Qt::Key_Escape:
        m_chosen = m_initial;
        End(false);
        return;
    case Qt::Key_Left:
        dx = -1;
        break;
    case Qt::Key_Right:
        dx = 1;
        break;
    case Qt::Key_Up:
        dy = -1;
        break;
    case Qt::Key_Down:
        dy = 1;
        break;
    default:
        QWidget::keyPressEvent(event);
        return;
    }
    // The keyboard starts from the item under the mouse, else from the selected item.
    const int from = m_hover != kPopupNone ? m_hover : m_selected;
    SetHover(from == kPopupNone ? 0 : m_layout->Step(from, dx, dy));
}

bool CColourPopup::event(QEvent* e) {
    if (e->type() == QEvent::ToolTip) {
        const auto* help = static_cast<QHelpEvent*>(e);
        const auto item = m_layout->ItemAt(help->pos());
        if (item && *item >= 0)
            QToolTip::showText(help->globalPos(),
                               QLatin1String(NamedColours()[std::size_t(*item)].name), this,
                               m_layout->Cell(*item));
        else
            QToolTip::hideText();
        return true;
    }
    return QWidget::event(e);
}

void CColourPopup::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    // Hidden from outside (the application was deactivated): the choice is cancelled.
    if (!m_ended) {
        m_chosen = m_initial;
        End(false);
    }
}

void CColourPopup::ChooseItem(int item) {
    SetHover(item);
    End(true);
}

void CColourPopup::End(bool ok) {
    if (m_ended)
        return;
    m_ended = true;
    hide();
    if (!ok)
        m_chosen = m_initial;
    if (ok && m_hover == kPopupMoreColours) {
        const auto colour = Dialogs().ChooseColour(m_picker, ColorFromColorref(m_initial));
        ok = colour.has_value();
        m_chosen = ok ? ColorrefFromColor(*colour) : m_initial;
    }
    if (ok)
        emit selectionEnded(m_chosen);
    else
        emit selectionCancelled(m_chosen);
    deleteLater();
}

} // namespace mosaiq
