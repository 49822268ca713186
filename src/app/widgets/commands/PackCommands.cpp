// Resource pack import and the batch converter.
#include "app/widgets/CommandGroup.h"
#include "app/widgets/CommandGroups.h"
#include "app/widgets/CMainDialog.h"

namespace mosaiq {
namespace {

class PackCommands : public CommandGroup {
public:
    explicit PackCommands(CMainDialog& window) : CommandGroup(window) {}

    bool Handles(int id) const override {
        (void)id;
        return false;
    }
    void Run(int id) override { (void)id; }
};

} // namespace

std::unique_ptr<CommandGroup> MakePackCommands(CMainDialog& window) {
    return std::make_unique<PackCommands>(window);
}

} // namespace mosaiq
