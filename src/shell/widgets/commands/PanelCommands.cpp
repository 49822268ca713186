// Editing panels: the text panel, the tuning panel, the crop dialog and the crop panel, adding
// text, selecting all and nudging, scaling and turning the selection with the arrow keys.
//
// Text edits reach the selected text object live; each finished change (a pause in typing, a
// style, font, colour or transparency choice) is one undo step and sets the modified flag, so a
// text edit is never lost on close. Key edits (nudge, scale, turn) are gathered the same way: one
// step per burst.
#include "core/text/FixedText.h"
#include "core/Notifier.h"
#include "shell/widgets/CMainDialog.h"
#include "shell/widgets/CQorMenu.h"
#include "shell/widgets/CommandGroup.h"
#include "shell/widgets/CommandGroups.h"
#include "shell/widgets/CommandIds.h"
#include "canvas/document/SelectionEdits.h"
#include "canvas/interaction/CanvasKeys.h"
#include "canvas/widgets/CCollageCanvas.h"
#include "imaging/widgets/crop/CCropDialog.h"
#include "imaging/widgets/crop/CCropPanel.h"
#include "imaging/widgets/crop/CCropView.h"
#include "text/TextTemplateRules.h"
#include "text/widgets/CTextPanel.h"
#include "ui/widgets/CBitmapButton.h"
#include "canvas/widgets/tuning/CTuningPanel.h"

#include <QEvent>
#include <QKeyEvent>
#include <QKeySequence>
#include <QTextCursor>
#include <QPlainTextEdit>
#include <QTimer>

namespace mosaiq {
namespace {

// How long typing or nudging must pause before the burst becomes one undo step.
constexpr int kBurstPauseMs = 700;

class PanelCommands : public CommandGroup {
public:
    explicit PanelCommands(CMainDialog& window) : CommandGroup(window) {
        BuildTextPanel();
        BuildTuningPanel();
        BuildCropPanel();
        CCollageCanvas& canvas = window.Canvas();
        canvas.Document().textTemplate = m_text->Template();
        connect(&canvas, &CCollageCanvas::selectionChanged, this, [this] { OnSelectionChanged(); });
        connect(&canvas, &CCollageCanvas::textEntryRequested, this,
                [this](const QString& text) { OnTextPicked(text); });
        // After undo and redo the panel shows the selected text as it now is.
        connect(&canvas, &CCollageCanvas::historyChanged, this, [this] {
            ShowSelectedText();
            ShowSelectedTuning();
        });
        connect(&canvas, &CCollageCanvas::objectDoubleClicked, this, [this] { OnDoubleClick(); });
        connect(&canvas, &CCollageCanvas::nudgeRequested, this,
                [this](int dx, int dy) { KeyEdit(NudgeSelection, dx, dy); });
        connect(&canvas, &CCollageCanvas::scaleRequested, this,
                [this](int steps) { KeyEdit(ScaleSelection, steps); });
        connect(&canvas, &CCollageCanvas::turnRequested, this,
                [this](int steps) { KeyEdit(TurnSelection, steps); });
        m_typingPause.setSingleShot(true);
        m_typingPause.setInterval(kBurstPauseMs);
        connect(&m_typingPause, &QTimer::timeout, this, [this] { FinishTyping(); });
        m_nudgePause.setSingleShot(true);
        m_nudgePause.setInterval(kBurstPauseMs);
        connect(&m_nudgePause, &QTimer::timeout, this, [this] { FinishNudging(); });
    }

    bool Handles(int id) const override {
        switch (id) {
        case cmd::kCrop:
        case cmd::kMenuCrop:
        case cmd::kAddText:
        case cmd::kSelectAll:
            return true;
        default:
            return false;
        }
    }

    bool IsEnabled(int id) const override {
        const CollageDocument& doc = Window().Canvas().Document();
        switch (id) {
        case cmd::kCrop:
        case cmd::kMenuCrop:
            return SelectedPhotoPath(doc).has_value();
        case cmd::kSelectAll:
            return !doc.objects.empty();
        default:
            return true;
        }
    }

    void Run(int id) override {
        switch (id) {
        case cmd::kCrop:
        case cmd::kMenuCrop:
            RunCropDialog();
            break;
        case cmd::kAddText:
            AddText();
            break;
        case cmd::kSelectAll:
            SelectAll();
            break;
        default:
            break;
        }
    }

    void ExtendMenu(MenuId menu, CQorMenu& popup) override {
        if (menu != MenuId::Edit)
            return;
        popup.AppendMenuSeparator();
        popup.AppendMenuItem(cmd::kAddText, tr("Add Text"));
        popup.AppendMenuItem(cmd::kSelectAll, tr("Select All (Ctrl+A)"));
    }

