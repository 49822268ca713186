#pragma once

// What a picture file says about how to show its pixels, read from its bytes without decoding
// them: the orientation tag (which side of the stored picture is up) and the embedded colour
// profile. Every length and offset is checked against the bytes before it is followed.

#include <QByteArray>
#include <QImage>
#include <QSize>

#include <cstddef>

namespace mosaiq {

// The largest colour profile taken from a picture (real ones are a few kilobytes; a big
// lookup-table profile stays well under 4 MiB).
constexpr int kMaxColourProfileBytes = 8 << 20;

struct PictureMetadata {
    // The orientation tag, 1 to 8 (1: stored upright); 1 when absent or out of range.
    int orientation = 1;
    // The embedded colour profile (ICC) bytes; empty when there is none or it is damaged.
    QByteArray colourProfile;
};

// Reads the orientation and colour profile of a JPEG (APP1 "Exif", APP2 "ICC_PROFILE"), PNG
// (eXIf, iCCP), TIFF (the first directory's Orientation and ICC tags) or WebP ("EXIF", "ICCP"
// chunks) held in data. Other formats, and damaged metadata, give the defaults.
PictureMetadata ScanPictureMetadata(const unsigned char* data, std::size_t size);

// The orientation tag of an EXIF/TIFF block (starting at its "II" or "MM" byte-order mark); 1
// when absent, damaged or out of range.
int TiffOrientation(const unsigned char* data, std::size_t size);
// The same, 0 when absent, damaged or out of range.
int TiffOrientationTag(const unsigned char* data, std::size_t size);

// True for the orientations that swap width and height (5 to 8).
bool OrientationSwapsSides(int orientation);

// The size a stored picture of size has once turned upright by orientation.
QSize OrientedSize(QSize size, int orientation);

// The stored picture turned upright by orientation: 2 mirrors it left to right, 3 turns it by
// 180 degrees, 4 mirrors it top to bottom, 5 transposes it, 6 turns it a quarter clockwise,
// 7 transposes it across the other diagonal, 8 turns it a quarter anticlockwise.
QImage OrientImage(const QImage& image, int orientation);

} // namespace mosaiq
