#include "text/TextDraw.h"
#include "ui/ColorrefColour.h"

#include "core/text/FixedText.h"
#include "text/HatchBrush.h"
#include "text/PathFill.h"
#include "text/SoftCopy.h"
#include "text/TextFont.h"
#include "text/TextLayout.h"
#include "text/TextOutline.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QTransform>

#include <cmath>
#include <cstring>
#include <optional>

namespace mosaiq {

namespace {

constexpr double kFlatness = 0.25;
constexpr QRgb kOutlineGrey = 0xFFA8A8A8;
constexpr QRgb kFallbackTop = 0xFFD2691E;
constexpr QRgb kFallbackBottom = 0xFFFAEBD7;

bool SameRequest(const TextDrawRequest& a, const TextDrawRequest& b) {
    return a.style == b.style && a.text == b.text &&
           std::memcmp(&a.font, &b.font, sizeof(LogFontA)) == 0 && a.box == b.box &&
           a.firstColour == b.firstColour && a.secondColour == b.secondColour &&
           a.opacity == b.opacity && a.variant == b.variant;
}

// The area a pen of width (flat caps, mitred joins) covers along path, in the path's own
// coordinates; pens are not cosmetic, so it can be kept and filled under any transform.
QPainterPath StrokeArea(const QPainterPath& path, double width) {
    QPainterPathStroker stroker;
    stroker.setWidth(width);
    stroker.setCapStyle(Qt::FlatCap);
    stroker.setJoinStyle(Qt::MiterJoin);
    stroker.setMiterLimit(10);
    return stroker.createStroke(path);
}

// A vertical gradient over rect from top to bottom, repeating beyond it.
QLinearGradient VerticalGradient(const QRectF& rect, const QColor& top, const QColor& bottom) {
    QLinearGradient gradient(rect.topLeft(), rect.bottomLeft());
    gradient.setSpread(QGradient::RepeatSpread);
    gradient.setColorAt(0, top);
    gradient.setColorAt(1, bottom);
    return gradient;
}

} // namespace

// Everything derived from one request; built once per request and kept by the cache.
struct TextDrawCache::Prepared {
    TextDrawRequest request;
    QSize measured;    // W x H
    QColor c1, c2;     // the colours with the request's opacity
    QFont logicalFont; // the font the plain text styles draw with
    TextLayout logicalLayout;
    QPainterPath pathAtText;      // the bold outline text laid on (x, y, W, H)
    QPainterPath pathAtBox;       // the same laid on (0, 0, box width, box height)
    QPainterPath flattenedStroke; // style 2: the grey line along the flattened path
    QPainterPath outline;         // styles 5 and 6
    QPainterPath outlineStroke;   // styles 5 and 6: the 2-unit line along the outline
    // Style 4: runs of consecutive bevel segments of one pen, in walk order, as stroked areas.
    QVector<std::pair<QPainterPath, bool>> bevelRuns;
    SoftCopy soft;
    QRectF reach; // world area the drawing can touch

