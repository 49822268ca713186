#pragma once

#include "core/text/FixedText.h"
#include "text/TextDraw.h"

#include <QImage>
#include <QPainter>
#include <QRect>

namespace mosaiq::test {

// A measured record in the given style, ready to draw at the origin.
inline TextRecord MakeTextRecord(const QString& text, int style = 0, int height = 48,
                                 const QString& face = QStringLiteral("Arial")) {
    TextRecord r;
    r.font.lfHeight = height;
    WriteFixedText(r.font.lfFaceName, face);
    WriteFixedText(r.text, text);
    r.style = style;
    r.firstColour = MakeColorref(200, 30, 10);
    r.secondColour = MakeColorref(20, 40, 220);
    const QSize size = MeasureText(r);
    r.textWidth = size.width();
    r.textHeight = size.height();
    return r;
}

inline QImage Blank(int w, int h) {
    QImage image(w, h, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

// Draws the record on a transparent image with its box's top-left at (margin, margin).
inline QImage RenderRecord(const TextRecord& r, int margin = 24, TextDrawCache* cache = nullptr) {
    QImage image = Blank(r.textWidth + 2 * margin, r.textHeight + 2 * margin);
    QPainter p(&image);
    p.translate(margin, margin);
    DrawTextObject(p, r, cache);
    return image;
}

// The bounding box of pixels with any alpha, and how many there are.
inline QRect PaintedBounds(const QImage& image, int* count = nullptr) {
    QRect bounds;
    int n = 0;
    for (int y = 0; y < image.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            if (qAlpha(line[x]) > 0) {
                bounds |= QRect(x, y, 1, 1);
                ++n;
            }
        }
    }
    if (count)
        *count = n;
    return bounds;
}

} // namespace mosaiq::test
