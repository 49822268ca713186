#include "canvas/output/ExportSize.h"

#include "canvas/output/BandRenderer.h"
#include "canvas/document/CollageDocument.h"
#include "canvas/document/ObjectGeometry.h"
#include "canvas/render/PhotoPicture.h"
#include "core/text/FixedText.h"
#include "imaging/files/PictureLimits.h"

#include <QFileInfo>

#include <algorithm>
#include <cmath>

namespace mosaiq {
namespace {

constexpr double kMillimetresPerInch = 25.4;
// The largest side a WebP file can hold.
constexpr int kMaxWebpSide = 16383;

std::vector<PaperFormat> MakePaperFormats() {
    struct Base {
        const char* name;
        const char* title;
        double w, h;
    };
    static const Base kBases[] = {
        {"A5", "A5", 148, 210},
        {"A4", "A4", 210, 297},
        {"A3", "A3", 297, 420},
        {"Letter", "Letter", 215.9, 279.4},
        {"10x15", "10 × 15 cm", 100, 150},
        {"13x18", "13 × 18 cm", 130, 180},
    };
    std::vector<PaperFormat> out;
    for (const Base& b : kBases) {
        const QString name = QString::fromUtf8(b.name), title = QString::fromUtf8(b.title);
        out.push_back({name, title + QStringLiteral(" portrait"), QSizeF(b.w, b.h), false});
        out.push_back({name + QLatin1Char('L'), title + QStringLiteral(" landscape"),
                       QSizeF(b.h, b.w), true});
    }
    return out;
}

QString Number(double v) {
    return QString::number(v, 'g', 6);
}

} // namespace

const std::vector<PaperFormat>& PaperFormats() {
    static const std::vector<PaperFormat> formats = MakePaperFormats();
    return formats;
}

std::optional<PaperFormat> PaperByName(const QString& name) {
    for (const PaperFormat& p : PaperFormats())
        if (p.name.compare(name, Qt::CaseInsensitive) == 0)
            return p;
    return std::nullopt;
}

QString PaperNames() {
    QStringList names;
    for (const PaperFormat& p : PaperFormats())
        names << p.name;
    return names.join(QStringLiteral(", "));
}

int ExportDpi(const ExportSettings& settings) {
    return settings.dpi > 0 ? settings.dpi : kDefaultExportDpi;
}

QSize PaperPixels(const PaperFormat& paper, int dpi) {
    return {int(std::lround(paper.millimetres.width() / kMillimetresPerInch * dpi)),
            int(std::lround(paper.millimetres.height() / kMillimetresPerInch * dpi))};
}

double ExportScale(const CollageDocument& document, const ExportSettings& settings) {
    if (!settings.paper)
        return settings.scale;
    if (document.width <= 0 || document.height <= 0)
        return 0.0;
    const QSize paper = PaperPixels(*settings.paper, ExportDpi(settings));
    return std::min(double(paper.width()) / document.width,
                    double(paper.height()) / document.height);
}

QSize ExportPixelSize(const CollageDocument& document, const ExportSettings& settings) {
    const double scale = ExportScale(document, settings);
    if (!std::isfinite(scale) || scale <= 0.0 || scale > kMaxPictureSide)
        return {};
    return ScaledCanvasSize(document, scale);
}

QString CheckExportSettings(const CollageDocument& document, const ExportSettings& settings,
                            const QString& extension) {
    if (!settings.paper &&
        !(settings.scale >= kMinExportScale && settings.scale <= kMaxExportScale))
        return QStringLiteral("the scale %1 is outside %2 to %3")
            .arg(Number(settings.scale), Number(kMinExportScale), Number(kMaxExportScale));
    if (settings.dpi != 0 && (settings.dpi < kMinExportDpi || settings.dpi > kMaxExportDpi))
        return QStringLiteral("the resolution %1 dpi is outside %2 to %3")
            .arg(settings.dpi)
            .arg(kMinExportDpi)
            .arg(kMaxExportDpi);
    const QSize size = ExportPixelSize(document, settings);
    if (size.isEmpty())
        return QStringLiteral("the output would have no pixels");
    QString reason;
    if (!PictureSizeAllowed(size, &reason))
        return QStringLiteral("an output of %1 x %2 pixels is too large: %3")
            .arg(size.width())
            .arg(size.height())
            .arg(reason);
    if (extension.compare(QLatin1String("webp"), Qt::CaseInsensitive) == 0 &&
        std::max(size.width(), size.height()) > kMaxWebpSide)
        return QStringLiteral("a WebP file holds at most %1 pixels a side, not %2 x %3")
            .arg(kMaxWebpSide)
            .arg(size.width())
            .arg(size.height());
    return {};
}

std::vector<EnlargedPhoto> EnlargedPhotos(const CollageDocument& document,
                                          const ExportSettings& settings) {
    std::vector<EnlargedPhoto> out;
    const double scale = ExportScale(document, settings);
    const int dpi = ExportDpi(settings);
    for (const CanvasObject& object : document.objects) {
        const PhotoRecord* r = object.Photo();
        if (!r)
            continue;
        PhotoRecord crop = *r;
        const QSize recorded(r->pictureWidth, r->pictureHeight);
        if (recorded.isEmpty())
            continue;
        ClampCrop(crop, recorded);
        const QSize unscaled = object.UnscaledSize();
        const QSize shown =
            DisplayedSize(unscaled.width(), unscaled.height(), object.Scale(), float(scale));
        const double own = std::min(double(crop.cropRight - crop.cropLeft) / shown.width(),
                                    double(crop.cropBottom - crop.cropTop) / shown.height());
        if (shown.isEmpty() || !(own < 1.0))
            continue;
        out.push_back({QFileInfo(ReadFixedText(r->path)).fileName(), int(std::floor(own * dpi))});
    }
    return out;
}

QString EnlargedPhotoLine(const EnlargedPhoto& photo) {
    return QStringLiteral("%1 will print at %2 dpi").arg(photo.fileName).arg(photo.dpi);
}

} // namespace mosaiq
