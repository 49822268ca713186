#include "library/photos/PhotoImport.h"

#include <QFileInfo>
#include <QMetaObject>
#include <QThread>

#include <algorithm>

namespace mosaiq {

PhotoImporter::PhotoImporter(QObject* parent) : QObject(parent) {
    qRegisterMetaType<mosaiq::PreparedPhoto>("mosaiq::PreparedPhoto");
}

PhotoImporter::~PhotoImporter() {
    m_stop = true;
    JoinWorkers();
}

bool PhotoImporter::Start(const QStringList& paths, int threads) {
    if (m_running || paths.isEmpty())
        return false;
    JoinWorkers();
    m_paths = paths;
    m_slots.assign(size_t(paths.size()), Slot());
    m_next = 0;
    m_end = int(paths.size());
    m_stop = false;
    m_delivered = 0;
    m_running = true;
    const int count =
        std::clamp(threads > 0 ? threads : QThread::idealThreadCount(), 1, int(paths.size()));
    for (int i = 0; i < count; ++i)
        m_workers.emplace_back([this] { Work(); });
    return true;
}

void PhotoImporter::RequestStop() {
    m_stop = true;
}

void PhotoImporter::Work() {
    for (;;) {
        if (m_stop)
            break;
        const int index = m_next.fetch_add(1);
        if (index >= m_end)
            break;
        const QString& path = m_paths.at(index);
        Slot slot;
        slot.done = true;
        if (!QFileInfo::exists(path)) {
            // A missing file is reported and skipped; the files after it are still imported.
            slot.missing = true;
        } else {
            slot.photo = PreparePhoto(path);
        }
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_slots[size_t(index)] = std::move(slot);
        }
        QMetaObject::invokeMethod(
            this, [this] { Deliver(); }, Qt::QueuedConnection);
    }
    QMetaObject::invokeMethod(
        this, [this] { Deliver(); }, Qt::QueuedConnection);
}

void PhotoImporter::Deliver() {
    if (!m_running)
        return;
    for (;;) {
        if (m_stop) {
            m_running = false;
            emit finished(true);
            return;
        }
        if (m_delivered >= int(m_paths.size()))
            break;
        Slot slot;
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            Slot& s = m_slots[size_t(m_delivered)];
            if (!s.done)
                return; // the next file in order is still being prepared
            slot = std::move(s);
            s = Slot();
            s.done = true;
        }
        ++m_delivered;
        if (slot.missing)
            emit fileMissing(m_paths.at(m_delivered - 1));
        else
            emit photoPrepared(slot.photo);
    }
    m_running = false;
    emit finished(false);
}

void PhotoImporter::JoinWorkers() {
    for (std::thread& t : m_workers)
        t.join();
    m_workers.clear();
}

} // namespace mosaiq
