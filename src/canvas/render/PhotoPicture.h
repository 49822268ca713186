#pragma once

// The pictures a photo object is drawn from: its cropped, scaled and masked picture and its
// scaled frame. Both are made at the photo's displayed size and kept in the object's cache.

#include "canvas/document/Records.h"

#include <QImage>
#include <QSize>
#include <QString>

namespace mosaiq {

// Brings the record's crop inside a picture of pictureSize: a negative or too large left or top
// becomes 0, a negative or too large right or bottom becomes the picture's width or height. A
// crop left empty after that is widened to the whole picture, so the photo stays visible.
// Returns true when a value changed.
bool ClampCrop(PhotoRecord& record, QSize pictureSize);

struct PhotoPictureResult {
    QImage picture;           // Format_ARGB32_Premultiplied; null when nothing could be made
    bool fileMissing = false; // the picture file does not exist (tried again next time)
    bool maskMissing = false; // the record's mask could not be read: picture left unmasked
    QString error;            // why a present file gave no picture
};

// Decodes the photo's file at no more than the resolution its displayed size needs (reduced
// JPEG decoding), clamps the crop against the picture's own size and writes it back into the
// record, cuts the crop out and scales it down to displayed when the display is narrower than
// the crop (never up), then applies the mask when the record has one (a mask that cannot be
// read leaves the picture unmasked and says so in maskMissing).
// upright turns the picture by its orientation tag (CanvasObject::upright).
PhotoPictureResult BuildPhotoPicture(PhotoRecord& record, QSize displayed, bool upright = true);

// Sets every pixel's alpha to 255 minus the blue of the mask scaled to the picture's size
// (black keeps the photo, white removes it). A mask with an alpha channel is first laid on white
// (MaskOnWhite), so where it is transparent the photo is hidden. The picture is
// Format_ARGB32_Premultiplied; its colours are scaled to the new alpha.
void ApplyMaskAlpha(QImage& picture, const QImage& mask);
// The mask drawn over white, as an opaque Format_RGB32 picture of its size.
QImage MaskOnWhite(const QImage& mask);

// The mask of a photo record: the custom mask found by key, or entry maskId - 1 of the mask
// library. Null when the record has none or it cannot be read.
QImage PhotoMask(const PhotoRecord& record);

// Frame entry frameId - 1 of the frame library scaled to displayed; null when it cannot be read.
QImage BuildFramePicture(int frameId, QSize displayed);

} // namespace mosaiq
