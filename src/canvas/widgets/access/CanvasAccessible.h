#pragma once

// Assistive technology's view of the canvas: a canvas whose children are its objects in stacking
// order (the back-most first), each named by kind and content ("Photo beach.jpg", "Text Happy
// birthday", "Clipart 12", "Decoration Chrome 3"), with its rectangle on screen as last drawn
// and its selected state; "press" selects the object as a click does, "show menu" opens its
// context menu. Installs the factories of the floors below too.

#include <QString>

namespace mosaiq {

class CanvasObject;

// The object's name as assistive technology reads it.
QString CanvasObjectName(const CanvasObject& object);

void InstallCanvasAccessibility();

} // namespace mosaiq
