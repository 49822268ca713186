#pragma once

// The column of the eight aspect-constraint buttons (commands 10580 to 10587): radio-style, one
// checked at a time, "No Constraint" at first. Each button is 120 x 20 with its radio icon (208
// unchecked, 209 checked) inside it, so the whole button takes the click. Choosing one reports its
// ratio.

#include "imaging/CropFrame.h"

#include <QWidget>

#include <array>

namespace mosaiq {

class CBitmapButton;

class CCropConstraintColumn : public QWidget {
    Q_OBJECT
public:
    static constexpr int kFirstId = 10580;

    explicit CCropConstraintColumn(QWidget* parent = nullptr);

    int Checked() const { return m_checked; }
    // Checks button index and reports its ratio (as a click does).
    void Choose(int index);
    CBitmapButton* Button(int index) const { return m_buttons[size_t(index)]; }

signals:
    void constraintChosen(float ratioWidth, float ratioHeight);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void ShowChecked();

    std::array<CBitmapButton*, kCropConstraintCount> m_buttons{};
    int m_checked = 0;
};

} // namespace mosaiq
