#pragma once

// How the view shows a photo whose picture file cannot be found: its box filled light grey,
// a broken-picture mark in the middle and the file's name under it, so the photo can still be
// seen, selected, moved and relinked. Exports never draw it: they leave such a photo out.

#include <QRect>
#include <QString>

class QPainter;

namespace mosaiq {

// The fill of the box (RGB 222, 222, 222).
inline constexpr unsigned kMissingPhotoFill = 0xDEDEDEu;

// Draws the placeholder into area (the photo's box, or its frame's window) under the painter's
// current transform.
void DrawMissingPhoto(QPainter& painter, const QRect& area, const QString& fileName);

} // namespace mosaiq
