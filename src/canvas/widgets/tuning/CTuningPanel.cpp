#include "canvas/widgets/tuning/CTuningPanel.h"

#include "ui/widgets/CBitmapButton.h"
#include "ui/widgets/CBitmapSlider.h"

#include <QFontDatabase>
#include <QPainter>

namespace mosaiq {
namespace {

constexpr QColor kBackground{240, 240, 240};
constexpr int kSliderHeight = 13;
constexpr int kRowStep = 20;

QString SliderLabel(int index) {
    switch (TuningSlider(index)) {
    case TuningSlider::Contrast:
        return CTuningPanel::tr("Contrast");
    case TuningSlider::Brightness:
        return CTuningPanel::tr("Brightness");
    case TuningSlider::Saturation:
        return CTuningPanel::tr("Saturation");
    case TuningSlider::Hue:
        return CTuningPanel::tr("Hue");
    case TuningSlider::Gamma:
        return CTuningPanel::tr("Gamma");
    default:
        return CTuningPanel::tr("Color");
    }
}

} // namespace

CTuningPanel::CTuningPanel(QWidget* parent) : QWidget(parent) {
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, kBackground);
    setPalette(pal);
    for (int i = 0; i < kTuningSliderCount; ++i) {
        const TuningSliderInfo& info = TuningSliderTable()[size_t(i)];
        auto* slider = new CBitmapSlider(info.controlId, this);
        slider->SetRange(info.minimum, info.maximum);
        slider->SetPosition(info.defaultPosition);
        slider->setToolTip(SliderLabel(i));
        // A track click reports at once; a dragged thumb reports only when it is let go.
        connect(slider, &CBitmapSlider::positionChanged, this, [this, slider, i] {
            if (slider->IsDragging())
                return;
            Q_EMIT sliderChanged(TuningSlider(i));
            Q_EMIT tuningChanged(false);
        });
        m_sliders[size_t(i)] = slider;
    }
    m_reset = new CBitmapButton(kResetId, this);
    m_reset->SetBitmaps(195, 194, 193, 195);
    m_reset->SetCaption(tr("Reset"));
    m_reset->setGeometry(0, 0, 76, 20);
    connect(m_reset, &CBitmapButton::commandIssued, this, &CTuningPanel::Reset);
    LayoutSliders();
}

TuningPositions CTuningPanel::Positions() const {
    TuningPositions p{};
    for (int i = 0; i < kTuningSliderCount; ++i)
        p[size_t(i)] = m_sliders[size_t(i)]->Position();
    return p;
}

void CTuningPanel::SetPositions(const TuningPositions& positions) {
    for (int i = 0; i < kTuningSliderCount; ++i)
        if (!m_sliders[size_t(i)]->IsDragging())
            m_sliders[size_t(i)]->SetPosition(positions[size_t(i)]);
}

void CTuningPanel::Reset() {
    for (int i = 0; i < kTuningSliderCount; ++i) {
        const TuningSliderInfo& info = TuningSliderTable()[size_t(i)];
        m_sliders[size_t(i)]->SetRange(info.minimum, info.maximum);
        m_sliders[size_t(i)]->SetPosition(info.defaultPosition);
    }
    Q_EMIT tuningChanged(true);
}

QRect CTuningPanel::SliderRect(int index) const {
    const TuningSliderInfo& info = TuningSliderTable()[size_t(index)];
    const int w = width();
    const int top = 30 + info.row * kRowStep;
    const int left = info.rightColumn ? w / 2 + 100 : 100;
    const int right = info.rightColumn ? w - 20 : w / 2;
    return QRect(left, top, std::max(right - left, 20), kSliderHeight);
}

QRect CTuningPanel::LabelRect(int index) const {
    const QRect slider = SliderRect(index);
    const int labelWidth = TuningSliderTable()[size_t(index)].rightColumn ? 50 : 70;
    return QRect(slider.left() - labelWidth, slider.top() - 2, labelWidth, slider.height() + 4);
}

void CTuningPanel::LayoutSliders() {
    for (int i = 0; i < kTuningSliderCount; ++i)
        m_sliders[size_t(i)]->setGeometry(SliderRect(i));
    m_reset->move(0, height() - 21);
}

void CTuningPanel::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    LayoutSliders();
}

void CTuningPanel::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), kBackground);
    p.setFont(QFontDatabase::systemFont(QFontDatabase::GeneralFont));
    p.setPen(Qt::black);
    for (int i = 0; i < kTuningSliderCount; ++i)
        p.drawText(LabelRect(i), Qt::AlignLeft | Qt::AlignVCenter, SliderLabel(i));
}

} // namespace mosaiq
