#pragma once

class QWidget;

namespace mosaiq::gallery {

// The control families in their states.
QWidget* MakeControlsPage();
// Every bitmap, icon and cursor of the skin, labelled with kind, id and role.
QWidget* MakeSkinPage();

} // namespace mosaiq::gallery
