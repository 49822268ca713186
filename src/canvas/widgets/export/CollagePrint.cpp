#include "canvas/widgets/export/CollagePrint.h"

#include "canvas/document/CollageDocument.h"
#include "canvas/widgets/export/ExportMemory.h"
#include "canvas/widgets/export/ExportRun.h"
#include "core/Notifier.h"

#include <QPainter>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>

namespace mosaiq {
namespace {

constexpr int kPreviewDpi = 300;

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
    const ScaledExportResult result = RunWithProgress(
        parent, QObject::tr("Printing the collage…"), [&](const ExportProgress& progress) {
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
