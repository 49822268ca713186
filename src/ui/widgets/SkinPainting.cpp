#include "ui/widgets/SkinPainting.h"

#include "ui/widgets/Skin.h"

#include <QPainter>
#include <QPixmap>

namespace mosaiq {

namespace {
QRectF DevicePixels(const QRect& logical, qreal ratio) {
    return QRectF(logical.x() * ratio, logical.y() * ratio, logical.width() * ratio,
                  logical.height() * ratio);
}
} // namespace

QFont DefaultGuiFont() {
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(11);
    return font;
}

void DrawBitmapPart(QPainter& painter, const QRect& target, const QPixmap& bitmap,
                    const QRect& source) {
    if (target.isEmpty() || source.isEmpty() || bitmap.isNull())
        return;
    painter.drawPixmap(QRectF(target), bitmap, DevicePixels(source, bitmap.devicePixelRatio()));
}

void TileBitmapPart(QPainter& painter, const QRect& target, const QPixmap& bitmap,
                    const QRect& source) {
    if (target.isEmpty() || source.isEmpty() || bitmap.isNull())
        return;
    painter.save();
    painter.setClipRect(target, Qt::IntersectClip);
    for (int y = target.top(); y <= target.bottom(); y += source.height())
        for (int x = target.left(); x <= target.right(); x += source.width())
            DrawBitmapPart(painter, QRect(QPoint(x, y), source.size()), bitmap, source);
    painter.restore();
}

void DrawThreePartFace(QPainter& painter, const QRect& target, int middleWidth) {
    const QPixmap face = SkinBitmap(131);
    const int h = target.height();
    DrawBitmapPart(painter, QRect(target.left(), target.top(), 10, h), face, QRect(0, 0, 10, 20));
    DrawBitmapPart(painter, QRect(target.left() + 10, target.top(), target.width() - 30, h), face,
                   QRect(10, 0, middleWidth, 20));
    DrawBitmapPart(painter, QRect(target.right() - 19, target.top(), 20, h), face,
                   QRect(94, 0, 20, 20));
}

QColor FocusMarkColour() {
    return QColor(0, 84, 166);
}

void DrawFocusMark(QPainter& painter, const QRect& target) {
    if (target.width() < 3 || target.height() < 3)
        return;
    painter.save();
    QPen pen(FocusMarkColour(), 0, Qt::DotLine);
    pen.setCosmetic(true);
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.drawRect(target.adjusted(1, 1, -2, -2));
    painter.restore();
}

} // namespace mosaiq
