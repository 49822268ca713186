#include "canvas/render/DisplayScaling.h"

namespace mosaiq {

QImage ScaleForDisplay(const QImage& picture, QSize size) {
    if (picture.isNull() || size.isEmpty())
        return {};
    QImage current = picture.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    while (current.width() > 2 * size.width() || current.height() > 2 * size.height()) {
        const QSize half(std::max(size.width(), (current.width() + 1) / 2),
                         std::max(size.height(), (current.height() + 1) / 2));
        current = current.scaled(half, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    }
    if (current.size() != size)
        current = current.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    return current.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

} // namespace mosaiq
