#pragma once

// Assistive technology's view of the library panels and the photo browser: lists whose items
// are the library's pictures ("Clipart 12") and the photos' file names, each selectable and
// pressed as a double click does (applied or added to the canvas). The import progress window
// is a dialog named by the photo it handles. Installs the toolkit's factory too.

namespace mosaiq {

void InstallLibraryAccessibility();

} // namespace mosaiq
