// Editing panels: the text panel, the tuning panel and the crop dialog and panel.
#include "app/widgets/CommandGroup.h"
#include "app/widgets/CommandGroups.h"
#include "app/widgets/CMainDialog.h"

namespace mosaiq {
namespace {

class PanelCommands : public CommandGroup {
public:
    explicit PanelCommands(CMainDialog& window) : CommandGroup(window) {}

    bool Handles(int id) const override {
        (void)id;
        return false;
    }
    void Run(int id) override { (void)id; }
};

} // namespace

std::unique_ptr<CommandGroup> MakePanelCommands(CMainDialog& window) {
    return std::make_unique<PanelCommands>(window);
}

} // namespace mosaiq
