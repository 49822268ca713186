#include "canvas/document/PhotoRelink.h"

#include "canvas/document/CollageDocument.h"
#include "canvas/project/EffectPictures.h"
#include "core/text/FixedText.h"

#include <QDirIterator>
#include <QFileInfo>
#include <QHash>

namespace mosaiq {

namespace {

// File names under folder (depth first, the first file of a name wins), by exact name and by
// lower-case name.
struct FolderIndex {
    QHash<QString, QString> exact;
    QHash<QString, QString> folded;
};

FolderIndex IndexFolder(const QString& folder) {
    FolderIndex index;
    QDirIterator it(folder, QDir::Files | QDir::Readable | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const QString name = it.fileName();
        index.exact.insert(name, index.exact.value(name, path));
        const QString lower = name.toLower();
        index.folded.insert(lower, index.folded.value(lower, path));
    }
    return index;
}

} // namespace

std::vector<MissingPhoto> FindMissingPhotos(const CollageDocument& document) {
    std::vector<MissingPhoto> missing;
    for (size_t i = 0; i < document.objects.size(); ++i) {
        const PhotoRecord* photo = document.objects[i].Photo();
        if (!photo)
            continue;
        const QString path = ReadFixedText(photo->path);
        if (!PhotoSourceAvailable(path))
            missing.push_back({int(i), path});
    }
    return missing;
}

QString StoredFileName(const QString& path) {
    const qsizetype cut =
        std::max(path.lastIndexOf(QLatin1Char('/')), path.lastIndexOf(QLatin1Char('\\')));
    return path.mid(cut + 1);
}

RelinkResult RelinkMissingPhotos(CollageDocument& document, const QString& folder) {
    RelinkResult result;
    const std::vector<MissingPhoto> missing = FindMissingPhotos(document);
    if (missing.empty())
        return result;
    const FolderIndex index = IndexFolder(folder);
    for (const MissingPhoto& m : missing) {
        const QString name = StoredFileName(m.path);
        QString found = name.isEmpty() ? QString() : index.exact.value(name);
        if (found.isEmpty() && !name.isEmpty())
            found = index.folded.value(name.toLower());
        CanvasObject& object = document.objects[size_t(m.index)];
        PhotoRecord* photo = object.Photo();
        if (found.isEmpty() || !FitsFixedText(found, sizeof photo->path)) {
            result.notFound << m.path;
            continue;
        }
        WriteFixedText(photo->path, found);
        object.DropCaches();
        result.moved.emplace_back(m.path, found);
        ++result.relinked;
    }
    if (result.relinked > 0) {
        document.RecordSnapshot();
        document.MarkModified();
    }
    return result;
}

} // namespace mosaiq
