#pragma once

// The New Collage dialog: width and height of the canvas, its background colour, an optional
// background picture and the picture's placement. Captionless with its own title bar and close
// button; the project commands fill it, run it and read the settings back after OK.

#include "imaging/CollageSettings.h"

#include <QDialog>

#include <functional>

class QLineEdit;

namespace mosaiq {

class CBitmapButton;
class CPlacementButton;
class CVexColourPicker;

class CNewCollageDialog : public QDialog {
    Q_OBJECT
public:
    // Command numbers of the controls.
    enum Control {
        kWidthEdit = 1030,
        kHeightEdit = 1032,
        kBrowse = 10470,
        kCentre = 10471,
        kTile = 10472,
        kStretch = 10473,
        kColourButton = 10474,
        kPathEdit = 10475,
        kCloseButton = 10010,
    };

    explicit CNewCollageDialog(const CollageSettings& settings, QWidget* parent = nullptr);

    // The settings as given, or as edited once OK closed the dialog.
    const CollageSettings& Settings() const { return m_settings; }
    // The placement the buttons show now (it is kept only by OK).
    int Placement() const { return m_placement; }

    // Runs the dialog modally, or through the runner tests installed; 1 for OK, 0 otherwise.
    int Run();
    using Runner = std::function<int(CNewCollageDialog&)>;
    // Tests answer the dialog with a runner (an empty one restores modal running).
    static void SetRunner(Runner runner);

    // The file dialog of the Browse button: a chosen picture replaces the path edit's text.
    void Browse();
    // OK: checks both sides; a side out of range keeps the dialog open with a message and
    // the focus in its edit.
    void accept() override;

    QLineEdit* WidthEdit() const { return m_width; }
    QLineEdit* HeightEdit() const { return m_height; }
    QLineEdit* PathEdit() const { return m_path; }
    CVexColourPicker* ColourButton() const { return m_colour; }
    CBitmapButton* BrowseButton() const { return m_browse; }
    CBitmapButton* OkButton() const { return m_ok; }
    CBitmapButton* CancelButton() const { return m_cancel; }
    CBitmapButton* CloseButton() const { return m_close; }
    CPlacementButton* PlacementButton(int placement) const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void CreateControls();
    void SetPlacement(int placement);
    // Reads one side's edit; false (message shown, focus moved) when it is not acceptable.
    bool ReadSide(QLineEdit* edit, int* value);

    CollageSettings m_settings;
    int m_placement = kPlaceCentre;
    QLineEdit* m_width = nullptr;
    QLineEdit* m_height = nullptr;
    QLineEdit* m_path = nullptr;
    CVexColourPicker* m_colour = nullptr;
    CBitmapButton* m_browse = nullptr;
    CBitmapButton* m_ok = nullptr;
    CBitmapButton* m_cancel = nullptr;
    CBitmapButton* m_close = nullptr;
    CPlacementButton* m_placements[3] = {};
    bool m_moving = false;
    QPoint m_pressOffset;
};

} // namespace mosaiq
