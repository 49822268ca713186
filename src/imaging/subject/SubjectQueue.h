#pragma once

// Finds the subjects of photos in the background: after an import, the photos it added are
// handed here and looked at by up to two worker threads at idle priority (the editor stays
// responsive; the import itself is not slowed). Each subject goes into the subject cache, whose
// file is written when the queue runs dry. The queue is the process's own, started on first use
// and stopped, after the photo being looked at, when the application object goes away.

#include <QStringList>

namespace mosaiq {

class SubjectQueue {
public:
    static SubjectQueue& Instance();

    // Queues paths (those already queued are not queued twice).
    void Add(const QStringList& paths);
    // Paths queued or being looked at.
    int Pending() const;
    // Waits until nothing is pending, at most timeoutMs (< 0: no limit); true when idle.
    bool WaitIdle(int timeoutMs = -1);
    // Drops the paths not started, waits for the workers and ends them (a later Add starts
    // them again).
    void Stop();

    SubjectQueue(const SubjectQueue&) = delete;
    SubjectQueue& operator=(const SubjectQueue&) = delete;

private:
    SubjectQueue();
    ~SubjectQueue();
    struct State;
    State* m_state;
};

} // namespace mosaiq
