#pragma once

// The colour palette: a grid of 12 greys and the 216 web-safe colours, a preview of the current
// colour and a small button that opens the colour dialog. A click on a colour, or a colour chosen
// in the dialog, becomes the current colour and is announced by colourChosen.

#include "core/WinTypes.h"

#include <QWidget>

namespace mosaiq {

class CBitmapButton;

class CColourPalette : public QWidget {
    Q_OBJECT
public:
    static constexpr int kDialogButtonId = 10013;

    explicit CColourPalette(QWidget* parent = nullptr);

    void SetColour(Colorref colour);
    Colorref Colour() const { return m_colour; }
    Colorref HoverColour() const { return m_hover; }
    CBitmapButton* DialogButton() const { return m_button; }
    static QRect PreviewRect() { return QRect(QPoint(20, 85), QPoint(131, 99)); }

    QSize sizeHint() const override { return QSize(133, 101); }

signals:
    void colourChosen();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    // Follows the mouse: grid lines are ignored, the background keeps the previous hover colour.
    void TrackHover(QPoint pos);
    void OpenDialog();

    Colorref m_colour;
    Colorref m_hover;
    bool m_picked = false;
    CBitmapButton* m_button;
};

} // namespace mosaiq
