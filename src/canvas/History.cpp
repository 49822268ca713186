#include "canvas/History.h"

namespace mosaiq {

void HistoryList::Record(const std::vector<CanvasObject>& objects) {
    m_snapshots.resize(size_t(m_position + 1));
    Snapshot snapshot;
    snapshot.records.reserve(objects.size());
    for (const CanvasObject& object : objects) {
        ObjectRecord copy = object.record;
        std::visit([](auto& r) { ClearRuntimeFields(r); }, copy);
        snapshot.records.push_back(copy);
    }
    m_snapshots.push_back(std::move(snapshot));
    m_position = Count() - 1;
}

void HistoryList::Clear() {
    m_snapshots.clear();
    m_position = -1;
}

} // namespace mosaiq
