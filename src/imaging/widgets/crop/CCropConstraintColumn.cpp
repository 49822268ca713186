#include "imaging/widgets/crop/CCropConstraintColumn.h"

#include "ui/widgets/CBitmapButton.h"
#include "ui/widgets/Skin.h"

#include <QPainter>

#include <algorithm>

namespace mosaiq {
namespace {

constexpr int kButtonWidth = 120;
constexpr int kButtonHeight = 20;
constexpr int kMarkWidth = 20; // the radio mark left of each button

} // namespace

CCropConstraintColumn::CCropConstraintColumn(QWidget* parent) : QWidget(parent) {
    for (int i = 0; i < kCropConstraintCount; ++i) {
        auto* b = new CBitmapButton(kFirstId + i, this);
        b->SetBitmaps(195, 194, 193, 195);
        b->SetCaption(QString::fromLatin1(CropConstraints()[size_t(i)].label));
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
    update();
}

void CCropConstraintColumn::paintEvent(QPaintEvent*) {
    // Each button's radio mark sits just left of it: checked (209) or not (208).
    QPainter p(this);
    for (int i = 0; i < kCropConstraintCount; ++i) {
        const QRect button = m_buttons[size_t(i)]->geometry();
        const QRect mark(button.left() - kMarkWidth, button.top() + (button.height() - 16) / 2, 16,
                         16);
        SkinIcon(i == m_checked ? 209 : 208).paint(&p, mark);
    }
}

void CCropConstraintColumn::resizeEvent(QResizeEvent*) {
    // One column, each button an eighth of the height lower; a column too short for eight
    // buttons (the panel area) wraps into more columns.
    const int rows = std::clamp(height() / (kButtonHeight + 1), 1, kCropConstraintCount);
    const int columns = (kCropConstraintCount + rows - 1) / rows;
    const int step =
        rows == kCropConstraintCount ? height() / kCropConstraintCount : kButtonHeight + 1;
    const int cell = width() / columns;
    const int buttonWidth = std::min(kButtonWidth, cell - kMarkWidth - 4);
    for (int i = 0; i < kCropConstraintCount; ++i)
        m_buttons[size_t(i)]->setGeometry((i / rows) * cell + kMarkWidth, (i % rows) * step,
                                          buttonWidth, kButtonHeight);
    update();
}

} // namespace mosaiq
