#include "library/items/FrameLibrary.h"

#include "core/data/DataPath.h"
#include "core/files/RegularFile.h"
#include "library/items/LibraryFile.h"

#include <QBuffer>
#include <QFile>

#include <cmath>

namespace mosaiq {
namespace {

QString FrameFile() {
    return DataFile(QStringLiteral("frame.cfg"));
}

std::optional<FrameWindow> WindowOf(const EntryHeader& h) {
    for (float f : h.window)
        if (!std::isfinite(f))
            return std::nullopt;
    return FrameWindow{h.window[0], h.window[1], h.window[2], h.window[3]};
}

} // namespace

std::optional<FrameEntry> ReadFrameEntry(QIODevice& device, int index) {
    LibraryReader reader(device);
    const std::optional<EntryHeader> h = SeekToEntry(reader, EntryLayout::Frame, index);
    if (!h)
        return std::nullopt;
    const std::optional<FrameWindow> window = WindowOf(*h);
    if (!window)
        return std::nullopt;
    FrameEntry entry{h->width, h->height, *window, {}};
    if (!reader.ReadBytes(h->dataSize, entry.encoded))
        return std::nullopt;
    return entry;
}

std::optional<FrameWindow> ReadFrameEntryWindow(QIODevice& device, int index) {
    LibraryReader reader(device);
    const std::optional<EntryHeader> h = SeekToEntry(reader, EntryLayout::Frame, index);
    // The window alone is asked for, but an entry whose data is cut short is damaged all the same.
    if (!h)
        return std::nullopt;
    return WindowOf(*h);
}

std::optional<QImage> ReadFrame(const QString& path, int index) {
    QFile file;
    if (OpenRegularFile(file, path) != OpenFailure::None)
        return std::nullopt;
    const std::optional<FrameEntry> entry = ReadFrameEntry(file, index);
    return entry ? DecodeEncodedPicture(entry->encoded) : std::nullopt;
}

std::optional<QImage> ReadFrame(int index) {
    return ReadFrame(FrameFile(), index);
}

std::optional<FrameWindow> ReadFrameWindow(const QString& path, int index) {
    QFile file;
    if (OpenRegularFile(file, path) != OpenFailure::None)
        return std::nullopt;
    return ReadFrameEntryWindow(file, index);
}

std::optional<FrameWindow> ReadFrameWindow(int index) {
    return ReadFrameWindow(FrameFile(), index);
}

QByteArray EncodeFrameEntry(int width, int height, FrameWindow window, const QByteArray& encoded) {
    QByteArray out;
    out.reserve(28 + encoded.size());
    AppendInt32(out, width);
    AppendInt32(out, height);
    AppendInt32(out, std::int32_t(encoded.size()));
    for (float f : {window.left, window.top, window.right, window.bottom})
        AppendFloat(out, f);
    out += encoded;
    return out;
}

QByteArray EncodeFrameEntry(const QImage& picture, FrameWindow window) {
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    picture.save(&buffer, "PNG");
    return EncodeFrameEntry(picture.width(), picture.height(), window, png);
}

QByteArray EncodeFrameLibrary(const std::vector<std::pair<QImage, FrameWindow>>& frames) {
    QByteArray out;
    AppendInt32(out, std::int32_t(frames.size()));
    for (const auto& [picture, window] : frames)
        out += EncodeFrameEntry(picture, window);
    return out;
}

bool AppendFrameEntry(const QString& path, int width, int height, FrameWindow window,
                      const QByteArray& encoded, QString* error) {
    if (width < 0 || height < 0 || encoded.size() > INT32_MAX) {
        if (error)
            *error = QStringLiteral("not a frame entry");
        return false;
    }
    return AppendEncodedEntry(path, EntryLayout::Frame,
                              EncodeFrameEntry(width, height, window, encoded), error);
}

} // namespace mosaiq
