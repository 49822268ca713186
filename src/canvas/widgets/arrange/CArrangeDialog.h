#pragma once

// Edit > Arrange...: the three layout families as live previews of the photos to arrange (the
// selected photos when two or more are selected, else all), with spacing, margin, fill and
// Shuffle (another order, and for the tree another split). OK arranges the photos as one history
// step; Cancel and the close box change nothing.

#include "canvas/layout/PhotoArrange.h"
#include "ui/widgets/CSkinDialog.h"

#include <QImage>

#include <array>
#include <functional>
#include <vector>

class QCheckBox;
class QSpinBox;

namespace mosaiq {

class CArrangePreview;
class CBitmapButton;
class CollageDocument;

class CArrangeDialog : public CSkinDialog {
    Q_OBJECT
public:
    // The dialog works on document, which must outlive it. initial gives the controls' values.
    CArrangeDialog(CollageDocument& document, const ArrangeOptions& initial,
                   QWidget* parent = nullptr);

    // The options the controls show now.
    ArrangeOptions Options() const;
    // The layout a family's preview shows.
    const LayoutResult& PreviewLayout(LayoutFamily family) const;
    CArrangePreview* Preview(LayoutFamily family) const;
    QSpinBox* SpacingBox() const { return m_spacing; }
    QSpinBox* MarginBox() const { return m_margin; }
    QCheckBox* FillBox() const { return m_fill; }
    QSpinBox* CornerBox() const { return m_corner; }
    // What OK arranges: "Arrange the 3 selected photos", "Arrange all 20 photos".
    QString Subject() const;
    CBitmapButton* OkButton() const { return m_ok; }

    // Shows the dialog modally, or hands it to the runner tests install; QDialog's result.
    int Run();
    using Runner = std::function<int(CArrangeDialog&)>;
    static void SetRunner(Runner runner);

    void ChooseFamily(LayoutFamily family);
    // Another order (and split) for every preview.
    void Shuffle();
    // OK: arranges the photos with the chosen family as one history step and closes. A layout
    // that cannot be made keeps the dialog open.
    void Apply();

private:
    void Refresh();

    CollageDocument& m_document;
    std::vector<int> m_indices;
    std::vector<QImage> m_pictures;
    LayoutFamily m_family;
    std::uint64_t m_seed;
    std::array<CArrangePreview*, 3> m_previews{};
    std::array<LayoutResult, 3> m_layouts;
    QSpinBox* m_spacing;
    QSpinBox* m_margin;
    QCheckBox* m_fill;
    QSpinBox* m_corner;
    CBitmapButton* m_shuffle;
    CBitmapButton* m_ok;
    CBitmapButton* m_cancel;
};

} // namespace mosaiq
