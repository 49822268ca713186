#pragma once

class QWidget;

namespace mosaiq {

// The About box: a captionless skinned window titled "About", centred, closed by its close button.
void ShowAboutBox(QWidget* parent);
// The plain About dialog of the window menu: the icon, two lines of text and OK.
void ShowPlainAbout(QWidget* parent);

} // namespace mosaiq
