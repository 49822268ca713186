#pragma once

// Writers that take a picture as horizontal bands from top to bottom and stream each band to the
// file, so a large export never holds the whole picture: JPEG (libjpeg-turbo, quality 90), PNG
// (adaptive row filters, zlib), TIFF (libtiff, LZW) and BMP (24-bit, rows placed at their
// offsets). Every writer goes through a file renamed over the target only when Finish succeeds,
// and writes the resolution (JFIF density, pHYs, the TIFF resolution tags, the BMP header's
// pixels per metre) when one is given.

#include <QImage>
#include <QSize>
#include <QString>

#include <memory>

namespace mosaiq {

class BandWriter {
public:
    virtual ~BandWriter() = default;
    // Starts the file of a picture of size at dpi dots per inch (0: no resolution written).
    // False with ErrorString() when the file cannot be made.
    virtual bool Begin(const QString& path, QSize size, int dpi) = 0;
    // The next rows of the picture, top to bottom: an opaque band (Format_RGB32) of the
    // picture's width. False with ErrorString() when they cannot be written.
    virtual bool WriteBand(const QImage& band) = 0;
    // Ends the file and renames it over the target; false with ErrorString() on failure. A
    // writer destroyed without Finish leaves the target as it was.
    virtual bool Finish() = 0;
    QString ErrorString() const { return m_error; }

protected:
    QString m_error;
};

// The streaming writer for an extension (jpg, jpeg, png, tif, tiff, bmp; any case), or null when
// that type has none.
std::unique_ptr<BandWriter> MakeBandWriter(const QString& extension);

// Dots per inch as dots per metre, rounded.
int DotsPerMetre(int dpi);

// The writers of each type (BandWriter*.cpp).
std::unique_ptr<BandWriter> MakeJpegBandWriter();
std::unique_ptr<BandWriter> MakePngBandWriter();
std::unique_ptr<BandWriter> MakeTiffBandWriter();
std::unique_ptr<BandWriter> MakeBmpBandWriter();

} // namespace mosaiq
