// Printing: File ▸ Print… (Ctrl+P) and Print Preview…, each asking first when photos of the
// collage cannot be found, as every export does.
#include "canvas/PhotoRelink.h"
#include "canvas/widgets/CCollageCanvas.h"
#include "canvas/widgets/export/CollagePrint.h"
#include "shell/widgets/CMainDialog.h"
#include "shell/widgets/CQorMenu.h"
#include "shell/widgets/CommandGroup.h"
#include "shell/widgets/CommandGroups.h"
#include "shell/widgets/CommandIds.h"
#include "ui/widgets/DialogProvider.h"

namespace mosaiq {
namespace {

class PrintCommands : public CommandGroup {
public:
    explicit PrintCommands(CMainDialog& window) : CommandGroup(window) {}

    bool Handles(int id) const override { return id == cmd::kPrint || id == cmd::kPrintPreview; }

    void Run(int id) override {
        if (!ConfirmMissingPhotos())
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

private:
    // Photos whose files are gone are left out of the print: said first, printed on Yes.
    bool ConfirmMissingPhotos() {
        const size_t missing = FindMissingPhotos(Window().Canvas().Document()).size();
        if (missing == 0)
            return true;
        const QString text =
            missing == 1
                ? tr("1 photo cannot be found and will be left out. Export anyway?")
                : tr("%1 photos cannot be found and will be left out. Export anyway?").arg(missing);
        return Dialogs().Ask(&Window(), text, false) == Answer::Yes;
    }
};

} // namespace

std::unique_ptr<CommandGroup> MakePrintCommands(CMainDialog& window) {
    return std::make_unique<PrintCommands>(window);
}

} // namespace mosaiq
