// Library commands: the frame, mask and clipart panels, the preset/brush panel with its type
// selector and brush settings, the colour swatch panel, Add to Canvas, painting with a brush,
// custom mask import and reset, and the custom-mask bookkeeping when the window closes.
#include "canvas/widgets/CCollageCanvas.h"
#include "core/data/DataPath.h"
#include "core/Notifier.h"
#include "library/items/CustomMasks.h"
#include "library/items/DecorationTypes.h"
#include "library/widgets/CLibraryPanel.h"
#include "library/widgets/CPresetListPane.h"
#include "shell/widgets/CMainDialog.h"
#include "shell/widgets/CommandGroup.h"
#include "shell/widgets/CommandGroups.h"
#include "shell/widgets/CommandIds.h"
#include "ui/widgets/CBitmapButton.h"
#include "ui/widgets/CColourPalette.h"
#include "ui/widgets/DialogProvider.h"
#include "ui/widgets/Skin.h"

#include <QCoreApplication>
#include <QEvent>
#include <QKeyEvent>
#include <QMouseEvent>

#include <algorithm>
#include <thread>

namespace mosaiq {
namespace {

// Panel ids of the library panels (their kinds are the canvas's pending-item types).
constexpr int kClipartPanelId = 0;
constexpr int kMaskPanelId = 1;
constexpr int kFramePanelId = 3;
constexpr int kPresetPanelId = 5;

QString Tr(const char* text) {
    return QCoreApplication::translate("LibraryCommands", text);
}

class LibraryCommands : public CommandGroup {
public:
    explicit LibraryCommands(CMainDialog& window) : CommandGroup(window) {
        m_frames = new CLibraryPanel(kFramePanelId, CLibraryPanel::kFrameKind);
        m_masks = new CLibraryPanel(kMaskPanelId, CLibraryPanel::kMaskKind);
        m_cliparts = new CLibraryPanel(kClipartPanelId, CLibraryPanel::kClipartKind);
        m_presets = new CLibraryPanel(kPresetPanelId, CLibraryPanel::kPresetKind);
        m_presets->SetCellSize(58, 58);
        m_pane = new CPresetListPane;
        m_swatch = new CColourPalette;

        m_frames->Load(QStringLiteral("tbframe.cfg"), false);
        m_masks->Load(QStringLiteral("tbmask.cfg"), false);
        m_cliparts->Load(QStringLiteral("clipart.cfg"), false);
        m_presets->LoadType(1, false);

        window.InstallPanel(PanelSlot::Frame, m_frames);
        window.InstallPanel(PanelSlot::Mask, m_masks);
        window.InstallPanel(PanelSlot::Clipart, m_cliparts);
        window.InstallArea(SideArea::PresetPanel, m_presets);
        window.InstallArea(SideArea::ListPane, m_pane);
        window.InstallArea(SideArea::SwatchPanel, m_swatch);

        const Colorref colour = DecorationDefaultColour(0);
        m_swatch->SetColour(colour);
        CollageDocument& doc = Document();
        doc.presetColour = colour;
        doc.brush.colour = colour;
        doc.brush.size = m_pane->BrushSize();
        doc.brush.opacity = m_pane->BrushOpacity();

        for (CLibraryPanel* panel : {m_frames, m_masks, m_cliparts, m_presets})
            Connect(panel);
        QObject::connect(m_masks, &CLibraryPanel::importRequested, this, [this] { ImportMask(); });
        QObject::connect(m_masks, &CLibraryPanel::resetRequested, this, [this] { ResetMasks(); });
        QObject::connect(m_pane, &CPresetListPane::selectorChanged, this,
                         [this](int k) { SwitchSelector(k); });
        QObject::connect(m_pane, &CPresetListPane::brushSizeChanged, this,
                         [this](int size) { Document().brush.size = size; });
        QObject::connect(m_pane, &CPresetListPane::brushOpacityChanged, this,
                         [this](int opacity) { Document().brush.opacity = opacity; });
        QObject::connect(m_pane, &CPresetListPane::pointerChosen, this,
                         [this] { LeavePaintMode(); });
        QObject::connect(m_swatch, &CColourPalette::colourChosen, this,
                         [this] { TakeSwatchColour(); });
        QObject::connect(&window, &CMainDialog::librariesChanged, this, [this] { ReloadAll(); });
        QObject::connect(&window, &CMainDialog::decorationsImported, this, [this] {
            m_pane->SetSelector(kImportedSelector);
            SwitchSelector(kImportedSelector);
        });

        // Escape leaves painting wherever the key starts (the canvas, or any child that passes
        // it on to the window).
        window.Canvas().installEventFilter(this);
        window.installEventFilter(this);
    }

