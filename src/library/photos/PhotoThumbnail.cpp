#include "library/photos/PhotoThumbnail.h"

#include "imaging/decode/DecodeCost.h"

#include <QBuffer>
#include <QImageReader>
#include <QTransform>

namespace mosaiq {

QImage DecodePhotoThumbnail(const QByteArray& bytes, std::uint32_t rotation) {
    if (bytes.isEmpty())
        return QImage();
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    const QSize announced = reader.size();
    if (!announced.isValid() || announced.width() > kMaxThumbnailSide ||
        announced.height() > kMaxThumbnailSide || !DecodeCostBounded(bytes, nullptr))
        return QImage();
    QImage image;
    if (!reader.read(&image) || image.isNull() || image.width() > kMaxThumbnailSide ||
        image.height() > kMaxThumbnailSide)
        return QImage();
    // Bottom row first: a vertical flip makes it upright, then the record's quarter turns.
    return image.transformed(QTransform().scale(1, -1) *
                             QTransform().rotate(90.0 * (rotation & 3)));
}

} // namespace mosaiq
