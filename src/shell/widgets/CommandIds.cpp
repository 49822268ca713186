#include "shell/widgets/CommandIds.h"

namespace mosaiq::cmd {

bool UpdatesToolbar(int id) {
    switch (id) {
    case kUndo: case kMenuUndo: case kRedo: case kMenuRedo:
    case kDelete: case kMenuDelete:
    case kMoveUp: case kMenuMoveUp: case kMoveDown: case kMenuMoveDown:
    case kMoveToTop: case kMenuMoveToTop: case kMoveToBottom: case kMenuMoveToBottom:
    case kNewProject: case kMenuNewProject: case kOpenProject: case kMenuOpenProject:
    case kSetting: case kMenuSetting: case kCrop: case kMenuCrop: case kAddPresetToCanvas:
    case kAddPhotoToCanvas: case kSelectAll: case kAddPhotoFile: case kAddText: case kArrange:
        return true;
    default:
        return (id >= kEffectErode && id <= kEffectSmooth) ||
               (id >= kAlignLeft && id <= kDistributeVertically);
    }
}

} // namespace mosaiq::cmd
