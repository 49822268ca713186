#include "imaging/widgets/crop/CCropConstraintColumn.h"

#include "ui/widgets/CBitmapButton.h"
#include "ui/widgets/Skin.h"

#include <algorithm>

namespace mosaiq {
namespace {

constexpr int kButtonWidth = 120;
constexpr int kButtonHeight = 20;
constexpr int kUnchecked = 208; // the radio icons drawn inside each button
constexpr int kChecked = 209;

} // namespace

CCropConstraintColumn::CCropConstraintColumn(QWidget* parent) : QWidget(parent) {
    for (int i = 0; i < kCropConstraintCount; ++i) {
        auto* b = new CBitmapButton(kFirstId + i, this);
        b->SetBitmaps(195, 194, 193, 195);
        b->SetCaption(QString::fromLatin1(CropConstraints()[size_t(i)].label));
        b->SetIconAtLeft(true);
        connect(b, &CBitmapButton::commandIssued, this, [this, i] { Choose(i); });
        m_buttons[size_t(i)] = b;
    }
    ShowChecked();
}

void CCropConstraintColumn::Choose(int index) {
    if (index < 0 || index >= kCropConstraintCount)
        return;
    m_checked = index;
    ShowChecked();
    const CropConstraint& c = CropConstraints()[size_t(index)];
    // The ratios travel as whole numbers, as the buttons give them.
    Q_EMIT constraintChosen(float(int(c.ratioWidth)), float(int(c.ratioHeight)));
}

void CCropConstraintColumn::ShowChecked() {
    // The radio mark is the button's own icon, so a click anywhere on the button chooses it.
    for (int i = 0; i < kCropConstraintCount; ++i)
        m_buttons[size_t(i)]->SetIcons(SkinIcon(i == m_checked ? kChecked : kUnchecked), QIcon());
}

void CCropConstraintColumn::resizeEvent(QResizeEvent*) {
    // One column, each button an eighth of the height lower; a column too short for eight
    // buttons (the panel area) wraps into more columns.
    const int rows = std::clamp(height() / (kButtonHeight + 1), 1, kCropConstraintCount);
    const int columns = (kCropConstraintCount + rows - 1) / rows;
    const int step =
        rows == kCropConstraintCount ? height() / kCropConstraintCount : kButtonHeight + 1;
    const int cell = width() / columns;
    const int buttonWidth = columns == 1 ? kButtonWidth : std::min(kButtonWidth, cell - 4);
    for (int i = 0; i < kCropConstraintCount; ++i)
        m_buttons[size_t(i)]->setGeometry((i / rows) * cell, (i % rows) * step, buttonWidth,
                                          kButtonHeight);
}

} // namespace mosaiq
