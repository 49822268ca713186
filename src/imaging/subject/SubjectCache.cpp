#include "imaging/subject/SubjectCache.h"

#include "core/data/DataPath.h"
#include "core/files/AtomicFile.h"
#include "imaging/subject/SubjectFinder.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QThread>

#include <zlib.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstring>
#include <mutex>
#include <thread>

namespace mosaiq {
namespace {

constexpr char kMagic[8] = {'M', 'Q', 'S', 'U', 'B', 'J', '\r', '\n'};
constexpr int kMaxPathBytes = 4096;
constexpr int kMaxSide = 1'000'000;
// The largest file the limits allow (every entry at the longest path and most faces), so a
// larger file is refused before it is read.
constexpr std::int64_t kMaxFileBytes =
    16 + std::int64_t(kMaxSubjectCacheEntries) *
             (2 + kMaxPathBytes + 8 + 8 + 2 + 8 + 16 + 16 * kMaxSubjectFaces) + 4;

void PutU32(QByteArray& out, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        out.append(char((v >> (8 * i)) & 0xff));
}
void PutI64(QByteArray& out, std::int64_t value) {
    const auto v = std::uint64_t(value);
    for (int i = 0; i < 8; ++i)
        out.append(char((v >> (8 * i)) & 0xff));
}
void PutF32(QByteArray& out, double value) {
    const float f = float(value);
    std::uint32_t v = 0;
    std::memcpy(&v, &f, 4);
    PutU32(out, v);
}
void PutRect(QByteArray& out, const QRectF& r) {
    PutF32(out, r.x());
    PutF32(out, r.y());
    PutF32(out, r.width());
    PutF32(out, r.height());
}

// Reads little-endian values from a byte range, failing (and staying failed) past its end.
class Reader {
public:
    Reader(const unsigned char* data, std::size_t size) : m_data(data), m_size(size) {}
    bool Ok() const { return m_ok; }
    std::size_t Left() const { return m_ok ? m_size - m_at : 0; }
    std::uint64_t Unsigned(int bytes) {
        if (!Need(std::size_t(bytes)))
            return 0;
        std::uint64_t v = 0;
        for (int i = 0; i < bytes; ++i)
            v |= std::uint64_t(m_data[m_at + std::size_t(i)]) << (8 * i);
        m_at += std::size_t(bytes);
        return v;
    }
    float Float() {
        const auto bits = std::uint32_t(Unsigned(4));
        float f = 0;
        std::memcpy(&f, &bits, 4);
        if (!std::isfinite(f) || std::fabs(f) > float(kMaxSide) * 2)
            m_ok = false;
        return f;
    }
    QRectF Rect() {
        const float x = Float(), y = Float(), w = Float(), h = Float();
        if (w < 0 || h < 0)
            m_ok = false;
        return QRectF(x, y, w, h);
    }
    QByteArray Bytes(std::size_t n) {
        if (!Need(n))
            return {};
        QByteArray b(reinterpret_cast<const char*>(m_data + m_at), qsizetype(n));
        m_at += n;
        return b;
    }

private:
    bool Need(std::size_t n) {
        if (!m_ok || m_size - m_at < n)
            m_ok = false;
        return m_ok;
    }
    const unsigned char* m_data;
    std::size_t m_size;
    std::size_t m_at = 0;
    bool m_ok = true;
};

// The process's cache of the current data directory's file.
class Cache {
public:
    std::optional<SubjectCacheEntry> Find(const QString& path, std::int64_t size,
                                          std::int64_t modified) {
        std::lock_guard<std::mutex> lock(m_mutex);
        Load();
        auto it = m_items.find(path);
        if (it == m_items.end() || it->entry.size != size || it->entry.modified != modified)
            return std::nullopt;
        it->used = ++m_clock;
        return it->entry;
    }

    void Store(SubjectCacheEntry entry) {
        std::lock_guard<std::mutex> lock(m_mutex);
        Load();
        const QString path = entry.path;
        m_items.insert(path, Item{std::move(entry), ++m_clock});
        while (m_items.size() > kMaxSubjectCacheEntries) {
            auto oldest = m_items.begin();
            for (auto it = m_items.begin(); it != m_items.end(); ++it)
                if (it->used < oldest->used)
                    oldest = it;
            m_items.erase(oldest);
        }
        m_dirty = true;
    }

