// mosaiq-cli import-photos FILE...: adds pictures to the photo list ("srcmedia.cfg").
#include "cli/CliCommand.h"

#include "app/DataPath.h"
#include "library/PhotoImport.h"
#include "library/PhotoList.h"

#include <QEventLoop>
#include <QFileInfo>

#include <cstdio>

namespace mosaiq::cli {
namespace {

QString Describe(AddPhotoResult result, const PreparedPhoto& photo) {
    switch (result) {
    case AddPhotoResult::Duplicate:
        return QStringLiteral("already in the photo list");
    case AddPhotoResult::TooSmall:
    case AddPhotoResult::Unreadable:
        return photo.reason;
    case AddPhotoResult::Added:
        break;
    }
    return QString();
}

int RunImportPhotos(const QStringList& args) {
    if (args.isEmpty()) {
        PrintError(QStringLiteral("usage: import-photos FILE..."));
        return kExitUsage;
    }
    QStringList paths;
    for (const QString& a : args) // the list keeps full paths
        paths << QFileInfo(a).absoluteFilePath();
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
    int added = 0, skipped = 0, done = 0;
    PhotoImporter importer;
    QEventLoop loop;
    QObject::connect(&importer, &PhotoImporter::photoPrepared, [&](const PreparedPhoto& photo) {
        ++done;
        if (showProgress)
            std::fprintf(ErrorStream(), "\r%d/%lld ", done, static_cast<long long>(paths.size()));
        const AddPhotoResult result = list.AddImportedPhoto(photo);
        const QString path = EntryPath(photo.entry);
        if (result == AddPhotoResult::Added) {
            ++added;
            PrintLine(QStringLiteral("added %1 (%2 x %3)")
                          .arg(path)
                          .arg(photo.entry.width)
                          .arg(photo.entry.height));
        } else {
            ++skipped;
            if (showProgress)
                std::fprintf(ErrorStream(), "\n");
            PrintError(QStringLiteral("skipped %1: %2").arg(path, Describe(result, photo)));
        }
    });
    QObject::connect(&importer, &PhotoImporter::fileMissing, [&](const QString& path) {
        PrintError(QStringLiteral("%1 was not found; the import ends here").arg(path));
    });
    QObject::connect(&importer, &PhotoImporter::finished, &loop, &QEventLoop::quit);
    importer.Start(paths);
    loop.exec();
    if (showProgress)
        std::fprintf(ErrorStream(), "\n");

    QString error;
    if (!list.Save(listPath, &error)) {
        PrintError(error);
        return kExitFailed;
    }
    PrintLine(QStringLiteral("added %1, skipped %2; %3 photos in %4")
                  .arg(added)
                  .arg(skipped)
                  .arg(list.Count())
                  .arg(listPath));
    return kExitOk;
}

const CliCommandRegistration kRegistration{
    {QStringLiteral("import-photos"), QStringLiteral("FILE..."), false, &RunImportPhotos}};

} // namespace
} // namespace mosaiq::cli
