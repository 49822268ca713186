#pragma once

// What the compositor keeps for one canvas object between drawing passes. The document holds it
// through CanvasObject::cache and only ever drops it; every operation that changes what these
// pictures depend on (crop, mask, frame, zoom, tuning, clearing) drops it, and the next pass
// builds it again.

#include "canvas/Records.h"
#include "text/TextDraw.h"

#include <QImage>
#include <QSize>

#include <cstring>

namespace mosaiq {

// What the drawable picture was made from, so it is remade only when one of these changes.
struct DrawableKey {
    float opacity = 1.0f;
    TuningBlock tuning;
    QSize displayed; // photos with a frame: the composed size
    bool framed = false;
    bool withPicture = true; // a framed photo whose file has gone shows its frame alone

    friend bool operator==(const DrawableKey& a, const DrawableKey& b) {
        return a.opacity == b.opacity && a.displayed == b.displayed && a.framed == b.framed &&
               a.withPicture == b.withPicture &&
               std::memcmp(&a.tuning, &b.tuning, sizeof(TuningBlock)) == 0;
    }
};

struct ObjectCache {
    // Cliparts and stamps: the source picture as read (recoloured), kept so that a new
    // displayed size does not read the library again.
    QImage source;
    // Cliparts and stamps: the source picture (recoloured), reduced to the displayed size when
    // the display is smaller. Photos: the cropped, scaled and masked picture.
    // Format_ARGB32_Premultiplied.
    QImage picture;
    // The displayed size picture was made for.
    QSize builtFor;
    // The picture could not be made from a present file; not tried again until dropped.
    bool failed = false;
    // Photos: the record's mask could not be read when picture was made; picture is unmasked
    // and the mask is tried again on the next pass.
    bool maskPending = false;
    // Photos: the frame scaled to builtFor (null without a frame or while it cannot be read).
    QImage frame;

    // The picture after the colour pass, and for a framed photo with the frame composed over it
    // at the displayed size: drawn with one scaled draw. Null when the picture is drawn as it is
    // (only opacity applies) or not yet made.
    QImage drawable;
    DrawableKey drawableKey;
    bool drawableValid = false;

    // Text objects: fonts, outlines and soft copies of the last drawing.
    TextDrawCache text;
};

} // namespace mosaiq
