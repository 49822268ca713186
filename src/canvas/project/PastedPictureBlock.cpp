#include "canvas/project/PastedPictureBlock.h"

#include "canvas/document/CollageDocument.h"
#include "imaging/files/DecodeBudget.h"
#include "imaging/files/PictureLimits.h"
#include "imaging/encode/PngWriter.h"

#include <QBuffer>
#include <QColorSpace>
#include <QImageReader>

#include <algorithm>
#include <cstring>
#include <list>
#include <mutex>
#include <set>
#include <unordered_map>
#include <vector>

namespace mosaiq {
namespace {

constexpr char kPastedMagic[4] = {'M', 'Q', 'P', 'X'};
constexpr std::uint32_t kPastedVersion = 1;
constexpr qint64 kPastedEntryHeader = 16;

template <typename T> void Put(QByteArray& out, const T& value) {
    out.append(reinterpret_cast<const char*>(&value), qsizetype(sizeof(T)));
}

bool ReadExact(QIODevice& device, void* dest, qint64 size) {
    return device.read(static_cast<char*>(dest), size) == size;
}

ProjectResult Fail(const QString& reason) {
    return {false, reason, {}};
}
ProjectResult Truncated() {
    return Fail(QStringLiteral("The project file ends too early."));
}
ProjectResult Damaged() {
    return Fail(QStringLiteral("The project file's pasted pictures are damaged."));
}

// The PNG bytes of pasted pictures, by the picture's QImage::cacheKey(), which changes whenever
// the picture's pixels do. Every save and every recovery copy writes the pasted pictures, and
// compressing a photo-sized one takes long enough to stall the window; a picture read from a
// project keeps the bytes it was read from, so it is saved again unchanged. The least recently
// used entries go once the bytes pass the budget.
class PastedPngCache {
public:
    static PastedPngCache& Instance() {
        static PastedPngCache cache;
        return cache;
    }
    QByteArray Find(qint64 key) {
        std::lock_guard guard(m_lock);
        const auto found = m_index.find(key);
        if (found == m_index.end())
            return {};
        m_order.splice(m_order.begin(), m_order, found->second);
        return found->second->second;
    }
    void Keep(qint64 key, const QByteArray& png) {
        if (png.isEmpty() || png.size() > kBudget)
            return;
        std::lock_guard guard(m_lock);
        if (const auto found = m_index.find(key); found != m_index.end()) {
            m_bytes -= found->second->second.size();
            m_order.erase(found->second);
            m_index.erase(found);
        }
        m_order.emplace_front(key, png);
        m_index[key] = m_order.begin();
        m_bytes += png.size();
        while (m_bytes > kBudget) {
            m_bytes -= m_order.back().second.size();
            m_index.erase(m_order.back().first);
            m_order.pop_back();
        }
    }

private:
    static constexpr qsizetype kBudget = qsizetype(128) << 20;
    std::mutex m_lock;
    std::list<std::pair<qint64, QByteArray>> m_order; // most recently used first
    std::unordered_map<qint64, std::list<std::pair<qint64, QByteArray>>::iterator> m_index;
    qsizetype m_bytes = 0;
};

// The PNG a save writes for a pasted picture: the cached bytes, or the picture compressed now.
QByteArray PastedPng(const QImage& picture) {
    PastedPngCache& cache = PastedPngCache::Instance();
    QByteArray png = cache.Find(picture.cacheKey());
    if (png.isEmpty()) {
        png = EncodePng(picture);
        cache.Keep(picture.cacheKey(), png);
    }
    return png;
}

bool UsesPastedPicture(const CanvasObject& object) {
    const ClipartRecord* clip = object.Clipart();
    return clip && clip->pasted != 0;
}

// Decodes one entry's PNG; the decoded picture's own size counts, and adds to pixels, which may
// not pass the pasted pictures' budget. Null, with reason set when the budget refused it, when it
// is not a PNG of an allowed size.
QImage DecodePastedPicture(const QByteArray& png, std::int64_t& pixels, QString* reason) {
    QBuffer buffer;
    buffer.setData(png);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "PNG");
    const QSize size = reader.size();
    if (!PictureSizeAllowed(size, nullptr))
        return QImage();
    pixels += std::int64_t(size.width()) * size.height();
    if (!WithinBudget(pixels, kPastedBudget, reason))
        return QImage();
    QImage picture;
    if (!reader.read(&picture) || picture.size() != size)
        return QImage();
    // Pasted pictures are sRGB pixels as they were pasted; the sRGB chunk of the PNG says so and
    // is not kept as a colour space of the picture, which would set it apart from its original.
    picture.setColorSpace(QColorSpace());
    return picture.convertToFormat(QImage::Format_ARGB32);
}

// Steps over the count entries from the device's position, adding up the sizes they claim, and
// goes back: pictures claiming more than the budget together are refused before any of them is
// decoded. (Each decoded picture is held to its claim.) False with budget empty when the entries
// run past the end.
bool ClaimsWithinBudget(QIODevice& device, std::uint32_t count, QString* budget) {
    const qint64 start = device.pos();
    std::int64_t pixels = 0;
    bool ok = true;
    for (std::uint32_t i = 0; i < count && ok; ++i) {
        std::int32_t index = 0;
        std::uint32_t width = 0, height = 0, length = 0;
        ok = ReadExact(device, &index, 4) && ReadExact(device, &width, 4) &&
             ReadExact(device, &height, 4) && ReadExact(device, &length, 4) &&
             qint64(length) <= device.size() - device.pos() && device.seek(device.pos() + length);
        // Sides past 2^31 are held there: their product still fits, and is far past any budget.
        pixels += std::int64_t(std::min<std::uint32_t>(width, 1u << 31)) *
                  std::int64_t(std::min<std::uint32_t>(height, 1u << 31));
        if (ok && !WithinBudget(pixels, kPastedBudget, budget))
            ok = false;
        pixels = std::min<std::int64_t>(pixels, kPastedBudget.pixels + 1);
    }
    device.seek(start);
    return ok;
}

} // namespace

