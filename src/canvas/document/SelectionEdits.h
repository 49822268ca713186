#pragma once

// Edits of the selected objects that the editing panels and the keyboard make: the text of the
// selected text object and its settings from the text template, nudging and selecting all.
// Typing and nudging record no history step per edit: each notes a burst edit in the document,
// and the burst becomes one step when the caller ends it (a pause in typing, the last arrow key:
// CollageDocument::CommitBurst) or when any other change is recorded first.

#include <QString>

namespace mosaiq {

class CollageDocument;

// Stores text (already cut to what a record keeps) as the template's text and in the first
// selected text object, measured again with its top-left kept. Marks the document modified and
// asks for a redraw. False when no text object is selected or its text was already that.
bool SetSelectedText(CollageDocument& doc, const QString& text);

// Copies the template's face name, style, colours and transparency onto the first selected
// text object; a new face measures the text again. Marks modified, asks for a redraw. False when
// no text object is selected or nothing changed.
bool ApplyTemplateToSelectedText(CollageDocument& doc);

// Moves every selected object by (dx, dy) canvas pixels. Marks modified, asks for a redraw.
// False when nothing is selected.
bool NudgeSelection(CollageDocument& doc, int dx, int dy);

// Selects every object; returns how many there are. Asks for a redraw.
int SelectAllObjects(CollageDocument& doc);

// Ends a burst of edits with the state as it is now (a pending burst included): one history step
// and the modified flag.
void CommitSelectionEdit(CollageDocument& doc);

} // namespace mosaiq
