// View commands: zoom, preview, the panel tabs and the panels menu, the menu-bar buttons and
// their accelerators, the caption buttons and Exit, help and the About boxes.
#include "core/Notifier.h"
#include "shell/widgets/CAboutBox.h"
#include "shell/widgets/CMainDialog.h"
#include "shell/widgets/CommandGroup.h"
#include "shell/widgets/CommandGroups.h"
#include "shell/widgets/CommandIds.h"
#include "shell/widgets/CHelpWindow.h"


namespace mosaiq {
namespace {

std::optional<PanelSlot> PanelOf(int id) {
    switch (id) {
    case cmd::kFrameTab: case cmd::kMenuFrame: return PanelSlot::Frame;
    case cmd::kMaskTab: case cmd::kMenuMask: return PanelSlot::Mask;
    case cmd::kClipartTab: case cmd::kMenuClipart: return PanelSlot::Clipart;
    case cmd::kTuningTab: case cmd::kMenuTuning: return PanelSlot::Tuning;
    case cmd::kTextTab: case cmd::kMenuText: return PanelSlot::Text;
    case cmd::kCropPanel: return PanelSlot::Crop;
    default: return std::nullopt;
    }
}

std::optional<MenuId> MenuOf(int id) {
    switch (id) {
    case cmd::kFileMenu: case cmd::kFileMenuKey: return MenuId::File;
    case cmd::kEditMenu: case cmd::kEditMenuKey: return MenuId::Edit;
    case cmd::kPanelsMenu: case cmd::kPanelsMenuKey: return MenuId::Panels;
    case cmd::kToolsMenu: return MenuId::Tools;
    case cmd::kHelpMenu: case cmd::kHelpMenuKey: return MenuId::Help;
    default: return std::nullopt;
    }
}

class ViewCommands : public CommandGroup {
public:
    explicit ViewCommands(CMainDialog& window) : CommandGroup(window) {}

    bool Handles(int id) const override {
        if (PanelOf(id) || MenuOf(id))
            return true;
        switch (id) {
        case cmd::kZoomIn: case cmd::kZoomOut: case cmd::kPreview: case cmd::kMenuPreview:
        case cmd::kClose: case cmd::kExit: case cmd::kMinimise: case cmd::kMaximise:
        case cmd::kHelpContents: case cmd::kFrameworkHelp: case cmd::kAbout: case cmd::kSystemAbout:
            return true;
        default:
            return false;
        }
    }

    bool IsEnabled(int id) const override {
        // The crop panel exists only once its panel was installed.
        if (id == cmd::kCropPanel)
            return Window().HasPanel(PanelSlot::Crop);
        return true;
    }

    bool IsChecked(int id) const override {
        const std::optional<PanelSlot> panel = PanelOf(id);
        return panel && id != cmd::kCropPanel && Window().ActivePanel() == *panel;
    }

    void Run(int id) override {
        CMainDialog& w = Window();
        if (const std::optional<PanelSlot> panel = PanelOf(id)) {
            w.ShowPanel(*panel);
            return;
        }
        if (const std::optional<MenuId> menu = MenuOf(id)) {
            w.DropMenu(*menu);
            return;
        }
        switch (id) {
        case cmd::kZoomIn: w.ZoomIn(); break;
        case cmd::kZoomOut: w.ZoomOut(); break;
        case cmd::kPreview: case cmd::kMenuPreview: w.EnterPreview(); break;
        case cmd::kClose: case cmd::kExit: w.close(); break;
        case cmd::kMinimise: w.showMinimized(); break;
        case cmd::kMaximise: w.ToggleMaximised(); break;
        case cmd::kHelpContents: case cmd::kFrameworkHelp: OpenHelp(); break;
        case cmd::kAbout: ShowAboutBox(&w); break;
        case cmd::kSystemAbout: ShowPlainAbout(&w); break;
        default: break;
        }
    }

private:
    // The manual opens in the editor's own help window, which needs no web browser.
    void OpenHelp() {
        if (!ShowHelpWindow(&Window()))
            Warn(QObject::tr("The user manual could not be found. It is installed in "
                             "share/mosaiq/help beside the program."));
    }
};

} // namespace

std::unique_ptr<CommandGroup> MakeViewCommands(CMainDialog& window) {
    return std::make_unique<ViewCommands>(window);
}

} // namespace mosaiq
