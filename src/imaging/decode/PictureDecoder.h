#pragma once

// The two-decoder rule: Qt's image reader is the first decoder; a file it cannot open, and every
// metafile (wmf, emf), goes to the image library. Every loader follows this rule.

#include <QImage>
#include <QSize>
#include <QString>

namespace mosaiq {

enum PictureDecoderId : int { kDecoderNone = -1, kDecoderFirst = 0, kDecoderLibrary = 1 };

// How a decoded picture is turned. Upright applies the file's orientation tag (JPEG, PNG, TIFF,
// WebP), so phone photos stored sideways come out the way they were taken; AsStored keeps the
// stored pixels (photos of projects written before pictures were turned, which must keep their
// geometry). HEIF pictures are always turned by their own transform boxes.
enum class PictureTurn { Upright, AsStored };

struct DecodedPicture {
    // Format_RGB32 for opaque pictures, Format_ARGB32_Premultiplied with transparency; null on
    // failure.
    QImage image;
    QSize fullSize;             // the picture's own size as turned (image may be a reduced decode)
    int orientation = 1;        // the file's orientation tag (1 to 8), whether applied or not
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
// The file's colour profile, if any, is converted to sRGB. minimum is in the turned picture's
// sides.
DecodedPicture DecodePicture(const QString& path, QSize minimum = QSize(),
                             PictureTurn turn = PictureTurn::Upright);

// The same at full size, with transparency as Format_ARGB32 (straight alpha), so the colour
// values under transparent pixels survive (the batch converter writes them to formats without
// an alpha channel).
DecodedPicture DecodePictureStraight(const QString& path, PictureTurn turn = PictureTurn::Upright);

// The same for an encoded picture in memory; extension stands in for the file's (it picks the
// image library's type code and the metafile rule).
DecodedPicture DecodePictureData(const QByteArray& data, const QString& extension,
                                 QSize minimum = QSize(), PictureTurn turn = PictureTurn::Upright);

// The size of the picture at path by the two-decoder rule, reading only its header and
// orientation tag where the decoder allows (Upright: the size it is shown at, sides swapped for
// a picture stored sideways). False, with a reason, when neither decoder can read it.
bool ReadPictureSize(const QString& path, QSize* size, QString* reason = nullptr,
                     PictureTurn turn = PictureTurn::Upright);

// The orientation tag of the picture at path (1 to 8), read from its metadata alone; 1 when it
// has none, cannot be read, or is a HEIF picture (turned by its own transform boxes).
int ReadPictureOrientation(const QString& path);

// For display caches (the canvas compositor's photo cache): decodes path at least minimum in size
// (scaled decoding for JPEG, see DecodePicture) and returns Format_ARGB32_Premultiplied, ready
// for QPainter. fullSize receives the picture's own size. Null image on failure, with a reason.
QImage DecodePictureAtLeast(const QString& path, QSize minimum, QSize* fullSize = nullptr,
                            QString* reason = nullptr, PictureTurn turn = PictureTurn::Upright);

} // namespace mosaiq
