#pragma once

// The program's artwork, reached by resource id. Ids are per kind, as resource ids are: bitmap 194
// (a button face) and icon 194 (the Open icon) are different things. Bitmaps are drawn by code at
// the screen's device pixel ratio, icons and cursors come from SVG, so everything stays sharp on
// high-DPI screens. Sizes are logical pixels.

#include <QCursor>
#include <QIcon>
#include <QPixmap>
#include <QString>

#include <vector>

namespace mosaiq {

enum class SkinKind { Bitmap, Icon, Cursor };

struct SkinItem {
    SkinKind kind;
    int id;
    QString role; // what the item shows, e.g. "caption-close-hover"
    QSize size;   // logical size
};

// Every item of the skin, bitmaps first, then icons, then cursors, each by id.
const std::vector<SkinItem>& SkinItems();
// The item of that kind and id, or nullptr.
const SkinItem* FindSkinItem(SkinKind kind, int id);

// A bitmap at the application's device pixel ratio (or the one given); null for an unknown id.
QPixmap SkinBitmap(int id);
QPixmap SkinBitmap(int id, qreal devicePixelRatio);
// An icon (enabled icons also carry a greyed disabled mode); null for an unknown id.
QIcon SkinIcon(int id);
// The icon's picture at its own size (16 × 16, the missing-file icon 32 × 32).
QPixmap SkinIconPixmap(int id, qreal devicePixelRatio = 0);
// A cursor with its hot spot; the arrow cursor for an unknown id.
QCursor SkinCursor(int id);
QPixmap SkinCursorPixmap(int id, qreal devicePixelRatio = 0);

} // namespace mosaiq