    void CommitPendingBursts() override { FinishBursts(); }
    void OnClose() override { FinishBursts(); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == m_text->Entry() && event->type() == QEvent::FocusOut)
            FinishTyping();
        // Undo and Redo in the entry are the collage's: the entry's own undo would take the
        // same typing back a second time. The entry then shows the restored text.
        if (watched == m_text->Entry() && event->type() == QEvent::KeyPress) {
            const auto* key = static_cast<QKeyEvent*>(event);
            if (key->matches(QKeySequence::Undo) || key->matches(QKeySequence::Redo) ||
                (key->modifiers() == Qt::ControlModifier && key->key() == Qt::Key_Y)) {
                Window().RunCommand(key->matches(QKeySequence::Undo) ? cmd::kUndo : cmd::kRedo);
                return true;
            }
        }
        return CommandGroup::eventFilter(watched, event);
    }

private:
    CollageDocument& Doc() const { return Window().Canvas().Document(); }

    static std::optional<QString> SelectedPhotoPath(const CollageDocument& doc) {
        const int index = doc.FirstSelectedIndex();
        if (index < 0)
            return std::nullopt;
        const PhotoRecord* photo = doc.objects[size_t(index)].Photo();
        if (!photo)
            return std::nullopt;
        return ReadFixedText(photo->path);
    }

    static bool SelectedPhotoUpright(const CollageDocument& doc) {
        const int index = doc.FirstSelectedIndex();
        return index < 0 || doc.objects[size_t(index)].upright;
    }

    const TextRecord* SelectedText() const {
        for (const CanvasObject& o : Doc().objects)
            if (o.Selected() && o.Kind() == ObjectKind::Text)
                return o.Text();
        return nullptr;
    }

    // --- text

    void BuildTextPanel() {
        m_text = new CTextPanel;
        Window().InstallPanel(PanelSlot::Text, m_text);
        connect(m_text, &CTextPanel::templateChanged, this, [this] { OnTemplateChanged(); });
        connect(m_text, &CTextPanel::textEdited, this,
                [this](const QString& text) { OnTextEdited(text); });
        connect(m_text, &CTextPanel::addRequested, this, [this] { AddText(); });
        m_text->Entry()->installEventFilter(this);
    }

    // The panel's settings become the canvas's template; its text is kept as the entry holds it.
    void CopyTemplate() {
        TextTemplate t = m_text->Template();
        WriteFixedText(t.text, m_text->EntryText());
        Doc().textTemplate = t;
    }

    void OnTemplateChanged() {
        FinishBursts(); // the style change is a step of its own
        CopyTemplate();
        if (ApplyTemplateToSelectedText(Doc()))
            CommitSelectionEdit(Doc());
        Window().UpdateToolbarState();
    }

    void OnTextEdited(const QString& text) {
        FinishNudging(); // a nudge burst and a typing burst are two steps
        if (SetSelectedText(Doc(), text)) {
            m_typingPending = true;
            m_typingPause.start();
        }
    }

    void FinishTyping() {
        m_typingPause.stop();
        if (!m_typingPending)
            return;
        m_typingPending = false;
        // Nothing to record when another change already recorded the burst.
        Doc().CommitBurst();
        Window().UpdateToolbarState();
    }

    void AddText() {
        FinishBursts();
        Window().ShowPanel(PanelSlot::Text);
        if (m_text->EntryText().trimmed().isEmpty()) {
            m_text->FocusEntry();
            Inform(tr("Please type the text in the text box first."));
            return;
        }
        CopyTemplate();
        Doc().AddText();
        Window().UpdateToolbarState();
    }

    // A text object picked on the canvas: its text goes into the entry, all of it selected and
    // then the caret put at its end, and the entry takes the focus.
    void OnTextPicked(const QString& text) {
        OnSelectionChanged();
        m_text->SetEntryText(text, false);
        m_text->Entry()->selectAll();
        m_text->Entry()->moveCursor(QTextCursor::End);
        m_text->FocusEntry();
    }

    // A selected text object shows its words and settings in the panel.
    void OnSelectionChanged() {
        FinishBursts();
        ShowSelectedText();
        ShowSelectedTuning();
        if (m_crop->isVisible())
            ShowSelectedPhotoInCropPanel();
    }

    void ShowSelectedText() {
        if (const TextRecord* text = SelectedText()) {
            m_text->ShowTemplate(TemplateFromObject(*text));
            CopyTemplate();
        }
    }

    void OnDoubleClick() {
        if (!SelectedText())
            return;
        Window().ShowPanel(PanelSlot::Text);
        m_text->FocusEntry();
    }

