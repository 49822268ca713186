#include "shell/widgets/commands/SaveCollage.h"

#include "canvas/output/CollageExport.h"
#include "canvas/widgets/export/ExportMemory.h"
#include "canvas/widgets/export/ExportRun.h"
#include "canvas/document/PhotoRelink.h"
#include "canvas/widgets/CCollageCanvas.h"
#include "core/Notifier.h"
#include "shell/widgets/CMainDialog.h"
#include "shell/widgets/access/CStatusLine.h"
#include "ui/widgets/DialogProvider.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

namespace mosaiq {
namespace {

QString Tr(const char* text) {
    return QCoreApplication::translate("SaveCollage", text);
}

// Every type the export writes.
constexpr const char* kExtensions[] = {"jpg", "jpeg", "bmp", "gif", "png", "webp",
                                       "pcx", "pnm",  "tif", "tiff", "pdf"};

} // namespace

bool ConfirmReplaceFile(QWidget* parent, const QString& path) {
    if (!QFileInfo::exists(path))
        return true;
    return Dialogs().Ask(parent,
                         Tr("%1 already exists.\nDo you want to replace it?")
                             .arg(QDir::toNativeSeparators(path)),
                         false) == Answer::Yes;
}

bool ConfirmExportWithMissingPhotos(CMainDialog& window) {
    const size_t missing = FindMissingPhotos(window.Canvas().Document()).size();
    if (missing == 0)
        return true;
    const QString text =
        missing == 1
            ? Tr("1 photo cannot be found and will be left out. Export anyway?")
            : Tr("%1 photos cannot be found and will be left out. Export anyway?").arg(missing);
    return Dialogs().Ask(&window, text, false) == Answer::Yes;
}

QString FilterExtension(const QString& filter) {
    static const QRegularExpression pattern(QStringLiteral("\\*\\.([A-Za-z0-9]+)"));
    const QRegularExpressionMatch match = pattern.match(filter);
    return match.hasMatch() ? match.captured(1).toLower() : QString();
}

void RunSaveCollage(CMainDialog& window, const QString& folder) {
    if (!ConfirmExportWithMissingPhotos(window))
        return;
    QStringList filters;
    for (const char* ext : kExtensions)
        filters << QStringLiteral("(*.%1)").arg(QLatin1String(ext));
    // The dialog starts in the folder and on the type chosen last (the project's folder the
    // first time).
    const SaveCollageChoice last = RememberedSaveCollage();
    const QString where =
        !last.folder.isEmpty() && QFileInfo(last.folder).isDir() ? last.folder : folder;
    const QString start = where.isEmpty() ? QStringLiteral("untitled")
                                          : QDir(where).filePath(QStringLiteral("untitled"));
    QString chosen;
    if (!last.type.isEmpty() && filters.contains(QStringLiteral("(*.%1)").arg(last.type)))
        chosen = QStringLiteral("(*.%1)").arg(last.type);
    QString path = Dialogs().SaveFileNameAndType(&window, Tr("Save Collage"), start,
                                                 filters.join(QStringLiteral(";;")), &chosen);
    if (path.isEmpty())
        return;
    {
        QString type = QFileInfo(path).suffix().toLower();
        if (type.isEmpty() || !filters.contains(QStringLiteral("(*.%1)").arg(type)))
            type = FilterExtension(chosen);
        RememberSaveCollage({type, QFileInfo(path).absolutePath()});
    }
    if (QFileInfo(path).suffix().isEmpty()) {
        // The file type chosen in the dialog decides the format (JPEG when it cannot tell).
        const QString ext = FilterExtension(chosen);
        path += QLatin1Char('.') + (ext.isEmpty() ? QStringLiteral("jpg") : ext);
        if (!ConfirmReplaceFile(&window, path))
            return;
    }
    // The size (a scale, or a paper at a resolution) is asked next; scale 1 is the canvas-size
    // export. Long exports run on a worker with progress and Cancel.
    if (ExportCollageAsAsked(&window, window.Canvas().Document(), path))
        AnnounceStatus(&window, Tr("Collage written to %1").arg(QFileInfo(path).fileName()));
}

} // namespace mosaiq
