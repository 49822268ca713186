#pragma once

// Assistive technology's view of the picture dialogs' own controls: the New Collage dialog's
// placement choices are radio buttons named by their captions, checked when chosen, pressed as
// a click does. Installs the toolkit's factory too.

namespace mosaiq {

void InstallImagingAccessibility();

} // namespace mosaiq
