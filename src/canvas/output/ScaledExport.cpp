#include "canvas/output/ScaledExport.h"

#include "canvas/output/BandRenderer.h"
#include "canvas/document/CollageDocument.h"
#include "imaging/encode/BandWriter.h"
#include "imaging/encode/PictureSaving.h"
#include "imaging/files/PictureType.h"
#include "imaging/files/ReplacingFile.h"

#include <QDir>
#include <QFileInfo>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

#include <algorithm>
#include <functional>

namespace mosaiq {
namespace {

constexpr double kPointsPerInch = 72.0;
// A PDF's picture is put down in bands of up to this many pixels (one for most pages), so a viewer
// shows no seams where it can avoid them.
constexpr std::int64_t kPdfBandPixels = 64 << 20;

QString Native(const QString& path) {
    return QDir::toNativeSeparators(path);
}

bool WriteRaster(CollageDocument& document, const QString& path, const QString& extension,
                 double scale, int dpi, const ExportProgress& progress,
                 ScaledExportResult& result) {
    const QSize size = result.pixels;
    std::unique_ptr<BandWriter> writer = MakeBandWriter(extension);
    if (!writer) {
        // Types without a streaming writer are rendered whole.
        QImage image = RenderCollageScaled(document, scale);
        if (image.isNull()) {
            result.error = QStringLiteral("not enough memory for %1 x %2 pixels")
                               .arg(size.width())
                               .arg(size.height());
            return false;
        }
        image.setDotsPerMeterX(DotsPerMetre(dpi));
        image.setDotsPerMeterY(DotsPerMetre(dpi));
        QString reason;
        if (!SavePictureByExtension(image, path, extension, &reason)) {
            result.error = QStringLiteral("cannot write \"%1\": %2").arg(Native(path), reason);
            return false;
        }
        return true;
    }
    if (!writer->Begin(path, size, dpi)) {
        result.error =
            QStringLiteral("cannot write \"%1\": %2").arg(Native(path), writer->ErrorString());
        return false;
    }
    bool writeFailed = false;
    const bool rendered =
        RenderCollageInBands(document, scale, 0, [&](const QImage& band, int top) {
            if (!writer->WriteBand(band)) {
                writeFailed = true;
                return false;
            }
            if (progress && !progress(top + band.height(), size.height())) {
                result.cancelled = true;
                return false;
            }
            return true;
        });
    if (!rendered || !writer->Finish()) {
        if (result.cancelled)
            result.error = QStringLiteral("the export was cancelled");
        else if (!rendered && !writeFailed)
            result.error = QStringLiteral("not enough memory to render %1 x %2 pixels")
                               .arg(size.width())
                               .arg(size.height());
        else
            result.error =
                QStringLiteral("cannot write \"%1\": %2").arg(Native(path), writer->ErrorString());
        return false;
    }
    return true;
}

// The PDF's title: the collage's name (its project file's), or the name of the PDF itself for a
// collage never saved.
QString PdfTitle(const CollageDocument& document, const QString& path) {
    const QString project = QFileInfo(document.projectPath).completeBaseName();
    return project.isEmpty() ? QFileInfo(path).completeBaseName() : project;
}

// Writes a one-page PDF with the page layout at dpi through a replacing file: paint draws the
// page in device pixels (the origin at the layout's printable area) and says whether it finished.
// Page pictures are stored losslessly (Flate), never as Qt's default JPEG, so the page holds the
// collage exactly as the picture exports do. Nothing replaces path unless every byte was written.
bool WritePdfFile(const CollageDocument& document, const QString& path, const QPageLayout& layout,
                  int dpi, const std::function<bool(QPainter&)>& paint,
                  ScaledExportResult& result) {
    ReplacingFile file(path);
    if (!file.Open()) {
        result.error = file.ErrorString();
        return false;
    }
    {
        QPdfWriter pdf(file.Device());
        pdf.setCreator(QStringLiteral("Mosaiq"));
        pdf.setTitle(PdfTitle(document, path));
        pdf.setResolution(dpi);
        pdf.setPageLayout(layout);
        QPainter painter;
        if (!painter.begin(&pdf)) {
            result.error = QStringLiteral("cannot write \"%1\": the PDF could not be started")
                               .arg(Native(path));
            return false;
        }
        painter.setRenderHint(QPainter::LosslessImageRendering);
        const bool done = paint(painter);
        painter.end();
        if (!done)
            return false;
    }
    if (!file.Commit()) {
        result.error = file.ErrorString(); // "cannot write PATH: the reason"
        return false;
    }
    return true;
}

bool WritePdf(CollageDocument& document, const QString& path, const ExportSettings& settings,
              double scale, const ExportProgress& progress, ScaledExportResult& result) {
    const int dpi = ExportDpi(settings);
    // ExactMatch: a page a little off a standard size keeps its own size.
    const QPageSize page(PdfPageSizePoints(document, settings), QPageSize::Point, QString(),
                         QPageSize::ExactMatch);
    const QPageLayout layout(page, QPageLayout::Portrait, QMarginsF());
    return WritePdfFile(
        document, path, layout, dpi,
        [&](QPainter& painter) {
            const QSize pagePixels = page.sizePixels(dpi);
            const QPoint origin(std::max(0, (pagePixels.width() - result.pixels.width()) / 2),
                                std::max(0, (pagePixels.height() - result.pixels.height()) / 2));
            const int rows =
                int(std::max<std::int64_t>(1, kPdfBandPixels / std::max(1, result.pixels.width())));
            const bool done = PaintCollageInBands(document, painter, origin, scale, rows,
                                                  [&](int doneRows, int total) {
                                                      if (progress && !progress(doneRows, total)) {
                                                          result.cancelled = true;
                                                          return false;
                                                      }
                                                      return true;
                                                  });
            if (!done)
                result.error = result.cancelled
                                   ? QStringLiteral("the export was cancelled")
                                   : QStringLiteral("not enough memory to render %1 x %2 pixels")
                                         .arg(result.pixels.width())
                                         .arg(result.pixels.height());
            return done;
        },
        result);
}

} // namespace

QSizeF PdfPageSizePoints(const CollageDocument& document, const ExportSettings& settings) {
    if (settings.paper)
        return QPageSize(settings.paper->millimetres, QPageSize::Millimeter, QString(),
                         QPageSize::ExactMatch)
            .size(QPageSize::Point);
    const QSize pixels = ExportPixelSize(document, settings);
    const double perPixel = kPointsPerInch / ExportDpi(settings);
    return {pixels.width() * perPixel, pixels.height() * perPixel};
}

ScaledExportResult ExportCollageScaled(CollageDocument& document, const QString& path,
                                       const ExportSettings& settings,
                                       const ExportProgress& progress) {
    ScaledExportResult result;
    const QString extension = PictureExtension(path).toLower();
    const bool pdf = extension == QLatin1String("pdf");
    if (!pdf && PictureTypeFromExtension(extension) == kPictureUnknown) {
        result.error = QStringLiteral("\"%1\" does not end in a known picture extension or pdf")
                           .arg(Native(path));
        return result;
    }
    result.error = CheckExportSettings(document, settings, extension);
    if (!result.error.isEmpty())
        return result;
    if (!QFileInfo(path).absoluteDir().exists()) {
        result.error =
            QStringLiteral("cannot write \"%1\": the folder does not exist").arg(Native(path));
        return result;
    }
    const double scale = ExportScale(document, settings);
    result.pixels = ExportPixelSize(document, settings);
    result.ok =
        pdf ? WritePdf(document, path, settings, scale, progress, result)
            : WriteRaster(document, path, extension, scale, ExportDpi(settings), progress, result);
    return result;
}

std::unique_ptr<CollageDocument> CopyDocumentForExport(const CollageDocument& document) {
    auto copy = std::make_unique<CollageDocument>();
    copy->width = document.width;
    copy->height = document.height;
    copy->backgroundPath = document.backgroundPath;
    copy->backgroundColour = document.backgroundColour;
    copy->backgroundMode = document.backgroundMode;
    copy->backgroundPicture = document.backgroundPicture;
    copy->backgroundUpright = document.backgroundUpright;
    copy->objects = document.objects;
    for (CanvasObject& o : copy->objects)
        o.cache = nullptr; // the view's pictures stay with the view
    copy->regionTable = document.regionTable;
    copy->pastedPictures = document.pastedPictures;
    copy->brushPictures = document.brushPictures;
    copy->projectPath = document.projectPath; // the PDF's title
    return copy;
}

double FitScale(const CollageDocument& document, QSize area) {
    if (document.width <= 0 || document.height <= 0 || area.isEmpty())
        return 0.0;
    return std::min(double(area.width()) / document.width, double(area.height()) / document.height);
}

ScaledExportResult PrintCollageToPdf(CollageDocument& document, const QString& path,
                                     const QPageLayout& layout, int dpi,
                                     const ExportProgress& progress) {
    ScaledExportResult result;
    if (dpi < kMinExportDpi || dpi > kMaxExportDpi) {
        result.error = QStringLiteral("a resolution of %1 dpi cannot be printed").arg(dpi);
        return result;
    }
    const QRect area(QPoint(0, 0), layout.paintRectPixels(dpi).size());
    result.pixels = ScaledCanvasSize(document, FitScale(document, area.size()));
    result.ok = WritePdfFile(
        document, path, layout, dpi,
        [&](QPainter& painter) {
            const bool done = PaintCollageFitted(document, painter, area, [&](int d, int total) {
                result.cancelled = progress && !progress(d, total);
                return !result.cancelled;
            });
            if (!done)
                result.error = result.cancelled
                                   ? QStringLiteral("the printing was cancelled")
                                   : QStringLiteral("the collage could not be printed");
            return done;
        },
        result);
    return result;
}

bool PaintCollageFitted(CollageDocument& document, QPainter& painter, const QRect& area,
                        const ExportProgress& progress) {
    const double scale = FitScale(document, area.size());
    const QSize size = ScaledCanvasSize(document, scale);
    if (size.isEmpty())
        return false;
    const QPoint origin = area.topLeft() + QPoint((area.width() - size.width()) / 2,
                                                  (area.height() - size.height()) / 2);
    return PaintCollageInBands(document, painter, origin, scale, 0, progress);
}

} // namespace mosaiq
