#pragma once

// The program's only top-level window: frameless, it draws its own caption strip and frame,
// moves by its caption and resizes by its edges, and lays out the canvas, the photo browser, the
// shared panel area with its tabs, the toolbar, the zoom box, the preset/brush panel, the list
// pane, the colour swatch panel, the caption buttons and the menu-bar buttons.
//
// It owns the canvas and the command groups (CommandGroup). The groups build the panels of their
// families and install them into the window's areas; every button, menu item and accelerator
// issues a command id that RunCommand hands to the group that handles it.

#include "shell/MainLayout.h"
#include "shell/widgets/CommandGroup.h"

#include <QPointer>
#include <QWidget>

#include <array>
#include <memory>
#include <utility>
#include <vector>

namespace mosaiq {

class CBitmapButton;
class CCollageCanvas;
class CMenuBarButton;
class CQorMenu;
class CVexComboBox;

// The six panels sharing the panel area, as the tabs and the panels menu name them.
enum class PanelSlot { Frame, Mask, Clipart, Tuning, Text, Crop };
inline constexpr int kPanelSlotCount = 6;
// The fixed areas around the canvas that a group fills with its widget.
enum class SideArea { PhotoBrowser, PresetPanel, ListPane, SwatchPanel };
inline constexpr int kSideAreaCount = 4;

class CMainDialog : public QWidget {
    Q_OBJECT
public:
    explicit CMainDialog(QWidget* parent = nullptr);
    ~CMainDialog() override;

    CCollageCanvas& Canvas() { return *m_canvas; }

    // --- areas for the panels of the command groups (the window takes ownership)
    void InstallPanel(PanelSlot slot, QWidget* panel);
    void InstallArea(SideArea area, QWidget* widget);
    QWidget* Panel(PanelSlot slot) const;
    // True once a group installed its panel in slot (until then an empty panel stands there).
    bool HasPanel(PanelSlot slot) const { return m_installed[size_t(slot)]; }
    QWidget* Area(SideArea area) const;
    // Shows one panel of the panel area, hides the others, recolours the tabs.
    void ShowPanel(PanelSlot slot);
    PanelSlot ActivePanel() const { return m_activePanel; }

    // --- commands
    // Commits every pending burst (arrow-key nudges, typing into a text) as its one undo step.
    // Every command path runs it first, so undo, saving, exporting or closing never sees a burst
    // half made; call it before anything else reads or replaces the document's history.
    void CommitPendingBursts();
    // Runs a command id through the group that handles it (nothing when none does or it is
    // disabled); the marked commands then update the toolbar. True when a group ran it.
    bool RunCommand(int id);
    bool IsCommandEnabled(int id) const;
    bool IsCommandChecked(int id) const;
    // Recomputes which toolbar buttons, menu items and buttons are enabled.
    void UpdateToolbarState();
    // Offers files (command line, second start, file manager) to the groups in order.
    void OpenPaths(const QStringList& paths);
    // The group that handles id, or nullptr.
    CommandGroup* GroupFor(int id) const;
    // Lets a group add items to every menu it is asked about.
    void ExtendMenu(MenuId menu, CQorMenu& popup);

    // --- menus
    // Drops a menu-bar button's popup under it (nothing while the button is hidden).
    void DropMenu(MenuId menu);
    // Opens a context menu at a global position.
    void ShowContextMenu(MenuId menu, const QPoint& globalPos);

    // --- view
    int ZoomIndex() const { return m_zoomIndex; }
    void SetZoomIndex(int index); // −1: none selected
    void ZoomIn();
    void ZoomOut();
    bool InPreview() const;
    void EnterPreview();
    void LeavePreview();
    // The project's name and modified mark, shown after the title in the caption strip.
    void SetTitleDetail(const QString& detail);
    QString TitleText() const;
    void ToggleMaximised();

    // The layout in force (device-independent pixels).
    const MainLayout& Layout() const { return m_layout; }
    // Toolbar button of a toolbar command id, or nullptr.
    CBitmapButton* ToolbarButton(int id) const;

Q_SIGNALS:
    // A library file changed on disk (a pack was imported, a custom mask added): panels reload.
    void librariesChanged();
    // A decoration pack was imported: the preset panel shows the Imported family.
    void decorationsImported();
    // The photo list changed on disk or in memory (the browser repaints).
    void photoListChanged();
    // Missing photos of the collage were found again: each old path and its new one.
    void photosRelinked(const std::vector<std::pair<QString, QString>>& moved);
    // The window is closing: workers stop now.
    void closing();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void CreateChildren();
    void CreateToolbar();
    void CreateShortcuts();
    void Relayout();
    void ApplyZoom();
    void StartFrameDrag(FrameZone zone, QPoint pressGlobal);
    // The window menu a right click on the caption strip opens (the frame has no system menu).
    void ShowWindowMenu(const QPoint& globalPos);

    CCollageCanvas* m_canvas = nullptr;
    std::vector<std::unique_ptr<CommandGroup>> m_groups;
    std::array<QPointer<QWidget>, kPanelSlotCount> m_panels{};
    std::array<QPointer<QWidget>, kSideAreaCount> m_areas{};
    std::array<bool, kPanelSlotCount> m_installed{};
    std::array<CBitmapButton*, kTabCount> m_tabs{};
    std::vector<CBitmapButton*> m_toolbar; // in toolbar order, then Zoom In and Zoom Out
    std::array<CBitmapButton*, 3> m_captionButtons{}; // close, maximise, minimise
    std::array<CMenuBarButton*, 5> m_menuButtons{};
    CBitmapButton* m_addToCanvas = nullptr;
    CBitmapButton* m_import = nullptr;
    CBitmapButton* m_remove = nullptr;
    CVexComboBox* m_zoomBox = nullptr;
    PanelSlot m_activePanel = PanelSlot::Frame;
    MainLayout m_layout;
    int m_zoomIndex = 3;
    QString m_titleDetail;
    bool m_swallowRelease = false;
    bool m_closed = false;
    // Moving and resizing by hand when the window manager cannot do it.
    FrameZone m_dragZone = FrameZone::None;
    QPoint m_dragStartGlobal;
    QRect m_dragStartGeometry;
    // A left press on the caption strip, not yet a move (a click or a double click).
    bool m_captionPressed = false;
    QPoint m_captionPressGlobal;
};

} // namespace mosaiq
