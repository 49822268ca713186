#pragma once

// The first writer: picks an encoder by MIME type or by file-name pattern and writes a picture
// with a JPEG quality or a TIFF compression. Encoders here: BMP, JPEG, GIF, TIFF, PNG (in that
// order). GIF goes through the image library, PNG through our own writer (PngWriter.h), the
// others through Qt's image writer.

#include <QImage>
#include <QString>

namespace mosaiq {

// Status values of SaveBitmap, as the callers test them.
enum EncoderStatus : int { kEncoderOk = 0, kEncoderGenericError = 1, kEncoderWriteError = 7 };

class CPictureEncoder {
public:
    // mimeOrPath: a MIME type ("image/jpeg") or a file name; a name chooses by the pattern
    // "*" + its lower-cased text from the last dot (Photo.JPG -> "*.jpg"), matched as a substring
    // of each encoder's extension list.
    explicit CPictureEncoder(const QString& mimeOrPath);

    bool Found() const { return m_found; }
    QString MimeType() const { return m_mimeType; }
    void SetQuality(int quality) { m_quality = quality; }
    int Quality() const { return m_quality; }
    // LZW (2) by default; 1 writes TIFF uncompressed.
    void SetTiffCompression(int compression) { m_tiffCompression = compression; }

    // Writes image to path. 0 on success; 1 when no encoder was chosen (nothing written); 7 when
    // the file could not be written. An existing file is replaced only once the new one is
    // complete. ErrorString says why it failed.
    int SaveBitmap(const QImage& image, const QString& path);
    QString ErrorString() const { return m_error; }

private:
    int m_encoder = -1;
    QString m_mimeType;
    int m_quality = 90;
    int m_tiffCompression = 2;
    bool m_found = false;
    QString m_error;
};

} // namespace mosaiq
