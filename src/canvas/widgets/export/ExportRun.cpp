#include "canvas/widgets/export/ExportRun.h"

#include "canvas/document/CollageDocument.h"
#include "canvas/widgets/export/CExportDialog.h"
#include "canvas/widgets/export/ExportMemory.h"
#include "core/Notifier.h"
#include "imaging/files/PictureType.h"
#include "ui/widgets/DialogProvider.h"

#include <QApplication>
#include <QEventLoop>
#include <QProgressDialog>
#include <QThread>
#include <QTimer>

#include <atomic>

namespace mosaiq {

ScaledExportResult
RunWithProgress(QWidget* parent, const QString& title,
                const std::function<ScaledExportResult(const ExportProgress&)>& job) {
    std::atomic<int> done{0}, total{0};
    std::atomic<bool> cancel{false};
    ScaledExportResult result;
    QThread* worker = QThread::create([&] {
        result = job([&](int rowsDone, int rowsTotal) {
            done = rowsDone;
            total = rowsTotal;
            return !cancel.load();
        });
    });
    QProgressDialog progress(title, QObject::tr("Cancel"), 0, 1000, parent);
    progress.setWindowTitle(MessageCaption());
    progress.setWindowModality(Qt::ApplicationModal);
    progress.setMinimumDuration(500);
    progress.setAutoClose(false);
    progress.setAutoReset(false);
    QObject::connect(&progress, &QProgressDialog::canceled, [&cancel] { cancel = true; });
    QEventLoop loop;
    QObject::connect(worker, &QThread::finished, &loop, &QEventLoop::quit);
    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout, [&] {
        const int t = total.load();
        if (t > 0)
            progress.setValue(int(std::int64_t(done.load()) * 1000 / t));
    });
    tick.start(100);
    worker->start();
    // The worker renders a copy of the document, so the window may go on drawing meanwhile.
    loop.exec();
    worker->wait();
    delete worker;
    return result;
}

bool ExportCollageAsAsked(QWidget* parent, CollageDocument& document, const QString& path) {
    const QString extension = PictureExtension(path).toLower();
    CExportDialog dialog(document, extension, parent);
    dialog.SetSettings(RememberedExportSize());
    if (dialog.Run() != QDialog::Accepted)
        return false;
    const ExportSettings settings = dialog.Settings();
    RememberExportSize(settings);
    if (!settings.paper && settings.scale == 1.0 && extension != QLatin1String("pdf")) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        const ExportResult result = ExportCollage(document, path);
        QApplication::restoreOverrideCursor();
        if (!result.ok)
            Warn(result.error);
        return result.ok;
    }
    const std::shared_ptr<CollageDocument> copy = CopyDocumentForExport(document);
    const ScaledExportResult result =
        RunWithProgress(parent, QObject::tr("Saving the collage…"), [&](const ExportProgress& p) {
            return ExportCollageScaled(*copy, path, settings, p);
        });
    if (!result.ok && !result.cancelled)
        Warn(result.error);
    return result.ok;
}

} // namespace mosaiq
