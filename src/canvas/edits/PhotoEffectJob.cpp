#include "canvas/edits/PhotoEffectJob.h"

#include "canvas/document/CollageDocument.h"
#include "canvas/project/EffectPictures.h"
#include "core/files/AtomicFile.h"
#include "core/data/DataPath.h"
#include "core/text/FixedText.h"
#include "imaging/files/DecodeBudget.h"
#include "imaging/decode/PictureDecoder.h"
#include "imaging/files/PictureType.h"

#include <QDir>
#include <QFileInfo>

namespace mosaiq {

PhotoEffectJob::PhotoEffectJob(QString source, PhotoEffect effect, QString folder, bool upright)
    : m_source(std::move(source)), m_effect(effect), m_folder(std::move(folder)),
      m_upright(upright) {}

void PhotoEffectJob::Cancel() {
    m_cancelled = true;
    m_picture.SetEscape(1);
}

EffectFileResult PhotoEffectJob::Run() {
    EffectFileResult result;
    const auto stopped = [&] {
        result.cancelled = true;
        result.error = QStringLiteral("The effect was cancelled.");
        return result;
    };
    // A picture whose header cannot be read is unreadable; one that announces more pixels than
    // the effect's budget is refused before anything is decoded.
    QString refused;
    QSize announced;
    if (!ReadPictureSize(m_source, &announced, &refused)) {
        result.error = QStringLiteral("The picture %1 could not be read: %2")
                           .arg(QDir::toNativeSeparators(m_source), refused);
        return result;
    }
    if (!WithinBudget(announced, kEffectBudget, &refused)) {
        result.error = QStringLiteral("The picture %1 is not given to the effect: it is %2 x %3 "
                                      "pixels: %4")
                           .arg(QDir::toNativeSeparators(m_source))
                           .arg(announced.width())
                           .arg(announced.height())
                           .arg(refused);
        return result;
    }
    const DecodedPicture decoded =
        DecodePicture(m_source, QSize(), m_upright ? PictureTurn::Upright : PictureTurn::AsStored);
    if (!decoded.Ok()) {
        result.error = QStringLiteral("The picture %1 could not be read: %2")
                           .arg(QDir::toNativeSeparators(m_source), decoded.error);
        return result;
    }
    if (m_cancelled)
        return stopped();
    m_picture = LibraryImage::FromImage(decoded.image);
    if (!ApplyPhotoEffect(m_picture, m_effect)) {
        if (m_cancelled)
            return stopped();
        result.error = QStringLiteral("The effect could not be applied to %1.")
                           .arg(QDir::toNativeSeparators(m_source));
        return result;
    }
    const QByteArray bytes = m_picture.Encode(kPicturePng);
    m_picture.Destroy();
    if (bytes.isEmpty()) {
        result.error = QStringLiteral("The effect's picture could not be encoded.");
        return result;
    }
    if (m_cancelled)
        return stopped();
    // The name is the content's hash: the same result is written once, and a name never
    // points to different pixels.
    const QString name = EffectPictureName(bytes);
    const QString path = QDir(m_folder).filePath(name);
    QString error;
    if (!QDir().mkpath(m_folder)) {
        result.error = QStringLiteral("The folder %1 could not be made.")
                           .arg(QDir::toNativeSeparators(m_folder));
        return result;
    }
    if (!QFileInfo::exists(path)) {
        if (!WriteFileAtomically(path, bytes, &error)) {
            result.error =
                QStringLiteral("The effect's picture could not be written: %1").arg(error);
            return result;
        }
        // Made by this run: removed at exit unless the collage or a saved project uses it.
        NoteEffectPictureMade(path);
    }
    result.ok = true;
    result.path = path;
    return result;
}

QString EffectsFolder() {
    return DataFile(QStringLiteral("Effects"));
}

bool SetPhotoPicture(CollageDocument& document, int index, const QString& path) {
    if (index < 0 || size_t(index) >= document.objects.size())
        return false;
    CanvasObject& object = document.objects[size_t(index)];
    PhotoRecord* photo = object.Photo();
    if (!photo)
        return false;
    PhotoRecord changed = *photo;
    if (!WriteFixedText(changed.path, path))
        return false;
    *photo = changed;
    object.DropCaches();
    document.RecordSnapshot();
    document.MarkModified();
    return true;
}

} // namespace mosaiq
