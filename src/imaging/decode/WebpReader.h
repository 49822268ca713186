#pragma once

// Still WebP pictures through libwebp itself. The size comes from the file's own header (at most
// 16383 a side), so a plain picture coded losslessly in a few hundred bytes is read like any
// other; and the alpha is kept wherever a pixel is not opaque, also when the header's hint says
// the picture has none (a lossless picture whose palette holds transparent entries).

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>

namespace mosaiq {

struct WebpPicture {
    bool still = false; // a single picture this reader takes (animations are left to others)
    QSize size;         // from the header
    QImage image;       // Format_RGB32, or Format_ARGB32 (straight) with transparency
    QString error;      // why nothing was read (one line)
};

// True when data is a RIFF file of WebP.
bool LooksLikeWebp(const QByteArray& data);

// Reads the header of data and, unless sizeOnly, the picture; the caller checks the size against
// its limits first (a header claim is cheap to read). An animated file comes back with still
// false and nothing read.
WebpPicture ReadWebpHeader(const QByteArray& data);
bool DecodeWebp(const QByteArray& data, WebpPicture* picture);

} // namespace mosaiq
