#pragma once

#include <QString>

namespace mosaiq {

// Picture type codes: the image library's number for each format, chosen from a file's
// extension. The same codes serve loading and saving.
enum PictureTypeCode : int {
    kPictureUnknown = 0,
    kPictureBmp = 1,
    kPictureGif = 2,
    kPictureJpeg = 3,
    kPicturePng = 4,
    kPictureIco = 5,
    kPictureTiff = 6,
    kPictureTga = 7,
    kPicturePcx = 8,
    kPictureWbmp = 9,
    kPictureMetafile = 10, // wmf and emf
    kPictureJp2 = 11,      // jp2, j2k
    kPictureJpc = 12,      // jpc, j2c
    kPicturePgx = 13,
    kPicturePnm = 14, // pnm, pgm, ppm
    kPictureRas = 15,
    // Phone formats, read by the first decoder's side (libheif for HEIF, Qt's plugin for WebP).
    kPictureWebp = 16,
    kPictureHeif = 17, // heic, heif, hif
    kPictureAvif = 18,
};

// The type code of an extension (without its dot, any case); 0 for an extension not in the table.
int PictureTypeFromExtension(const QString& extension);

// The text after the last '.' of the file name part of path, or an empty string when the name
// has no dot or nothing follows it.
QString PictureExtension(const QString& path);

} // namespace mosaiq
