// Arrange and align: Edit > Arrange... (and its toolbar button) opens the Arrange dialog over the
// canvas's document; Edit > Align lines up or spaces out the selected objects. Each change is
// one history step.
#include "canvas/interaction/SelectionAlign.h"
#include "canvas/widgets/CCollageCanvas.h"
#include "canvas/document/LayoutPlacement.h"
#include "canvas/layout/LivingLayout.h"
#include "canvas/widgets/arrange/CArrangeDialog.h"
#include "canvas/widgets/arrange/CLayoutDialog.h"
#include "shell/widgets/CMainDialog.h"
#include "shell/widgets/CQorMenu.h"
#include "shell/widgets/CommandGroup.h"
#include "shell/widgets/CommandGroups.h"
#include "shell/widgets/CommandIds.h"

#include "core/data/DataPath.h"
#include "core/Notifier.h"
#include "core/settings/SettingsFile.h"

#include <QCoreApplication>

namespace mosaiq {
namespace {

struct AlignItem {
    int id;
    AlignMode mode;
    const char* text;
};

const AlignItem kAlignItems[] = {
    {cmd::kAlignLeft, AlignMode::Left, QT_TRANSLATE_NOOP("ArrangeCommands", "Align Left")},
    {cmd::kAlignCentre, AlignMode::Centre, QT_TRANSLATE_NOOP("ArrangeCommands", "Align Centre")},
    {cmd::kAlignRight, AlignMode::Right, QT_TRANSLATE_NOOP("ArrangeCommands", "Align Right")},
    {cmd::kAlignTop, AlignMode::Top, QT_TRANSLATE_NOOP("ArrangeCommands", "Align Top")},
    {cmd::kAlignMiddle, AlignMode::Middle, QT_TRANSLATE_NOOP("ArrangeCommands", "Align Middle")},
    {cmd::kAlignBottom, AlignMode::Bottom, QT_TRANSLATE_NOOP("ArrangeCommands", "Align Bottom")},
    {cmd::kDistributeHorizontally, AlignMode::DistributeHorizontally,
     QT_TRANSLATE_NOOP("ArrangeCommands", "Distribute Horizontally")},
    {cmd::kDistributeVertically, AlignMode::DistributeVertically,
     QT_TRANSLATE_NOOP("ArrangeCommands", "Distribute Vertically")},
};

const AlignItem* FindAlign(int id) {
    for (const AlignItem& item : kAlignItems)
        if (item.id == id)
            return &item;
    return nullptr;
}

class ArrangeCommands : public CommandGroup {
public:
    explicit ArrangeCommands(CMainDialog& window) : CommandGroup(window) {
        // Off unless the user turned it on, so that a drag moves exactly by the mouse's travel.
        Window().Canvas().Interaction().SetSnapToGuides(SnapSetting());
    }

    bool Handles(int id) const override {
        return id == cmd::kArrange || id == cmd::kSnapToGuides || IsLayoutCommand(id) ||
               FindAlign(id);
    }

    bool IsChecked(int id) const override {
        return id == cmd::kSnapToGuides && Window().Canvas().Interaction().SnapToGuides();
    }

    bool IsEnabled(int id) const override {
        const CollageDocument& doc = Window().Canvas().Document();
        if (id == cmd::kArrange)
            return !PhotosToArrange(doc).empty();
        if (id == cmd::kSnapToGuides)
            return true;
        if (IsLayoutCommand(id))
            return LayoutCommandEnabled(doc, id);
        const AlignItem* item = FindAlign(id);
        return item && int(SelectedIndices(doc).size()) >= AlignMinimum(item->mode);
    }

    void Run(int id) override {
        CCollageCanvas& canvas = Window().Canvas();
        if (id == cmd::kSnapToGuides) {
            const bool on = !canvas.Interaction().SnapToGuides();
            canvas.Interaction().SetSnapToGuides(on);
            SettingsFile settings(SettingsPath());
            if (!settings.Write({{QLatin1String(kSnapKey), on ? QStringLiteral("true")
                                                              : QStringLiteral("false")}}))
                Warn(settings.Error());
            return;
        }
        if (IsLayoutCommand(id)) {
            if (!RunLayoutCommand(canvas.Document(), id))
                return;
        } else if (id == cmd::kArrange) {
            CArrangeDialog dialog(canvas.Document(), m_last, &Window());
            if (dialog.Run() != QDialog::Accepted)
                return;
            // The next arrangement starts from these settings, in the document's order again.
            m_last = dialog.Options();
            m_last.seed = 0;
        } else if (const AlignItem* item = FindAlign(id)) {
            if (!AlignSelection(canvas.Document(), item->mode))
                return;
        }
        canvas.Redraw();
        emit canvas.historyChanged();
    }

