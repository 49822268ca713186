#pragma once

// The main window's popup menus, each built from its item table every time it opens.

#include "shell/widgets/CommandGroup.h"

namespace mosaiq {

class CMainDialog;
class CQorMenu;

// Fills popup with the fixed items of menu, then lets the command groups add theirs.
void BuildMenu(MenuId menu, CQorMenu& popup, CMainDialog& window);

} // namespace mosaiq
