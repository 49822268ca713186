#pragma once

// Writing a flat picture by its extension: jpg, jpeg, gif, bmp, png and webp through the first
// writer (CPictureEncoder, JPEG and WebP quality 90); every other extension of the type table
// through the image library (heic, heif and avif are read only: refused with a reason). Used by the collage export and the batch converter.

#include <QImage>
#include <QString>

namespace mosaiq {

// True for the extensions (any case) written by the first writer.
bool UsesFirstWriter(const QString& extension);

// Writes image to path as extension says (lower-cased here). An existing file is replaced only
// when the new one is complete. False with a one-line reason on failure.
bool SavePictureByExtension(const QImage& image, const QString& path, const QString& extension,
                            QString* error = nullptr);

// The collage export: a bottom-up BGR buffer (rows of 3 * width bytes) written as above.
bool ExportCanvasPixels(const unsigned char* bottomUpBgr, int width, int height,
                        const QString& path, const QString& extension, QString* error = nullptr);

} // namespace mosaiq