    bool Flush() {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (!m_dirty || m_file.isEmpty())
            return !m_dirty;
        std::vector<const Item*> items;
        for (const Item& item : m_items)
            items.push_back(&item);
        std::sort(items.begin(), items.end(),
                  [](const Item* a, const Item* b) { return a->used < b->used; });
        std::vector<SubjectCacheEntry> entries;
        for (const Item* item : items)
            entries.push_back(item->entry);
        if (!WriteFileAtomically(m_file, WriteSubjectCache(entries)))
            return false;
        m_dirty = false;
        return true;
    }

    void Forget() {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_items.clear();
        m_file.clear();
        m_dirty = false;
    }

private:
    struct Item {
        SubjectCacheEntry entry;
        std::uint64_t used = 0;
    };

    // Reads the file of the current data directory when the cache holds another's (or none).
    void Load() {
        const QString file = DataFile(QString::fromLatin1(kSubjectCacheFile));
        if (file == m_file)
            return;
        m_file = file;
        m_items.clear();
        m_dirty = false;
        QFile in(file);
        if (!in.open(QIODevice::ReadOnly))
            return;
        if (in.size() > kMaxFileBytes) {
            m_dirty = true; // too large to be ours: written anew
            return;
        }
        const std::optional<std::vector<SubjectCacheEntry>> entries =
            ReadSubjectCache(in.read(kMaxFileBytes));
        if (!entries) {
            m_dirty = true; // damaged: rebuilt, never trusted
            return;
        }
        for (const SubjectCacheEntry& e : *entries)
            m_items.insert(e.path, Item{e, ++m_clock});
    }

