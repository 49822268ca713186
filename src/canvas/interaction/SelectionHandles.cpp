#include "canvas/interaction/SelectionHandles.h"

#include <QPainter>
#include <QPen>

namespace mosaiq {

HandleTable SelectionHandleRects(int l, int t, int r, int b) {
    const QRect first(l - 8, t - 8, 8, 8);
    const int dy = b - t + 8;
    const int dx = r - l + 8;
    HandleTable h;
    h.fill(first);
    h[1].translate(0, dy / 2);
    h[2].translate(0, dy);
    h[3].translate(dx / 2, dy);
    h[4].translate(dx, dy);
    h[5].translate(dx, dy / 2);
    h[6].translate(dx, 0);
    h[7].translate(dx / 2, 0);
    h[8] = h[0].translated(-8, -8);
    h[9] = h[2].translated(-8, 8);
    h[10] = h[6].translated(8, -8);
    h[11] = h[4].translated(8, 8);
    return h;
}

void DrawSelectionHandles(QPainter& painter, const HandleTable& handles) {
    painter.save();
    painter.setPen(QPen(Qt::black, 1.0));
    painter.setBrush(QColor(0x96, 0xC8, 0xFF));
    for (int i = 0; i < kFirstRotationHandleIndex; ++i)
        painter.drawRect(QRectF(handles[size_t(i)]));
    painter.setBrush(QColor(0x00, 0xFF, 0x00));
    for (int i = kFirstRotationHandleIndex; i < kSelectionHandleCount; ++i)
        painter.drawEllipse(QRectF(handles[size_t(i)]));
    painter.restore();
}

} // namespace mosaiq
