// mosaiq-cli import-photos FILE...: adds pictures to the photo list ("srcmedia.cfg").
#include "cli/CliCommand.h"

#include "core/data/DataPath.h"
#include "library/photos/PhotoImportRun.h"
#include "library/photos/PhotoList.h"

#include <QEventLoop>
#include <QFileInfo>

#include <cstdio>

namespace mosaiq::cli {
namespace {

int RunImportPhotos(const QStringList& args) {
    if (args.isEmpty()) {
        PrintError(QStringLiteral("usage: import-photos FILE..."));
        return kExitUsage;
    }
    QStringList paths;
    QStringList unusable;           // names that are not UTF-8, escaped: skipped as unreadable
    for (const QString& a : args) { // the list keeps full paths
        if (const std::optional<QString> name = UnusableName(a))
            unusable << *name;
        else
            paths << QFileInfo(a).absoluteFilePath();
    }
    const QString listPath = DataFile(QStringLiteral("srcmedia.cfg"));
    PhotoList list;
    QString message;
    const PhotoList::LoadStatus status = list.Load(listPath, &message);
    if (status == PhotoList::LoadStatus::Unreadable) {
        // Importing now would end in a list that cannot be saved: stop before any work.
        PrintError(message);
        return kExitFailed;
    }
    if (status == PhotoList::LoadStatus::Damaged)
        PrintError(message);

    const bool showProgress = ErrorStreamIsTerminal();
    PhotoImportRun run(list);
    run.SetFindSubjects(false); // the process ends with the import: subjects wait for first use
    QEventLoop loop;
    const auto progress = [&](int done, int total) {
        if (showProgress)
            std::fprintf(ErrorStream(), "\r%d/%d ", done, total);
    };
    QObject::connect(
        &run, &PhotoImportRun::fileHandled,
        [&](const QString& path, AddPhotoResult result, int index, int done, int total) {
            progress(done, total);
            if (result == AddPhotoResult::Added) {
                const PictureFileEntry& e = list.Records()[size_t(index)];
                PrintLine(
                    QStringLiteral("added %1 (%2 x %3)").arg(path).arg(e.width).arg(e.height));
            }
        });
    QObject::connect(&run, &PhotoImportRun::fileMissing,
                     [&](const QString&, int done, int total) { progress(done, total); });
    QObject::connect(&run, &PhotoImportRun::finished, &loop, &QEventLoop::quit);
    if (run.Start(paths))
        loop.exec();
    if (showProgress)
        std::fprintf(ErrorStream(), "\n");
    const PhotoImportSummary& summary = run.Summary();
    for (const QString& path : summary.duplicates)
        PrintError(QStringLiteral("skipped %1: already in the photo list").arg(path));
    for (const auto& [path, reason] : summary.tooSmall)
        PrintError(QStringLiteral("skipped %1: %2").arg(path, reason));
    for (const QString& path : summary.missing)
        PrintError(QStringLiteral("skipped %1: not found").arg(path));
    for (const auto& [path, reason] : summary.unreadable)
        PrintError(QStringLiteral("skipped %1: %2").arg(path, reason));
    for (const QString& name : unusable)
        PrintError(QStringLiteral("skipped %1: %2").arg(name, UnusableNameReason()));

    QString error;
    // The editor may have saved the list meanwhile: what it holds now is merged, not replaced.
    if (!list.SaveMerging(listPath, &error)) {
        PrintError(error);
        return kExitFailed;
    }
    PrintLine(QStringLiteral("added %1, skipped %2 (%3 already listed, %4 too small, %5 not "
                             "found, %6 unreadable); %7 photos in %8")
                  .arg(summary.added)
                  .arg(summary.Skipped() + unusable.size())
                  .arg(summary.duplicates.size())
                  .arg(summary.tooSmall.size())
                  .arg(summary.missing.size())
                  .arg(summary.unreadable.size() + unusable.size())
                  .arg(list.Count())
                  .arg(listPath));
    // Files left out by rule (duplicates, too small) are not failures; missing and unreadable
    // ones are, though the others were still added.
    return summary.AnyFailed() || !unusable.isEmpty() ? kExitFailed : kExitOk;
}

const CliCommandRegistration kRegistration{
    {QStringLiteral("import-photos"), QStringLiteral("FILE..."), false, &RunImportPhotos, true}};

} // namespace
} // namespace mosaiq::cli
