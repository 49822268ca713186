#include "text/PathFill.h"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>
#include <vector>

namespace mosaiq {

namespace {

// Below this many contours a path is filled in one go.
constexpr int kContoursPerStrip = 160;

struct Contour {
    int first = 0; // element range [first, end)
    int end = 0;
    QRectF deviceBounds;
};

std::vector<Contour> Contours(const QPainterPath& path, const QTransform& toDevice) {
    std::vector<Contour> contours;
    const int count = path.elementCount();
    for (int i = 0; i < count; ++i) {
        if (path.elementAt(i).type == QPainterPath::MoveToElement || contours.empty())
            contours.push_back({i, i, QRectF()});
        contours.back().end = i + 1;
    }
    for (Contour& c : contours) {
        double x0 = INFINITY, y0 = INFINITY, x1 = -INFINITY, y1 = -INFINITY;
        for (int i = c.first; i < c.end; ++i) {
            const QPointF p = toDevice.map(QPointF(path.elementAt(i)));
            x0 = std::min(x0, p.x());
            y0 = std::min(y0, p.y());
            x1 = std::max(x1, p.x());
            y1 = std::max(y1, p.y());
        }
        c.deviceBounds = QRectF(QPointF(x0, y0), QPointF(x1, y1));
    }
    return contours;
}

void AppendContour(QPainterPath& out, const QPainterPath& path, const Contour& c) {
    for (int i = c.first; i < c.end; ++i) {
        const QPainterPath::Element e = path.elementAt(i);
        if (e.type == QPainterPath::MoveToElement) {
            out.moveTo(e);
        } else if (e.type == QPainterPath::LineToElement) {
            out.lineTo(e);
        } else if (e.type == QPainterPath::CurveToElement && i + 2 < c.end) {
            out.cubicTo(e, path.elementAt(i + 1), path.elementAt(i + 2));
            i += 2;
        }
    }
}

} // namespace

void FillPathInStrips(QPainter& painter, const QPainterPath& path, const QBrush& brush) {
    if (path.isEmpty())
        return;
    const QTransform toDevice = painter.combinedTransform();
    std::vector<Contour> contours;
    if (path.elementCount() > kContoursPerStrip * 4)
        contours = Contours(path, toDevice);
    if (contours.size() <= std::size_t(kContoursPerStrip) || painter.viewTransformEnabled()) {
        painter.fillPath(path, brush);
        return;
    }
    std::sort(contours.begin(), contours.end(), [](const Contour& a, const Contour& b) {
        return a.deviceBounds.left() < b.deviceBounds.left();
    });
    QRectF bounds;
    for (const Contour& c : contours)
        bounds |= c.deviceBounds;
    const QRect area = bounds.toAlignedRect().adjusted(-1, -1, 1, 1);
    const double perContour = double(area.width()) / double(contours.size());
    const int stripWidth = std::max(16, int(std::ceil(perContour * kContoursPerStrip)));

    const QTransform world = painter.worldTransform();
    for (int left = area.left(); left <= area.right(); left += stripWidth) {
        const QRect strip(left, area.top(), stripWidth, area.height());
        QPainterPath part;
        part.setFillRule(path.fillRule());
        for (std::size_t i = 0; i < contours.size(); ++i) {
            const Contour& c = contours[i];
            if (c.deviceBounds.left() > strip.right() + 1)
                break; // sorted by left edge: the rest start further right
            if (c.deviceBounds.right() >= strip.left() - 1)
                AppendContour(part, path, c);
        }
        if (part.isEmpty())
            continue;
        painter.save();
        // The strip is a whole-pixel rectangle on the device, so strips meet without seams.
        painter.setWorldTransform(QTransform());
        painter.setClipRect(strip, painter.hasClipping() ? Qt::IntersectClip : Qt::ReplaceClip);
        painter.setWorldTransform(world);
        painter.fillPath(part, brush);
        painter.restore();
    }
}

} // namespace mosaiq
