#include "canvas/document/History.h"

namespace mosaiq {

Snapshot HistoryList::Take(const std::vector<CanvasObject>& objects,
                           const CollageLayout& layout) {
    Snapshot snapshot;
    snapshot.records.reserve(objects.size());
    snapshot.layout = layout;
    if (layout.Active())
        snapshot.layoutCell.reserve(objects.size());
    for (const CanvasObject& object : objects) {
        ObjectRecord copy = object.record;
        std::visit([](auto& r) { ClearRuntimeFields(r); }, copy);
        snapshot.records.push_back(copy);
        snapshot.upright.push_back(object.upright);
        if (layout.Active())
            snapshot.layoutCell.push_back(object.layoutCell);
    }
    return snapshot;
}

void HistoryList::Record(const std::vector<CanvasObject>& objects, const CollageLayout& layout) {
    Record(Take(objects, layout));
}

void HistoryList::Record(Snapshot snapshot) {
    m_snapshots.resize(size_t(m_position + 1));
    m_snapshots.push_back(std::move(snapshot));
    m_position = Count() - 1;
}

void HistoryList::Amend(const std::vector<CanvasObject>& objects, const CollageLayout& layout) {
    if (m_position < 0)
        m_base = Take(objects, layout);
    else
        m_snapshots[size_t(m_position)] = Take(objects, layout);
}

void HistoryList::Clear(const std::vector<CanvasObject>& base, const CollageLayout& layout) {
    m_base = Take(base, layout);
    m_snapshots.clear();
    m_position = -1;
}

} // namespace mosaiq
