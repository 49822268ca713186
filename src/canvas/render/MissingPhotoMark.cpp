#include "canvas/render/MissingPhotoMark.h"

#include <QFont>
#include <QFontMetrics>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>

namespace mosaiq {
namespace {

constexpr QColor kEdge{160, 160, 160};
constexpr QColor kMark{120, 120, 120};
constexpr QColor kName{70, 70, 70};

// A picture with a mountain and a sun, torn by a zigzag down its middle, in a square of side s
// whose top-left corner is at origin.
void DrawBrokenPicture(QPainter& painter, QPointF origin, qreal s) {
    const qreal gap = s * 0.08;
    QPainterPath left;
    left.moveTo(0, 0);
    left.lineTo(s * 0.5, 0);
    left.lineTo(s * 0.42, s * 0.3);
    left.lineTo(s * 0.55, s * 0.55);
    left.lineTo(s * 0.45, s);
    left.lineTo(0, s);
    left.closeSubpath();
    QPainterPath right;
    right.moveTo(s * 0.5 + gap, 0);
    right.lineTo(s, 0);
    right.lineTo(s, s);
    right.lineTo(s * 0.45 + gap, s);
    right.lineTo(s * 0.55 + gap, s * 0.55);
    right.lineTo(s * 0.42 + gap, s * 0.3);
    right.closeSubpath();
    painter.save();
    painter.translate(origin);
    QPen pen(kMark, std::max<qreal>(1.0, s / 24.0));
    pen.setJoinStyle(Qt::RoundJoin);
    painter.setPen(pen);
    painter.setBrush(QColor(240, 240, 240));
    painter.drawPath(left);
    painter.drawPath(right);
    // The mountain on the left half and the sun on the right.
    painter.setBrush(kMark);
    QPainterPath mountain;
    mountain.moveTo(s * 0.08, s * 0.85);
    mountain.lineTo(s * 0.25, s * 0.5);
    mountain.lineTo(s * 0.4, s * 0.85);
    mountain.closeSubpath();
    painter.drawPath(mountain);
    painter.drawEllipse(QPointF(s * 0.78, s * 0.28), s * 0.09, s * 0.09);
    painter.restore();
}

} // namespace

void DrawMissingPhoto(QPainter& painter, const QRect& area, const QString& fileName) {
    if (area.isEmpty())
        return;
    const QRectF box(area);
    const QSize displayed = area.size();
    painter.save();
    painter.setOpacity(1.0);
    painter.fillRect(box, QColor::fromRgb(kMissingPhotoFill));
    painter.setPen(QPen(kEdge, 1.0));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(box.adjusted(0.5, 0.5, -0.5, -0.5));

    // The mark takes up to a third of the shorter side, the name one line under it.
    QFont font = painter.font();
    font.setPixelSize(std::clamp(displayed.height() / 10, 8, 14));
    const QFontMetrics metrics(font);
    const qreal side = std::min(displayed.width(), displayed.height()) / 3.0;
    const qreal lineHeight = metrics.height();
    const qreal top = (box.height() - side - lineHeight - 4.0) / 2.0;
    if (side >= 8.0)
        DrawBrokenPicture(
            painter, box.topLeft() + QPointF((box.width() - side) / 2.0, std::max(0.0, top)), side);
    const int width = std::max(0, displayed.width() - 8);
    const QString name = metrics.elidedText(fileName, Qt::ElideMiddle, width);
    painter.setFont(font);
    painter.setPen(kName);
    const QRectF line(box.left() + 4.0, box.top() + std::max(0.0, top) + side + 4.0, width,
                      lineHeight);
    painter.drawText(line, Qt::AlignHCenter | Qt::AlignTop, name);
    painter.restore();
}

} // namespace mosaiq
