#include "ui/widgets/CColourPalette.h"
#include "ui/ColorrefColour.h"

#include "ui/WebPalette.h"
#include "ui/widgets/CBitmapButton.h"
#include "ui/widgets/DialogProvider.h"
#include "ui/widgets/Skin.h"

#include <QMouseEvent>
#include <QPainter>

namespace mosaiq {

CColourPalette::CColourPalette(QWidget* parent)
    : QWidget(parent), m_colour(kPaletteInitialColour), m_hover(kPaletteInitialColour),
      m_button(new CBitmapButton(kDialogButtonId, this)) {
    setMouseTracking(true);
    setMinimumSize(sizeHint());
    m_button->SetBitmaps(181, 181, 181, 181);
    m_button->setGeometry(QRect(QPoint(1, 85), QPoint(16, 99)));
    m_button->setToolTip(QStringLiteral("More Colours..."));
    connect(m_button, &CBitmapButton::commandIssued, this, &CColourPalette::OpenDialog);
}

void CColourPalette::SetColour(Colorref colour) {
    m_colour = colour;
    update();
}

void CColourPalette::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), ColorFromColorref(kPaletteBackground));
    for (const PaletteSquare& square : PaletteSquares())
        p.fillRect(square.rect, ColorFromColorref(square.colour));
    const QRect preview = PreviewRect();
    p.fillRect(preview, ColorFromColorref(m_colour));
    p.setPen(QColor(150, 150, 150));
    p.drawRect(preview.adjusted(0, 0, -1, -1));
}

void CColourPalette::TrackHover(QPoint pos) {
    const std::optional<Colorref> colour = PaletteColourAt(pos.x(), pos.y());
    m_picked = colour && *colour != kPaletteBackground;
    if (m_picked)
        m_hover = *colour;
}

void CColourPalette::mouseMoveEvent(QMouseEvent* event) {
    const QPoint pos = event->position().toPoint();
    TrackHover(pos);
    const bool inGrid = pos.x() < kPaletteGridWidth && pos.y() < kPaletteGridHeight;
    if (inGrid)
        setCursor(SkinCursor(176));
    else
        unsetCursor();
}

void CColourPalette::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return;
    // A press picks only what is under the pointer: a grid line or the background changes nothing.
    TrackHover(event->position().toPoint());
    if (m_picked)
        SetColour(m_hover);
}

void CColourPalette::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return;
    if (m_picked)
        emit colourChosen();
    m_picked = false;
    update();
}

void CColourPalette::OpenDialog() {
    if (const auto colour = Dialogs().ChooseColour(this, ColorFromColorref(m_colour))) {
        SetColour(ColorrefFromColor(*colour));
        emit colourChosen();
    }
}

} // namespace mosaiq
