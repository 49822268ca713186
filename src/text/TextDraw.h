#pragma once

// Drawing text objects in their eight styles.
//
// Coordinates: every function draws in the painter's world coordinates, where one unit is one
// pixel of the unzoomed, unscaled text. The text box is (0, 0, textWidth, textHeight); the caller
// places, zooms, scales and turns it with the painter's transform (TextObjectTransform for the
// canvas). Sizes of fonts are pixels of those world coordinates: the measuring rule counts in
// 96-dpi points (1 pt = 4/3 px), so the resolution of the image drawn on does not matter.
//
// Colours are the record's Windows colour values (red in the low byte) with alpha
// TextOpacity(transparency). Style numbers 0 to 7 have their own recipes; any other number draws
// the brown-to-cream fallback gradient.

#include "text/TextRecord.h"

#include <QColor>
#include <QRect>
#include <QSize>
#include <QString>

#include <memory>

class QPainter;

namespace mosaiq {

// The two callers of the styles differ in the outline size and the vertical shadow offset.
enum class TextVariant {
    Canvas,  // paths at trunc(height * 15 / 20) px, the 1/4 copy 3 px right and 3 px down
    Preview, // paths at trunc(height * 18 / 20) px, the 1/4 copy 3 px right only
};

// Everything one drawing of a text object depends on.
struct TextDrawRequest {
    int style = 0;
    QString text;
    LogFontA font;
    QRect box; // the text box in world coordinates; callers pass left = top = 0
    Colorref firstColour = 0;
    Colorref secondColour = 0;
    int opacity = 255; // 0 (invisible) .. 255
    TextVariant variant = TextVariant::Canvas;
};

// Drawing alpha of a transparency: trunc(255 - transparency * 255); transparency is taken
// within 0..1 (a value outside, or not a number, from a damaged record counts as the nearer end,
// NaN as opaque).
int TextOpacity(float transparency);

// The request for drawing a record in its own box (0, 0, textWidth, textHeight).
TextDrawRequest RequestForRecord(const TextRecord& record,
                                 TextVariant variant = TextVariant::Canvas);

// What can be kept between drawings of one text object: the measured size, fonts, outlines,
// stroked areas and soft copies, and, when drawing on a QImage, the finished drawing as device
// pixels for the last turn and zoom (moving by whole pixels puts it down again in one copy). It
// is rebuilt whenever anything the drawing depends on changes (text, font, style, colours,
// opacity, box or variant); the pixel layer also when the turn, zoom or sub-pixel position
// changes. Drawing with it gives what drawing without it gives, to within one step of rounding
// per channel. One cache belongs to one object; it is not shared between threads.
class TextDrawCache {
public:
    TextDrawCache();
    ~TextDrawCache();
    TextDrawCache(TextDrawCache&&) noexcept;
    TextDrawCache& operator=(TextDrawCache&&) noexcept;

    void Clear();
    bool IsEmpty() const;

    struct Prepared;

private:
    friend void DrawTextRequest(QPainter&, const TextDrawRequest&, TextDrawCache*);
    std::unique_ptr<Prepared> m_prepared;
};

// The measured size of a text in a font, in pixels (the measuring rule: em size
// trunc(|lfHeight| * 15 / 20) points at 96 dpi, regular style, lines stacked, a sixth of the em
// as margin left and right). An empty text, or a height under 2, measures (0, 0).
QSize MeasureText(const LogFontA& font, const QString& text);
QSize MeasureText(const TextRecord& record);

// Draws one text object as requested under the painter's current transform. The painter's
// state (pen, brush, hints, transform) is as before afterwards.
void DrawTextRequest(QPainter& painter, const TextDrawRequest& request,
                     TextDrawCache* cache = nullptr);

// The canvas's drawing of a text record: its style, text, font and colours in its box
// (0, 0, textWidth, textHeight), canvas variant. The caller sets the world transform.
void DrawTextObject(QPainter& painter, const TextRecord& record, TextDrawCache* cache = nullptr);

// The text panel's sample: the record's text measured, turned by its angle about its centre,
// scaled by its scale and placed with its measured box's top-left at the box's top-left
// (relative to the painter's current transform), then drawn in the preview variant with the box
// (0, 0, box width, box height).
void DrawTextPreview(QPainter& painter, const TextRecord& record, QRect box);

} // namespace mosaiq
