#include "library/packs/ResourcePack.h"

#include "imaging/files/DecodeBudget.h"
#include "imaging/decode/DecodeCost.h"
#include "library/items/LibraryFile.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QImageWriter>

#include <algorithm>
#include <cmath>

namespace mosaiq {
namespace {

constexpr int kThumbnailWidth = 120;

bool Fail(QString* reason, const QString& text) {
    if (reason)
        *reason = text;
    return false;
}

bool HasFullLibrary(int type) {
    return type == int(PackKind::Frames) || type == int(PackKind::Masks) ||
           type == int(PackKind::Decorations);
}

// Header bytes of one item before its thumbnail pixels and its data: the two sizes, the length
// and, in frame packs, the window.
qint64 ItemFixedBytes(int type) {
    return 8 + 8 + 4 + (type == int(PackKind::Frames) ? 16 : 0);
}

bool ReadUint32(LibraryReader& reader, std::uint32_t& value) {
    std::int32_t v = 0;
    if (!reader.ReadInt32(v))
        return false;
    value = std::uint32_t(v);
    return true;
}

// The full picture must be one the libraries can decode later: a known format whose header
// announces a size within a pack item's budget, decoded here in full once (and dropped), so a
// picture whose data is noise, or a few bytes claiming a huge size, never reaches a library.
// Its decoded size is returned; an invalid size and a reason when it does not decode.
QSize DecodedLibraryPicture(const QByteArray& data, QString* why) {
    QByteArray copy = data;
    QBuffer buffer(&copy);
    if (!buffer.open(QIODevice::ReadOnly))
        return QSize();
    QImageReader reader(&buffer);
    static const QByteArray kFormats[] = {"png", "jpeg", "jpg", "bmp", "gif", "tiff", "tif", "ico"};
    if (std::find(std::begin(kFormats), std::end(kFormats), reader.format()) ==
        std::end(kFormats)) {
        *why = QStringLiteral("does not hold a picture of a known format");
        return QSize();
    }
    const QSize size = reader.size();
    QString reason;
    if (size.width() > kMaxPictureSide || size.height() > kMaxPictureSide)
        reason = QStringLiteral("it claims %1 x %2 pixels; at most %3 a side are read")
                     .arg(size.width())
                     .arg(size.height())
                     .arg(kMaxPictureSide);
    if (!size.isValid() || size.isEmpty() || !reason.isEmpty() ||
        !WithinBudget(size, kPackItemBudget, &reason) || !DecodeCostBounded(data, &reason)) {
        *why = QStringLiteral("holds a picture that is not read: %1")
                   .arg(reason.isEmpty() ? QStringLiteral("it has no size") : reason);
        return QSize();
    }
    QImage picture;
    if (!reader.read(&picture) || picture.isNull() || picture.size() != size) {
        *why = QStringLiteral("does not hold a readable picture");
        return QSize();
    }
    return size;
}

std::optional<PackItem> ReadItem(LibraryReader& reader, int type, int index, QString* reason) {
    const auto damaged = [&](const QString& what) {
        Fail(reason, QStringLiteral("item %1 %2").arg(index + 1).arg(what));
        return std::nullopt;
    };
    PackItem item;
    std::uint32_t w = 0, h = 0;
    if (!ReadUint32(reader, w) || !ReadUint32(reader, h))
        return damaged(QStringLiteral("ends early"));
    // Frames, masks and decorations show their thumbnail in a cell: one of no pixels is an empty
    // cell. Cliparts and brushes are their thumbnail: one of no pixels is no item.
    if ((w == 0 || h == 0) && !HasFullLibrary(type))
        return damaged(
            QStringLiteral("has a thumbnail of %1 x %2 pixels, and a %3 is its thumbnail")
                .arg(w)
                .arg(h)
                .arg(type == int(PackKind::Cliparts) ? QStringLiteral("clipart")
                                                     : QStringLiteral("brush")));
    if (w == 0 || h == 0)
        w = h = 0;
    if (w > std::uint32_t(kMaxPictureSide) || h > std::uint32_t(kMaxPictureSide))
        return damaged(QStringLiteral("has a thumbnail of %1 x %2 pixels").arg(w).arg(h));
    if (QString budget; !WithinBudget(std::int64_t(w) * h, kPackItemBudget, &budget))
        return damaged(
            QStringLiteral("has a thumbnail of %1 x %2 pixels: %3").arg(w).arg(h).arg(budget));
    const qint64 pixelBytes = qint64(w) * qint64(h) * 4;
    if (pixelBytes > reader.Remaining())
        return damaged(QStringLiteral("claims a thumbnail of %1 x %2 pixels, more than the pack "
                                      "holds")
                           .arg(w)
                           .arg(h));
    item.thumbWidth = int(w);
    item.thumbHeight = int(h);
    if (!reader.ReadBytes(pixelBytes, item.thumbPixels))
        return damaged(QStringLiteral("ends early"));
    std::uint32_t fw = 0, fh = 0, length = 0;
    if (!ReadUint32(reader, fw) || !ReadUint32(reader, fh) || !ReadUint32(reader, length))
        return damaged(QStringLiteral("ends early"));
    // The libraries store these as signed 32-bit values; larger ones would damage them.
    if (fw > std::uint32_t(INT32_MAX) || fh > std::uint32_t(INT32_MAX))
        return damaged(QStringLiteral("has an impossible picture size"));
    item.fullWidth = std::int32_t(fw);
    item.fullHeight = std::int32_t(fh);
    if (type == int(PackKind::Frames)) {
        float v[4];
        for (float& f : v)
            if (!reader.ReadFloat(f))
                return damaged(QStringLiteral("ends early"));
        for (float f : v)
            if (!std::isfinite(f))
                return damaged(QStringLiteral("has a frame window that is not a number"));
        item.window = FrameWindow{v[0], v[1], v[2], v[3]};
    }
    if (qint64(length) > reader.Remaining())
        return damaged(QStringLiteral("claims %1 bytes of picture data, more than the pack holds")
                           .arg(length));
    if (!HasFullLibrary(type)) {
        // Cliparts and brushes keep only their thumbnails: the data is skipped, never held.
        if (!reader.Skip(length))
            return damaged(QStringLiteral("ends early"));
        return item;
    }
    if (!reader.ReadBytes(length, item.data))
        return damaged(QStringLiteral("ends early"));
    QString why;
    const QSize decoded = DecodedLibraryPicture(item.data, &why);
    if (!decoded.isValid())
        return damaged(why);
    // The libraries keep the size with the picture: the picture's own size is the one kept.
    item.fullWidth = decoded.width();
    item.fullHeight = decoded.height();
    return item;
}

// A premultiplied copy scaled to size, halving at most once per step so that a large picture
// shrinks without the aliasing of one bilinear step.
QImage ScaledStepwise(const QImage& picture, QSize size) {
    QImage image = picture.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    while (image.width() / 2 >= size.width() && image.height() / 2 >= size.height())
        image = image.scaled(image.width() / 2, image.height() / 2, Qt::IgnoreAspectRatio,
                             Qt::SmoothTransformation);
    if (image.size() != size)
        image = image.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    return image.convertToFormat(QImage::Format_ARGB32);
}

QByteArray EncodePng(const QImage& picture) {
    QByteArray out;
    QBuffer buffer(&out);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "png");
    const QImage image = picture.hasAlphaChannel() ? picture.convertToFormat(QImage::Format_ARGB32)
                                                   : picture.convertToFormat(QImage::Format_RGB32);
    if (!writer.write(image))
        return QByteArray();
    return out;
}

} // namespace

