#pragma once

// Assistive technology's view of the main window: the window itself (named by its title), its
// menu-bar buttons (buttons that drop a menu) and its status line; installs the factories of the
// floors below. The keyboard's way through the window: Tab and Shift+Tab in reading order.

namespace mosaiq {

class CMainDialog;

void InstallShellAccessibility();

// Chains the focus through the window in reading order: the menu-bar buttons, the tabs, the
// panel area, the toolbar, the zoom box, the photo browser and its buttons, the canvas, the
// preset/brush panel, "Add to Canvas", the list pane, the colour swatches, the caption buttons.
void ApplyFocusOrder(CMainDialog& window);

} // namespace mosaiq
