#pragma once

// Assistive technology's view of the control toolkit: the bitmap button (push button, check box,
// radio button or page tab), the slider, the scroll bars, the list box, the combo box and its
// drop-down, the colour picker, its popup and the palette, and the skinned dialog. Each answers
// Qt's accessibility interface with a role, a name, states, a value where it has one and actions
// that do what a click does.

namespace mosaiq {

// Installs the toolkit's factory once; later calls do nothing.
void InstallUiAccessibility();

} // namespace mosaiq