    // The drawing as device pixels for one world transform, so an object that is drawn again
    // under the same turn and zoom (only moved by whole pixels) is put down in one copy.
    struct Layer {
        QImage image;
        QTransform linear; // the world transform less its whole-pixel translation
        QPoint hatchPhase; // that translation modulo 8, for hatched styles
        QPoint topLeft;    // the image's top-left, relative to the whole-pixel translation
    };
    mutable std::optional<Layer> layer;
};

namespace {

using Prepared = TextDrawCache::Prepared;

QPainterPath TextPath(const Prepared& p, const LogFontA& font, QPointF origin) {
    const int height = FontHeight(font);
    const int em = p.request.variant == TextVariant::Preview ? height * 18 / 20 : height * 15 / 20;
    QPainterPath path;
    path.setFillRule(Qt::OddEvenFill);
    if (em <= 0)
        return path;
    const QFont pathFont = PathFont(font, em);
    AddTextLayout(path, LayoutText(p.request.text, QFontMetricsF(pathFont), em), pathFont, origin);
    return path;
}

void DrawLogicalText(QPainter& painter, const Prepared& p, const QBrush& brush) {
    painter.setFont(p.logicalFont);
    painter.setPen(QPen(brush, 0));
    DrawTextLayout(painter, p.logicalLayout, p.request.box.topLeft());
}

void FillHatched(QPainter& painter, const QPainterPath& path, HatchStyle style,
                 const QColor& foreground, const QColor& background, QPoint deviceOrigin) {
    // Nearest sampling keeps the pattern's pixels exact.
    const bool smooth = painter.testRenderHint(QPainter::SmoothPixmapTransform);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    FillPathInStrips(
        painter, path,
        MakeHatchBrush(style, foreground, background, painter.worldTransform(), deviceOrigin));
    painter.setRenderHint(QPainter::SmoothPixmapTransform, smooth);
}

// Consecutive segments of one pen are stroked together; the runs keep the walk's order.
QVector<std::pair<QPainterPath, bool>> BevelRuns(const QVector<BevelSegment>& segments) {
    QVector<std::pair<QPainterPath, bool>> runs;
    QPainterPath run;
    bool runDownRight = false;
    auto flush = [&] {
        if (!run.isEmpty())
            runs.push_back({StrokeArea(run, 0.5), runDownRight});
        run = QPainterPath();
    };
    for (const BevelSegment& segment : segments) {
        if (segment.downRight != runDownRight)
            flush();
        runDownRight = segment.downRight;
        run.moveTo(segment.line.p1());
        run.lineTo(segment.line.p2());
    }
    flush();
    return runs;
}

std::unique_ptr<Prepared> Prepare(const TextDrawRequest& request) {
    auto p = std::make_unique<Prepared>();
    p->request = request;
    p->measured = MeasureText(request.font, request.text);
    if (p->measured.isEmpty())
        return p;
    p->c1 = ColorFromColorref(request.firstColour, request.opacity);
    p->c2 = ColorFromColorref(request.secondColour, request.opacity);
    int em = 0;
    p->logicalFont = LogicalFont(request.font, &em);
    p->logicalLayout = LayoutText(request.text, QFontMetricsF(p->logicalFont), em);

    const int style = request.style;
    const QRect& box = request.box;
    const QPointF textOrigin = box.topLeft();
    // Lines are neither wrapped nor clipped to the layout box, so the path depends only on where
    // the box starts: the box path is the text path when both start at the same point.
    const bool needsTextPath = style >= 2 && style <= 6;
    const bool needsBoxPath = style == 4 || style == 6 || style == 7;
    if (needsTextPath)
        p->pathAtText = TextPath(*p, request.font, textOrigin);
    if (needsBoxPath)
        p->pathAtBox = needsTextPath && textOrigin == QPointF(0, 0)
                           ? p->pathAtText
                           : TextPath(*p, request.font, QPointF(0, 0));
    if (style == 2)
        p->flattenedStroke = StrokeArea(ToPainterPath(FlattenPath(p->pathAtText, kFlatness)), 1.0);
    if (style == 4)
        p->bevelRuns = BevelRuns(BevelSegments(OutlinePath(p->pathAtText, kFlatness)));
    if (style == 5 || style == 6) {
        p->outline = ToPainterPath(OutlinePath(p->pathAtText, kFlatness));
        p->outlineStroke = StrokeArea(p->outline, 2.0);
    }

    const double shadowDown = request.variant == TextVariant::Canvas ? 0.75 : 0.0;
    const Prepared& cp = *p;
    switch (style) {
    case 0:
        p->soft = MakeSoftCopy(p->measured, 4, QPointF(0.75, shadowDown), QPointF(0, 0),
                               [&](QPainter& q) { DrawLogicalText(q, cp, cp.c2); });
        break;
    case 1:
        p->soft = MakeSoftCopy(p->measured, 4, QPointF(0.75, shadowDown), QPointF(0, 0),
                               [&](QPainter& q) { DrawLogicalText(q, cp, cp.c1); });
        break;
    case 4:
        p->soft = MakeSoftCopy(p->measured, 8, QPointF(), textOrigin,
                               [&](QPainter& q) { FillPathInStrips(q, cp.pathAtBox, cp.c1); });
        break;
    case 6:
        p->soft = MakeSoftCopy(p->measured, 8, QPointF(), textOrigin,
                               [&](QPainter& q) { FillPathInStrips(q, cp.pathAtBox, cp.c2); });
        break;
    case 7:
        p->soft = MakeSoftCopy(p->measured, 2, QPointF(), textOrigin, [&](QPainter& q) {
            FillPathInStrips(q, cp.pathAtBox, cp.c1);
            FillPathInStrips(q, StrokeArea(cp.pathAtBox, 2.0), cp.c2);
        });
        break;
    default:
        break;
    }

    // Everything drawn stays near the measured box: glyph overhang, pens and soft copies.
    const double overhang = std::max(4.0, em / 2.0);
    QRectF reach =
        QRectF(textOrigin, QSizeF(p->measured)).adjusted(-overhang, -overhang, overhang, overhang);
    const QFontMetricsF logical(p->logicalFont);
    for (qsizetype i = 0; i < p->logicalLayout.lines.size(); ++i)
        reach |= logical.boundingRect(p->logicalLayout.lines.at(i))
                     .translated(textOrigin.x() + p->logicalLayout.margin,
                                 textOrigin.y() + p->logicalLayout.ascent +
                                     p->logicalLayout.lineSpacing * double(i))
                     .adjusted(-overhang, -overhang, overhang, overhang);
    for (const QPainterPath* path :
         {&p->pathAtText, &p->pathAtBox, &p->outlineStroke, &p->flattenedStroke})
        if (!path->isEmpty())
            reach |= path->boundingRect().adjusted(-2, -2, 2, 2);
    for (const auto& run : p->bevelRuns)
        reach |= run.first.boundingRect().adjusted(-2, -2, 2, 2);
    if (!p->soft.image.isNull())
        reach |= p->soft.target;
    p->reach = reach;
    return p;
}

void DrawPrepared(QPainter& painter, const Prepared& p, QPoint deviceOrigin) {
    if (p.measured.isEmpty())
        return;
    const QRectF textRect(p.request.box.topLeft(), QSizeF(p.measured));
    DrawSoftCopy(painter, p.soft);
    switch (p.request.style) {
    case 0:
        DrawLogicalText(painter, p, VerticalGradient(textRect, p.c1, p.c2));
        break;
    case 1: {
        // A linear blend with focus 0.6: the first colour at the top and bottom, the second at
        // 60 % of the height.
        QLinearGradient gradient = VerticalGradient(textRect, p.c1, p.c1);
        gradient.setColorAt(0.6, p.c2);
        DrawLogicalText(painter, p, gradient);
        break;
    }
    case 2:
        FillHatched(painter, p.pathAtText, HatchStyle::DottedGrid, p.c2, p.c1, deviceOrigin);
        FillPathInStrips(painter, p.flattenedStroke, QColor::fromRgba(kOutlineGrey));
        break;
    case 3:
        FillHatched(painter, p.pathAtText, HatchStyle::Percent05, p.c2, p.c1, deviceOrigin);
        break;
    case 4:
        // The blend (0, 0.5, 1) at (0, 0.5, 1) is the plain linear gradient.
        FillPathInStrips(painter, p.pathAtText, VerticalGradient(textRect, p.c1, p.c2));
        for (const auto& [area, downRight] : p.bevelRuns)
            FillPathInStrips(painter, area, downRight ? p.c1 : p.c2);
        break;
    case 5:
        FillHatched(painter, p.outline, HatchStyle::Weave, p.c2, p.c1, deviceOrigin);
        FillPathInStrips(painter, p.outlineStroke, p.c1);
        break;
    case 6:
        FillPathInStrips(painter, p.pathAtText, p.c2);
        FillPathInStrips(painter, p.outlineStroke, p.c1);
        break;
    case 7:
        break; // the soft copy is all there is
    default:
        DrawLogicalText(painter, p,
                        VerticalGradient(textRect, QColor::fromRgba(kFallbackTop),
                                         QColor::fromRgba(kFallbackBottom)));
        break;
    }
}

} // namespace

TextDrawCache::TextDrawCache() = default;
TextDrawCache::~TextDrawCache() = default;
TextDrawCache::TextDrawCache(TextDrawCache&&) noexcept = default;
TextDrawCache& TextDrawCache::operator=(TextDrawCache&&) noexcept = default;
void TextDrawCache::Clear() {
    m_prepared.reset();
}
bool TextDrawCache::IsEmpty() const {
    return !m_prepared;
}

int TextOpacity(float transparency) {
    if (!(transparency > 0.0f))
        return 255; // also NaN
    if (transparency >= 1.0f)
        return 0;
    return static_cast<int>(255.0f - transparency * 255.0f);
}

TextDrawRequest RequestForRecord(const TextRecord& record, TextVariant variant) {
    TextDrawRequest request;
    request.style = record.style;
    request.text = ReadFixedText(record.text);
    request.font = record.font;
    request.box = QRect(0, 0, std::max(record.textWidth, 0), std::max(record.textHeight, 0));
    request.firstColour = record.firstColour;
    request.secondColour = record.secondColour;
    request.opacity = TextOpacity(record.transparency);
    request.variant = variant;
    return request;
}

QSize MeasureText(const LogFontA& font, const QString& text) {
    double em = 0;
    const QFont measuring = MeasuringFont(font, &em);
    if (em <= 0 || text.isEmpty())
        return QSize(0, 0);
    const TextLayout layout = LayoutText(text, MetricsAt96Dpi(measuring), em);
    return QSize(static_cast<int>(layout.size.width()), static_cast<int>(layout.size.height()));
}

QSize MeasureText(const TextRecord& record) {
    return MeasureText(record.font, ReadFixedText(record.text));
}

namespace {

// Largest layer kept, in pixels; bigger drawings (huge zoom) are drawn directly every time.
constexpr qint64 kMaxLayerPixels = 4 * 1024 * 1024;

bool UsesHatch(int style) {
    return style == 2 || style == 3 || style == 5;
}

int Mod8(int v) {
    return ((v % 8) + 8) % 8;
}

// Draws from the prepared drawing's layer, making it first when the transform changed. Returns
// false when the painter cannot take a layer (not an image, another composition mode, a
// perspective transform, a drawing too big), and the caller draws directly.
bool DrawFromLayer(QPainter& painter, const Prepared& p) {
    if (p.measured.isEmpty())
        return true;
    if (!painter.device() || painter.device()->devType() != QInternal::Image ||
        painter.viewTransformEnabled() ||
        painter.compositionMode() != QPainter::CompositionMode_SourceOver)
        return false;
    const QTransform world = painter.worldTransform();
    if (world.type() == QTransform::TxProject)
        return false;
    const double wholeX = std::floor(world.dx()), wholeY = std::floor(world.dy());
    if (std::abs(wholeX) > 1e9 || std::abs(wholeY) > 1e9)
        return false;
    const QPoint whole{int(wholeX), int(wholeY)};
    const QTransform linear(world.m11(), world.m12(), world.m21(), world.m22(), world.dx() - wholeX,
                            world.dy() - wholeY);
    const QPoint phase =
        UsesHatch(p.request.style) ? QPoint(Mod8(whole.x()), Mod8(whole.y())) : QPoint();
    if (!p.layer || p.layer->linear != linear || p.layer->hatchPhase != phase) {
        p.layer.reset();
        // A damaged scale can map the text far beyond any picture: draw it directly then.
        const QRectF mapped = linear.mapRect(p.reach);
        constexpr double kLimit = 1 << 24;
        if (!(std::abs(mapped.left()) < kLimit && std::abs(mapped.top()) < kLimit &&
              mapped.width() < kLimit && mapped.height() < kLimit))
            return false;
        const QRect area = mapped.toAlignedRect().adjusted(-1, -1, 1, 1);
        if (area.isEmpty() || qint64(area.width()) * area.height() > kMaxLayerPixels)
            return false;
        QImage image(area.size(), QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter layer(&image);
        layer.setRenderHints(painter.renderHints());
        layer.setTransform(linear * QTransform::fromTranslate(-area.left(), -area.top()));
        // Device pixel (0, 0) of the target, in layer pixels, keeps hatches on the target grid.
        DrawPrepared(layer, p, -(phase + area.topLeft()));
        layer.end();
        p.layer = Prepared::Layer{std::move(image), linear, phase, area.topLeft()};
    }
    painter.setWorldTransform(QTransform());
    painter.drawImage(whole + p.layer->topLeft, p.layer->image);
    return true;
}

} // namespace

void DrawTextRequest(QPainter& painter, const TextDrawRequest& request, TextDrawCache* cache) {
    // A transform made from a damaged record (NaN or infinite scale or angle) draws nothing.
    const QTransform world = painter.worldTransform();
    for (qreal v : {world.m11(), world.m12(), world.m21(), world.m22(), world.dx(), world.dy()})
        if (!std::isfinite(v))
            return;
    std::unique_ptr<Prepared> local;
    const Prepared* prepared = nullptr;
    if (cache) {
        if (!cache->m_prepared || !SameRequest(cache->m_prepared->request, request))
            cache->m_prepared = Prepare(request);
        prepared = cache->m_prepared.get();
    } else {
        local = Prepare(request);
        prepared = local.get();
    }
    painter.save();
    painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing |
                           QPainter::SmoothPixmapTransform);
    if (!cache || !DrawFromLayer(painter, *prepared))
        DrawPrepared(painter, *prepared, QPoint());
    painter.restore();
}

void DrawTextObject(QPainter& painter, const TextRecord& record, TextDrawCache* cache) {
    DrawTextRequest(painter, RequestForRecord(record, TextVariant::Canvas), cache);
}

void DrawTextPreview(QPainter& painter, const TextRecord& record, QRect box) {
    const QSize measured = MeasureText(record);
    const int w = measured.width(), h = measured.height();
    const double scale = std::isfinite(record.scale) ? record.scale : 1.0;
    const double angle = std::isfinite(record.angle) ? record.angle : 0.0;
    // Each step applies after the one before: centre on the origin, turn, scale, place.
    const QTransform placement =
        QTransform::fromTranslate(-(w / 2), -(h / 2)) * QTransform().rotate(angle) *
        QTransform::fromScale(scale, scale) *
        QTransform::fromTranslate(box.left() + w * scale * 0.5, box.top() + h * scale * 0.5);
    TextDrawRequest request = RequestForRecord(record, TextVariant::Preview);
    request.box = QRect(0, 0, box.width(), box.height());
    painter.save();
    painter.setWorldTransform(placement, true);
    DrawTextRequest(painter, request);
    painter.restore();
}

} // namespace mosaiq
