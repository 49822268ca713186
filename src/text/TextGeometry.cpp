#include "text/TextGeometry.h"

#include <cmath>

namespace mosaiq {

namespace {

// Float to int as the canvas converts: toward zero, and a value out of range (or NaN, from a
// damaged record) gives the nearest int or 0.
std::int32_t Truncate(float v) {
    if (!(v == v))
        return 0;
    if (v >= 2147483520.0f)
        return INT32_MAX;
    if (v <= -2147483648.0f)
        return INT32_MIN;
    return static_cast<std::int32_t>(v);
}

} // namespace

QTransform TextObjectTransform(const TextRecord& record, float zoom) {
    const int w = record.textWidth, h = record.textHeight;
    const float zs = zoom * record.scale;
    return QTransform::fromTranslate(-(w / 2), -(h / 2)) * QTransform::fromScale(zs, zs) *
           QTransform().rotate(record.angle) *
           QTransform::fromTranslate(zs * float(w) * 0.5f + float(record.x) * zoom,
                                     zs * float(h) * 0.5f + float(record.y) * zoom);
}

Rect32 TextScreenBox(const TextRecord& record, float zoom) {
    const float w = float(record.textWidth), h = float(record.textHeight), s = record.scale;
    const float x = float(record.x), y = float(record.y);
    Rect32 box;
    box.left = Truncate(zoom * x);
    box.top = Truncate(zoom * y);
    box.right = Truncate(zoom * (w * s + x));
    box.bottom = Truncate((y + h * s) * zoom);
    return box;
}

QPainterPath TextHitRegion(const TextRecord& record, float zoom) {
    QPainterPath box;
    box.addRect(0, 0, record.textWidth, record.textHeight);
    return TextObjectTransform(record, zoom).map(box);
}

} // namespace mosaiq
