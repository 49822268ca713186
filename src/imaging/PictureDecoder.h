#pragma once

// The two-decoder rule: Qt's image reader is the first decoder; a file it cannot open, and every
// metafile (wmf, emf), goes to the image library. Every loader follows this rule.

#include <QImage>
#include <QSize>
#include <QString>

namespace mosaiq {

enum PictureDecoderId : int { kDecoderNone = -1, kDecoderFirst = 0, kDecoderLibrary = 1 };

struct DecodedPicture {
    // Format_RGB32 for opaque pictures, Format_ARGB32_Premultiplied with transparency; null on
    // failure.
    QImage image;
    QSize fullSize;             // the picture's own size (image may be a reduced decode)
    int decoder = kDecoderNone; // which decoder read it
    int type = 0;               // type code of the file's extension
    QString error;              // why nothing was decoded (one line)
    bool Ok() const { return !image.isNull(); }
};

// Decodes the picture at path by the two-decoder rule. With a valid minimum, a decoder that can
// decode at a reduced scale (JPEG: 1/2, 1/4 or 1/8 through the DCT) may return a smaller picture,
// aspect kept, never narrower than minimum.width() nor lower than minimum.height() unless the
// picture itself is. Truncated, empty and oversized pictures are refused with a reason.
// Thread-safe: any number of threads may decode at once.
DecodedPicture DecodePicture(const QString& path, QSize minimum = QSize());

// The same at full size, with transparency as Format_ARGB32 (straight alpha), so the colour
// values under transparent pixels survive (the batch converter writes them to formats without
// an alpha channel).
DecodedPicture DecodePictureStraight(const QString& path);

// The same for an encoded picture in memory; extension stands in for the file's (it picks the
// image library's type code and the metafile rule).
DecodedPicture DecodePictureData(const QByteArray& data, const QString& extension,
                                 QSize minimum = QSize());

// The size of the picture at path by the two-decoder rule, reading only its header where the
// decoder allows. False, with a reason, when neither decoder can read it.
bool ReadPictureSize(const QString& path, QSize* size, QString* reason = nullptr);

// For display caches (the canvas compositor's photo cache): decodes path at least minimum in size
// (scaled decoding for JPEG, see DecodePicture) and returns Format_ARGB32_Premultiplied, ready
// for QPainter. fullSize receives the picture's own size. Null image on failure, with a reason.
QImage DecodePictureAtLeast(const QString& path, QSize minimum, QSize* fullSize = nullptr,
                            QString* reason = nullptr);

} // namespace mosaiq
