#include "imaging/files/PictureFileEntry.h"

#include "core/text/FixedText.h"

#include <QDir>
#include <QFileInfo>

#include <cstring>

namespace mosaiq {

std::optional<PictureFileEntry> MakeFileEntry(const QString& directory, const QString& listedName,
                                              bool fromListing, QString* reason) {
    const QString path = fromListing ? directory + listedName : listedName;
    const QFileInfo info(path);
    const QString fileName = info.fileName();
    const qsizetype dot = fileName.lastIndexOf(QLatin1Char('.'));
    const QString base = dot >= 0 ? fileName.left(dot) : fileName;
    const QString extension = dot >= 0 ? fileName.mid(dot).toLower() : QString();
    QString folder = path.left(path.size() - fileName.size());

    PictureFileEntry entry;
    std::memset(&entry, 0, sizeof entry);
    const bool fits = WriteFixedText(entry.path, path) && WriteFixedText(entry.directory, folder) &&
                      WriteFixedText(entry.name, base) &&
                      WriteFixedText(entry.extension, extension);
    if (!fits) {
        if (reason)
            *reason = QStringLiteral("the path is longer than a photo record holds (259 bytes): %1")
                          .arg(path);
        return std::nullopt;
    }
    return entry;
}

QString EntryPath(const PictureFileEntry& entry) {
    return ReadFixedText(entry.path);
}

} // namespace mosaiq
