#include "shell/widgets/MainMenus.h"

#include "shell/widgets/CMainDialog.h"
#include "shell/widgets/CQorMenu.h"
#include "shell/widgets/CommandIds.h"

#include <QCoreApplication>

namespace mosaiq {
namespace {

QString Tr(const char* text) {
    return QCoreApplication::translate("MainMenus", text);
}

struct Item {
    int id; // 0: a separator
    const char* text;
    int icon;
    int disabledIcon;
    const char* accelerator;
};

void Append(CQorMenu& popup, const Item& item) {
    if (item.id == 0) {
        popup.AppendMenuSeparator();
        return;
    }
    popup.AppendMenuItem(item.id, Tr(item.text), item.icon, item.disabledIcon,
                         item.accelerator ? QString::fromLatin1(item.accelerator) : QString());
}

template <size_t N>
void AppendAll(CQorMenu& popup, const Item (&items)[N]) {
    for (const Item& item : items)
        Append(popup, item);
}

const Item kFileFirst[] = {
    {cmd::kMenuNewProject, "New Project", 425, 0, nullptr},
    {cmd::kMenuOpenProject, "Open Project", 194, 0, nullptr},
    {cmd::kMenuSaveProjectAs, "Save Project As...", 195, 0, nullptr},
    {cmd::kMenuSaveCollage, "Save Collage", 420, 0, nullptr},
};
const Item kFileRest[] = {
    {0, nullptr, 0, 0, nullptr},
    {cmd::kMenuImportPhotos, "Import Photo to Library", 424, 0, nullptr},
    {0, nullptr, 0, 0, nullptr},
    {cmd::kMenuPreview, "Preview", 418, 0, "F5"},
};
const Item kUndoRedo[] = {
    {cmd::kMenuUndo, "Undo (Ctrl+Z)", 205, 290, nullptr},
    {cmd::kMenuRedo, "Redo (Ctrl+Y)", 206, 291, nullptr},
};
const Item kOrder[] = {
    {cmd::kMenuMoveUp, "Move to Front", 200, 293, nullptr},
    {cmd::kMenuMoveDown, "Move to Back", 201, 292, nullptr},
    {cmd::kMenuMoveToTop, "Move to Front of all Layers", 199, 295, nullptr},
    {cmd::kMenuMoveToBottom, "Move to Back of all Layers", 198, 294, nullptr},
};
const Item kDeleteCrop[] = {
    {cmd::kMenuDelete, "Delete", 196, 245, nullptr},
    {cmd::kMenuCrop, "Crop Photo", 239, 422, nullptr},
};
const Item kPanels[] = {
    {cmd::kMenuFrame, "Frame", 0, 0, nullptr},   {cmd::kMenuMask, "Mask", 0, 0, nullptr},
    {cmd::kMenuClipart, "Clipart", 0, 0, nullptr}, {cmd::kMenuTuning, "Tuning", 0, 0, nullptr},
    {cmd::kMenuText, "Text", 0, 0, nullptr},
};
const Item kEffects[] = {
    {cmd::kEffectErode, "Erode", 0, 0, nullptr},     {cmd::kEffectDilate, "Dilate", 0, 0, nullptr},
    {cmd::kEffectNoise, "Noise", 0, 0, nullptr},     {cmd::kEffectJitter, "Jitter", 0, 0, nullptr},
    {cmd::kEffectMedian, "Median", 0, 0, nullptr},   {cmd::kEffectContour, "Contour", 0, 0, nullptr},
    {cmd::kEffectEmboss, "Emboss", 0, 0, nullptr},   {cmd::kEffectEdge, "Edge", 0, 0, nullptr},
    {cmd::kEffectSharpen, "Sharpen", 0, 0, nullptr}, {cmd::kEffectBlur, "Blur", 0, 0, nullptr},
    {cmd::kEffectSoften, "Soften", 0, 0, nullptr},   {cmd::kEffectMean, "Mean", 0, 0, nullptr},
    {cmd::kEffectSmooth, "Smooth", 0, 0, nullptr},
};
const Item kToolsRest[] = {
    {cmd::kCalendar, "Add Month Calendar...", 0, 0, nullptr},
    {cmd::kCropPanel, "Crop Panel", 239, 422, nullptr},
    {0, nullptr, 0, 0, nullptr},
    {cmd::kWallpaperCentre, "Set as Wallpaper (Centred)", 0, 0, nullptr},
    {cmd::kWallpaperTile, "Set as Wallpaper (Tiled)", 0, 0, nullptr},
    {cmd::kWallpaperStretch, "Set as Wallpaper (Stretched)", 0, 0, nullptr},
    {cmd::kRestoreWallpaper, "Restore Wallpaper", 0, 0, nullptr},
    {0, nullptr, 0, 0, nullptr},
    {cmd::kImportPack, "Import Resource Pack...", 0, 0, nullptr},
    {cmd::kBatchConverter, "Batch Converter...", 0, 0, nullptr},
    {cmd::kChooseColour, "Colour...", 0, 0, nullptr},
};
const Item kHelp[] = {
    {cmd::kHelpContents, "Online Help Content", 0, 0, nullptr},
    {cmd::kAbout, "About", 0, 0, nullptr},
};
const Item kPhotoList[] = {
    {cmd::kAddPhotoToCanvas, "Add to Canvas", 423, 0, nullptr},
    {cmd::kImportPhotosMenu, "Import Photo to Library", 424, 0, nullptr},
    {cmd::kRemovePhotos, "Remove", 196, 0, nullptr},
};
const Item kSeparator{0, nullptr, 0, 0, nullptr};

} // namespace

void BuildMenu(MenuId menu, CQorMenu& popup, CMainDialog& window) {
    switch (menu) {
    case MenuId::File:
        AppendAll(popup, kFileFirst);
        AppendAll(popup, kFileRest);
        window.ExtendMenu(menu, popup);
        Append(popup, kSeparator);
        Append(popup, {cmd::kExit, "Exit", 0, 0, nullptr});
        return;
    case MenuId::Edit:
        // The menu starts with its separator: the menu must not drop it as a leading one.
        popup.setSeparatorsCollapsible(false);
        Append(popup, kSeparator);
        AppendAll(popup, kUndoRedo);
        Append(popup, kSeparator);
        Append(popup, {cmd::kMenuSetting, "Setting", 421, 0, nullptr});
        Append(popup, kSeparator);
        AppendAll(popup, kDeleteCrop);
        Append(popup, kSeparator);
        AppendAll(popup, kOrder);
        break;
    case MenuId::Panels:
        AppendAll(popup, kPanels);
        break;
    case MenuId::Tools: {
        CQorMenu* effects = popup.AppendSubmenu(Tr("Photo Effects"));
        AppendAll(*effects, kEffects);
        AppendAll(popup, kToolsRest);
        break;
    }
    case MenuId::Help:
        AppendAll(popup, kHelp);
        break;
    case MenuId::CanvasContext:
        AppendAll(popup, kFileFirst);
        Append(popup, kSeparator);
        Append(popup, {cmd::kMenuSetting, "Setting", 421, 0, nullptr});
        Append(popup, kSeparator);
        Append(popup, {cmd::kMenuPreview, "Preview", 418, 0, nullptr});
        Append(popup, kSeparator);
        AppendAll(popup, kUndoRedo);
        Append(popup, kSeparator);
        AppendAll(popup, kDeleteCrop);
        Append(popup, kSeparator);
        AppendAll(popup, kOrder);
        break;
    case MenuId::PhotoListContext:
        AppendAll(popup, kPhotoList);
        break;
    }
    window.ExtendMenu(menu, popup);
}

} // namespace mosaiq
