#include "canvas/render/PhotoPrebuild.h"

#include "canvas/document/CollageDocument.h"
#include "canvas/document/LayoutPlacement.h"
#include "canvas/document/ObjectGeometry.h"
#include "canvas/render/PhotoPicture.h"
#include "core/text/FixedText.h"

#include <QDateTime>
#include <QFileInfo>

#include <algorithm>
#include <atomic>
#include <thread>

namespace mosaiq {

namespace {

void PlacePicture(ObjectCache& cache, const QImage& picture, QSize displayed, bool maskMissing) {
    cache.picture = picture;
    cache.builtFor = displayed;
    cache.failed = false;
    cache.maskPending = maskMissing;
    cache.frame = QImage();
    cache.drawable = QImage();
    cache.drawableValid = false;
    cache.prepared = QImage();
    cache.preparedValid = false;
}

} // namespace

QByteArray RecentPhotoPictures::KeyOf(const PhotoRecord& record, QSize displayed, bool upright) {
    const QString path = ReadFixedText(record.path);
    const QFileInfo file(path);
    QByteArray key = path.toUtf8();
    const qint64 numbers[] = {file.size(),       file.lastModified().toMSecsSinceEpoch(),
                              record.cropLeft,   record.cropTop,
                              record.cropRight,  record.cropBottom,
                              record.maskId,     record.customMask,
                              displayed.width(), displayed.height(),
                              upright ? 1 : 0};
    key.append(reinterpret_cast<const char*>(numbers), sizeof(numbers));
    key.append(reinterpret_cast<const char*>(&record.maskKey), sizeof(record.maskKey));
    return key;
}

QImage RecentPhotoPictures::Find(const PhotoRecord& record, QSize displayed, bool upright) {
    const QByteArray key = KeyOf(record, displayed, upright);
    for (auto it = m_entries.begin(); it != m_entries.end(); ++it) {
        if (it->key != key)
            continue;
        m_entries.splice(m_entries.begin(), m_entries, it);
        return m_entries.front().picture;
    }
    return {};
}

void RecentPhotoPictures::Keep(const PhotoRecord& record, QSize displayed, bool upright,
                               const QImage& picture) {
    const qint64 pixels = qint64(picture.width()) * picture.height();
    if (picture.isNull() || pixels > m_budget)
        return;
    const QByteArray key = KeyOf(record, displayed, upright);
    for (auto it = m_entries.begin(); it != m_entries.end(); ++it) {
        if (it->key == key) {
            m_pixels -= qint64(it->picture.width()) * it->picture.height();
            m_entries.erase(it);
            break;
        }
    }
    m_entries.push_front({key, picture});
    m_pixels += pixels;
    while (m_pixels > m_budget && !m_entries.empty()) {
        const QImage& last = m_entries.back().picture;
        m_pixels -= qint64(last.width()) * last.height();
        m_entries.pop_back();
    }
}

std::vector<PhotoBuild> StalePhotoBuilds(CollageDocument& document, RecentPhotoPictures* recent,
                                         const QRect& visible) {
    std::vector<PhotoBuild> builds;
    const float zoom = document.view.zoom > 0.0f ? document.view.zoom : 1.0f;
    for (size_t i = 0; i < document.objects.size(); ++i) {
        CanvasObject& object = document.objects[i];
        const PhotoRecord* record = object.Photo();
        if (!record)
            continue;
        const ObjectPlacement placement = PlacementOf(document, int(i), zoom);
        const QSize displayed = placement.displayed;
        if (displayed.isEmpty())
            continue;
        if (!visible.isEmpty() && !placement.transform.mapRect(QRectF(QPointF(0, 0), QSizeF(displayed)))
                                       .intersects(visible))
            continue;
        if (object.cache && !object.cache->picture.isNull() && object.cache->builtFor == displayed)
            continue;
        if (object.cache && object.cache->failed && object.cache->builtFor == displayed)
            continue;
        const QString path = ReadFixedText(record->path);
        if (path.isEmpty() || !QFileInfo(path).isFile())
            continue;
        if (!object.cache)
            object.cache = std::make_shared<ObjectCache>();
        if (recent) {
            const QImage known = recent->Find(*record, displayed, object.upright);
            // A masked picture is kept only when its mask was read.
            if (!known.isNull()) {
                PlacePicture(*object.cache, known, displayed, false);
                continue;
            }
        }
        PhotoBuild build;
        build.cache = object.cache;
        build.record = *record;
        build.displayed = displayed;
        build.upright = object.upright;
        builds.push_back(std::move(build));
    }
    return builds;
}

void RunPhotoBuilds(std::vector<PhotoBuild>& builds, int threads, const std::atomic<bool>* cancel) {
    std::atomic<size_t> next{0};
    const auto work = [&] {
        for (size_t i = next++; i < builds.size(); i = next++) {
            if (cancel && cancel->load())
                return;
            PhotoBuild& build = builds[i];
            const PhotoPictureResult result = BuildPhotoPicture(build.record, build.displayed, build.upright);
            build.picture = result.picture;
            build.maskMissing = result.maskMissing;
        }
    };
    const int helpers = std::clamp(threads, 1, 16) - 1;
    std::vector<std::thread> pool;
    for (int i = 0; i < helpers && size_t(i + 1) < builds.size(); ++i)
        pool.emplace_back(work);
    work();
    for (std::thread& t : pool)
        t.join();
}

int ApplyPhotoBuilds(std::vector<PhotoBuild>& builds, RecentPhotoPictures* recent) {
    int placed = 0;
    for (PhotoBuild& build : builds) {
        if (build.picture.isNull()) {
            // Not tried again for this size: the pass would only fail the same way.
            if (const std::shared_ptr<ObjectCache> cache = build.cache.lock()) {
                cache->failed = true;
                cache->builtFor = build.displayed;
            }
            continue;
        }
        if (recent && !build.maskMissing)
            recent->Keep(build.record, build.displayed, build.upright, build.picture);
        const std::shared_ptr<ObjectCache> cache = build.cache.lock();
        if (!cache)
            continue;
        PlacePicture(*cache, build.picture, build.displayed, build.maskMissing);
        ++placed;
    }
    return placed;
}

} // namespace mosaiq
