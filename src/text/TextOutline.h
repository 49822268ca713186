#pragma once

// Outlines of styled text: paths flattened to line points, the outer outline of a path, and the
// two-colour bevel walk along an outline. Coordinates are those of the path (world units of the
// text box).

#include <QLineF>
#include <QPainterPath>
#include <QPointF>
#include <QVector>

#include <cstdint>

namespace mosaiq {

// Point types as path data stores them: the low bits say what the point is, the high bits mark
// the end of a figure or a sub-path marker.
enum PathPointType : std::uint8_t {
    kPathStart = 0x00,
    kPathLine = 0x01,
    kPathBezier = 0x03,
    kPathTypeMask = 0x07,
    kPathMarker = 0x20,
    kPathClose = 0x80,
};

struct PathData {
    QVector<QPointF> points;
    QVector<std::uint8_t> types;
};

// The path with every curve replaced by lines no further than flatness from it. Each figure
// starts with a start point; the last point of a closed figure carries the close mark (a figure's
// closing point is not repeated).
PathData FlattenPath(const QPainterPath& path, double flatness);

// The outer outline of the area a path covers under the winding rule (overlapping glyph
// contours merge), flattened to lines.
PathData OutlinePath(const QPainterPath& path, double flatness);

// Path data back into a path (alternate fill rule), for filling and stroking.
QPainterPath ToPainterPath(const PathData& data);

// One segment of the bevel outline: drawn with the down-right pen when it runs right, or failing
// that down; otherwise (left, up, or no length) with the up-left pen.
struct BevelSegment {
    QLineF line;
    bool downRight = false;
};

// Walks path data in order, keeping a current point and the start of the current figure: a
// start point moves; a line point (also with the close or marker flags) draws from the current
// point to it; Bezier points and bare types 7 and 0x20 draw nothing; a bare close mark draws back
// to the figure start with the down-right pen. A line point carrying the close mark also draws
// the figure's closing segment back to its start, so every outline is drawn closed.
QVector<BevelSegment> BevelSegments(const PathData& data);

} // namespace mosaiq