QString PackKindName(PackKind kind) {
    static const char* const kNames[kPackKindCount] = {"frames", "masks", "cliparts", "decorations",
                                                       "brushes"};
    return QLatin1String(kNames[int(kind)]);
}

int PackKindFromName(const QString& name) {
    for (int k = 0; k < kPackKindCount; ++k)
        if (name == PackKindName(PackKind(k)))
            return k;
    return -1;
}

std::optional<ResourcePack> ParseResourcePack(QIODevice& device, QString* reason) {
    LibraryReader reader(device);
    ResourcePack pack;
    std::uint32_t type = 0, count = 0;
    if (!ReadUint32(reader, type) || !ReadUint32(reader, count)) {
        Fail(reason, QStringLiteral("the pack is shorter than its 8-byte header"));
        return std::nullopt;
    }
    if (type >= std::uint32_t(kPackKindCount)) {
        Fail(reason,
             QStringLiteral("the pack has the unknown type %1 (0 to 4 are known)").arg(type));
        return std::nullopt;
    }
    pack.type = int(type);
    // Every item takes at least its fixed fields: a count promising more is a lie.
    if (qint64(count) > reader.Remaining() / ItemFixedBytes(pack.type)) {
        Fail(reason, QStringLiteral("the pack claims %1 items, more than it can hold").arg(count));
        return std::nullopt;
    }
    for (std::uint32_t i = 0; i < count; ++i) {
        std::optional<PackItem> item = ReadItem(reader, pack.type, int(i), reason);
        if (!item)
            return std::nullopt;
        pack.items.push_back(std::move(*item));
    }
    // Bytes after the last counted item belong to no item: they are not read.
    return pack;
}

