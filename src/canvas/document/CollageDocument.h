#pragma once

#include "canvas/document/CanvasObject.h"
#include "canvas/document/CollageLayout.h"
#include "canvas/project/EffectPictures.h"
#include "canvas/document/History.h"
#include "canvas/edits/TuningSliders.h"

#include <QImage>
#include <QObject>
#include <QPointF>
#include <QRect>
#include <QString>

#include <cstdint>
#include <map>
#include <vector>

namespace mosaiq {

// Brush settings copied into new brush stamps.
struct BrushSettings {
    int angle = 0;
    int opacity = 255; // 0..255
    int size = 50;     // displayed width of a new stamp, in canvas pixels
    int brushIndex = 0;
    Colorref colour = MakeColorref(255, 255, 255);
};

// Tuning values as the tuning panel hands them over.
struct TuningValues {
    float contrast = 1.0f;
    float brightness = 0.0f;
    float saturation = 1.0f;
    float hue = 0.0f;
    float gamma = 1.0f;
    float colour = 0.125f;
    bool reset = false;
};

// The view's mapping between window (client) pixels and canvas pixels. Surface pixels are the
// zoomed canvas's, (0, 0) its top-left corner; a window point plus the scroll offsets is a surface
// point. The editor's view keeps a margin around the canvas, so its offsets start below zero
// (CCollageCanvas): map through these functions, never assume the canvas at the window's (0, 0).
struct CanvasView {
    float zoom = 1.0f; // screen pixels per canvas pixel
    int scrollX = 0;   // scroll offsets, screen pixels (negative: the margin before the canvas)
    int scrollY = 0;

    // Window point to canvas point: trunc((w + scroll) / zoom).
    QPoint WindowToCanvas(int wx, int wy) const {
        return {int(float(wx + scrollX) / zoom), int(float(wy + scrollY) / zoom)};
    }
    // Canvas point to window point: trunc(c x zoom) - scroll.
    QPoint CanvasToWindow(QPointF canvas) const {
        return {int(canvas.x() * double(zoom)) - scrollX, int(canvas.y() * double(zoom)) - scrollY};
    }
    QPoint WindowToSurface(QPoint window) const { return window + QPoint(scrollX, scrollY); }
    QPoint SurfaceToWindow(QPoint surface) const { return surface - QPoint(scrollX, scrollY); }
};

// The collage document: canvas size and background, the ordered object list (index 0 is the
// bottom), the hit-region table, the history and the settings new objects copy. It never opens
// windows: it announces changes through its signals and tells the user things through the
// notifier. Every completed change records a snapshot, sets the modified flag and asks for a
// redraw.
class CollageDocument : public QObject {
    Q_OBJECT
public:
    explicit CollageDocument(QObject* parent = nullptr);
    ~CollageDocument() override;

    // --- persisted fields
    int width = 1024;
    int height = 768;
    QString backgroundPath;
    Colorref backgroundColour = MakeColorref(255, 255, 255);
    BackgroundMode backgroundMode = BackgroundMode::Center;
    std::vector<CanvasObject> objects;
    // The living layout (canvas/layout/LivingLayout); inactive when the collage has none.
    CollageLayout layout;

    // --- runtime fields
    QImage backgroundPicture; // decoded from backgroundPath; null when none
    // The background picture is turned upright by its orientation tag (see CanvasObject::upright):
    // set when the user chooses the picture or the project's upright list names it.
    bool backgroundUpright = false;
    // The 260 bytes backgroundPath was read from in a project; written back unchanged while
    // backgroundPath still reads the same (text that is not UTF-8 keeps its bytes).
    QByteArray backgroundPathField;
    CanvasView view;
    bool modified = false;
    // The project file the collage was opened from or last saved to; empty while it has none.
    // Set by the window's commands (and by recovery), never by the project file functions.
    QString projectPath;
    Colorref presetColour = MakeColorref(0x78, 0x78, 0x78);
    BrushSettings brush;
    TextTemplate textTemplate;
    // Hit regions: rectangle (0, 0, w, h) in object pixels. Entries are never reused: deleting an
    // object leaves its entry, and only clearing the document empties the table.
    std::vector<QRect> regionTable;
    // Pixels of pasted cliparts and of the brushes; not part of the document (they survive
    // clearing). Format_ARGB32 (B, G, R, A in memory).
    std::vector<QImage> pastedPictures;
    // Pasted pictures a project's cliparts named but did not carry: each has a null placeholder
    // in pastedPictures (drawn as nothing) mapped here to the index the project stored, which a
    // save writes back unchanged. Kept beside the pasted pictures (clearing keeps both).
    std::map<int, std::int32_t> missingPastedPictures;
    std::vector<QImage> brushPictures;
    // The effect pictures a parsed project carried (its "MQFX" block); LoadProject takes them
    // out (placed in "Effects/" or kept in memory), so a loaded document holds none.
    std::vector<CarriedEffectPicture> carriedEffectPictures;
    int lastAddedIndex = -1;
    int mouseTool = 0; // 0 no tool; set by the interaction layer
    LayoutGesture layoutGesture;

    const HistoryList& History() const { return m_history; }

    // --- creation (each first deselects everything, then appends the new object on top)

