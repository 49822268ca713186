#include "shell/widgets/access/ShellAccessible.h"

#include "canvas/widgets/CCollageCanvas.h"
#include "canvas/widgets/access/CanvasAccessible.h"
#include "shell/widgets/CMainDialog.h"
#include "shell/widgets/CMenuBarButton.h"
#include "shell/widgets/CommandIds.h"
#include "shell/widgets/access/CStatusLine.h"
#include "ui/widgets/CBitmapButton.h"
#include "ui/widgets/CVexComboBox.h"
#include "ui/widgets/access/AccessibleItems.h"

#include <algorithm>

namespace mosaiq {
namespace {

class MenuBarButtonAccessible : public QAccessibleWidget {
public:
    explicit MenuBarButtonAccessible(CMenuBarButton* b)
        : QAccessibleWidget(b, QAccessible::ButtonMenu) {}
    CMenuBarButton* Button() const { return static_cast<CMenuBarButton*>(widget()); }
    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Name)
            return ControlName(Button(), Button()->Caption());
        return QAccessibleWidget::text(t);
    }
    QAccessible::State state() const override {
        QAccessible::State s = QAccessibleWidget::state();
        s.hasPopup = true;
        s.pressed = Button()->Highlighted() && !Button()->underMouse();
        return s;
    }
    QStringList actionNames() const override {
        return QStringList{pressAction(), showMenuAction()} + QAccessibleWidget::actionNames();
    }
    void doAction(const QString& action) override {
        if (action == pressAction() || action == showMenuAction())
            Button()->Click();
        else
            QAccessibleWidget::doAction(action);
    }
};

class MainWindowAccessible : public QAccessibleWidget {
public:
    explicit MainWindowAccessible(CMainDialog* w) : QAccessibleWidget(w, QAccessible::Window) {}
    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Name)
            return static_cast<CMainDialog*>(widget())->TitleText();
        return QAccessibleWidget::text(t);
    }
};

class StatusLineAccessible : public QAccessibleWidget {
public:
    explicit StatusLineAccessible(CStatusLine* s) : QAccessibleWidget(s, QAccessible::StatusBar) {}
    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Name || t == QAccessible::Value)
            return static_cast<CStatusLine*>(widget())->Text();
        return QAccessibleWidget::text(t);
    }
    QAccessible::State state() const override {
        QAccessible::State s = QAccessibleWidget::state();
        s.readOnly = true;
        return s;
    }
};

QAccessibleInterface* ShellFactory(const QString&, QObject* object) {
    if (auto* b = qobject_cast<CMenuBarButton*>(object))
        return new MenuBarButtonAccessible(b);
    if (auto* w = qobject_cast<CMainDialog*>(object))
        return new MainWindowAccessible(w);
    if (auto* s = qobject_cast<CStatusLine*>(object))
        return new StatusLineAccessible(s);
    return nullptr;
}

// w and every descendant that Tab reaches, in the order they were made.
void CollectTabStops(QWidget* w, std::vector<QWidget*>& out) {
    if (!w || w->isWindow())
        return;
    if ((w->focusPolicy() & Qt::TabFocus) && !w->focusProxy() &&
        std::find(out.begin(), out.end(), w) == out.end())
        out.push_back(w);
    for (QObject* child : w->children())
        if (auto* c = qobject_cast<QWidget*>(child))
            CollectTabStops(c, out);
}

} // namespace

void InstallShellAccessibility() {
    InstallCanvasAccessibility();
    static bool installed = false;
    if (installed)
        return;
    installed = true;
    QAccessible::installFactory(ShellFactory);
}

void ApplyFocusOrder(CMainDialog& window) {
    std::vector<QWidget*> parts;
    const auto button = [&](int id) -> QWidget* {
        for (auto* b : window.findChildren<CBitmapButton*>(Qt::FindDirectChildrenOnly))
            if (b->CommandId() == id)
                return b;
        return nullptr;
    };
    auto menus = window.findChildren<CMenuBarButton*>(Qt::FindDirectChildrenOnly);
    std::sort(menus.begin(), menus.end(),
              [](QWidget* a, QWidget* b) { return a->x() < b->x(); });
    for (QWidget* m : menus)
        parts.push_back(m);
    for (int id : {cmd::kFrameTab, cmd::kMaskTab, cmd::kClipartTab, cmd::kTuningTab, cmd::kTextTab})
        parts.push_back(button(id));
    for (PanelSlot slot : {PanelSlot::Frame, PanelSlot::Mask, PanelSlot::Clipart, PanelSlot::Tuning,
                           PanelSlot::Text, PanelSlot::Crop})
        parts.push_back(window.Panel(slot));
    for (int id : {cmd::kNewProject, cmd::kOpenProject, cmd::kSaveProjectAs, cmd::kSaveCollage,
                   cmd::kSetting, cmd::kPreview, cmd::kUndo, cmd::kRedo, cmd::kDelete, cmd::kCrop,
                   cmd::kMoveUp, cmd::kMoveDown, cmd::kMoveToTop, cmd::kMoveToBottom, cmd::kArrange,
                   cmd::kZoomIn, cmd::kZoomOut})
        parts.push_back(window.ToolbarButton(id));
    for (auto* box : window.findChildren<CVexComboBox*>(Qt::FindDirectChildrenOnly))
        parts.push_back(box);
    parts.push_back(window.Area(SideArea::PhotoBrowser));
    parts.push_back(button(cmd::kImportPhotos));
    parts.push_back(button(cmd::kRemovePhotosButton));
    parts.push_back(&window.Canvas());
    parts.push_back(window.Area(SideArea::PresetPanel));
    parts.push_back(button(cmd::kAddPresetToCanvas));
    parts.push_back(window.Area(SideArea::ListPane));
    parts.push_back(window.Area(SideArea::SwatchPanel));
    for (int id : {cmd::kMinimise, cmd::kMaximise, cmd::kClose})
        parts.push_back(button(id));

    std::vector<QWidget*> stops;
    for (QWidget* part : parts)
        CollectTabStops(part, stops);
    for (size_t i = 1; i < stops.size(); ++i)
        QWidget::setTabOrder(stops[i - 1], stops[i]);
}

} // namespace mosaiq
