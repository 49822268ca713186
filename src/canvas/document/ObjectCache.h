#pragma once

// What the compositor keeps for one canvas object between drawing passes. The document holds it
// through CanvasObject::cache and only ever drops it; every operation that changes what these
// pictures depend on (crop, mask, frame, zoom, tuning, clearing) drops it, and the next pass
// builds it again.

#include "canvas/document/Records.h"
#include "text/TextDraw.h"

#include <QImage>
#include <QPoint>
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

// What a prepared picture was drawn from: the look (colour settings, frame, pictures) and the
// object's transform to device pixels less its whole-pixel translation.
struct PreparedKey {
    DrawableKey look;
    qint64 pictureKey = 0;
    qint64 frameKey = 0;
    RecordFrameWindow frameWindow{};
    QSize box; // the displayed box drawn
    qreal m11 = 1, m12 = 0, m21 = 0, m22 = 1, dx = 0, dy = 0;
    qreal corner = 0; // radius of a rounded layout cell, device pixels

    friend bool operator==(const PreparedKey& a, const PreparedKey& b) {
        return a.look == b.look && a.pictureKey == b.pictureKey && a.frameKey == b.frameKey &&
               a.corner == b.corner &&
               std::memcmp(&a.frameWindow, &b.frameWindow, sizeof(RecordFrameWindow)) == 0 &&
               a.box == b.box && a.m11 == b.m11 && a.m12 == b.m12 && a.m21 == b.m21 &&
               a.m22 == b.m22 && a.dx == b.dx && a.dy == b.dy;
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

    // The object exactly as the view shows it (turned, scaled, tuned, framed, with its opacity and
    // the fraction of a pixel of its position), premultiplied, covering its turned box; a redraw
    // copies it to a whole-pixel position. Remade when preparedKey changes.
    QImage prepared;
    PreparedKey preparedKey;
    QPoint preparedOffset; // prepared's top-left relative to the whole-pixel translation
    bool preparedValid = false;

    // Text objects: fonts, outlines and soft copies of the last drawing.
    TextDrawCache text;
};

} // namespace mosaiq
