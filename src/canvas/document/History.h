#pragma once

#include "canvas/document/CanvasObject.h"
#include "canvas/document/CollageLayout.h"

#include <vector>

namespace mosaiq {

// The state of the object list after one completed change: copies of every record in list
// order, runtime fields cleared. Pixels are never copied (photos reload from their paths,
// cliparts from their libraries or the pasted picture list), so a snapshot costs only the
// record bytes.
struct Snapshot {
    std::vector<ObjectRecord> records;
    std::vector<bool> upright; // each object's CanvasObject::upright, in list order
    std::vector<int> layoutCell; // each object's CanvasObject::layoutCell, in list order
    CollageLayout layout;        // the collage's layout with this state
};

// A linear, unbounded history of snapshots and the position of the one equal to the document
// (-1 when there is none: a new or freshly loaded document).
class HistoryList {
public:
    // Drops the redo tail, appends a snapshot of objects and makes it current.
    void Record(const std::vector<CanvasObject>& objects, const CollageLayout& layout = {});
    // The same with a snapshot taken earlier (a burst of edits recorded when it ends).
    void Record(Snapshot snapshot);
    // Replaces the current snapshot (the base state at position -1) with objects and layout:
    // a change that is not a step of its own (a re-flow after the canvas size changed).
    void Amend(const std::vector<CanvasObject>& objects, const CollageLayout& layout);
    // Copies of the objects' records with their runtime fields cleared, and the layout.
    static Snapshot Take(const std::vector<CanvasObject>& objects, const CollageLayout& layout = {});
    // Empties the history; objects (none for a new document, the opened project's objects after
    // a load) become the state that undoing the first recorded change returns to.
    void Clear(const std::vector<CanvasObject>& base = {}, const CollageLayout& layout = {});
    // The state before the first recorded change.
    const Snapshot& Base() const { return m_base; }

    int Position() const { return m_position; }
    int Count() const { return int(m_snapshots.size()); }
    bool CanUndo() const { return m_position >= 0; }
    bool CanRedo() const { return m_position < Count() - 1; }

    // Moves the position one step back / forward; the caller restores the snapshot it names.
    void StepBack() { --m_position; }
    void StepForward() { ++m_position; }

    const Snapshot& At(int index) const { return m_snapshots.at(size_t(index)); }

private:
    Snapshot m_base;
    std::vector<Snapshot> m_snapshots;
    int m_position = -1;
};

} // namespace mosaiq
