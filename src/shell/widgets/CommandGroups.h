#pragma once

// The factories of the command groups, in the order the dispatcher asks them. Each group lives
// in its own file under commands/.

#include <memory>

namespace mosaiq {

class CMainDialog;
class CommandGroup;

std::unique_ptr<CommandGroup> MakeRecoveryCommands(CMainDialog& window);  // recovery copy, offer
std::unique_ptr<CommandGroup> MakeProjectCommands(CMainDialog& window);   // new, open, save, export
std::unique_ptr<CommandGroup> MakeEditCommands(CMainDialog& window);      // undo, delete, order
std::unique_ptr<CommandGroup> MakeViewCommands(CMainDialog& window);      // zoom, preview, panels, help
std::unique_ptr<CommandGroup> MakePhotoCommands(CMainDialog& window);     // photo library
std::unique_ptr<CommandGroup> MakeLibraryCommands(CMainDialog& window);   // frames, masks, cliparts, presets
std::unique_ptr<CommandGroup> MakePanelCommands(CMainDialog& window);     // text, tuning, crop
std::unique_ptr<CommandGroup> MakeEffectsCommands(CMainDialog& window);   // effects, calendar, wallpaper
std::unique_ptr<CommandGroup> MakePackCommands(CMainDialog& window);      // resource packs, converter
std::unique_ptr<CommandGroup> MakeToolCommands(CMainDialog& window);      // the colour dialog
std::unique_ptr<CommandGroup> MakeArrangeCommands(CMainDialog& window);   // arrange, align
std::unique_ptr<CommandGroup> MakePrintCommands(CMainDialog& window);     // print, print preview

} // namespace mosaiq

#include "shell/MainLayout.h"

namespace mosaiq {
class CollageDocument;
// The toolbar state the document's selection and history give.
ToolbarState CurrentToolbarState(const CollageDocument& doc);
} // namespace mosaiq
