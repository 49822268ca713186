// Edit commands: undo and redo, delete, and the four moves in drawing order. Each is enabled
// exactly as its toolbar button is.
#include "shell/MainLayout.h"
#include "shell/widgets/CMainDialog.h"
#include "shell/widgets/CommandGroup.h"
#include "shell/widgets/CommandGroups.h"
#include "shell/widgets/CommandIds.h"
#include "canvas/widgets/CCollageCanvas.h"

namespace mosaiq {

ToolbarState CurrentToolbarState(const CollageDocument& doc) {
    const int sel = doc.FirstSelectedIndex();
    const bool photo = sel >= 0 && doc.objects[size_t(sel)].Kind() == ObjectKind::Photo;
    const HistoryList& history = doc.History();
    return ComputeToolbarState(sel, int(doc.objects.size()), photo, history.Position(),
                               history.Count() - 1);
}

namespace {

class EditCommands : public CommandGroup {
public:
    explicit EditCommands(CMainDialog& window) : CommandGroup(window) {}

    bool Handles(int id) const override {
        switch (id) {
        case cmd::kUndo: case cmd::kMenuUndo: case cmd::kRedo: case cmd::kMenuRedo:
        case cmd::kDelete: case cmd::kMenuDelete:
        case cmd::kMoveUp: case cmd::kMenuMoveUp: case cmd::kMoveToTop: case cmd::kMenuMoveToTop:
        case cmd::kMoveDown: case cmd::kMenuMoveDown: case cmd::kMoveToBottom:
        case cmd::kMenuMoveToBottom:
            return true;
        default:
            return false;
        }
    }

    bool IsEnabled(int id) const override {
        const ToolbarState s = CurrentToolbarState(Window().Canvas().Document());
        switch (id) {
        case cmd::kUndo: case cmd::kMenuUndo: return s.undo;
        case cmd::kRedo: case cmd::kMenuRedo: return s.redo;
        case cmd::kDelete: case cmd::kMenuDelete: return s.del;
        case cmd::kMoveUp: case cmd::kMenuMoveUp: case cmd::kMoveToTop: case cmd::kMenuMoveToTop:
            return s.moveUp;
        default: return s.moveDown;
        }
    }

    void Run(int id) override {
        CCollageCanvas& canvas = Window().Canvas();
        switch (id) {
        case cmd::kUndo: case cmd::kMenuUndo: canvas.Undo(); break;
        case cmd::kRedo: case cmd::kMenuRedo: canvas.Redo(); break;
        case cmd::kDelete: case cmd::kMenuDelete: canvas.DeleteSelection(); break;
        case cmd::kMoveUp: case cmd::kMenuMoveUp: canvas.MoveUp(); break;
        case cmd::kMoveDown: case cmd::kMenuMoveDown: canvas.MoveDown(); break;
        case cmd::kMoveToTop: case cmd::kMenuMoveToTop: canvas.MoveToTop(); break;
        case cmd::kMoveToBottom: case cmd::kMenuMoveToBottom: canvas.MoveToBottom(); break;
        default: break;
        }
    }
};

} // namespace

std::unique_ptr<CommandGroup> MakeEditCommands(CMainDialog& window) {
    return std::make_unique<EditCommands>(window);
}

} // namespace mosaiq
