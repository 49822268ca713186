#pragma once

// The photo import worker: prepares the chosen files (size and thumbnail) on worker threads and
// hands the results to its owner, in the order of the files, on the owner's thread. The owner
// adds them to its PhotoList (AddImportedPhoto), so the list is only ever touched by one thread.

#include "library/photos/PhotoList.h"

#include <QObject>
#include <QStringList>

#include <atomic>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace mosaiq {

class PhotoImporter : public QObject {
    Q_OBJECT
public:
    explicit PhotoImporter(QObject* parent = nullptr);
    ~PhotoImporter() override; // stops and joins the workers

    // Starts importing paths and returns at once; false (nothing started) while an import runs or
    // when paths is empty. threads 0 uses every core.
    bool Start(const QStringList& paths, int threads = 0);
    // Asks the import to stop: no file is started after this and no further photo is reported.
    void RequestStop();
    bool IsRunning() const { return m_running; }

signals:
    // The next file in order is done (prepared.ok false with a reason when it cannot be added).
    void photoPrepared(const mosaiq::PreparedPhoto& prepared);
    // The next file in order does not exist; it is skipped and the import goes on.
    void fileMissing(const QString& path);
    // The import ended: after the last file or a stop request (no file is reported after a
    // stop; files being prepared at that moment are finished and dropped).
    void finished(bool stopped);

private:
    struct Slot {
        bool done = false;
        bool missing = false;
        PreparedPhoto photo;
    };
    void Work();
    void Deliver();
    void JoinWorkers();

    QStringList m_paths;
    std::vector<Slot> m_slots;
    std::mutex m_mutex; // guards m_slots
    std::vector<std::thread> m_workers;
    std::atomic<int> m_next{0};
    std::atomic<int> m_end{0}; // one past the last file to start
    std::atomic<bool> m_stop{false};
    int m_delivered = 0;
    bool m_running = false;
};

} // namespace mosaiq