    // --- tuning

    void BuildTuningPanel() {
        m_tuning = new CTuningPanel;
        Window().InstallPanel(PanelSlot::Tuning, m_tuning);
        // A moved slider writes its own value only; Reset switches the tuning off.
        connect(m_tuning, &CTuningPanel::sliderChanged, this, [this](TuningSlider slider) {
            FinishBursts();
            Doc().ApplyTuningSlider(slider, m_tuning->Positions()[size_t(slider)]);
            Window().UpdateToolbarState();
        });
        connect(m_tuning, &CTuningPanel::tuningChanged, this, [this](bool reset) {
            if (reset)
                ResetTuning();
        });
    }

    void ResetTuning() {
        FinishBursts();
        TuningValues values;
        const auto v = TuningValuesOf(DefaultTuningPositions());
        for (int i = 0; i < kTuningSliderCount; ++i)
            TuningFieldOf(values, TuningSlider(i)) = v[size_t(i)];
        values.reset = true;
        Doc().ApplyTuning(values);
        Window().UpdateToolbarState();
    }

    static float& TuningFieldOf(TuningValues& values, TuningSlider slider) {
        float* fields[kTuningSliderCount] = {&values.contrast, &values.brightness,
                                             &values.saturation, &values.hue,
                                             &values.gamma, &values.colour};
        return *fields[size_t(slider)];
    }

    // The panel shows the first selected photo's or clipart's tuning (the defaults for
    // anything else, and for a tuning that is off).
    void ShowSelectedTuning() {
        for (const CanvasObject& o : Doc().objects) {
            if (!o.Selected())
                continue;
            const bool tunable = o.Kind() == ObjectKind::Photo || o.Kind() == ObjectKind::Clipart;
            m_tuning->SetPositions(tunable ? TuningPositionsOf(*o.Tuning())
                                           : DefaultTuningPositions());
            return;
        }
        m_tuning->SetPositions(DefaultTuningPositions());
    }

    // --- crop

    void BuildCropPanel() {
        m_crop = new CCropPanel;
        Window().InstallPanel(PanelSlot::Crop, m_crop);
        connect(m_crop, &CCropPanel::shown, this, [this] { ShowSelectedPhotoInCropPanel(); });
        connect(m_crop, &CCropPanel::cropRequested, this, [this](Rect32 r) {
            ApplyCrop(r);
            m_crop->ShowPhoto(m_crop->PhotoPath(), m_crop->PhotoUpright());
        });
    }

    void ShowSelectedPhotoInCropPanel() {
        const QString path = SelectedPhotoPath(Doc()).value_or(QString());
        const bool upright = SelectedPhotoUpright(Doc());
        if (path != m_crop->PhotoPath() || upright != m_crop->PhotoUpright() ||
            !m_crop->View()->HasPicture())
            m_crop->ShowPhoto(path, upright);
    }

    void RunCropDialog() {
        FinishBursts();
        const std::optional<QString> path = SelectedPhotoPath(Doc());
        if (!path)
            return;
        CCropDialog dialog(&Window());
        dialog.LoadPicture(*path, SelectedPhotoUpright(Doc()));
        if (dialog.exec() == QDialog::Accepted)
            ApplyCrop(dialog.Result());
    }

    void ApplyCrop(const Rect32& r) {
        Doc().SetCrop(r.left, r.top, r.right, r.bottom);
        Window().UpdateToolbarState();
    }

    // --- selection and keys

    void SelectAll() {
        FinishBursts();
        SelectAllObjects(Doc());
        Window().UpdateToolbarState();
    }

    // A key's edit of the selection (nudge, scale, turn): a burst of them is one undo step.
    template <typename Edit, typename... Args> void KeyEdit(Edit edit, Args... args) {
        FinishTyping();
        if (edit(Doc(), args...)) {
            m_nudgePending = true;
            m_nudgePause.start();
        }
    }

    void FinishNudging() {
        m_nudgePause.stop();
        if (!m_nudgePending)
            return;
        m_nudgePending = false;
        Doc().CommitBurst();
        Window().UpdateToolbarState();
    }

    void FinishBursts() {
        FinishTyping();
        FinishNudging();
    }

    CTextPanel* m_text = nullptr;
    CTuningPanel* m_tuning = nullptr;
    CCropPanel* m_crop = nullptr;
    QTimer m_typingPause;
    QTimer m_nudgePause;
    bool m_typingPending = false;
    bool m_nudgePending = false;
};

} // namespace

std::unique_ptr<CommandGroup> MakePanelCommands(CMainDialog& window) {
    return std::make_unique<PanelCommands>(window);
}

} // namespace mosaiq
