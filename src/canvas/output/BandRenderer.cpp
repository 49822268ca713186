#include "canvas/output/BandRenderer.h"

#include "canvas/output/BandDecodeAhead.h"

#include "canvas/document/CollageDocument.h"
#include "canvas/render/Compositor.h"
#include "canvas/document/ObjectGeometry.h"
#include "imaging/files/PictureLimits.h"
#include "text/TextGeometry.h"

#include <QPainter>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace mosaiq {
namespace {

constexpr std::int64_t kBandPixels = 8 << 20; // 32 MiB of 32-bit pixels
// Reaches of antialiased edges and text glows past an object's box, in output pixels.
constexpr int kBoundsMargin = 32;

// Pictures built ahead of their bands may hold this much memory at once.
constexpr std::int64_t kAheadBytes = 48 << 20;

// Where an object can put pixels on the output at zoom.
QRectF ObjectReach(const CanvasObject& object, float zoom) {
    QRectF area;
    if (const TextRecord* r = object.Text()) {
        const double w = r->textWidth, h = r->textHeight;
        area = TextObjectTransform(*r, zoom).mapRect(QRectF(-w / 2.0, -h / 2.0, w * 2.0, h * 2.0));
    } else {
        const QSize unscaled = object.UnscaledSize();
        const QSize displayed =
            DisplayedSize(unscaled.width(), unscaled.height(), object.Scale(), zoom);
        const QPoint p = object.Position();
        area = ObjectTransform(displayed, object.Angle(), p.x(), p.y(), zoom)
                   .mapRect(QRectF(QPointF(0, 0), QSizeF(displayed)));
    }
    return area.adjusted(-kBoundsMargin, -kBoundsMargin, kBoundsMargin, kBoundsMargin);
}

} // namespace

QSize ScaledCanvasSize(const CollageDocument& document, double scale) {
    const float zoom = float(scale);
    return {std::max(0, TruncToInt(float(document.width) * zoom)),
            std::max(0, TruncToInt(float(document.height) * zoom))};
}

int DefaultBandRows(int width) {
    return int(std::clamp<std::int64_t>(kBandPixels / std::max(1, width), 16, kMaxPictureSide)) &
           ~7;
}

ExportViewGuard::ExportViewGuard(CollageDocument& document, float zoom)
    : m_document(document), m_zoom(document.view.zoom), m_scrollX(document.view.scrollX),
      m_scrollY(document.view.scrollY) {
    m_caches.reserve(document.objects.size());
    for (CanvasObject& o : document.objects)
        m_caches.push_back(std::exchange(o.cache, nullptr));
    document.view.zoom = zoom;
    document.view.scrollX = 0;
    document.view.scrollY = 0;
}

ExportViewGuard::~ExportViewGuard() {
    m_document.view.zoom = m_zoom;
    m_document.view.scrollX = m_scrollX;
    m_document.view.scrollY = m_scrollY;
    for (size_t i = 0; i < m_document.objects.size(); ++i)
        m_document.objects[i].cache = i < m_caches.size() ? std::move(m_caches[i]) : nullptr;
}

bool RenderCollageInBands(CollageDocument& document, double scale, int bandRows,
                          const BandSink& sink) {
    const QSize size = ScaledCanvasSize(document, scale);
    if (size.isEmpty() || !PictureSizeAllowed(size, nullptr))
        return false;
    // Text hatches keep to the device's 8 x 8 pixel grid: bands start on it.
    bandRows = bandRows <= 0 ? DefaultBandRows(size.width()) : (bandRows + 7) / 8 * 8;
    ExportViewGuard guard(document, float(scale));
    const float zoom = document.view.zoom;
    std::vector<QRectF> reach;
    reach.reserve(document.objects.size());
    for (const CanvasObject& o : document.objects)
        reach.push_back(ObjectReach(o, zoom));
    // The photos' pictures are built on the other cores while the bands above them are drawn.
    BandDecodeAhead ahead(document, reach, size, BandDecodeWorkers(), kAheadBytes);

    Compositor compositor;
    RenderOptions options;
    options.offscreenOnly = true;
    options.scaledExport = scale != 1.0;
    options.preparedPictures = true;
    options.surfaceSize = size;
    for (int top = 0; top < size.height(); top += bandRows) {
        const int height = std::min(bandRows, size.height() - top);
        QImage band(size.width(), height, QImage::Format_ARGB32_Premultiplied);
        if (band.isNull())
            return false;
        ahead.ReadyUpTo(double(top + height));
        {
            QPainter painter(&band);
            painter.translate(0, -top);
            options.exposed = QRect(0, top, size.width(), height);
            compositor.Render(document, painter, options);
        }
        // Pictures of objects the following bands do not reach are not needed again.
        const int next = top + height;
        for (size_t i = 0; i < document.objects.size(); ++i)
            if (reach[i].bottom() < next)
                document.objects[i].cache = nullptr;
        band.convertTo(QImage::Format_RGB32);
        if (!sink(band, top))
            return false;
    }
    return true;
}

QImage RenderCollageScaled(CollageDocument& document, double scale) {
    const QSize size = ScaledCanvasSize(document, scale);
    if (size.isEmpty() || !PictureSizeAllowed(size, nullptr))
        return {};
    QImage whole(size, QImage::Format_RGB32);
    if (whole.isNull())
        return {};
    const bool done =
        RenderCollageInBands(document, scale, size.height(), [&whole](const QImage& band, int top) {
            for (int y = 0; y < band.height(); ++y)
                std::memcpy(whole.scanLine(top + y), band.constScanLine(y),
                            size_t(band.bytesPerLine()));
            return true;
        });
    return done ? whole : QImage();
}

bool PaintCollageInBands(CollageDocument& document, QPainter& painter, QPoint origin, double scale,
                         int bandRows, const std::function<bool(int done, int total)>& progress) {
    const int total = ScaledCanvasSize(document, scale).height();
    return RenderCollageInBands(document, scale, bandRows, [&](const QImage& band, int top) {
        painter.drawImage(origin + QPoint(0, top), band);
        return !progress || progress(top + band.height(), total);
    });
}

} // namespace mosaiq
