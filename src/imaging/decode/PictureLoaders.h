#pragma once

// Loaders that turn picture files into the pixel buffers their users need, by the two-decoder
// rule. Buffers are packed 3 bytes a pixel with rows of exactly 3 * width bytes; each loader says
// its row order and byte order.

#include <QByteArray>
#include <QImage>
#include <QRect>
#include <QSize>
#include <QString>

class QPainter;

namespace mosaiq {

// Fills out (width * height * 3 bytes, allocated by the caller) with the picture stretched to
// exactly width x height (no letterboxing), transparent parts on white. Bottom-up RGB: the
// picture's top row is the last row of out. Returns 1, or 0 with out untouched when the picture
// cannot be read (reason says why).
int LoadThumbnailPixels(const QString& path, unsigned char* out, int width, int height,
                        QString* reason = nullptr);

// Fills out (width * height * 3 bytes) with the picture resampled to width x height, top-down
// BGR. A picture of exactly that size is copied unchanged. False with out untouched on failure.
bool LoadScaledPixels(const QString& path, unsigned char* out, int width, int height,
                      QString* reason = nullptr);

// Integer bilinear resampling of a packed buffer of n bytes per pixel (rows n * sw bytes apart)
// to dw x dh. Not reversed: rows and channels in source order. Reversed: destination rows from
// the last upwards and the n channels of each pixel in reverse order (top-down BGR becomes
// bottom-up RGB). Neighbours past the last source row or column are clamped to it.
void ResampleBilinear(const unsigned char* source, unsigned char* destination, int sw, int sh,
                      int dw, int dh, int n, bool reversed);

// The size of a w x h picture fitted into bw x bh with its aspect kept; a picture that already
// fits keeps its size unless always is set. (0, 0) when any of the four is 0.
QSize FitSize(int w, int h, int bw, int bh, bool always);

// Draws a stored thumbnail (encoded bytes, stored bottom row first as the photo list makes them)
// stretched into target: mirrored turns it by 180 degrees instead of flipping it upright, then
// quarterTurns (0 to 3) turn it clockwise. False when the bytes do not decode.
bool DrawEncodedPicture(const QByteArray& bytes, int quarterTurns, QPainter& painter,
                        const QRect& target, bool mirrored);

// The crop tool's working picture: pictures up to 1,920,000 pixels at their own size (width cut
// to a multiple of 4); larger ones downscaled to 1600 wide (wider than 4:3) or 1200 high.
struct WorkingPicture {
    bool ok = false;
    int decoder = -1;  // 0: the picture as decoded; 1: image library route (large or not readable
                       // by the first decoder)
    int type = 0;      // type code of the extension (image-library route)
    int fullWidth = 0; // the picture's own size
    int fullHeight = 0;
    int width = 0; // working size; width a multiple of 4
    int height = 0;
    QByteArray pixels; // top-down BGR, rows of 3 * width bytes
    QString error;
};
// upright turns it by its orientation tag, as the photo is shown (CanvasObject::upright).
WorkingPicture LoadWorkingPicture(const QString& path, bool upright = true);

// The working size of a full-size picture (before cutting the width to a multiple of 4).
QSize WorkingPictureSize(int fullWidth, int fullHeight);

// A picture stretched to exactly size on opaque white, smooth in steps of at most 2x.
QImage StretchOnWhite(const QImage& source, QSize size);

} // namespace mosaiq
