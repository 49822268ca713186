#include "canvas/document/History.h"

namespace mosaiq {

Snapshot HistoryList::Take(const std::vector<CanvasObject>& objects) {
    Snapshot snapshot;
    snapshot.records.reserve(objects.size());
    for (const CanvasObject& object : objects) {
        ObjectRecord copy = object.record;
        std::visit([](auto& r) { ClearRuntimeFields(r); }, copy);
        snapshot.records.push_back(copy);
        snapshot.upright.push_back(object.upright);
    }
    return snapshot;
}

void HistoryList::Record(const std::vector<CanvasObject>& objects) {
    Record(Take(objects));
}

void HistoryList::Record(Snapshot snapshot) {
    m_snapshots.resize(size_t(m_position + 1));
    m_snapshots.push_back(std::move(snapshot));
    m_position = Count() - 1;
}

void HistoryList::Clear(const std::vector<CanvasObject>& base) {
    m_base = Take(base);
    m_snapshots.clear();
    m_position = -1;
}

} // namespace mosaiq
