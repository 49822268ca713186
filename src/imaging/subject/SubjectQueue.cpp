#include "imaging/subject/SubjectQueue.h"

#include "imaging/subject/SubjectCache.h"

#include <QCoreApplication>
#include <QSet>
#include <QThread>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <vector>

namespace mosaiq {

struct SubjectQueue::State {
    mutable std::mutex mutex;
    std::condition_variable changed;
    std::deque<QString> waiting;
    QSet<QString> queued; // waiting or being looked at
    std::vector<std::unique_ptr<QThread>> workers;
    int busy = 0;
    bool stopping = false;
    bool cleanupInstalled = false;

    void Work() {
        std::unique_lock<std::mutex> lock(mutex);
        for (;;) {
            changed.wait(lock, [this] { return stopping || !waiting.empty(); });
            if (stopping)
                return;
            const QString path = waiting.front();
            waiting.pop_front();
            ++busy;
            lock.unlock();
            LookUpSubject(path, true, SubjectLookup::Find);
            lock.lock();
            --busy;
            if (waiting.empty() && busy == 0) {
                // The last one: the file is written before the queue counts as idle.
                lock.unlock();
                FlushSubjectCache();
                lock.lock();
            }
            queued.remove(path);
            changed.notify_all();
        }
    }
};

SubjectQueue::SubjectQueue() : m_state(new State) {}

SubjectQueue::~SubjectQueue() = default;

SubjectQueue& SubjectQueue::Instance() {
    // Never destroyed: its workers are ended by Stop (with the application object), not by the
    // order in which statics go away.
    static SubjectQueue* queue = new SubjectQueue;
    return *queue;
}

void SubjectQueue::Add(const QStringList& paths) {
    State& s = *m_state;
    std::lock_guard<std::mutex> lock(s.mutex);
    for (const QString& p : paths) {
        if (p.isEmpty() || s.queued.contains(p))
            continue;
        s.queued.insert(p);
        s.waiting.push_back(p);
    }
    if (s.waiting.empty())
        return;
    if (!s.cleanupInstalled && QCoreApplication::instance()) {
        // Workers must end before the application object (and Qt with it) goes away.
        s.cleanupInstalled = true;
        qAddPostRoutine([] { SubjectQueue::Instance().Stop(); });
    }
    s.stopping = false;
    const int wanted = std::clamp(QThread::idealThreadCount(), 1, 2);
    while (int(s.workers.size()) < wanted) {
        std::unique_ptr<QThread> worker(QThread::create([&s] { s.Work(); }));
        worker->start(QThread::IdlePriority);
        s.workers.push_back(std::move(worker));
    }
    s.changed.notify_all();
}

int SubjectQueue::Pending() const {
    std::lock_guard<std::mutex> lock(m_state->mutex);
    return int(m_state->queued.size());
}

bool SubjectQueue::WaitIdle(int timeoutMs) {
    State& s = *m_state;
    std::unique_lock<std::mutex> lock(s.mutex);
    const auto idle = [&s] { return s.queued.isEmpty() || s.workers.empty(); };
    if (timeoutMs < 0) {
        s.changed.wait(lock, idle);
        return s.queued.isEmpty();
    }
    return s.changed.wait_for(lock, std::chrono::milliseconds(timeoutMs), idle) &&
           s.queued.isEmpty();
}

void SubjectQueue::Stop() {
    State& s = *m_state;
    std::vector<std::unique_ptr<QThread>> workers;
    {
        std::lock_guard<std::mutex> lock(s.mutex);
        s.stopping = true;
        s.waiting.clear();
        s.queued.clear();
        workers.swap(s.workers);
        s.changed.notify_all();
    }
    for (auto& w : workers)
        w->wait();
    FlushSubjectCache();
}

} // namespace mosaiq
