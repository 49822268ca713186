#pragma once

// The PNG writer of flat pictures (export, batch conversion, effects). Rows are filtered
// adaptively (the filter with the smallest sum of absolute differences per row, None for
// palette pictures) and compressed with libdeflate, which gives files as small as a zlib level 7
// writer at a fraction of the time. A large picture written while no other picture job runs
// (PictureJob.h) is split into horizontal parts compressed on several threads: every part but the
// last is a zlib stream ended by a sync flush (so they join into one stream), the last one is
// libdeflate's, which ends the stream.
//
// What is written: grey pictures (Format_Grayscale8) as 8-bit grey, palette pictures
// (Format_Indexed8) as 8-bit palette with transparency when the palette has any, pictures with
// an alpha channel as 8-bit RGBA (straight alpha), everything else as 8-bit RGB. The picture's
// resolution goes into a pHYs chunk when it has one.

#include <QByteArray>
#include <QImage>
#include <QString>

#include <cstddef>
#include <cstdint>

namespace mosaiq {

struct PngWriteOptions {
    // Parts compressed at once. 0: as many as the cores not busy with other picture jobs, one for
    // small pictures.
    int threads = 0;
    // Horizontal parts the rows are split into (at most one per row). 0: one per thread.
    int parts = 0;
};

// The PNG file of image; an empty array and a one-line reason when there is nothing to write or
// no memory for it.
QByteArray EncodePng(const QImage& image, const PngWriteOptions& options = {},
                     QString* error = nullptr);

// The adaptive filter of one row of n bytes at bpp bytes per pixel: out receives the filter
// type byte and n filtered bytes. cur and up point bpp bytes into buffers whose first bpp bytes
// are zero; up is all zero for the first row.
void FilterPngRow(const std::uint8_t* cur, const std::uint8_t* up, std::size_t n, int bpp,
                  std::uint8_t* out);

} // namespace mosaiq
