#pragma once

#include "imaging/magick/ImageLibrary.h"

#include <QByteArray>
#include <QString>

#include <memory>

namespace mosaiq {

// Holds one picture decoded by the image library, and the EXIF block of a loaded JPEG file.
class CPictureFile {
public:
    CPictureFile() = default;
    ~CPictureFile() { Release(); }
    CPictureFile(const CPictureFile&) = delete;
    CPictureFile& operator=(const CPictureFile&) = delete;

    // Decodes the file with the type code of its extension (0, "let the library decide", when the
    // extension is unknown). Fails before reading anything when the name has no extension. For a
    // JPEG the EXIF block is read too; pixels are used as stored, never turned by it.
    bool Load(const QString& path);
    // Replaces the held picture by one made from a bottom-up BGR buffer of width x height pixels
    // with rows of exactly 3 * width bytes (no padding, any width).
    bool PictureFromPixels(const unsigned char* bottomUpBgr, int width, int height);

    // The held picture, or null.
    LibraryImage* Picture() { return m_picture.get(); }
    const LibraryImage* Picture() const { return m_picture.get(); }
    // The EXIF block (from the TIFF header on) of the last loaded JPEG, or empty.
    const QByteArray& ExifBlock() const { return m_exif; }
    int ExifOrientation() const;
    // Why the last Load or PictureFromPixels failed.
    QString ErrorString() const { return m_error; }

    // Asks any running operation of the picture to stop, then releases it.
    void Release();

private:
    std::unique_ptr<LibraryImage> m_picture;
    QByteArray m_exif;
    QString m_error;
};

} // namespace mosaiq