    void ExtendMenu(MenuId menu, CQorMenu& popup) override {
        if (menu != MenuId::Edit && menu != MenuId::CanvasContext)
            return;
        popup.AppendMenuSeparator();
        popup.AppendMenuItem(cmd::kArrange, tr("Arrange..."), kArrangeIcon);
        const CollageDocument& doc = Window().Canvas().Document();
        if (menu == MenuId::Edit || doc.layout.Active())
            popup.AppendMenuItem(cmd::kLayoutSettings, tr("Layout..."));
        if (menu == MenuId::CanvasContext) {
            if (LayoutCommandEnabled(doc, cmd::kRemoveFromLayout))
                popup.AppendMenuItem(cmd::kRemoveFromLayout, tr("Remove from Layout"));
            else if (LayoutCommandEnabled(doc, cmd::kAddToLayout))
                popup.AppendMenuItem(cmd::kAddToLayout, tr("Add to Layout"));
        }
        if (menu == MenuId::Edit)
            popup.AppendMenuItem(cmd::kDissolveLayout, tr("Dissolve Layout"));
        CQorMenu* align = popup.AppendSubmenu(tr("Align"));
        for (const AlignItem& item : kAlignItems) {
            if (item.id == cmd::kDistributeHorizontally)
                align->AppendMenuSeparator();
            align->AppendMenuItem(item.id,
                                  QCoreApplication::translate("ArrangeCommands", item.text));
        }
        if (menu == MenuId::Edit)
            popup.AppendMenuItem(cmd::kSnapToGuides, tr("Snap to Guides"));
    }

private:
    static bool IsLayoutCommand(int id) {
        return id == cmd::kLayoutSettings || id == cmd::kRemoveFromLayout ||
               id == cmd::kAddToLayout || id == cmd::kDissolveLayout;
    }

    static bool LayoutCommandEnabled(const CollageDocument& doc, int id) {
        if (!doc.layout.Active())
            return false;
        const int index = doc.FirstSelectedIndex();
        const CanvasObject* selected = index >= 0 ? &doc.objects[size_t(index)] : nullptr;
        switch (id) {
        case cmd::kRemoveFromLayout:
            return selected && CellOfObject(doc, *selected);
        case cmd::kAddToLayout:
            return selected && selected->Photo() && !CellOfObject(doc, *selected);
        default:
            return true;
        }
    }

    bool RunLayoutCommand(CollageDocument& doc, int id) {
        if (!LayoutCommandEnabled(doc, id))
            return false;
        const int index = doc.FirstSelectedIndex();
        switch (id) {
        case cmd::kRemoveFromLayout:
            return RemoveFromLayout(doc, index);
        case cmd::kAddToLayout:
            return InsertIntoLayout(doc, index, nullptr, false);
        case cmd::kDissolveLayout:
            return DissolveLayout(doc);
        default: {
            CLayoutDialog dialog(doc, &Window());
            dialog.Run();
            return true;
        }
        }
    }

    static constexpr int kArrangeIcon = 430;
    static constexpr const char* kSnapKey = "View/snapToGuides";

    // "settings.ini" goes through the settings guard: a pipe, device or folder there is neither
    // read nor written.
    static QString SettingsPath() { return DataFile(QStringLiteral("settings.ini")); }
    static bool SnapSetting() {
        SettingsFile settings(SettingsPath());
        return settings.Text(QLatin1String(kSnapKey)) == QStringLiteral("true");
    }

    ArrangeOptions m_last;
};

} // namespace

std::unique_ptr<CommandGroup> MakeArrangeCommands(CMainDialog& window) {
    return std::make_unique<ArrangeCommands>(window);
}

} // namespace mosaiq
