#include "library/packs/StarterLibraries.h"

#include "core/files/AtomicFile.h"
#include "core/files/RegularFile.h"
#include "library/items/FrameLibrary.h"
#include "library/items/LibraryFile.h"
#include "library/items/PictureList.h"
#include "library/packs/StarterBundle.h"

#include <QFile>
#include <QFileInfo>

#include <optional>
#include <vector>

namespace mosaiq {
namespace {

const char* const kPictureLists[] = {"clipart.cfg", "chrome_p.cfg", "ca_p.cfg",   "emboss_p.cfg",
                                     "cloth_p.cfg", "glow_p.cfg",   "neon_p.cfg", "brushs"};
const QString kFrames = QStringLiteral("frame.cfg");
const QString kFrameThumbs = QStringLiteral("tbframe.cfg");
constexpr int kThumbnailWidth = 120;

std::optional<std::vector<StarterItem>> LoadBundle(const QString& libraryFile) {
    QFile resource(QStringLiteral(":/data/starter/") + libraryFile + QStringLiteral(".bundle"));
    if (!resource.open(QIODevice::ReadOnly))
        return std::nullopt;
    return DecodeStarterBundle(resource.readAll());
}

// The pictures of a bundle (thumbnails when thumbnails is set), or nothing when one of them
// does not decode.
std::optional<std::vector<QImage>> BundlePictures(const std::vector<StarterItem>& items,
                                                  bool thumbnails) {
    std::vector<QImage> pictures;
    for (const StarterItem& item : items) {
        QImage picture = DecodeStarterPng(thumbnails ? item.thumbnailPng : item.picturePng);
        if (picture.isNull())
            return std::nullopt;
        pictures.push_back(std::move(picture));
    }
    return pictures;
}

bool WritePictureListFromBundle(const QString& dataDir, const QString& file) {
    const auto items = LoadBundle(file);
    const auto pictures = items ? BundlePictures(*items, false) : std::nullopt;
    return pictures && WritePictureList(dataDir + file, *pictures);
}

QByteArray EncodeFrameFile(const std::vector<StarterItem>& items) {
    QByteArray out;
    const quint32 count = quint32(items.size());
    for (int i = 0; i < 4; ++i)
        out.append(char((count >> (8 * i)) & 0xFF));
    for (const StarterItem& item : items) {
        const QImage picture = DecodeStarterPng(item.picturePng);
        if (picture.isNull())
            return {};
        const FrameWindow window{item.window[0], item.window[1], item.window[2], item.window[3]};
        // The frame keeps the bundle's PNG bytes as its encoded picture.
        out.append(EncodeFrameEntry(picture.width(), picture.height(), window, item.picturePng));
    }
    return out;
}

// Thumbnails for the user's own "frame.cfg", so that its panel lists every frame it holds.
bool WriteThumbnailsOf(const QString& framesPath, const QString& thumbsPath) {
    QFile file;
    if (OpenRegularFile(file, framesPath) != OpenFailure::None)
        return false;
    LibraryReader reader(file);
    const std::optional<int> counted = ReadEntryCount(reader, EntryLayout::Frame);
    file.close();
    if (!counted)
        return false;
    const int count = *counted;
    std::vector<QImage> thumbs;
    for (int i = 0; i < count; ++i) {
        const std::optional<QImage> frame = ReadFrame(framesPath, i);
        if (!frame)
            return false;
        thumbs.push_back(frame->scaledToWidth(kThumbnailWidth, Qt::SmoothTransformation));
    }
    return WritePictureList(thumbsPath, thumbs);
}

void WriteFramePair(const QString& dataDir, WriteOutReport& report) {
    const QString framesPath = dataDir + kFrames;
    const QString thumbsPath = dataDir + kFrameThumbs;
    const bool haveFrames = QFileInfo::exists(framesPath);
    const bool haveThumbs = QFileInfo::exists(thumbsPath);
    if (haveFrames && haveThumbs) {
        report.kept << kFrames << kFrameThumbs;
        return;
    }
    if (haveFrames) {
        report.kept << kFrames;
        (WriteThumbnailsOf(framesPath, thumbsPath) ? report.written : report.failed)
            << kFrameThumbs;
        return;
    }
    if (haveThumbs) {
        // Thumbnails without their frames belong to the user; starter frames written beside
        // them would not match them entry for entry.
        report.kept << kFrameThumbs;
        return;
    }
    const auto items = LoadBundle(kFrames);
    const auto thumbs = items ? BundlePictures(*items, true) : std::nullopt;
    const QByteArray frameFile = items ? EncodeFrameFile(*items) : QByteArray();
    bool ok = thumbs && !frameFile.isEmpty() && WritePictureList(thumbsPath, *thumbs);
    if (ok && !WriteFileAtomically(framesPath, frameFile)) {
        // Without its frames the thumbnail file would list frames that cannot be applied.
        QFile::remove(thumbsPath);
        ok = false;
    }
    (ok ? report.written : report.failed) << kFrameThumbs << kFrames;
}

} // namespace

QStringList StarterLibraryFiles() {
    QStringList files;
    for (const char* name : kPictureLists)
        files << QString::fromLatin1(name);
    files << kFrames << kFrameThumbs;
    return files;
}

void WriteStarterLibraries(const QString& dataDir, WriteOutReport& report) {
    for (const char* name : kPictureLists) {
        const QString file = QString::fromLatin1(name);
        if (QFileInfo::exists(dataDir + file))
            report.kept << file;
        else
            (WritePictureListFromBundle(dataDir, file) ? report.written : report.failed) << file;
    }
    WriteFramePair(dataDir, report);
}

} // namespace mosaiq
