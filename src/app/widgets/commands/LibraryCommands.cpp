// Library commands: the frame, mask and clipart panels, the preset/brush panel, the colour swatch panel and Add to Canvas.
#include "app/widgets/CommandGroup.h"
#include "app/widgets/CommandGroups.h"
#include "app/widgets/CMainDialog.h"

namespace mosaiq {
namespace {

class LibraryCommands : public CommandGroup {
public:
    explicit LibraryCommands(CMainDialog& window) : CommandGroup(window) {}

    bool Handles(int id) const override {
        (void)id;
        return false;
    }
    void Run(int id) override { (void)id; }
};

} // namespace

std::unique_ptr<CommandGroup> MakeLibraryCommands(CMainDialog& window) {
    return std::make_unique<LibraryCommands>(window);
}

} // namespace mosaiq
