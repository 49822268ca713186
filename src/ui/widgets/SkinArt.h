#pragma once

// Drawing functions of the code-drawn bitmaps; internal to the skin.

#include <QColor>
#include <QSize>

class QPainter;

namespace mosaiq::skinart {

// The skin's colours: three greys for grounds, the caption slate and one blue accent.
inline const QColor kGround240(240, 240, 240);
inline const QColor kGround230(230, 230, 230);
inline const QColor kGround221(221, 221, 221);
inline const QColor kCaption(136, 146, 160);
inline const QColor kCaptionDark(104, 114, 128);
inline const QColor kLine(166, 172, 180);
inline const QColor kInk(70, 78, 90);
inline const QColor kAccent(61, 127, 208);

using DrawFn = void (*)(QPainter&, QSize);

struct BitmapArt {
    int id;
    const char* role;
    QSize size;
    DrawFn draw;
};

// Every code-drawn bitmap, by id.
const BitmapArt* BitmapArtTable(int* count);

} // namespace mosaiq::skinart
