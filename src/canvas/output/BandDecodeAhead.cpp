#include "canvas/output/BandDecodeAhead.h"

#include "canvas/document/CollageDocument.h"
#include "canvas/document/ObjectCache.h"
#include "canvas/document/ObjectGeometry.h"
#include "canvas/project/EffectPictures.h"
#include "canvas/render/PhotoPicture.h"
#include "core/text/FixedText.h"

#include <algorithm>
#include <atomic>

namespace mosaiq {
namespace {

std::atomic<int> g_workers{-1};

} // namespace

void SetBandDecodeWorkers(int workers) {
    g_workers = std::max(-1, workers);
}

int BandDecodeWorkers() {
    const int set = g_workers.load();
    if (set >= 0)
        return set;
    const int cores = int(std::thread::hardware_concurrency());
    return std::clamp(cores - 1, 0, 15);
}

BandDecodeAhead::BandDecodeAhead(CollageDocument& document, const std::vector<QRectF>& reach,
                                 QSize size, int workers, std::int64_t budgetBytes)
    : m_document(document), m_budget(budgetBytes) {
    const float zoom = document.view.zoom;
    const QRectF output(QPointF(0, 0), QSizeF(size));
    for (std::size_t i = 0; i < document.objects.size() && i < reach.size(); ++i) {
        const CanvasObject& object = document.objects[i];
        const PhotoRecord* record = object.Photo();
        if (!record || !reach[i].intersects(output))
            continue;
        const QSize unscaled = object.UnscaledSize();
        const QSize displayed =
            DisplayedSize(unscaled.width(), unscaled.height(), object.Scale(), zoom);
        if (displayed.isEmpty())
            continue;
        if (object.cache && object.cache->builtFor == displayed &&
            (!object.cache->picture.isNull() || object.cache->failed))
            continue; // the compositor would not build it again
        if (!PhotoSourceAvailable(ReadFixedText(record->path)))
            continue; // drawn as missing: nothing to decode
        Job job;
        job.object = int(i);
        job.top = reach[i].top();
        job.record = *record;
        job.displayed = displayed;
        job.upright = object.upright;
        // The picture at its displayed size and a reduced decode of up to twice its sides.
        job.bytes = std::int64_t(displayed.width()) * displayed.height() * 4 * 5;
        m_jobs.push_back(std::move(job));
    }
    std::stable_sort(m_jobs.begin(), m_jobs.end(),
                     [](const Job& a, const Job& b) { return a.top < b.top; });
    const int threads = std::min<int>(std::max(0, workers), int(m_jobs.size()));
    for (int i = 0; i < threads; ++i)
        m_workers.emplace_back([this] { Work(); });
}

BandDecodeAhead::~BandDecodeAhead() {
    {
        std::lock_guard guard(m_lock);
        m_stop = true;
    }
    m_changed.notify_all();
    for (std::thread& t : m_workers)
        t.join();
}

void BandDecodeAhead::Build(Job& job) {
    const PhotoPictureResult result = BuildPhotoPicture(job.record, job.displayed, job.upright);
    job.picture = result.picture;
    job.fileMissing = result.fileMissing;
    job.maskMissing = result.maskMissing;
}

void BandDecodeAhead::Work() {
    std::unique_lock guard(m_lock);
    for (;;) {
        // The next job in band order, when the budget has room for it (or nothing is held).
        m_changed.wait(guard, [this] {
            return m_stop || m_next >= m_jobs.size() ||
                   m_held == 0 || m_held + m_jobs[m_next].bytes <= m_budget;
        });
        if (m_stop || m_next >= m_jobs.size())
            return;
        Job& job = m_jobs[m_next++];
        job.state = Job::State::Building;
        m_held += job.bytes;
        guard.unlock();
        Build(job);
        guard.lock();
        job.state = Job::State::Built;
        m_changed.notify_all();
    }
}

void BandDecodeAhead::Place(Job& job) {
    CanvasObject& object = m_document.objects[std::size_t(job.object)];
    PhotoRecord* record = object.Photo();
    if (!record)
        return;
    // The crop as the picture clamped it, as if the compositor had built it.
    record->cropLeft = job.record.cropLeft;
    record->cropTop = job.record.cropTop;
    record->cropRight = job.record.cropRight;
    record->cropBottom = job.record.cropBottom;
    if (!object.cache)
        object.cache = std::make_shared<ObjectCache>();
    ObjectCache& cache = *object.cache;
    cache.picture = job.picture;
    cache.builtFor = job.displayed;
    cache.failed = job.picture.isNull() && !job.fileMissing;
    cache.maskPending = job.maskMissing;
    cache.frame = QImage();
    cache.drawable = QImage();
    cache.drawableValid = false;
    cache.prepared = QImage();
    cache.preparedValid = false;
    job.picture = QImage();
}

void BandDecodeAhead::ReadyUpTo(double bottom) {
    std::unique_lock guard(m_lock);
    for (Job& job : m_jobs) {
        if (job.top >= bottom)
            break;
        if (job.state == Job::State::Placed)
            continue;
        if (job.state == Job::State::Waiting) {
            // Its band has come before any worker took it: built here. Jobs are taken in order,
            // so this is the next one.
            ++m_next;
            job.state = Job::State::Building;
            guard.unlock();
            Build(job);
            guard.lock();
        } else {
            // A worker builds it: until it is done, this thread builds the next pictures too
            // rather than wait.
            while (job.state != Job::State::Built) {
                if (m_next < m_jobs.size() &&
                    m_held + m_jobs[m_next].bytes <= m_budget) {
                    Job& next = m_jobs[m_next++];
                    next.state = Job::State::Building;
                    m_held += next.bytes;
                    guard.unlock();
                    Build(next);
                    guard.lock();
                    next.state = Job::State::Built;
                    m_changed.notify_all();
                } else {
                    m_changed.wait(guard, [this, &job] {
                        return job.state == Job::State::Built ||
                               (m_next < m_jobs.size() &&
                                m_held + m_jobs[m_next].bytes <= m_budget);
                    });
                }
            }
            m_held -= job.bytes;
        }
        Place(job);
        job.state = Job::State::Placed;
        m_changed.notify_all();
    }
}

} // namespace mosaiq