    ~LibraryCommands() override { WaitForImport(); }

    bool Handles(int id) const override {
        return id == cmd::kAddPresetToCanvas || id == cmd::kPaintMode;
    }

    bool IsEnabled(int id) const override {
        if (id == cmd::kAddPresetToCanvas)
            return m_presets->SelectedIndex() >= 0;
        return true;
    }

    bool IsChecked(int id) const override {
        return id == cmd::kPaintMode && Window().Canvas().PaintMode();
    }

    void Run(int id) override {
        if (id == cmd::kAddPresetToCanvas)
            AddPresetToCanvas();
        else if (id == cmd::kPaintMode)
            TogglePaintMode();
    }

    void OnClose() override {
        // The bookkeeping reads "mask.cfg": an import still running finishes first.
        WaitForImport();
        QString error;
        if (KeepCustomMasks(DataPath(), &error) == CustomMaskUpkeep::WriteFailed)
            Warn(Tr("The custom mask library could not be saved: %1").arg(error));
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == &Window().Canvas() && PlaceClickArmedItem(event))
            return true;
        if (event->type() == QEvent::KeyPress &&
            static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape &&
            Window().Canvas().PaintMode() && !Window().InPreview()) {
            LeavePaintMode();
            return true;
        }
        return CommandGroup::eventFilter(watched, event);
    }

private:
    CollageDocument& Document() const { return Window().Canvas().Document(); }

    void Connect(CLibraryPanel* panel) {
        QObject::connect(panel, &CLibraryPanel::selectionMade, this,
                         [this, panel](int, int code) { OnSelection(panel, code); });
        QObject::connect(panel, &CLibraryPanel::itemChosen, this,
                         [this](int action, int index) { ChooseItem(action, index); });
        QObject::connect(panel, &CLibraryPanel::dragMoved, this,
                         [this, panel](const QPoint& global) { OnDragMove(panel, global); });
        QObject::connect(panel, &CLibraryPanel::dragReleased, this,
                         [this, panel](const QPoint& global) { OnDrop(panel, global); });
    }

    // A click in a panel: the item becomes the canvas's pending item (what a drop places); a
    // click on a brush arms painting with it.
    void OnSelection(CLibraryPanel* panel, int code) {
        if (panel == m_presets && m_presets->ShowsBrushes()) {
            ChooseBrush(m_presets->SelectedIndex());
            return;
        }
        Window().Canvas().SetPendingItem(panel->Kind(), code);
        // Armed until the next release over the canvas places the item there.
        m_clickArmed = panel;
        if (panel == m_presets)
            Window().UpdateToolbarState(); // "Add to Canvas" follows the selection
    }

    // The item-chosen actions: 0 add clipart index, 1 add the decoration of the preset panel's
    // type (or paint with the brush), 2 put mask index on the selected photo, 3 put frame index
    // on it. Other actions are ignored.
    void ChooseItem(int action, int index) {
        m_clickArmed = nullptr;
        CollageDocument& doc = Document();
        switch (action) {
        case CLibraryPanel::kAddClipart:
            AddAtTenth(index);
            break;
        case CLibraryPanel::kAddPreset:
            if (m_presets->ShowsBrushes()) {
                ChooseBrush(index);
                return;
            }
            AddAtTenth(m_presets->Type() * 1000 + index);
            break;
        case CLibraryPanel::kApplyMask:
            LeavePaintMode();
            doc.ApplyMask(index);
            break;
        case CLibraryPanel::kApplyFrame:
            LeavePaintMode();
            doc.ApplyFrame(index);
            break;
        default:
            return;
        }
        Window().UpdateToolbarState();
    }

