#include "canvas/project/EffectPictures.h"

#include "canvas/document/CollageDocument.h"
#include "core/files/AtomicFile.h"
#include "core/text/FixedText.h"
#include "core/files/RegularFile.h"
#include "imaging/files/PictureLimits.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QtEndian>

#include <map>
#include <mutex>
#include <set>

namespace mosaiq {

namespace {

constexpr int kHashDigits = 40;

struct Store {
    std::mutex lock;
    std::map<QString, QByteArray> carried; // name -> bytes, kept by headless readers
    std::set<QString> made;                // absolute paths effects wrote in this run
    std::set<QString> saved;               // absolute paths projects saved in this run use
    // Files whose bytes were found to match their name, with the size and time they had then:
    // every save and recovery copy carries the pictures, and hashing them again each time
    // would hold the window up for a tenth of a second per 85 MB.
    std::map<QString, std::pair<qint64, QDateTime>> verified;
};

Store& TheStore() {
    static Store store;
    return store;
}

QString AbsolutePath(const QString& path) {
    return QFileInfo(path).absoluteFilePath();
}

// The effect picture paths of the document's photos, in object order, each once.
QStringList EffectPicturePaths(const CollageDocument& document) {
    QStringList paths;
    for (const CanvasObject& object : document.objects) {
        const PhotoRecord* photo = object.Photo();
        if (!photo)
            continue;
        const QString path = ReadFixedText(photo->path);
        if (IsEffectPicturePath(path) && !paths.contains(path))
            paths << path;
    }
    return paths;
}

std::optional<QByteArray> ReadEffectFile(const QString& path) {
    QFile file;
    if (OpenRegularFile(file, path) != OpenFailure::None || file.size() > kMaxPictureFileBytes)
        return std::nullopt;
    const QString absolute = AbsolutePath(path);
    // The open file's own time (it may be open by handle, without a name to look up).
    const std::pair<qint64, QDateTime> stamp{file.size(),
                                             file.fileTime(QFileDevice::FileModificationTime)};
    QByteArray bytes = file.readAll();
    if (bytes.size() != file.size())
        return std::nullopt;
    Store& store = TheStore();
    {
        std::lock_guard guard(store.lock);
        if (const auto found = store.verified.find(absolute); stamp.second.isValid() &&
                                                              found != store.verified.end() &&
                                                              found->second == stamp)
            return bytes;
    }
    if (EffectPictureName(bytes) != QFileInfo(path).fileName())
        return std::nullopt;
    if (stamp.second.isValid()) {
        std::lock_guard guard(store.lock);
        store.verified[absolute] = stamp;
    }
    return bytes;
}

void AppendU32(QByteArray& out, std::uint32_t value) {
    char bytes[4];
    qToLittleEndian(value, bytes);
    out.append(bytes, 4);
}

} // namespace

bool IsEffectPictureName(const QString& fileName) {
    if (fileName.size() != kHashDigits + 4 || !fileName.endsWith(QLatin1String(".png")))
        return false;
    for (int i = 0; i < kHashDigits; ++i) {
        const QChar c = fileName[i];
        if (!((c >= QLatin1Char('0') && c <= QLatin1Char('9')) ||
              (c >= QLatin1Char('a') && c <= QLatin1Char('f'))))
            return false;
    }
    return true;
}

bool IsEffectPicturePath(const QString& path) {
    const QFileInfo info(path);
    return IsEffectPictureName(info.fileName()) && info.dir().dirName() == QLatin1String("Effects");
}

QString EffectPictureName(const QByteArray& bytes) {
    return QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Sha1).toHex()) +
           QStringLiteral(".png");
}

std::vector<CarriedEffectPicture> CollectEffectPictures(const CollageDocument& document) {
    std::vector<CarriedEffectPicture> pictures;
    std::set<QString> names;
    for (const QString& path : EffectPicturePaths(document)) {
        const QString name = QFileInfo(path).fileName();
        if (!names.insert(name).second)
            continue;
        std::optional<QByteArray> bytes = ReadEffectFile(path);
        if (!bytes)
            bytes = FindCarriedEffectPicture(path);
        if (bytes)
            pictures.push_back({name, std::move(*bytes)});
    }
    return pictures;
}

QByteArray EncodeEffectPictures(const std::vector<CarriedEffectPicture>& pictures) {
    if (pictures.empty())
        return {};
    QByteArray out;
    AppendU32(out, std::uint32_t(pictures.size()));
    for (const CarriedEffectPicture& picture : pictures) {
        out.append(picture.name.left(kHashDigits).toLatin1());
        AppendU32(out, std::uint32_t(picture.bytes.size()));
        out.append(picture.bytes);
    }
    return out;
}

