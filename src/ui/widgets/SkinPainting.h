#pragma once

// Helpers that draw parts of skin bitmaps the way the controls compose them: a part copied 1:1, a
// part stretched, a part repeated, and the three-part face. Rectangles are logical pixels, so a
// bitmap made at a higher device pixel ratio draws sharp.

#include <QColor>
#include <QFont>
#include <QRect>

class QPainter;
class QPixmap;

namespace mosaiq {

// The font every owner-drawn control writes its text in (the system's small dialog font).
QFont DefaultGuiFont();

// Draws the `source` part of `bitmap` (logical pixels) into `target`, stretched to fit.
void DrawBitmapPart(QPainter& painter, const QRect& target, const QPixmap& bitmap,
                    const QRect& source);
// Copies the `source` part 1:1 again and again across `target`, left to right and top to bottom.
void TileBitmapPart(QPainter& painter, const QRect& target, const QPixmap& bitmap,
                    const QRect& source);

// The face of the colour picker and the combo box (bitmap 131): its left 10 columns, a middle span
// from x 10 that is `middleWidth` wide stretched across, and the 20-column arrow from x 94.
void DrawThreePartFace(QPainter& painter, const QRect& target, int middleWidth);

// The keyboard focus mark every control draws while it has the focus: a 1-pixel dotted outline
// in the skin's accent colour just inside `target`.
void DrawFocusMark(QPainter& painter, const QRect& target);
// The accent colour of the focus mark.
QColor FocusMarkColour();

} // namespace mosaiq