std::optional<ResourcePack> ReadResourcePack(const QString& path, QString* reason) {
    const QFileInfo info(path);
    if (!info.exists()) {
        Fail(reason, QStringLiteral("%1 does not exist").arg(path));
        return std::nullopt;
    }
    if (!info.isFile()) {
        Fail(reason, QStringLiteral("%1 is not a file").arg(path));
        return std::nullopt;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        Fail(reason, QStringLiteral("cannot open %1: %2").arg(path, file.errorString()));
        return std::nullopt;
    }
    if (file.size() > kMaxPackBytes) {
        Fail(reason, QStringLiteral("the pack is larger than %1 bytes").arg(kMaxPackBytes));
        return std::nullopt;
    }
    return ParseResourcePack(file, reason);
}

QByteArray EncodeResourcePack(const ResourcePack& pack) {
    QByteArray out;
    AppendInt32(out, pack.type);
    AppendInt32(out, std::int32_t(pack.items.size()));
    for (const PackItem& item : pack.items) {
        AppendInt32(out, item.thumbWidth);
        AppendInt32(out, item.thumbHeight);
        out += item.thumbPixels;
        AppendInt32(out, item.fullWidth);
        AppendInt32(out, item.fullHeight);
        AppendInt32(out, std::int32_t(item.data.size()));
        if (pack.type == int(PackKind::Frames)) {
            AppendFloat(out, item.window.left);
            AppendFloat(out, item.window.top);
            AppendFloat(out, item.window.right);
            AppendFloat(out, item.window.bottom);
        }
        out += item.data;
    }
    return out;
}

std::optional<PackItem> MakePackItem(PackKind kind, const QImage& picture, FrameWindow window) {
    if (picture.isNull())
        return std::nullopt;
    PackItem item;
    item.fullWidth = picture.width();
    item.fullHeight = picture.height();
    item.window = window;
    item.data = EncodePng(picture);
    if (item.data.isEmpty())
        return std::nullopt;
    QImage thumbnail;
    if (kind == PackKind::Frames || kind == PackKind::Masks) {
        const int height = std::max(
            1, int(std::lround(double(picture.height()) * kThumbnailWidth / picture.width())));
        thumbnail = ScaledStepwise(picture, QSize(kThumbnailWidth, height));
    } else {
        thumbnail = picture.convertToFormat(QImage::Format_ARGB32);
    }
    item.thumbWidth = thumbnail.width();
    item.thumbHeight = thumbnail.height();
    item.thumbPixels = BgraBytes(thumbnail);
    return item;
}

} // namespace mosaiq