PastedPicturePlan::PastedPicturePlan(const CollageDocument& document) : m_document(document) {
    const auto& pictures = document.pastedPictures;
    for (const CanvasObject& object : document.objects) {
        if (!UsesPastedPicture(object))
            continue;
        const int index = object.Clipart()->sourceId;
        if (index < 0 || size_t(index) >= pictures.size() || pictures[size_t(index)].isNull() ||
            m_written.count(index))
            continue;
        if (QByteArray png = PastedPng(pictures[size_t(index)]); !png.isEmpty())
            m_written[index] = {index, std::move(png)};
    }
    // Indices held by cliparts whose picture is not written stay theirs.
    std::set<std::int32_t> taken;
    for (const CanvasObject& object : document.objects)
        if (UsesPastedPicture(object) && !m_written.count(object.Clipart()->sourceId))
            taken.insert(StoredIndex(*object.Clipart()));
    std::vector<Written*> moved;
    for (auto& [index, written] : m_written) {
        if (taken.insert(index).second)
            written.stored = index;
        else
            moved.push_back(&written);
    }
    std::int32_t next = 0;
    for (Written* written : moved) {
        while (taken.count(next))
            ++next;
        written->stored = next;
        taken.insert(next);
    }
}

std::int32_t PastedPicturePlan::StoredIndex(const ClipartRecord& clip) const {
    if (const auto written = m_written.find(clip.sourceId); written != m_written.end())
        return written->second.stored;
    if (const auto missing = m_document.missingPastedPictures.find(clip.sourceId);
        missing != m_document.missingPastedPictures.end())
        return missing->second;
    return clip.sourceId;
}

void PastedPicturePlan::AppendBlock(QByteArray& out) const {
    if (m_written.empty())
        return;
    out.append(kPastedMagic, 4);
    Put(out, kPastedVersion);
    Put(out, std::uint32_t(m_written.size()));
    for (const auto& [index, written] : m_written) {
        const QImage& picture = m_document.pastedPictures[size_t(index)];
        Put(out, written.stored);
        Put(out, std::uint32_t(picture.width()));
        Put(out, std::uint32_t(picture.height()));
        Put(out, std::uint32_t(written.png.size()));
        out.append(written.png);
    }
}

ProjectResult ReadPastedPictureBlock(QIODevice& device, CollageDocument& document) {
    char magic[4] = {};
    if (device.peek(magic, 4) != 4 || std::memcmp(magic, kPastedMagic, 4) != 0)
        return {true, {}, {}};
    device.skip(4);
    std::uint32_t version = 0, count = 0;
    if (!ReadExact(device, &version, 4) || !ReadExact(device, &count, 4))
        return Truncated();
    if (version != kPastedVersion)
        return Fail(
            QStringLiteral("The project file's pasted pictures are of an unknown version %1.")
                .arg(version));
    if (qint64(count) > (device.size() - device.pos()) / kPastedEntryHeader)
        return Truncated();
    if (QString budget; !ClaimsWithinBudget(device, count, &budget))
        return budget.isEmpty()
                   ? Truncated()
                   : Fail(QStringLiteral("The project's pasted pictures are not read: %1.")
                              .arg(budget));
    std::map<std::int32_t, int> newIndex; // stored index -> index in the document's pasted list
    std::vector<QImage> pictures;
    std::int64_t pixels = 0;
    for (std::uint32_t i = 0; i < count; ++i) {
        std::int32_t index = 0;
        std::uint32_t width = 0, height = 0, length = 0;
        if (!ReadExact(device, &index, 4) || !ReadExact(device, &width, 4) ||
            !ReadExact(device, &height, 4) || !ReadExact(device, &length, 4))
            return Truncated();
        if (qint64(length) > device.size() - device.pos())
            return Truncated();
        if (index < 0 || newIndex.count(index))
            return Damaged();
        QString budget;
        const QByteArray png = device.read(qint64(length));
        QImage picture = DecodePastedPicture(png, pixels, &budget);
        if (!budget.isEmpty())
            return Fail(
                QStringLiteral("The project's pasted pictures are not read: %1.").arg(budget));
        if (picture.isNull() || std::uint32_t(picture.width()) != width ||
            std::uint32_t(picture.height()) != height)
            return Damaged();
        newIndex[index] = int(document.pastedPictures.size() + pictures.size());
        PastedPngCache::Instance().Keep(picture.cacheKey(), png);
        pictures.push_back(std::move(picture));
    }
    for (QImage& picture : pictures)
        document.pastedPictures.push_back(std::move(picture));
    std::map<std::int32_t, int> placeholders; // stored index the block lacks -> its placeholder
    for (CanvasObject& object : document.objects) {
        if (!UsesPastedPicture(object))
            continue;
        ClipartRecord& clip = *object.Clipart();
        if (const auto found = newIndex.find(clip.sourceId); found != newIndex.end()) {
            clip.sourceId = found->second;
            continue;
        }
        auto [placeholder, added] = placeholders.try_emplace(clip.sourceId, 0);
        if (added) {
            placeholder->second = int(document.pastedPictures.size());
            document.pastedPictures.emplace_back();
            document.missingPastedPictures[placeholder->second] = clip.sourceId;
        }
        clip.sourceId = placeholder->second;
    }
    return {true, {}, {}};
}

} // namespace mosaiq