    // Adds library item `code` with its top-left corner at one tenth of the canvas's width and
    // height; anything placed that is not a brush stamp ends painting.
    void AddAtTenth(int code) {
        CCollageCanvas& canvas = Window().Canvas();
        CollageDocument& doc = canvas.Document();
        LeavePaintMode();
        const float zoom = doc.view.zoom;
        const int wx = int(float(doc.width / 10) * zoom) - doc.view.scrollX;
        const int wy = int(float(doc.height / 10) * zoom) - doc.view.scrollY;
        doc.AddLibraryPicture(code, wx, wy);
    }

    void AddPresetToCanvas() {
        const int index = m_presets->SelectedIndex();
        if (index < 0)
            return;
        if (m_presets->ShowsBrushes())
            ChooseBrush(index);
        else
            AddAtTenth(m_presets->Type() * 1000 + index);
    }

    // An item clicked in a panel is placed by the next click on the canvas: the press is taken
    // (nothing there is picked or moved) and the release places the item where it happened.
    bool PlaceClickArmedItem(QEvent* event) {
        const bool press = event->type() == QEvent::MouseButtonPress;
        if (!m_clickArmed || (!press && event->type() != QEvent::MouseButtonRelease))
            return false;
        auto* mouse = static_cast<QMouseEvent*>(event);
        CCollageCanvas& canvas = Window().Canvas();
        if (mouse->button() != Qt::LeftButton || canvas.PaintMode() || Window().InPreview() ||
            m_clickArmed->ShowsBrushes() || m_clickArmed->SelectedIndex() < 0)
            return false;
        if (!press)
            OnDrop(m_clickArmed, mouse->globalPosition().toPoint());
        return true;
    }

    bool OverCanvas(const QPoint& global) const {
        CCollageCanvas& canvas = Window().Canvas();
        return canvas.isVisible() && canvas.rect().contains(canvas.mapFromGlobal(global));
    }

    void OnDragMove(CLibraryPanel* panel, const QPoint& global) {
        if (panel->ShowsBrushes())
            return;
        if (OverCanvas(global))
            panel->setCursor(SkinCursor(178));
        else if (panel->Kind() != CLibraryPanel::kPresetKind)
            panel->setCursor(SkinCursor(177));
        else
            panel->unsetCursor();
    }

    // A drag released over the canvas places the dragged item there: a frame or mask on the
    // selected photo, a clipart or decoration at the drop point.
    void OnDrop(CLibraryPanel* panel, const QPoint& global) {
        panel->Disarm();
        m_clickArmed = nullptr;
        if (panel->ShowsBrushes() || panel->SelectedIndex() < 0 || !OverCanvas(global))
            return;
        CCollageCanvas& canvas = Window().Canvas();
        LeavePaintMode();
        canvas.SetPendingItem(panel->Kind(), panel->Kind() == CLibraryPanel::kMaskKind ||
                                                     panel->Kind() == CLibraryPanel::kFrameKind
                                                 ? panel->SelectedIndex()
                                                 : panel->SelectedCode());
        canvas.DropLibraryItemAt(canvas.mapFromGlobal(global));
        Window().UpdateToolbarState();
    }

    // --- decoration families, brushes and painting

    void SwitchSelector(int selector) {
        if (selector == kBrushSelector) {
            m_presets->LoadBrushes();
            Window().UpdateToolbarState();
            return;
        }
        LeavePaintMode();
        m_presets->LoadType(DecorationSelectorType(selector), true);
        const Colorref colour = DecorationDefaultColour(selector);
        m_swatch->SetColour(colour);
        CollageDocument& doc = Document();
        doc.presetColour = colour;
        doc.brush.colour = colour;
        Window().UpdateToolbarState();
    }

    void ChooseBrush(int index) {
        if (index < 0 || size_t(index) >= m_presets->BrushPictures().size() ||
            m_presets->BrushPictures()[size_t(index)].isNull()) {
            Inform(Tr("The brush could not be read."));
            return;
        }
        CollageDocument& doc = Document();
        doc.brushPictures = m_presets->BrushPictures();
        doc.brush.brushIndex = index;
        doc.brush.colour = m_swatch->Colour();
        doc.brush.size = m_pane->BrushSize();
        doc.brush.opacity = m_pane->BrushOpacity();
        Window().Canvas().SetPaintMode(true);
    }

    void LeavePaintMode() {
        CCollageCanvas& canvas = Window().Canvas();
        if (canvas.PaintMode())
            canvas.SetPaintMode(false);
    }

