#include "imaging/magick/PictureFile.h"

#include "core/files/RegularFile.h"
#include "imaging/decode/JpegStream.h"
#include "imaging/files/PictureLimits.h"
#include "imaging/files/PictureType.h"

#include <QFile>

#include <cstring>

namespace mosaiq {

namespace {

// The EXIF block lives in the first segments; 256 KiB holds every APP1 segment (at most 64 KiB)
// and what normally precedes it.
QByteArray ReadJpegExif(const QString& path) {
    QFile file;
    if (OpenRegularFile(file, path) != OpenFailure::None)
        return QByteArray();
    const QByteArray head = file.read(256 * 1024);
    return ScanJpegStream(reinterpret_cast<const unsigned char*>(head.constData()), head.size())
        .exif;
}

} // namespace

void CPictureFile::Release() {
    if (m_picture)
        m_picture->SetEscape(1);
    m_picture.reset();
}

bool CPictureFile::Load(const QString& path) {
    const QString extension = PictureExtension(path);
    if (extension.isEmpty()) {
        m_error = QStringLiteral("%1 has no extension").arg(path);
        return false;
    }
    Release();
    m_exif.clear();
    auto picture = std::make_unique<LibraryImage>(path, PictureTypeFromExtension(extension));
    if (!picture->IsValid()) {
        m_error = picture->ErrorString();
        return false;
    }
    if (picture->GetType() == kPictureJpeg)
        m_exif = ReadJpegExif(path);
    m_picture = std::move(picture);
    m_error.clear();
    return true;
}

bool CPictureFile::PictureFromPixels(const unsigned char* bottomUpBgr, int width, int height) {
    Release();
    if (!bottomUpBgr || !PictureSizeAllowed(QSize(width, height), &m_error))
        return false;
    QImage pixels(width, height, QImage::Format_BGR888);
    if (pixels.isNull()) {
        m_error = QStringLiteral("not enough memory for %1 x %2 pixels").arg(width).arg(height);
        return false;
    }
    const size_t rowBytes = size_t(width) * 3;
    for (int y = 0; y < height; ++y)
        std::memcpy(pixels.scanLine(height - 1 - y), bottomUpBgr + size_t(y) * rowBytes, rowBytes);
    m_picture = std::make_unique<LibraryImage>(LibraryImage::FromImage(pixels, kPictureBmp));
    m_error.clear();
    return true;
}

int CPictureFile::ExifOrientation() const {
    return mosaiq::ExifOrientation(m_exif);
}

} // namespace mosaiq
