#pragma once

// How a text is laid out on its box, one rule for measuring, drawing and outlining: the text is
// cut into lines at line breaks (CR LF, LF or CR), lines are stacked one line spacing apart from
// the top, and every line starts one sixth of the em size right of the left edge, so the
// measured box has that margin on both sides. Trailing spaces do not count towards the width.

#include <QFontMetricsF>
#include <QPointF>
#include <QSizeF>
#include <QStringList>

class QFont;
class QPainter;
class QPainterPath;

namespace mosaiq {

struct TextLayout {
    QStringList lines;
    double margin = 0;      // left (and right) margin, pixels
    double ascent = 0;      // top of a line to its baseline
    double lineSpacing = 0; // top of one line to the top of the next
    QSizeF size;            // the measured box; empty for an empty text
};

// Lays text out with metrics of a font whose em size is emPixels.
TextLayout LayoutText(const QString& text, const QFontMetricsF& metrics, double emPixels);

// Draws the lines with the painter's current pen and font, the box's top-left at origin.
void DrawTextLayout(QPainter& painter, const TextLayout& layout, QPointF origin);

// Adds the glyph outlines of the lines to path, the box's top-left at origin.
void AddTextLayout(QPainterPath& path, const TextLayout& layout, const QFont& font, QPointF origin);

} // namespace mosaiq
