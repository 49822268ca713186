// Printing: File ▸ Print… (Ctrl+P) and Print Preview…, each asking first when photos of the
// collage cannot be found, as every export does.
#include "canvas/widgets/CCollageCanvas.h"
#include "canvas/widgets/export/CollagePrint.h"
#include "shell/widgets/CMainDialog.h"
#include "shell/widgets/CQorMenu.h"
#include "shell/widgets/CommandGroup.h"
#include "shell/widgets/CommandGroups.h"
#include "shell/widgets/CommandIds.h"
#include "shell/widgets/commands/SaveCollage.h"

namespace mosaiq {
namespace {

class PrintCommands : public CommandGroup {
public:
    explicit PrintCommands(CMainDialog& window) : CommandGroup(window) {}

    bool Handles(int id) const override { return id == cmd::kPrint || id == cmd::kPrintPreview; }

    void Run(int id) override {
        // Photos whose files are gone are left out of the print: said first, printed on Yes.
        if (!ConfirmExportWithMissingPhotos(Window()))
            return;
        CollageDocument& document = Window().Canvas().Document();
        if (id == cmd::kPrint)
            PrintCollage(&Window(), document);
        else
            PreviewCollagePrint(&Window(), document);
    }

    void ExtendMenu(MenuId menu, CQorMenu& popup) override {
        if (menu != MenuId::File)
            return;
        popup.AppendMenuSeparator();
        popup.AppendMenuItem(cmd::kPrint, tr("Print..."), 0, 0, QStringLiteral("Ctrl+P"));
        popup.AppendMenuItem(cmd::kPrintPreview, tr("Print Preview..."));
    }

};

} // namespace

std::unique_ptr<CommandGroup> MakePrintCommands(CMainDialog& window) {
    return std::make_unique<PrintCommands>(window);
}

} // namespace mosaiq