bool DecodeEffectPictures(const QByteArray& payload, std::vector<CarriedEffectPicture>& pictures,
                          QString* error) {
    const auto fail = [&] {
        if (error)
            *error = QStringLiteral("The project's effect pictures end too early.");
        return false;
    };
    const qint64 size = payload.size();
    if (size < 4)
        return fail();
    const qint64 count = qFromLittleEndian<std::uint32_t>(payload.constData());
    qint64 pos = 4;
    if (count > (size - pos) / (kHashDigits + 4))
        return fail();
    for (qint64 i = 0; i < count; ++i) {
        if (size - pos < kHashDigits + 4)
            return fail();
        const QString name =
            QString::fromLatin1(payload.constData() + pos, kHashDigits) + QStringLiteral(".png");
        pos += kHashDigits;
        const qint64 length = qFromLittleEndian<std::uint32_t>(payload.constData() + pos);
        pos += 4;
        if (length > size - pos)
            return fail();
        QByteArray bytes = payload.mid(pos, length);
        pos += length;
        // A picture that is not what its name says is not trusted with the name.
        if (IsEffectPictureName(name) && EffectPictureName(bytes) == name)
            pictures.push_back({name, std::move(bytes)});
    }
    return true;
}

QStringList PlaceCarriedEffectPictures(CollageDocument& document,
                                       const std::vector<CarriedEffectPicture>& pictures,
                                       const QString& folder) {
    QStringList problems;
    std::map<QString, QString> placed; // name -> path in folder
    for (const CarriedEffectPicture& picture : pictures) {
        const QString path = QDir(folder).filePath(picture.name);
        QString error;
        if (QFileInfo(path).isFile() ||
            (QDir().mkpath(folder) && WriteFileAtomically(path, picture.bytes, &error)))
            placed[picture.name] = path;
        else
            problems << QStringLiteral("%1: %2").arg(
                QDir::toNativeSeparators(path),
                error.isEmpty() ? QStringLiteral("the folder cannot be made") : error);
    }
    for (CanvasObject& object : document.objects) {
        PhotoRecord* photo = object.Photo();
        if (!photo)
            continue;
        const QString path = ReadFixedText(photo->path);
        if (!IsEffectPicturePath(path))
            continue;
        const auto found = placed.find(QFileInfo(path).fileName());
        if (found != placed.end() && found->second != path &&
            WriteFixedText(photo->path, found->second))
            object.DropCaches();
    }
    return problems;
}

void KeepCarriedEffectPictures(const std::vector<CarriedEffectPicture>& pictures) {
    Store& store = TheStore();
    std::lock_guard guard(store.lock);
    for (const CarriedEffectPicture& picture : pictures)
        store.carried.emplace(picture.name, picture.bytes);
}

std::optional<QByteArray> FindCarriedEffectPicture(const QString& path) {
    if (!IsEffectPicturePath(path))
        return std::nullopt;
    Store& store = TheStore();
    std::lock_guard guard(store.lock);
    const auto found = store.carried.find(QFileInfo(path).fileName());
    if (found == store.carried.end())
        return std::nullopt;
    return found->second;
}

bool PhotoSourceAvailable(const QString& path) {
    if (path.isEmpty())
        return false;
    if (QFileInfo(path).isFile())
        return true;
    return FindCarriedEffectPicture(path).has_value();
}

void NoteEffectPictureMade(const QString& path) {
    Store& store = TheStore();
    std::lock_guard guard(store.lock);
    store.made.insert(AbsolutePath(path));
}

void NoteEffectPicturesSaved(const CollageDocument& document) {
    const QStringList paths = EffectPicturePaths(document);
    Store& store = TheStore();
    std::lock_guard guard(store.lock);
    for (const QString& path : paths)
        store.saved.insert(AbsolutePath(path));
}

int RemoveUnusedEffectPictures(const CollageDocument& open) {
    std::set<QString> used;
    for (const QString& path : EffectPicturePaths(open))
        used.insert(AbsolutePath(path));
    Store& store = TheStore();
    std::lock_guard guard(store.lock);
    int removed = 0;
    for (auto it = store.made.begin(); it != store.made.end();) {
        if (used.count(*it) != 0 || store.saved.count(*it) != 0) {
            ++it;
            continue;
        }
        if (QFile::remove(*it))
            ++removed;
        it = store.made.erase(it);
    }
    return removed;
}

} // namespace mosaiq
