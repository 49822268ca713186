#pragma once

// The pane under the preset/brush panel: the decoration type selector (the six decoration
// families and the brushes), the brush size and opacity for painting, and the pointer button
// that leaves painting.

#include <QWidget>

namespace mosaiq {

class CBitmapButton;
class CBitmapSlider;
class CVexComboBox;

class CPresetListPane : public QWidget {
    Q_OBJECT
public:
    static constexpr int kPointerButton = 10018;
    static constexpr int kSizeSlider = 10019;
    static constexpr int kOpacitySlider = 10020;
    static constexpr int kMinBrushSize = 4;
    static constexpr int kMaxBrushSize = 400;

    explicit CPresetListPane(QWidget* parent = nullptr);

    int Selector() const;
    // Sets the selector without announcing it.
    void SetSelector(int selector);
    int BrushSize() const;
    void SetBrushSize(int size);
    // Opacity 1–255.
    int BrushOpacity() const;
    void SetBrushOpacity(int opacity);

    CVexComboBox* SelectorBox() const { return m_selector; }
    CBitmapSlider* SizeSlider() const { return m_size; }
    CBitmapSlider* OpacitySlider() const { return m_opacity; }
    CBitmapButton* PointerButton() const { return m_pointer; }

Q_SIGNALS:
    void selectorChanged(int selector);
    void brushSizeChanged(int size);
    void brushOpacityChanged(int opacity);
    void pointerChosen();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    CVexComboBox* m_selector;
    CBitmapSlider* m_size;
    CBitmapSlider* m_opacity;
    CBitmapButton* m_pointer;
    int m_lastSelector = 0;
};

} // namespace mosaiq
