// Photo effects, the month calendar and the desktop wallpaper.
#include "app/widgets/CommandGroup.h"
#include "app/widgets/CommandGroups.h"
#include "app/widgets/CMainDialog.h"

namespace mosaiq {
namespace {

class EffectsCommands : public CommandGroup {
public:
    explicit EffectsCommands(CMainDialog& window) : CommandGroup(window) {}

    bool Handles(int id) const override {
        (void)id;
        return false;
    }
    void Run(int id) override { (void)id; }
};

} // namespace

std::unique_ptr<CommandGroup> MakeEffectsCommands(CMainDialog& window) {
    return std::make_unique<EffectsCommands>(window);
}

} // namespace mosaiq
