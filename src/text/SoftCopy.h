#pragma once

// Soft copies: a blurred copy of text made by drawing it small and enlarging it again, the glow
// and shadow behind the sharp text of several styles.
//
// The copy is made like this: on an offscreen image of the measured text size W x H (pixels), the
// content is drawn under translate(-(W div 2), -(H div 2)), scale(s), translate(W s / 2 + ox,
// H s / 2 + oy), so it lands s times smaller near the top-left corner, offset by (ox, oy). The
// image is then enlarged by 1/s with a bicubic filter and drawn at a destination point in the
// caller's world coordinates, where the content is back at its size, 1/s times the offset away
// and soft. Only the corner of the image that can hold content is kept, which is the same result
// for less work.

#include <QImage>
#include <QPointF>
#include <QRectF>
#include <QSize>

#include <functional>

class QPainter;

namespace mosaiq {

// Enlarges a premultiplied ARGB image factor times in each direction with a Catmull-Rom bicubic
// filter; pixels outside the image count as transparent.
QImage EnlargeBicubic(const QImage& source, int factor);

struct SoftCopy {
    QImage image;  // premultiplied; empty when there is nothing to draw
    QRectF target; // where it is drawn, world units
};

// Largest enlarged copy kept in memory, in pixels; bigger copies are enlarged less and stretched
// by the painter.
constexpr qint64 kMaxSoftCopyPixels = 4 * 1024 * 1024;
// Largest small image drawn before enlarging; bigger ones are drawn at a lower resolution.
constexpr qint64 kMaxSoftCopySmallPixels = 1024 * 1024;

// Makes the soft copy of content for measured size W x H at s = 1 / divisor with offset
// (ox, oy) in small-image pixels; the enlarged image's top-left corner goes to destination.
SoftCopy MakeSoftCopy(QSize measured, int divisor, QPointF offset, QPointF destination,
                      const std::function<void(QPainter&)>& content);

// Draws a soft copy under the painter's transform.
void DrawSoftCopy(QPainter& painter, const SoftCopy& copy);

} // namespace mosaiq
