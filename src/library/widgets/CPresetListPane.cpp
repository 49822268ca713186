#include "library/widgets/CPresetListPane.h"

#include "library/items/DecorationTypes.h"
#include "ui/widgets/CBitmapButton.h"
#include "ui/widgets/CBitmapSlider.h"
#include "ui/widgets/CVexComboBox.h"

#include <QPainter>

namespace mosaiq {
namespace {

constexpr int kLabelWidth = 56;
constexpr int kRowHeight = 20;

} // namespace

CPresetListPane::CPresetListPane(QWidget* parent) : QWidget(parent) {
    m_selector = new CVexComboBox(CVexComboBox::Style::DropDownList, this);
    for (int k = 0; k < kDecorationSelectorCount; ++k)
        m_selector->AddString(tr(DecorationSelectorName(k).toLatin1().constData()));
    m_selector->SetCurSel(0);
    // Room for eight families without scrolling (the decoration packs may add one).
    m_selector->SetVisibleRows(8);
    auto announce = [this] {
        const int k = m_selector->GetCurSel();
        if (k < 0 || k == m_lastSelector)
            return;
        m_lastSelector = k;
        Q_EMIT selectorChanged(k);
    };
    connect(m_selector, &CVexComboBox::closeUp, this, announce);
    connect(m_selector, &CVexComboBox::selEndOk, this, announce);

    m_size = new CBitmapSlider(kSizeSlider, this);
    m_size->SetRange(kMinBrushSize, kMaxBrushSize);
    m_size->SetPosition(50);
    connect(m_size, &CBitmapSlider::positionChanged, this,
            [this](int, int position) { Q_EMIT brushSizeChanged(position); });
    m_opacity = new CBitmapSlider(kOpacitySlider, this);
    m_opacity->SetRange(1, 255);
    m_opacity->SetPosition(255);
    connect(m_opacity, &CBitmapSlider::positionChanged, this,
            [this](int, int position) { Q_EMIT brushOpacityChanged(position); });

    m_pointer = new CBitmapButton(kPointerButton, this);
    m_pointer->SetCaption(tr("Pointer"));
    m_pointer->SetTextColour(QColor(30, 30, 30));
    m_pointer->setToolTip(tr("Stop painting (Esc)"));
    connect(m_pointer, &CBitmapButton::commandIssued, this, [this] { Q_EMIT pointerChosen(); });
    // The labels are drawn, not widgets: the controls carry their names themselves.
    m_selector->setAccessibleName(tr("Decoration family"));
    m_size->setAccessibleName(tr("Brush size"));
    m_opacity->setAccessibleName(tr("Brush opacity"));
}

int CPresetListPane::Selector() const {
    return m_selector->GetCurSel();
}

void CPresetListPane::SetSelector(int selector) {
    m_selector->SetCurSel(selector);
    m_lastSelector = selector;
}

int CPresetListPane::BrushSize() const {
    return m_size->Position();
}

void CPresetListPane::SetBrushSize(int size) {
    m_size->SetPosition(size);
}

int CPresetListPane::BrushOpacity() const {
    return m_opacity->Position();
}

void CPresetListPane::SetBrushOpacity(int opacity) {
    m_opacity->SetPosition(opacity);
}

void CPresetListPane::resizeEvent(QResizeEvent*) {
    const int w = width();
    m_selector->setGeometry(2, 2, w - 4, kRowHeight);
    m_size->setGeometry(kLabelWidth, 26, w - kLabelWidth - 4, 16);
    m_opacity->setGeometry(kLabelWidth, 46, w - kLabelWidth - 4, 16);
    m_pointer->setGeometry(2, height() - kRowHeight - 2, w - 4, kRowHeight);
}

void CPresetListPane::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), QColor(240, 240, 240));
    p.setPen(QColor(40, 40, 40));
    p.drawText(QRect(4, 26, kLabelWidth - 6, 16), Qt::AlignLeft | Qt::AlignVCenter, tr("Size"));
    p.drawText(QRect(4, 46, kLabelWidth - 6, 16), Qt::AlignLeft | Qt::AlignVCenter, tr("Opacity"));
}

} // namespace mosaiq
