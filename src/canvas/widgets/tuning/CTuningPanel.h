#pragma once

// The tuning panel: six bitmap sliders (Contrast, Brightness, Saturation in the left column,
// Hue, Gamma, Color in the right) and "Reset". A click on a slider's track, or releasing its
// thumb after a drag, reports the change; dragging alone reports nothing. "Reset" puts the
// sliders back to their defaults and reports a reset. The panel keeps no tuning of its own: the
// owner reads the positions and hands the values to the selected objects.

#include "canvas/edits/TuningSliders.h"

#include <QWidget>

#include <array>

namespace mosaiq {

class CBitmapButton;
class CBitmapSlider;

class CTuningPanel : public QWidget {
    Q_OBJECT
public:
    static constexpr int kResetId = 10014;

    explicit CTuningPanel(QWidget* parent = nullptr);

    TuningPositions Positions() const;
    // Shows positions without reporting a change (a slider being dragged is left alone).
    void SetPositions(const TuningPositions& positions);
    CBitmapSlider* Slider(TuningSlider slider) const { return m_sliders[size_t(slider)]; }
    CBitmapButton* ResetButton() const { return m_reset; }
    // Sliders back to their ranges and defaults, then tuningChanged(true).
    void Reset();

signals:
    // The user changed a value (reset false) or pressed "Reset" (reset true).
    void tuningChanged(bool reset);
    // The user moved one slider (sent just before tuningChanged(false)).
    void sliderChanged(TuningSlider slider);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    QRect SliderRect(int index) const;
    QRect LabelRect(int index) const;
    void LayoutSliders();

    std::array<CBitmapSlider*, kTuningSliderCount> m_sliders{};
    CBitmapButton* m_reset = nullptr;
};

} // namespace mosaiq
