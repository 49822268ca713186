// Project commands: new, open, save, save as, collage setting, export (Save Collage), recent projects.
#include "app/widgets/CommandGroup.h"
#include "app/widgets/CommandGroups.h"
#include "app/widgets/CMainDialog.h"

namespace mosaiq {
namespace {

class ProjectCommands : public CommandGroup {
public:
    explicit ProjectCommands(CMainDialog& window) : CommandGroup(window) {}

    bool Handles(int id) const override {
        (void)id;
        return false;
    }
    void Run(int id) override { (void)id; }
};

} // namespace

std::unique_ptr<CommandGroup> MakeProjectCommands(CMainDialog& window) {
    return std::make_unique<ProjectCommands>(window);
}

} // namespace mosaiq
