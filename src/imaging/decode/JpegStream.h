#pragma once

// A walk over the markers of a JPEG stream, for the checks the decoders do not make: whether the
// stream is complete (a truncated file still decodes, with grey where the data ran out) and
// where its EXIF block is. Every offset is checked against the size: safe on untrusted bytes.

#include <QByteArray>

#include <cstdint>

namespace mosaiq {

struct JpegStreamInfo {
    bool isJpeg = false;   // starts with the start-of-image marker
    bool complete = false; // the end-of-image marker follows the last scan
    int scans = 0;         // start-of-scan markers seen (a progressive picture has one per pass)
    QByteArray exif; // the EXIF block (TIFF header onwards) of the first APP1 "Exif", or empty
};

JpegStreamInfo ScanJpegStream(const unsigned char* data, std::int64_t size);

// The orientation tag (1 to 8) of an EXIF block, or 0 when it has none or is damaged.
int ExifOrientation(const QByteArray& exif);

} // namespace mosaiq