    void TogglePaintMode() {
        if (Window().Canvas().PaintMode()) {
            LeavePaintMode();
            return;
        }
        if (!m_presets->ShowsBrushes()) {
            m_pane->SetSelector(kBrushSelector);
            m_presets->LoadBrushes();
        }
        const int index = std::max(0, m_presets->SelectedIndex());
        m_presets->Select(index);
        ChooseBrush(index);
    }

    // The swatch colour becomes the decoration colour (recolouring a selected decoration as one
    // undo step) and the colour of the brush.
    void TakeSwatchColour() {
        const Colorref colour = m_swatch->Colour();
        CollageDocument& doc = Document();
        doc.brush.colour = colour;
        doc.SetPresetColour(colour);
        Window().UpdateToolbarState();
    }

    // --- custom masks

    // Decoding a large picture and storing it as PNG takes seconds: the import runs on a worker
    // thread and the panel's buttons wait for it; the files are replaced together at its end.
    void ImportMask() {
        if (m_importing)
            return;
        const QString path = Dialogs().OpenFileName(
            &Window(), Tr("Import Custom Mask"), QString(),
            Tr("Pictures (*.jpg *.jpeg *.bmp *.png *.gif *.tif *.tiff);;(*.jpg);;(*.bmp);;"
               "(*.png);;All files (*)"));
        if (path.isEmpty())
            return;
        SetImporting(true);
        m_importThread = std::thread([this, path, dir = DataPath()] {
            const MaskImportResult result = ImportCustomMask(dir, path);
            // Delivered on the window's thread; dropped if the group is gone by then.
            QMetaObject::invokeMethod(
                this, [this, result] { FinishImport(result); }, Qt::QueuedConnection);
        });
    }

    void FinishImport(const MaskImportResult& result) {
        WaitForImport();
        SetImporting(false);
        if (!result.ok) {
            Warn(result.error);
            return;
        }
        m_masks->Load(QStringLiteral("tbmask.cfg"), false);
        m_masks->Select(result.index);
        m_masks->ShowItem(result.index);
        Window().ShowPanel(PanelSlot::Mask);
    }

    void SetImporting(bool on) {
        m_importing = on;
        for (int id : {CLibraryPanel::kImportButton, CLibraryPanel::kResetButton})
            if (CBitmapButton* b = m_masks->Button(id))
                b->Enable(!on);
        if (on)
            m_masks->setCursor(Qt::BusyCursor);
        else
            m_masks->unsetCursor();
    }

    void WaitForImport() {
        if (m_importThread.joinable())
            m_importThread.join();
    }

    void ResetMasks() {
        if (m_importing)
            return;
        // A warning with OK and Cancel: the custom masks are about to go.
        Question question;
        question.text =
            Tr("Are you sure to replace current mask library\nwith default mask library?");
        question.okCancel = true;
        question.warning = true;
        if (Dialogs().AskQuestion(&Window(), question) != Answer::Yes)
            return;
        QString error;
        if (!ResetMaskLibrary(DataPath(), &error)) {
            Warn(Tr("The built-in masks could not be restored: %1").arg(error));
            return;
        }
        m_masks->Load(QStringLiteral("tbmask.cfg"), false);
        Document().DropAllCaches();
        Window().Canvas().Redraw();
    }

    void ReloadAll() {
        for (CLibraryPanel* panel : {m_frames, m_masks, m_cliparts, m_presets})
            panel->Reload();
        if (m_presets->ShowsBrushes() && Window().Canvas().PaintMode())
            Document().brushPictures = m_presets->BrushPictures();
        Document().DropAllCaches();
        Window().Canvas().Redraw();
    }

    CLibraryPanel* m_frames = nullptr;
    CLibraryPanel* m_masks = nullptr;
    CLibraryPanel* m_cliparts = nullptr;
    CLibraryPanel* m_presets = nullptr;
    CLibraryPanel* m_clickArmed = nullptr; // an item clicked, waiting for a click on the canvas
    CPresetListPane* m_pane = nullptr;
    CColourPalette* m_swatch = nullptr;
    std::thread m_importThread;
    bool m_importing = false;
};

} // namespace

std::unique_ptr<CommandGroup> MakeLibraryCommands(CMainDialog& window) {
    return std::make_unique<LibraryCommands>(window);
}

} // namespace mosaiq
