#pragma once

// Fonts of text objects. A text object names its face as a Windows face name ("Arial", "Microsoft
// Sans Serif", "Arial Black"); fontconfig picks the installed family that stands in for it, so a
// missing face always falls back to a metric-compatible or default family, never to nothing.
//
// Sizes: the text rules count in 96-dpi points (1 pt = 4/3 px). Every font made here for drawing
// is sized in pixels of the painter's world coordinates, so the resolution of the image drawn on
// never changes the size of the text.

#include "text/TextRecord.h"

#include <QFont>
#include <QFontMetricsF>
#include <QString>

namespace mosaiq {

// The installed family that draws a face name, with the weight the name implies ("Arial Black"
// is the Arial stand-in at black weight). Thread-safe; results are remembered per name.
struct ResolvedFace {
    QString family;
    QFont::Weight weight = QFont::Normal;
};
ResolvedFace ResolveFace(const QString& faceName);

// The face name stored in a logical font (UTF-8, or Windows-1252 when not valid UTF-8).
QString FaceName(const LogFontA& font);

// |lfHeight| as the text rules use it (a negative height is a character height), limited to
// kMaxFontHeight so that a damaged record cannot ask for a font of absurd size.
constexpr int kMaxFontHeight = 500;
int FontHeight(const LogFontA& font);

// The measuring font: em size trunc(height * 15 / 20) points, regular style. It is sized in
// points, so measure it with MetricsAt96Dpi; emPixels receives its em size in pixels (4/3 of the
// points; 0 when the height is too small to make a font).
QFont MeasuringFont(const LogFontA& font, double* emPixels = nullptr);
QFontMetricsF MetricsAt96Dpi(const QFont& font);

// The drawing font of a logical font, as a Windows font is made from it: a negative lfHeight is
// the character (em) height in pixels, a positive one the cell height (ascent + descent); weight,
// italic, underline and strike-out as stored. emPixels receives the em height (0 when empty).
QFont LogicalFont(const LogFontA& font, int* emPixels = nullptr);

// The outline font of the styled paths: the face in bold at emPixels pixels.
QFont PathFont(const LogFontA& font, int emPixels);

} // namespace mosaiq