    // A selected clipart from library picture sourceId (file sourceId / 1000, entry
    // sourceId % 1000), top-left at the window point; presets (sourceId >= 1000) are recoloured
    // to presetColour. False, with the user told, when the entry cannot be read.
    bool AddLibraryPicture(int sourceId, int wx, int wy);
    // A selected clipart of pixels kept in the pasted picture list. canvasRect is the canvas as
    // shown in the window and editedSize the picture the drop point maps into. No snapshot.
    void AddPastedPicture(const QImage& pixels, int px, int py, QRect canvasRect, QSize editedSize);
    // An unselected brush stamp centred on the window point. Redraw only (the stroke records).
    void AddBrushStamp(int wx, int wy);
    // A selected photo of a picture of the measured size; its width plus height become a third
    // of the canvas's. False when the path does not fit the record.
    bool AddPhoto(const QString& path, int pictureWidth, int pictureHeight, int wx, int wy);
    // A selected text from the text template, measured.
    void AddText();

    // --- editing
    void ApplyTextTemplateToSelection();
    void SetPresetColour(Colorref colour);
    // Frame entry n of "frame.cfg" / mask list position n on the first selected photo.
    bool ApplyFrame(int n);
    bool ApplyMask(int n);
    void SetCrop(int left, int top, int right, int bottom);
    void SetCanvasSize(int w, int h);
    void DeleteSelection();
    int FirstSelectedIndex() const;
    // Decodes the background picture by the two-decoder rule (every supported type, up to the
    // picture caps). A missing file leaves no picture and no reason; a picture that is present
    // but cannot be decoded leaves no picture and returns why.
    QString ReloadBackground();
    bool ApplyTuning(const TuningValues& values);
    // One tuning slider moved to position: every selected photo and clipart takes that value
    // alone and keeps its other settings; an object whose tuning was off starts from the
    // sliders' defaults. One snapshot; false (and the user told) when none is selected.
    bool ApplyTuningSlider(TuningSlider slider, int position);

    // Z-order moves of the first selected object. Each records a snapshot when it moved.
    void MoveUp();
    void MoveDown();
    void MoveToTop();
    void MoveToBottom();

    // --- history: the one place every change passes
    //
    // RecordSnapshot ends every completed change. A pending burst of small edits (arrow-key
    // nudges, typing into a text) is recorded as its own step first, so no change, whatever path
    // it takes, folds a burst into its step; Undo and Redo finish a pending burst the same way.
    // Inside a ChangeGroup the step is recorded once, when the outermost group ends.
    void RecordSnapshot();
    // Makes the current history state the present one without a step of its own.
    void AmendSnapshot();
    // After Undo or Redo the selected objects are the ones the step changed (records that
    // differ, the selected flag aside), or none.
    void Undo();
    void Redo();

    // A burst edit was made (no step of its own): keeps the state it left, which becomes one
    // step when the burst ends or the next change is recorded.
    void NoteBurstEdit();
    // Records the pending burst as one step; false when none was pending.
    bool CommitBurst();
    bool BurstPending() const { return m_burstPending; }

    // Several changes made as one user action (several photos added at once) are one step:
    // while a group lives, RecordSnapshot only notes that a step is due.
    class ChangeGroup {
    public:
        explicit ChangeGroup(CollageDocument& document);
        ~ChangeGroup();
        ChangeGroup(const ChangeGroup&) = delete;
        ChangeGroup& operator=(const ChangeGroup&) = delete;

    private:
        CollageDocument& m_doc;
    };
    bool CanUndo() const { return m_history.CanUndo(); }
    bool CanRedo() const { return m_history.CanRedo(); }

    // Frees every object, the region table and the history (the pasted pictures and brush
    // pictures stay).
    void Clear();
    // Replaces the document's persisted content with other's (used by opening a project).
    void TakeContent(CollageDocument& other);

    // Drops every object's cached pictures (zoom changed, libraries changed).
    void DropAllCaches();
    // Appends a region entry of the object's region size and stores its index in the object.
    void CreateRegion(CanvasObject& object);
    // Resets the object's region entry to its current region size.
    void RebuildRegion(CanvasObject& object);

    // Marks the document changed: modified set and a redraw requested.
    void MarkModified();

Q_SIGNALS:
    // The document's look changed: redraw.
    void changed();
    // A snapshot was recorded, or undo/redo moved (Undo/Redo controls follow).
    void historyChanged();
    // The canvas should take the keyboard focus.
    void focusRequested();
    // A new text object wants its text in the text entry window, with the focus.
    void textEntryRequested(const QString& text);
    // Canvas size changed (the view recreates its surface and scroll ranges).
    void canvasSizeChanged();
    // The document was written to a project file and its modified flag cleared.
    void saved();

private:
    void DeselectAll();
    CanvasObject& Append(CanvasObject object);
    CanvasObject* FirstSelected(ObjectKind kind);
    // Restores snapshot index, or the base state for -1.
    void RestoreSnapshot(int index);
    void RestoreRecords(const Snapshot& snapshot);
    void RemoveAllObjects();
    // Selects exactly the objects whose records (selected flag aside) are not found in before.
    void SelectChangedSince(const Snapshot& before);
    // The end of a tuning edit that changed the selected photos and cliparts when any was
    // selected: one undo step; otherwise the user is told that nothing tunable is selected.
    bool FinishTuningEdit(bool any);

    HistoryList m_history;
    Snapshot m_burstState; // the state the pending burst left
    bool m_burstPending = false;
    int m_groupDepth = 0;
    bool m_groupStepDue = false;
};

} // namespace mosaiq
