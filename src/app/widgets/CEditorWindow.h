#pragma once

// The first editor window: the canvas in a plain main window with a small menu that reaches what
// the document can do (new, open, save, export, add photo and text, undo and redo, delete, the
// stacking order, zoom, preview). The full main window with its panels replaces it.

#include <QKeySequence>
#include <QMainWindow>

#include <functional>

class QAction;

namespace mosaiq {

class CCollageCanvas;

class CEditorWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit CEditorWindow(QWidget* parent = nullptr);

    CCollageCanvas& Canvas() { return *m_canvas; }

    // Zoom steps of the zoom list, and the selected one.
    static constexpr float kZoomSteps[] = {0.25f, 0.5f, 0.75f, 1.0f, 1.25f, 1.5f, 1.75f, 2.0f};
    int ZoomIndex() const { return m_zoomIndex; }

    void NewCollage();
    void OpenProject();
    // Opens the project at path; on failure the user is told and the current collage stays.
    bool OpenProjectFile(const QString& path);
    void SaveProjectAs();
    void SaveCollage();
    void AddPhoto();
    void AddText();
    void ZoomIn();
    void ZoomOut();
    void EnterPreview();
    // Paint mode with the brushes of the data directory.
    void SetPainting(bool on);
    void ChooseBrushColour();
    void LeavePreview();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void BuildMenus();
    QAction* AddAction(QMenu* menu, const QString& text, std::function<void()> run,
                       const QKeySequence& shortcut = {});
    // Asks before a modified collage is dropped; false when the user cancels.
    bool ConfirmDiscard();
    void UpdateToolbarState();
    void ApplyZoomStep(int index);

    CCollageCanvas* m_canvas = nullptr;
    QMenu* m_editMenu = nullptr;
    QAction* m_undo = nullptr;
    QAction* m_redo = nullptr;
    QAction* m_paint = nullptr;
    int m_zoomIndex = 3; // 100%
};

} // namespace mosaiq
