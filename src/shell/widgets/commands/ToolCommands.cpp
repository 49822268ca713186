// Tools: the colour dialog on the window's stored colour (white at first); OK stores the choice.
#include "shell/widgets/CMainDialog.h"
#include "shell/widgets/CommandGroup.h"
#include "shell/widgets/CommandGroups.h"
#include "shell/widgets/CommandIds.h"
#include "ui/widgets/DialogProvider.h"

namespace mosaiq {
namespace {

class ToolCommands : public CommandGroup {
public:
    explicit ToolCommands(CMainDialog& window) : CommandGroup(window) {}

    bool Handles(int id) const override { return id == cmd::kChooseColour; }

    void Run(int id) override {
        if (id != cmd::kChooseColour)
            return;
        if (const std::optional<QColor> chosen = Dialogs().ChooseColour(&Window(), m_colour))
            m_colour = *chosen;
    }

private:
    QColor m_colour{255, 255, 255};
};

} // namespace

std::unique_ptr<CommandGroup> MakeToolCommands(CMainDialog& window) {
    return std::make_unique<ToolCommands>(window);
}

} // namespace mosaiq
