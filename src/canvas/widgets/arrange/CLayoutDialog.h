#pragma once

// Edit > Layout...: the settings of the collage's living layout (spacing, margin, corner radius,
// fill, family), Shuffle and "Dissolve Layout". Every change shows on the canvas at once; OK
// keeps the result as one history step, Cancel and the close box put the collage back as it was.

#include "canvas/document/CanvasObject.h"
#include "canvas/document/CollageLayout.h"
#include "canvas/layout/LivingLayout.h"
#include "ui/widgets/CSkinDialog.h"

#include <cstdint>
#include <functional>
#include <vector>

class QCheckBox;
class QComboBox;
class QSpinBox;

namespace mosaiq {

class CBitmapButton;
class CollageDocument;

class CLayoutDialog : public CSkinDialog {
    Q_OBJECT
public:
    // The dialog works on document (which must have a layout and outlive the dialog).
    explicit CLayoutDialog(CollageDocument& document, QWidget* parent = nullptr);

    LayoutSettings Settings() const;
    QSpinBox* SpacingBox() const { return m_spacing; }
    QSpinBox* MarginBox() const { return m_margin; }
    QSpinBox* CornerBox() const { return m_corner; }
    QCheckBox* FillBox() const { return m_fill; }
    QComboBox* FamilyBox() const { return m_family; }

    // Shows the dialog modally, or hands it to the runner tests install; QDialog's result.
    int Run();
    using Runner = std::function<int(CLayoutDialog&)>;
    static void SetRunner(Runner runner);

    // Another order (and split) of the photos in the cells.
    void Shuffle();
    // Ends the layout (one history step) and closes.
    void Dissolve();
    // OK: the collage as shown becomes one history step.
    void Keep();
    // Cancel: the collage as it was when the dialog opened.
    void Restore();

private:
    // The controls changed: the canvas shows the result at once.
    void Preview();

    CollageDocument& m_document;
    std::vector<CanvasObject> m_objects; // as the dialog found them
    CollageLayout m_layout;
    bool m_changed = false;
    std::uint64_t m_seed = 0;
    QSpinBox* m_spacing;
    QSpinBox* m_margin;
    QSpinBox* m_corner;
    QCheckBox* m_fill;
    QComboBox* m_family;
};

} // namespace mosaiq
