#pragma once

// The canvas's keyboard: one table from a key and its modifiers to what the key does, and the
// edits the keys make on the selected objects. The canvas window looks every key up here, so a
// new mode adds its keys as rows of the table rather than as branches in the window.
//
// Keys that change objects (nudge, scale, turn) act on every selected object; the window
// gathers a burst of them into one undo step (the owner's burst mechanism), as it does for
// nudges. Tab and Shift+Tab walk the objects in stacking order and leave the canvas past the
// last (or first) one; F6 leaves it at once, so the keyboard is never trapped there.

#include <Qt>

#include <optional>
#include <vector>

namespace mosaiq {

class CollageDocument;

enum class CanvasKeyAction {
    Delete,         // delete the selection
    Escape,         // leave a preview, stop painting
    Nudge,          // move by (dx, dy) canvas pixels
    Scale,          // scale by dx steps of kKeyScaleStep about each object's centre
    Turn,           // turn by dx steps of kKeyTurnStep degrees about each object's centre
    SelectNext,     // select the next object in stacking order; past the last, leave the canvas
    SelectPrevious, // the same backwards
    ContextMenu,    // the selection's context menu
    LeaveCanvas,    // move the focus to the next control
};

struct CanvasKeyBinding {
    int key;                         // Qt::Key
    Qt::KeyboardModifiers modifiers; // exactly these (the keypad flag is ignored)
    CanvasKeyAction action;
    int dx = 0;
    int dy = 0;
};

// One Ctrl+arrow press scales by this factor (or its inverse); one Alt+arrow turns this far.
inline constexpr float kKeyScaleStep = 1.05f;
inline constexpr float kKeyTurnStep = 1.0f;

// Every key of the canvas, in the order they are looked up.
const std::vector<CanvasKeyBinding>& CanvasKeyTable();
// The row for a key and its modifiers; none when the canvas leaves the key to its parent.
std::optional<CanvasKeyBinding> FindCanvasKey(int key, Qt::KeyboardModifiers modifiers);

// Scales every selected object by factor^steps about its own centre, never below 16 pixels of
// width plus height. Marks modified. False when nothing is selected.
bool ScaleSelection(CollageDocument& doc, int steps);
// Turns every selected object by steps x kKeyTurnStep degrees about its centre, the angle kept
// within (-360, 360). Marks modified. False when nothing is selected.
bool TurnSelection(CollageDocument& doc, int steps);
// The object after (direction 1) or before (-1) the first selected one; with nothing selected,
// the first (or last). -1 when the walk runs past the end.
int AdjacentObject(const CollageDocument& doc, int direction);
// Makes object index the only selected one. False (nothing changed) for an index out of range.
bool SelectOnlyObject(CollageDocument& doc, int index);

} // namespace mosaiq
