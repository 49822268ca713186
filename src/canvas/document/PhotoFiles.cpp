#include "canvas/document/PhotoFiles.h"

#include "core/text/FixedText.h"
#include "canvas/document/CollageDocument.h"
#include "imaging/decode/PictureDecoder.h"

#include <QDir>
#include <QFileInfo>

#include <cmath>

namespace mosaiq {

namespace {

constexpr int kGap = 16;     // canvas pixels between photos placed side by side
constexpr int kCascade = 24; // the step when the canvas has no free row left

// The window point that maps to the canvas point p in the document's view.
QPoint CanvasToWindow(const CanvasView& view, QPoint p) {
    // WindowToCanvas truncates (w + scroll) / zoom: the smallest w that reaches p.
    auto axis = [&](int c, int scroll) {
        int w = int(std::ceil(float(c) * view.zoom)) - scroll;
        while (int(float(w + scroll) / view.zoom) > c)
            --w;
        while (int(float(w + scroll) / view.zoom) < c)
            ++w;
        return w;
    };
    return {axis(p.x(), view.scrollX), axis(p.y(), view.scrollY)};
}

} // namespace

QSize NewPhotoSize(const CollageDocument& document, QSize pictureSize) {
    const int sum = pictureSize.width() + pictureSize.height();
    if (sum <= 0)
        return {};
    const float scale = float(document.width + document.height) / float(sum * 3);
    return {int(float(pictureSize.width()) * scale), int(float(pictureSize.height()) * scale)};
}

QPoint NextPhotoPosition(const CollageDocument& document, QSize size, QPoint start) {
    if (document.objects.empty() || !document.objects.back().Photo())
        return start;
    const CanvasObject& top = document.objects.back();
    const QPoint at = top.Position();
    const QSize box(int(float(top.UnscaledSize().width()) * top.Scale()),
                    int(float(top.UnscaledSize().height()) * top.Scale()));
    const QPoint right(at.x() + box.width() + kGap, at.y());
    if (right.x() + size.width() <= document.width)
        return right;
    const QPoint below(start.x(), at.y() + box.height() + kGap);
    if (below.y() + size.height() <= document.height)
        return below;
    return at + QPoint(kCascade, kCascade);
}

PhotoFilesResult AddPhotoFiles(CollageDocument& document, const QStringList& paths, QPoint start) {
    PhotoFilesResult result;
    // The photos of one addition are one step to undo.
    CollageDocument::ChangeGroup step(document);
    for (const QString& path : paths) {
        const QString shown = QDir::toNativeSeparators(path);
        if (!QFileInfo(path).isFile()) {
            result.refused << QStringLiteral("%1: the file does not exist").arg(shown);
            continue;
        }
        // Decoded in full (a JPEG at 1/8 through the DCT is still read to its end), so a
        // truncated or damaged picture is caught here, not drawn as an empty object later.
        const DecodedPicture decoded = DecodePicture(path, QSize(1, 1));
        if (!decoded.Ok()) {
            result.refused << QStringLiteral("%1: %2").arg(shown, decoded.error);
            continue;
        }
        if (!FitsFixedText(path, sizeof(PhotoRecord::path))) {
            result.refused
                << QStringLiteral("%1: the path is too long to be kept in a project").arg(shown);
            continue;
        }
        const QSize full = decoded.fullSize;
        const QPoint at = NextPhotoPosition(document, NewPhotoSize(document, full), start);
        const QPoint window = CanvasToWindow(document.view, at);
        if (document.AddPhoto(path, full.width(), full.height(), window.x(), window.y()))
            ++result.added;
    }
    return result;
}

} // namespace mosaiq