    std::mutex m_mutex;
    QString m_file;
    QHash<QString, Item> m_items;
    std::uint64_t m_clock = 0;
    bool m_dirty = false;
};

Cache& TheCache() {
    // Never destroyed: the subject workers may still look it up while statics go away.
    static Cache* cache = new Cache;
    return *cache;
}

} // namespace

QByteArray WriteSubjectCache(const std::vector<SubjectCacheEntry>& entries) {
    QByteArray out(kMagic, sizeof kMagic);
    PutU32(out, kSubjectCacheVersion);
    std::vector<const SubjectCacheEntry*> kept;
    for (const SubjectCacheEntry& e : entries) {
        if (int(kept.size()) >= kMaxSubjectCacheEntries)
            break;
        if (e.path.toUtf8().size() <= kMaxPathBytes && !e.subject.picture.isEmpty())
            kept.push_back(&e);
    }
    PutU32(out, std::uint32_t(kept.size()));
    for (const SubjectCacheEntry* e : kept) {
        const QByteArray path = e->path.toUtf8();
        out.append(char(path.size() & 0xff));
        out.append(char((path.size() >> 8) & 0xff));
        out.append(path);
        PutI64(out, e->size);
        PutI64(out, e->modified);
        out.append(char(std::clamp(e->orientation, 1, 8)));
        const int faces = std::min(int(e->subject.faces.size()), kMaxSubjectFaces);
        out.append(char(faces));
        PutU32(out, std::uint32_t(e->subject.picture.width()));
        PutU32(out, std::uint32_t(e->subject.picture.height()));
        PutRect(out, e->subject.box);
        for (int i = 0; i < faces; ++i)
            PutRect(out, e->subject.faces[size_t(i)]);
    }
    PutU32(out, std::uint32_t(crc32(0L, reinterpret_cast<const Bytef*>(out.constData()),
                                    uInt(out.size()))));
    return out;
}

std::optional<std::vector<SubjectCacheEntry>> ReadSubjectCache(const QByteArray& bytes) {
    if (bytes.size() < qsizetype(sizeof kMagic) + 12 || bytes.size() > kMaxFileBytes ||
        std::memcmp(bytes.constData(), kMagic, sizeof kMagic) != 0)
        return std::nullopt;
    const auto* data = reinterpret_cast<const unsigned char*>(bytes.constData());
    const std::size_t body = std::size_t(bytes.size()) - 4;
    Reader tail(data + body, 4);
    if (std::uint32_t(tail.Unsigned(4)) != std::uint32_t(crc32(0L, data, uInt(body))))
        return std::nullopt;
    Reader in(data + sizeof kMagic, body - sizeof kMagic);
    if (in.Unsigned(4) != kSubjectCacheVersion)
        return std::nullopt;
    const auto count = in.Unsigned(4);
    // Every entry takes at least 46 bytes: a count the bytes cannot hold is refused before
    // anything is reserved.
    if (!in.Ok() || count > std::uint64_t(kMaxSubjectCacheEntries) || count * 46 > in.Left())
        return std::nullopt;
    std::vector<SubjectCacheEntry> entries;
    entries.reserve(size_t(count));
    for (std::uint64_t i = 0; i < count; ++i) {
        SubjectCacheEntry e;
        const auto pathBytes = std::size_t(in.Unsigned(2));
        if (pathBytes == 0 || pathBytes > std::size_t(kMaxPathBytes))
            return std::nullopt;
        const QByteArray pathUtf8 = in.Bytes(pathBytes);
        e.path = QString::fromUtf8(pathUtf8);
        if (e.path.toUtf8() != pathUtf8)
            return std::nullopt; // not UTF-8: not a path we wrote
        e.size = std::int64_t(in.Unsigned(8));
        e.modified = std::int64_t(in.Unsigned(8));
        e.orientation = int(in.Unsigned(1));
        const int faces = int(in.Unsigned(1));
        const auto w = in.Unsigned(4);
        const auto h = in.Unsigned(4);
        if (!in.Ok() || e.orientation < 1 || e.orientation > 8 || faces > kMaxSubjectFaces ||
            w == 0 || h == 0 || w > std::uint64_t(kMaxSide) || h > std::uint64_t(kMaxSide))
            return std::nullopt;
        e.subject.picture = QSize(int(w), int(h));
        e.subject.box = in.Rect();
        for (int f = 0; f < faces; ++f)
            e.subject.faces.push_back(in.Rect());
        if (!in.Ok())
            return std::nullopt;
        entries.push_back(std::move(e));
    }
    if (in.Left() != 0)
        return std::nullopt;
    return entries;
}

std::optional<PictureSubject> LookUpSubject(const QString& path, bool upright,
                                            SubjectLookup lookup) {
    const QFileInfo info(path);
    if (path.isEmpty() || !info.isFile())
        return std::nullopt;
    const std::int64_t size = info.size();
    const std::int64_t modified = info.lastModified().toMSecsSinceEpoch();
    std::optional<SubjectCacheEntry> entry = TheCache().Find(path, size, modified);
    if (!entry) {
        if (lookup == SubjectLookup::CacheOnly)
            return std::nullopt;
        int orientation = 1;
        std::optional<PictureSubject> found = FindSubjectOfFile(path, &orientation);
        if (!found)
            return std::nullopt;
        entry = SubjectCacheEntry{path, size, modified, orientation, std::move(*found)};
        TheCache().Store(*entry);
        if (lookup == SubjectLookup::FindAndSave)
            FlushSubjectCache();
    }
    if (upright)
        return entry->subject;
    return StoredSubject(entry->subject, entry->orientation);
}

std::vector<std::optional<PictureSubject>>
SubjectsOfPhotos(const std::vector<std::pair<QString, bool>>& photos) {
    std::vector<std::optional<PictureSubject>> subjects(photos.size());
    std::vector<size_t> missing;
    for (size_t i = 0; i < photos.size(); ++i) {
        subjects[i] = LookUpSubject(photos[i].first, photos[i].second, SubjectLookup::CacheOnly);
        if (!subjects[i])
            missing.push_back(i);
    }
    if (missing.empty())
        return subjects;
    std::atomic<size_t> next{0};
    const auto work = [&] {
        for (size_t k = next++; k < missing.size(); k = next++) {
            const size_t i = missing[k];
            subjects[i] = LookUpSubject(photos[i].first, photos[i].second, SubjectLookup::Find);
        }
    };
    const int threads =
        std::clamp(QThread::idealThreadCount(), 1, int(std::min<size_t>(missing.size(), 8)));
    std::vector<std::thread> helpers;
    for (int t = 1; t < threads; ++t)
        helpers.emplace_back(work);
    work();
    for (std::thread& t : helpers)
        t.join();
    FlushSubjectCache();
    return subjects;
}

bool FlushSubjectCache() {
    return TheCache().Flush();
}

void ForgetSubjectCache() {
    TheCache().Forget();
}

} // namespace mosaiq
