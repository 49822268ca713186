#include "text/TextOutline.h"

#include <cmath>

namespace mosaiq {

namespace {

double DistanceToLine(QPointF p, QPointF a, QPointF b) {
    const QPointF d = b - a;
    const double length = std::hypot(d.x(), d.y());
    if (length < 1e-12)
        return std::hypot(p.x() - a.x(), p.y() - a.y());
    return std::abs((p.x() - a.x()) * d.y() - (p.y() - a.y()) * d.x()) / length;
}

// Appends the points of a cubic Bezier after p0 (p0 itself is already there).
void FlattenCubic(QVector<QPointF>& out, QPointF p0, QPointF p1, QPointF p2, QPointF p3,
                  double flatness, int depth) {
    if (depth >= 16 ||
        std::max(DistanceToLine(p1, p0, p3), DistanceToLine(p2, p0, p3)) <= flatness) {
        out.push_back(p3);
        return;
    }
    const QPointF p01 = (p0 + p1) / 2, p12 = (p1 + p2) / 2, p23 = (p2 + p3) / 2;
    const QPointF p012 = (p01 + p12) / 2, p123 = (p12 + p23) / 2;
    const QPointF mid = (p012 + p123) / 2;
    FlattenCubic(out, p0, p01, p012, mid, flatness, depth + 1);
    FlattenCubic(out, mid, p123, p23, p3, flatness, depth + 1);
}

struct Figure {
    QVector<QPointF> points;
    bool closed = false;
};

QVector<Figure> FlattenFigures(const QPainterPath& path, double flatness) {
    QVector<Figure> figures;
    const double tolerance = std::max(flatness, 0.01);
    for (int i = 0; i < path.elementCount(); ++i) {
        const QPainterPath::Element e = path.elementAt(i);
        const QPointF p(e.x, e.y);
        if (e.type == QPainterPath::MoveToElement || figures.isEmpty()) {
            figures.push_back({{p}, false});
        } else if (e.type == QPainterPath::LineToElement) {
            figures.back().points.push_back(p);
        } else if (e.type == QPainterPath::CurveToElement && i + 2 < path.elementCount()) {
            const QPainterPath::Element c2 = path.elementAt(i + 1);
            const QPainterPath::Element end = path.elementAt(i + 2);
            FlattenCubic(figures.back().points, figures.back().points.back(), p,
                         QPointF(c2.x, c2.y), QPointF(end.x, end.y), tolerance, 0);
            i += 2;
        }
    }
    // A figure that ends where it started is closed; the repeated point is dropped.
    for (Figure& figure : figures) {
        if (figure.points.size() > 2 && figure.points.front() == figure.points.back()) {
            figure.points.pop_back();
            figure.closed = true;
        }
    }
    return figures;
}

PathData ToData(const QVector<Figure>& figures) {
    PathData data;
    for (const Figure& figure : figures) {
        if (figure.points.size() < 2)
            continue;
        for (qsizetype i = 0; i < figure.points.size(); ++i) {
            data.points.push_back(figure.points.at(i));
            data.types.push_back(i == 0 ? kPathStart : kPathLine);
        }
        if (figure.closed)
            data.types.back() |= kPathClose;
    }
    return data;
}

bool RunsDownRight(QPointF from, QPointF to) {
    return to.x() > from.x() || to.y() > from.y();
}

} // namespace

PathData FlattenPath(const QPainterPath& path, double flatness) {
    return ToData(FlattenFigures(path, flatness));
}

PathData OutlinePath(const QPainterPath& path, double flatness) {
    QPainterPath polygons;
    polygons.setFillRule(Qt::WindingFill);
    for (const Figure& figure : FlattenFigures(path, flatness)) {
        if (figure.points.size() < 3)
            continue;
        polygons.addPolygon(QPolygonF(figure.points));
        polygons.closeSubpath();
    }
    return FlattenPath(polygons.simplified(), flatness);
}

QPainterPath ToPainterPath(const PathData& data) {
    QPainterPath path;
    path.setFillRule(Qt::OddEvenFill);
    for (qsizetype i = 0; i < data.points.size(); ++i) {
        const std::uint8_t type = data.types.at(i);
        if ((type & kPathTypeMask) == kPathStart)
            path.moveTo(data.points.at(i));
        else
            path.lineTo(data.points.at(i));
        if (type & kPathClose)
            path.closeSubpath();
    }
    return path;
}

QVector<BevelSegment> BevelSegments(const PathData& data) {
    QVector<BevelSegment> segments;
    QPointF current, figureStart;
    for (qsizetype i = 0; i < data.points.size() && i < data.types.size(); ++i) {
        const QPointF point = data.points.at(i);
        const std::uint8_t type = data.types.at(i);
        if (type == kPathStart) {
            current = figureStart = point;
        } else if ((type & kPathTypeMask) == kPathLine) {
            segments.push_back({QLineF(current, point), RunsDownRight(current, point)});
            current = point;
            if (type & kPathClose)
                segments.push_back(
                    {QLineF(current, figureStart), RunsDownRight(current, figureStart)});
        } else if (type == kPathClose) {
            segments.push_back({QLineF(point, figureStart), true});
        }
        // Bezier points, bare type 7 and bare markers draw nothing and keep the current point.
    }
    return segments;
}

} // namespace mosaiq
