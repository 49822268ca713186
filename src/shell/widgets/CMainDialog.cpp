#include "shell/widgets/CMainDialog.h"

#include "core/text/UiText.h"
#include "shell/widgets/CMenuBarButton.h"
#include "shell/widgets/CQorMenu.h"
#include "shell/widgets/CommandGroups.h"
#include "shell/widgets/CommandIds.h"
#include "shell/widgets/MainMenus.h"
#include "shell/widgets/access/CStatusLine.h"
#include "shell/widgets/access/ShellAccessible.h"
#include "canvas/widgets/CCollageCanvas.h"
#include "ui/widgets/CBitmapButton.h"
#include "ui/widgets/CVexComboBox.h"
#include "ui/widgets/Skin.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QScreen>
#include <QShortcut>

namespace mosaiq {
namespace {

constexpr QColor kTabCaption{220, 220, 220};
constexpr QColor kPanelBackground{240, 240, 240};

struct ToolbarButtonInfo {
    int id;
    const char* tooltip;
    int image;
    int disabledImage;
};

// In layout order: New … Move to Back of all Layers, then Zoom In and Zoom Out.
constexpr ToolbarButtonInfo kToolbarButtons[] = {
    {cmd::kNewProject, "New Collage Project", 425, 0},
    {cmd::kOpenProject, "Open Project", 194, 0},
    {cmd::kSaveProjectAs, "Save Project As...", 195, 0},
    {cmd::kSaveCollage, "Save Collage", 420, 0},
    {cmd::kSetting, "Setting", 421, 0},
    {cmd::kPreview, "Preview", 418, 0},
    {cmd::kUndo, "Undo", 205, 290},
    {cmd::kRedo, "Redo", 206, 291},
    {cmd::kDelete, "Delete", 196, 245},
    {cmd::kCrop, "Crop", 239, 422},
    {cmd::kMoveUp, "Move to Front", 200, 293},
    {cmd::kMoveDown, "Move to Back", 201, 292},
    {cmd::kMoveToTop, "Move to Front of all Layers", 199, 295},
    {cmd::kMoveToBottom, "Move to Back of all Layers", 198, 294},
    {cmd::kArrange, "Arrange Photos", 430, 0},
    {cmd::kZoomIn, "Zoom In", 186, 0},
    {cmd::kZoomOut, "Zoom Out", 187, 0},
};

constexpr int kTabIds[kTabCount] = {cmd::kFrameTab, cmd::kMaskTab, cmd::kClipartTab,
                                    cmd::kTuningTab, cmd::kTextTab};

QString UiTextOr(int n, const char* fallback) {
    const QString text = GetUiText(n);
    return text.isEmpty() ? QCoreApplication::translate("CMainDialog", fallback) : text;
}

// A plain panel shown in an area until its panel is installed.
QWidget* MakePlaceholder(QWidget* parent) {
    auto* w = new QWidget(parent);
    w->setAutoFillBackground(true);
    QPalette pal = w->palette();
    pal.setColor(QPalette::Window, kPanelBackground);
    w->setPalette(pal);
    return w;
}

} // namespace

CMainDialog::CMainDialog(QWidget* parent) : QWidget(parent, Qt::Window | Qt::FramelessWindowHint) {
    setWindowTitle(QStringLiteral("Mosaiq Photo Editor"));
    setWindowIcon(SkinIcon(128));
    setMinimumSize(kMainMinimumSize);
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    InstallShellAccessibility();
    CreateChildren();
    (new CStatusLine(this))->Follow(*m_canvas);
    CreateShortcuts();
    // The groups build their panels into the areas made above. Recovery comes first: while it
    // asks at start whether to recover, it holds back the files handed over.
    m_groups.push_back(MakeRecoveryCommands(*this));
    m_groups.push_back(MakeProjectCommands(*this));
    m_groups.push_back(MakeEditCommands(*this));
    m_groups.push_back(MakeViewCommands(*this));
    m_groups.push_back(MakePhotoCommands(*this));
    m_groups.push_back(MakeLibraryCommands(*this));
    m_groups.push_back(MakePanelCommands(*this));
    m_groups.push_back(MakeEffectsCommands(*this));
    m_groups.push_back(MakePackCommands(*this));
    m_groups.push_back(MakeToolCommands(*this));
    m_groups.push_back(MakeArrangeCommands(*this));
    m_groups.push_back(MakePrintCommands(*this));
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        setGeometry(screen->availableGeometry());
    else
        resize(1024, 768);
    ShowPanel(PanelSlot::Frame);
    Relayout();
    UpdateToolbarState();
    ApplyFocusOrder(*this);
    m_canvas->setFocus(Qt::OtherFocusReason);
}

CMainDialog::~CMainDialog() {
    // Groups may hold pointers into children: drop them while the children still exist.
    m_groups.clear();
}

void CMainDialog::CreateChildren() {
    m_canvas = new CCollageCanvas(this);
    connect(m_canvas, &CCollageCanvas::historyChanged, this, &CMainDialog::UpdateToolbarState);
    connect(m_canvas, &CCollageCanvas::selectionChanged, this, &CMainDialog::UpdateToolbarState);
    connect(m_canvas, &CCollageCanvas::keyCommandPressed, this, &CMainDialog::CommitPendingBursts);
    connect(m_canvas, &CCollageCanvas::previewEndRequested, this, &CMainDialog::LeavePreview);
    connect(m_canvas, &CCollageCanvas::contextMenuRequested, this,
            [this](const QPoint& at) { ShowContextMenu(MenuId::CanvasContext, at); });
    connect(m_canvas, &CCollageCanvas::zoomStepRequested, this,
            [this](int direction) { direction > 0 ? ZoomIn() : ZoomOut(); });

    const auto issue = [this](int id) { RunCommand(id); };

    const int captionIds[3] = {cmd::kClose, cmd::kMaximise, cmd::kMinimise};
    const int captionBitmaps[3][4] = {{136, 217, 218, 136}, {137, 219, 220, 137}, {138, 221, 222, 138}};
    for (int i = 0; i < 3; ++i) {
        auto* b = new CBitmapButton(captionIds[i], this);
        b->SetBitmaps(captionBitmaps[i][0], captionBitmaps[i][1], captionBitmaps[i][2],
                      captionBitmaps[i][3]);
        connect(b, &CBitmapButton::commandIssued, this, issue);
        m_captionButtons[size_t(i)] = b;
    }
    m_captionButtons[0]->setToolTip(tr("Close"));
    m_captionButtons[1]->setToolTip(tr("Maximise"));
    m_captionButtons[2]->setToolTip(tr("Minimise"));

    const QString tabCaptions[kTabCount] = {UiTextOr(8, "Frame"), UiTextOr(22, "Mask"),
                                            UiTextOr(10, "Clipart"), tr("Tuning"),
                                            UiTextOr(14, "Text")};
    for (int i = 0; i < kTabCount; ++i) {
        auto* tab = new CBitmapButton(kTabIds[i], this);
        tab->SetBitmaps(141, 141, 141, 141);
        tab->SetCaption(tabCaptions[i]);
        tab->SetTextColour(kTabCaption);
        tab->SetAccessRole(CBitmapButton::AccessRole::PageTab);
        connect(tab, &CBitmapButton::commandIssued, this, issue);
        m_tabs[size_t(i)] = tab;
    }

    m_import = new CBitmapButton(cmd::kImportPhotos, this);
    m_import->SetCaption(tr("Import"));
    m_import->SetTextColour(QColor(30, 30, 30));
    m_remove = new CBitmapButton(cmd::kRemovePhotosButton, this);
    m_remove->SetCaption(tr("Remove"));
    m_remove->SetTextColour(QColor(30, 30, 30));
    m_addToCanvas = new CBitmapButton(cmd::kAddPresetToCanvas, this);
    m_addToCanvas->SetCaption(tr("Add to Canvas"));
    m_addToCanvas->setCursor(SkinCursor(179));
    for (CBitmapButton* b : {m_import, m_remove, m_addToCanvas}) {
        b->SetThreePart(true);
        connect(b, &CBitmapButton::commandIssued, this, issue);
    }

    CreateToolbar();

    m_zoomBox = new CVexComboBox(CVexComboBox::Style::DropDownList, this);
    for (float step : kZoomSteps)
        m_zoomBox->AddString(QStringLiteral("%1%").arg(int(step * 100.0f + 0.5f)));
    m_zoomBox->SetCurSel(m_zoomIndex);
    m_zoomBox->setAccessibleName(tr("Zoom"));
    m_zoomBox->SetVisibleRows(int(kZoomSteps.size())); // every step at once, no scroll bars
    connect(m_zoomBox, &CVexComboBox::closeUp, this, [this] { SetZoomIndex(m_zoomBox->GetCurSel()); });
    connect(m_zoomBox, &CVexComboBox::selEndOk, this, [this] { SetZoomIndex(m_zoomBox->GetCurSel()); });

    const int menuIds[5] = {cmd::kFileMenu, cmd::kPanelsMenu, cmd::kEditMenu, cmd::kToolsMenu,
                            cmd::kHelpMenu};
    const QString menuCaptions[5] = {UiTextOr(24, "File"), UiTextOr(15, "Panels"),
                                     UiTextOr(25, "Edit"), tr("Tools"), UiTextOr(17, "Help")};
    for (int i = 0; i < 5; ++i) {
        const QString caption = QLatin1Char('&') + menuCaptions[i];
        auto* b = new CMenuBarButton(menuIds[i], caption, this);
        connect(b, &CMenuBarButton::commandIssued, this, issue);
        m_menuButtons[size_t(i)] = b;
        // Alt and the underlined first letter drop the menu, as a click on its button does.
        auto* mnemonic = new QShortcut(QKeySequence::mnemonic(caption), this);
        mnemonic->setContext(Qt::WindowShortcut);
        const int id = menuIds[i];
        connect(mnemonic, &QShortcut::activated, this, [this, id] { RunCommand(id); });
    }

    for (int i = 0; i < kPanelSlotCount; ++i)
        m_panels[size_t(i)] = MakePlaceholder(this);
    for (int i = 0; i < kSideAreaCount; ++i)
        m_areas[size_t(i)] = MakePlaceholder(this);
}

void CMainDialog::CreateToolbar() {
    for (const ToolbarButtonInfo& info : kToolbarButtons) {
        auto* b = new CBitmapButton(info.id, this);
        b->SetBitmaps(129, 197, 196, 223);
        const QIcon icon = SkinIcon(info.image);
        b->SetIcons(icon, info.disabledImage ? SkinIcon(info.disabledImage) : QIcon());
        b->setToolTip(tr(info.tooltip));
        connect(b, &CBitmapButton::commandIssued, this, [this](int id) { RunCommand(id); });
        m_toolbar.push_back(b);
    }
}

void CMainDialog::CreateShortcuts() {
    struct Key {
        QKeySequence keys;
        int id;
    };
    const Key keys[] = {
        {QKeySequence(Qt::CTRL | Qt::Key_F), cmd::kFileMenuKey},
        {QKeySequence(Qt::CTRL | Qt::Key_E), cmd::kEditMenuKey},
        {QKeySequence(Qt::CTRL | Qt::Key_N), cmd::kPanelsMenuKey},
        {QKeySequence(Qt::CTRL | Qt::Key_H), cmd::kHelpMenuKey},
        {QKeySequence(Qt::CTRL | Qt::Key_Z), cmd::kUndo},
        {QKeySequence(Qt::CTRL | Qt::Key_Y), cmd::kRedo},
        {QKeySequence(Qt::Key_F5), cmd::kPreview},
        {QKeySequence(Qt::CTRL | Qt::Key_S), cmd::kSaveProject},
        {QKeySequence(Qt::CTRL | Qt::Key_A), cmd::kSelectAll},
        {QKeySequence(Qt::CTRL | Qt::Key_P), cmd::kPrint},
    };
    for (const Key& key : keys) {
        auto* shortcut = new QShortcut(key.keys, this);
        shortcut->setContext(Qt::WindowShortcut);
        const int id = key.id;
        connect(shortcut, &QShortcut::activated, this, [this, id] {
            // F5 also leaves a preview it started.
            if (id == cmd::kPreview && InPreview()) {
                LeavePreview();
                return;
            }
            RunCommand(id);
        });
    }
}

// --- areas

void CMainDialog::InstallPanel(PanelSlot slot, QWidget* panel) {
    QPointer<QWidget>& place = m_panels[size_t(slot)];
    if (place && place != panel)
        place->deleteLater();
    panel->setParent(this);
    place = panel;
    m_installed[size_t(slot)] = true;
    panel->setVisible(slot == m_activePanel && !InPreview());
    Relayout();
    ApplyFocusOrder(*this);
}

void CMainDialog::InstallArea(SideArea area, QWidget* widget) {
    QPointer<QWidget>& place = m_areas[size_t(area)];
    if (place && place != widget)
        place->deleteLater();
    widget->setParent(this);
    place = widget;
    widget->setVisible(!InPreview());
    Relayout();
    ApplyFocusOrder(*this);
}

QWidget* CMainDialog::Panel(PanelSlot slot) const {
    return m_panels[size_t(slot)];
}

QWidget* CMainDialog::Area(SideArea area) const {
    return m_areas[size_t(area)];
}

void CMainDialog::ShowPanel(PanelSlot slot) {
    m_activePanel = slot;
    for (int i = 0; i < kPanelSlotCount; ++i)
        if (QWidget* panel = m_panels[size_t(i)])
            panel->setVisible(i == int(slot) && !InPreview());
    for (int i = 0; i < kTabCount; ++i) {
        const int bitmap = i == int(slot) ? 192 : 141;
        m_tabs[size_t(i)]->SetBitmaps(bitmap, bitmap, bitmap, bitmap);
        m_tabs[size_t(i)]->SetChecked(i == int(slot));
    }
    m_canvas->Redraw();
}

// --- commands

CommandGroup* CMainDialog::GroupFor(int id) const {
    for (const auto& group : m_groups)
        if (group->Handles(id))
            return group.get();
    return nullptr;
}

void CMainDialog::CommitPendingBursts() {
    for (const auto& group : m_groups)
        group->CommitPendingBursts();
}

bool CMainDialog::RunCommand(int id) {
    CommandGroup* group = GroupFor(id);
    if (!group)
        return false;
    // The burst's step comes first: it may also change what the command may do (Undo).
    CommitPendingBursts();
    if (!group->IsEnabled(id))
        return false;
    group->Run(id);
    if (cmd::UpdatesToolbar(id))
        UpdateToolbarState();
    return true;
}

bool CMainDialog::IsCommandEnabled(int id) const {
    const CommandGroup* group = GroupFor(id);
    return group && group->IsEnabled(id);
}

bool CMainDialog::IsCommandChecked(int id) const {
    const CommandGroup* group = GroupFor(id);
    return group && group->IsChecked(id);
}

void CMainDialog::UpdateToolbarState() {
    for (CBitmapButton* b : m_toolbar)
        b->Enable(IsCommandEnabled(b->CommandId()));
    for (CBitmapButton* b : {m_import, m_remove, m_addToCanvas})
        b->Enable(IsCommandEnabled(b->CommandId()));
}

void CMainDialog::OpenPaths(const QStringList& paths) {
    QStringList left = paths;
    for (const auto& group : m_groups) {
        if (left.isEmpty())
            break;
        const QStringList taken = group->OpenPaths(left);
        for (const QString& path : taken)
            left.removeAll(path);
    }
    UpdateToolbarState();
}

void CMainDialog::ExtendMenu(MenuId menu, CQorMenu& popup) {
    for (const auto& group : m_groups)
        group->ExtendMenu(menu, popup);
}

// --- menus

void CMainDialog::DropMenu(MenuId menu) {
    int index = 0;
    switch (menu) {
    case MenuId::File: index = 0; break;
    case MenuId::Panels: index = 1; break;
    case MenuId::Edit: index = 2; break;
    case MenuId::Tools: index = 3; break;
    case MenuId::Help: index = 4; break;
    default: return;
    }
    CMenuBarButton* button = m_menuButtons[size_t(index)];
    if (!button->isVisible())
        return;
    ShowContextMenu(menu, button->mapToGlobal(QPoint(0, button->height())));
}

void CMainDialog::ShowContextMenu(MenuId menu, const QPoint& globalPos) {
    CQorMenu popup(this, this);
    BuildMenu(menu, popup, *this);
    popup.exec(globalPos);
    UpdateToolbarState();
}

// --- view

void CMainDialog::SetZoomIndex(int index) {
    m_zoomIndex = (index >= 0 && index < int(kZoomSteps.size())) ? index : -1;
    if (m_zoomBox->GetCurSel() != m_zoomIndex)
        m_zoomBox->SetCurSel(m_zoomIndex);
    m_zoomBox->setAccessibleName(tr("Zoom"));
    ApplyZoom();
}

void CMainDialog::ApplyZoom() {
    if (InPreview())
        return;
    m_canvas->SetZoom(m_zoomIndex >= 0 ? kZoomSteps[size_t(m_zoomIndex)] : 1.0f);
}

void CMainDialog::ZoomIn() {
    if (m_zoomIndex < 0 || m_zoomIndex >= int(kZoomSteps.size()) - 1)
        return;
    SetZoomIndex(m_zoomIndex + 1);
}

void CMainDialog::ZoomOut() {
    if (m_zoomIndex <= 0)
        return;
    SetZoomIndex(m_zoomIndex - 1);
}

bool CMainDialog::InPreview() const {
    return m_canvas && m_canvas->PreviewMode();
}

void CMainDialog::EnterPreview() {
    if (InPreview())
        return;
    for (QObject* child : children())
        if (auto* w = qobject_cast<QWidget*>(child); w && w != m_canvas && !w->isWindow())
            w->hide();
    m_canvas->SetPreviewMode(true);
    m_canvas->raise();
    const CollageDocument& doc = m_canvas->Document();
    m_canvas->setGeometry(rect());
    m_canvas->SetZoom(PreviewFitZoom(size(), QSize(doc.width, doc.height)));
    m_canvas->setFocus();
}

void CMainDialog::LeavePreview() {
    if (!InPreview())
        return;
    m_canvas->SetPreviewMode(false);
    for (QObject* child : children())
        if (auto* w = qobject_cast<QWidget*>(child); w && !w->isWindow())
            w->show();
    ShowPanel(m_activePanel); // hides the panels that are not active
    Relayout();
    ApplyZoom();
    update();
}

void CMainDialog::SetTitleDetail(const QString& detail) {
    m_titleDetail = detail;
    setWindowTitle(TitleText());
    update(QRect(0, 0, width(), 30));
}

QString CMainDialog::TitleText() const {
    const QString title = UiTextOr(23, "Mosaiq Photo Editor");
    return m_titleDetail.isEmpty() ? title : title + QStringLiteral(" - ") + m_titleDetail;
}

void CMainDialog::ToggleMaximised() {
    if (isMaximized())
        showNormal();
    else
        showMaximized();
}

CBitmapButton* CMainDialog::ToolbarButton(int id) const {
    for (CBitmapButton* b : m_toolbar)
        if (b->CommandId() == id)
            return b;
    return nullptr;
}

// --- closing

void CMainDialog::closeEvent(QCloseEvent* event) {
    if (m_closed) {
        event->accept();
        return;
    }
    // The save question must see the modified flag a pending burst sets.
    CommitPendingBursts();
    for (const auto& group : m_groups) {
        if (!group->CanClose()) {
            event->ignore();
            return;
        }
    }
    m_closed = true;
    Q_EMIT closing();
    for (const auto& group : m_groups)
        group->OnClose();
    event->accept();
}

} // namespace mosaiq
