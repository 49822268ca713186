#pragma once

// The colour picker's popup: 40 named colours, an optional "Automatic" box above and an optional
// "More Colours..." box below. It lives from the click on the picker to the end of the choice and
// deletes itself. Colours are Colorref values; the automatic colour is kAutomaticColour.

#include "core/WinTypes.h"
#include "ui/ColourPopupLayout.h"

#include <QWidget>

#include <memory>

namespace mosaiq {

class CColourPopup : public QWidget {
    Q_OBJECT
public:
    // Opens at `origin` (screen pixels, the picker's bottom-left corner) with the initial colour;
    // an empty text leaves its box out.
    CColourPopup(QWidget* picker, QPoint origin, int buttonTop, Colorref initial,
                 const QString& automaticText, const QString& moreText);

    int HoverIndex() const { return m_hover; }
    int SelectedIndex() const { return m_selected; }
    Colorref ChosenColour() const { return m_chosen; }
    const ColourPopupLayout& Layout() const { return *m_layout; }
    // Chooses an item as a click on it does: a cell 0–39, kPopupAutomatic or kPopupMoreColours.
    void ChooseItem(int item);
    // Moves the keyboard's mark to an item without choosing it.
    void MarkItem(int item) { SetHover(item); }

signals:
    // The colour under the mouse or keyboard changed (the initial colour over More Colours).
    void selectionChanged(Colorref colour);
    void selectionEnded(Colorref colour);
    void selectionCancelled(Colorref colour);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    bool event(QEvent* event) override;

private:
    void SetHover(int index);
    void End(bool ok);
    void DrawItem(QPainter& p, int index);

    QWidget* m_picker;
    std::unique_ptr<ColourPopupLayout> m_layout;
    QString m_automaticText;
    QString m_moreText;
    Colorref m_initial;
    Colorref m_chosen;
    int m_hover = -1;
    int m_selected = -1;
    bool m_ended = false;
};

} // namespace mosaiq
