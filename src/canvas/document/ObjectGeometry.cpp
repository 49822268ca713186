#include "canvas/document/ObjectGeometry.h"

#include <cmath>

namespace mosaiq {

int TruncToInt(float v) {
    if (!std::isfinite(v))
        return 0;
    if (v >= 2147483520.0f)
        return 2147483520;
    if (v <= -2147483520.0f)
        return -2147483520;
    return int(v);
}

QSize DisplayedSize(int width, int height, float scale, float zoom) {
    const auto side = [&](int s) {
        const int t = TruncToInt(float(s) * scale * zoom);
        if (t <= 0)
            return 0;
        return 4 * (std::min(t, kMaxDisplayedSide) / 4);
    };
    return {side(width), side(height)};
}

QTransform ObjectTransform(QSize displayed, float angle, int x, int y, float zoom) {
    const int hw = displayed.width() / 2;
    const int hh = displayed.height() / 2;
    QTransform t = QTransform::fromTranslate(-hw, -hh);
    t *= QTransform().rotate(std::isfinite(angle) ? angle : 0.0f);
    t *= QTransform::fromTranslate(qreal(hw) + qreal(float(x) * zoom),
                                   qreal(hh) + qreal(float(y) * zoom));
    return t;
}

QPolygonF ObjectRegion(const QRect& region, QSize unscaled, float regionScale, float scale,
                       float angle, QSize displayed, int x, int y, float zoom) {
    if (!(regionScale > 0.0f) || !std::isfinite(regionScale) || !std::isfinite(scale))
        return {};
    QTransform t = QTransform::fromTranslate(-qreal(float(unscaled.width()) * regionScale * 0.5f),
                                             -qreal(float(unscaled.height()) * regionScale * 0.5f));
    const qreal factor = qreal(scale * zoom / regionScale);
    t *= QTransform::fromScale(factor, factor);
    t *= QTransform().rotate(std::isfinite(angle) ? angle : 0.0f);
    t *= QTransform::fromTranslate(qreal(displayed.width() / 2) + qreal(float(x) * zoom),
                                   qreal(displayed.height() / 2) + qreal(float(y) * zoom));
    return t.map(QPolygonF(QRectF(region)));
}

QRect FramedPictureRect(QSize displayed, const RecordFrameWindow& window) {
    const float dw = float(displayed.width());
    const float dh = float(displayed.height());
    return {TruncToInt(dw * (window.left - 0.01f)), TruncToInt(dh * (window.top - 0.01f)),
            TruncToInt(dw * (window.right - window.left + 0.02f)),
            TruncToInt(dh * (window.bottom - window.top + 0.02f))};
}

} // namespace mosaiq
