#pragma once

// Assistive technology's view of the text panel's own control: the style list is a list whose
// eight rows are items ("Style 1" ... "Style 8"), selected when chosen, pressed as a click does.
// Installs the toolkit's factory too.

namespace mosaiq {

void InstallTextAccessibility();

} // namespace mosaiq
