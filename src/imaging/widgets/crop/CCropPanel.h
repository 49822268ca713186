#pragma once

// The crop controls in the panel area: the constraint buttons, a crop view of the selected
// photo's picture and "Crop", which hands the rectangle (in the picture's own pixels) to the
// owner. Without a photo the view says what to do and "Crop" stays disabled.

#include "core/WinTypes.h"

#include <QWidget>

namespace mosaiq {

class CBitmapButton;
class CCropConstraintColumn;
class CCropView;
struct WorkingPicture;

class CCropPanel : public QWidget {
    Q_OBJECT
public:
    explicit CCropPanel(QWidget* parent = nullptr);

    // Loads the picture the view shows; an empty path shows the no-photo message.
    // upright: the photo is shown turned by its orientation tag (CanvasObject::upright).
    void ShowPhoto(const QString& path, bool upright = true);
    void SetPicture(const WorkingPicture& picture);
    QString PhotoPath() const { return m_path; }
    bool PhotoUpright() const { return m_upright; }

    CCropView* View() const { return m_view; }
    CCropConstraintColumn* Constraints() const { return m_constraints; }
    CBitmapButton* CropButton() const { return m_crop; }

signals:
    void cropRequested(Rect32 rect);
    // The panel became visible: the owner shows the selected photo.
    void shown();

protected:
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void UpdateCropButton();

    CCropView* m_view = nullptr;
    CCropConstraintColumn* m_constraints = nullptr;
    CBitmapButton* m_crop = nullptr;
    QString m_path;
    bool m_upright = true;
};

} // namespace mosaiq
