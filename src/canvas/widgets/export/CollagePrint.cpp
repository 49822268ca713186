#include "canvas/widgets/export/CollagePrint.h"

#include "canvas/document/CollageDocument.h"
#include "canvas/widgets/export/ExportMemory.h"
#include "canvas/widgets/export/ExportRun.h"
#include "core/Notifier.h"

#include <QPainter>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>

#include <algorithm>

namespace mosaiq {
namespace {

constexpr int kPreviewDpi = 300;
// A PDF printed to a file holds the page at most at this resolution: print quality, without the
// printer's 1200 dpi making a lossless page of hundreds of megabytes.
constexpr int kPrintFileDpi = 300;

} // namespace

bool PaintCollageOnPrinter(QPrinter& printer, CollageDocument& document,
                           const ExportProgress& progress) {
    QPainter painter;
    if (!painter.begin(&printer))
        return false;
    // The painter's origin is the printable area's top-left corner, in device pixels.
    const QRect area(QPoint(0, 0),
                     printer.pageLayout().paintRectPixels(printer.resolution()).size());
    const bool done = PaintCollageFitted(document, painter, area, progress);
    painter.end();
    return done;
}

bool PrintCollage(QWidget* parent, CollageDocument& document) {
    QPrinter printer(QPrinter::HighResolution);
    PreparePrinter(printer, document);
    QPrintDialog dialog(&printer, parent);
    dialog.setWindowTitle(QObject::tr("Print Collage"));
    if (dialog.exec() != QDialog::Accepted)
        return false;
    RememberPrinter(printer);
    const std::shared_ptr<CollageDocument> copy = CopyDocumentForExport(document);
    const bool toFile =
        printer.outputFormat() == QPrinter::PdfFormat && !printer.outputFileName().isEmpty();
    const ScaledExportResult result = RunWithProgress(
        parent, QObject::tr("Printing the collage…"), [&](const ExportProgress& progress) {
            // Print to a file is written by the collage's own PDF writer: lossless pictures, and
            // an earlier file kept unless the new one was written whole.
            if (toFile)
                return PrintCollageToPdf(*copy, printer.outputFileName(), printer.pageLayout(),
                                         std::min(printer.resolution(), kPrintFileDpi), progress);
            ScaledExportResult r;
            r.ok = PaintCollageOnPrinter(printer, *copy, [&](int done, int total) {
                r.cancelled = progress && !progress(done, total);
                return !r.cancelled;
            });
            if (!r.ok && !r.cancelled)
                r.error = QObject::tr("the collage could not be printed");
            return r;
        });
    if (!result.ok && !result.cancelled)
        Warn(result.error);
    return result.ok;
}

void PreviewCollagePrint(QWidget* parent, CollageDocument& document) {
    // The preview draws the page again at every change of its settings: at 300 dpi (which a
    // print from the preview uses too) rather than the printer's highest resolution.
    QPrinter printer(QPrinter::HighResolution);
    PreparePrinter(printer, document);
    printer.setResolution(kPreviewDpi);
    QPrintPreviewDialog preview(&printer, parent);
    preview.setWindowTitle(QObject::tr("Print Preview"));
    QObject::connect(&preview, &QPrintPreviewDialog::paintRequested, [&document](QPrinter* p) {
        const std::unique_ptr<CollageDocument> copy = CopyDocumentForExport(document);
        PaintCollageOnPrinter(*p, *copy);
    });
    if (preview.exec() == QDialog::Accepted)
        RememberPrinter(printer);
}

} // namespace mosaiq
