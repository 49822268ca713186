#include "imaging/files/PictureJob.h"

#include <QThread>

#include <algorithm>
#include <atomic>

namespace mosaiq {
namespace {

std::atomic<int> g_running{0};
thread_local bool t_insideJob = false;

} // namespace

ScopedPictureJob::ScopedPictureJob() {
    if (t_insideJob)
        return;
    t_insideJob = true;
    m_counted = true;
    ++g_running;
}

ScopedPictureJob::~ScopedPictureJob() {
    if (!m_counted)
        return;
    --g_running;
    t_insideJob = false;
}

int ScopedPictureJob::Running() {
    return g_running.load();
}

int ScopedPictureJob::SpareThreads() {
    const int cores = std::max(1, QThread::idealThreadCount());
    return std::max(1, cores - std::max(0, g_running.load() - 1));
}

} // namespace mosaiq
