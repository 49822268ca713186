#pragma once

// "Crop Photo": the constraint column on the left, the crop view filling the rest, "Crop" and
// "Cancel". It loads the photo's picture by the two-decoder rule at the working size; "Crop"
// (enabled only with a picture and a non-empty rectangle) accepts with the rectangle in the
// picture's own pixels, "Cancel" and the close button reject. "Smart", below the constraint
// buttons, proposes the crop of the chosen ratio (the present rectangle's without one) around the
// picture's subject; the user can still move it, and Cancel keeps the photo's old crop.

#include "core/WinTypes.h"
#include "ui/widgets/CSkinDialog.h"

namespace mosaiq {

class CBitmapButton;
class CCropConstraintColumn;
class CCropView;
struct WorkingPicture;

class CCropDialog : public CSkinDialog {
    Q_OBJECT
public:
    static constexpr int kCropId = 1;
    static constexpr int kCancelId = 2;
    static constexpr int kSmartId = 12150;

    explicit CCropDialog(QWidget* parent = nullptr);

    // Loads the picture of path into the view.
    // upright: turned by its orientation tag, as the photo is shown (CanvasObject::upright).
    void LoadPicture(const QString& path, bool upright = true);
    void SetPicture(const WorkingPicture& picture);

    // Valid after the dialog was accepted.
    Rect32 Result() const { return m_result; }

    CCropView* View() const { return m_view; }
    CCropConstraintColumn* Constraints() const { return m_constraints; }
    CBitmapButton* CropButton() const { return m_crop; }
    CBitmapButton* CancelButton() const { return m_cancel; }
    CBitmapButton* SmartButton() const { return m_smart; }

    // What Smart does: the crop rectangle becomes the subject crop of the present ratio.
    void ProposeSmartCrop();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void AcceptCrop();
    void UpdateCropButton();

    CCropView* m_view = nullptr;
    CCropConstraintColumn* m_constraints = nullptr;
    CBitmapButton* m_crop = nullptr;
    CBitmapButton* m_cancel = nullptr;
    CBitmapButton* m_smart = nullptr;
    Rect32 m_result;
    QString m_path;
    bool m_upright = true;
};

} // namespace mosaiq
