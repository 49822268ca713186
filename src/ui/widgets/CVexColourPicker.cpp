#include "ui/widgets/CVexColourPicker.h"
#include "ui/ColorrefColour.h"

#include "ui/widgets/CColourPopup.h"
#include "ui/widgets/SkinPainting.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

namespace mosaiq {

namespace {
constexpr int kEdge = 2;
constexpr int kThumb = 17; // the system scroll-thumb size
} // namespace

CVexColourPicker::CVexColourPicker(QWidget* parent)
    : QWidget(parent), m_background(ColorrefFromColor(palette().color(QPalette::Button))),
      m_text(ColorrefFromColor(palette().color(QPalette::ButtonText))) {
    setFocusPolicy(Qt::StrongFocus);
    setMinimumSize(minimumSizeHint());
}

QSize CVexColourPicker::minimumSizeHint() const {
    return QSize(2 * (kEdge + kThumb), kThumb + 2 * kEdge);
}

bool CVexColourPicker::IsPopupActive() const {
    return !m_popup.isNull();
}

CColourPopup* CVexColourPicker::Popup() const {
    return m_popup.data();
}

Colorref CVexColourPicker::Colour() const {
    return m_trackMode == 1 ? m_text : m_background;
}

void CVexColourPicker::SetColour(Colorref colour) {
    if (m_trackMode == 1)
        m_text = colour;
    else
        m_background = colour;
    update();
}

void CVexColourPicker::SetBackgroundColour(Colorref colour) {
    m_background = colour;
    update();
}

void CVexColourPicker::SetTextColour(Colorref colour) {
    m_text = colour;
    update();
}

void CVexColourPicker::paintEvent(QPaintEvent*) {
    QPainter p(this);
    DrawThreePartFace(p, rect(), 50);
    const QRect swatch(QPoint(20, 5), QPoint(width() - 41, height() - 6));
    if (swatch.isEmpty())
        return;
    QColor colour = ColorFromColorref(Colour());
    if (!isEnabled())
        colour.setAlpha(80);
    p.fillRect(swatch, colour);
    p.setPen(isEnabled() ? QColor(120, 120, 120) : QColor(190, 190, 190));
    p.drawRect(swatch.adjusted(0, 0, -1, -1));
    if (hasFocus() || m_pressed) {
        p.setPen(QPen(QColor(61, 127, 208), 1, m_pressed ? Qt::SolidLine : Qt::DotLine));
        p.drawRect(swatch.adjusted(-3, -3, 2, 2));
    }
}

void CVexColourPicker::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        m_pressed = true;
        update();
    }
}

void CVexColourPicker::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !m_pressed)
        return;
    m_pressed = false;
    update();
    if (rect().contains(event->position().toPoint()))
        OpenPopup();
}

void CVexColourPicker::keyPressEvent(QKeyEvent* event) {
    const int key = event->key();
    if (key == Qt::Key_Space || key == Qt::Key_Return || key == Qt::Key_F4 ||
        (key == Qt::Key_Down && (event->modifiers() & Qt::AltModifier)))
        OpenPopup();
    else
        QWidget::keyPressEvent(event);
}

void CVexColourPicker::OpenPopup() {
    if (m_popup || !isEnabled())
        return;
    m_popup =
        new CColourPopup(this, mapToGlobal(QPoint(0, height())), mapToGlobal(QPoint(0, 0)).y(),
                         Colour(), m_defaultText, m_customText);
    connect(m_popup, &CColourPopup::selectionChanged, this, [this](Colorref colour) {
        if (m_trackSelection)
            SetColour(colour);
        emit selectionChanged(colour);
    });
    connect(m_popup, &CColourPopup::selectionEnded, this, &CVexColourPicker::OnEnded);
    connect(m_popup, &CColourPopup::selectionCancelled, this, &CVexColourPicker::OnCancelled);
    m_beforePopup = Colour();
    emit dropDown();
    m_popup->show();
}

void CVexColourPicker::OnEnded(Colorref colour) {
    const Colorref previous = m_beforePopup;
    SetColour(colour);
    m_popup = nullptr;
    emit closeUp();
    emit selectionEnded(colour);
    if (colour != previous)
        emit selectionChanged(colour);
}

void CVexColourPicker::OnCancelled(Colorref colour) {
    SetColour(colour);
    m_popup = nullptr;
    emit closeUp();
    emit selectionCancelled(colour);
}

} // namespace mosaiq
