#include "ui/widgets/CScrolledListBox.h"

#include "ui/ScrollMetrics.h"
#include "ui/widgets/CQorListBox.h"
#include "ui/widgets/CVexScrollBar.h"

#include <QPainter>

#include <algorithm>

namespace mosaiq {

int ApplyScrollCode(int code, int position, int offset, int line, int range) {
    switch (ScrollCode(code)) {
    case ScrollCode::LineUp:
        offset -= line;
        break;
    case ScrollCode::LineDown:
        offset += line;
        break;
    case ScrollCode::PageUp:
        offset -= 100;
        break;
    case ScrollCode::PageDown:
        offset += 100;
        break;
    case ScrollCode::Track:
    case ScrollCode::ThumbDrag:
        offset = position;
        break;
    case ScrollCode::Top:
        offset = 0;
        break;
    case ScrollCode::Bottom:
        offset = range;
        break;
    }
    return std::clamp(offset, 0, std::max(0, range));
}

CScrolledListBox::CScrolledListBox(QWidget* parent)
    : QWidget(parent), m_list(new CQorListBox(this)), m_vertical(new CVScrollBar(this)),
      m_horizontal(new CHScrollBar(this)) {
    connect(m_vertical, &CVexScrollBar::scrolled, this, &CScrolledListBox::OnVertical);
    connect(m_horizontal, &CVexScrollBar::scrolled, this, &CScrolledListBox::OnHorizontal);
    connect(m_list, &CQorListBox::offsetChanged, this, [this](QPoint offset) {
        m_vertical->SetPosition(offset.y());
        m_horizontal->SetPosition(offset.x());
    });
}

void CScrolledListBox::resizeEvent(QResizeEvent*) {
    UpdateBars();
}

void CScrolledListBox::paintEvent(QPaintEvent*) {
    QPainter(this).fillRect(rect(), QColor(240, 240, 240));
}

void CScrolledListBox::UpdateBars() {
    const QSize content = m_list->ContentSize();
    bool needV = content.height() > height();
    const bool needH = content.width() > width() - (needV ? kScrollBarThickness : 0);
    needV = content.height() > height() - (needH ? kScrollBarThickness : 0);
    const int viewW = width() - (needV ? kScrollBarThickness : 0);
    const int viewH = height() - (needH ? kScrollBarThickness : 0);
    m_list->setGeometry(0, 0, viewW, viewH);
    m_vertical->setVisible(needV);
    m_horizontal->setVisible(needH);
    m_vertical->setGeometry(viewW, 0, kScrollBarThickness, viewH);
    m_horizontal->setGeometry(0, viewH, viewW, kScrollBarThickness);
    m_vertical->SetStep(m_list->ItemHeight());
    m_vertical->SetRange(std::max(0, content.height() - viewH));
    m_horizontal->SetRange(std::max(0, content.width() - viewW));
    const QPoint offset(std::min(m_list->Offset().x(), m_horizontal->Range()),
                        std::min(m_list->Offset().y(), m_vertical->Range()));
    m_list->SetOffset(offset);
    m_vertical->SetPosition(offset.y());
    m_horizontal->SetPosition(offset.x());
}

void CScrolledListBox::OnVertical(int code, int position) {
    const int y = ApplyScrollCode(code, position, m_list->Offset().y(), m_list->ItemHeight(),
                                  m_vertical->Range());
    m_list->SetOffset(QPoint(m_list->Offset().x(), y));
}

void CScrolledListBox::OnHorizontal(int code, int position) {
    const int x = ApplyScrollCode(code, position, m_list->Offset().x(), 10, m_horizontal->Range());
    m_list->SetOffset(QPoint(x, m_list->Offset().y()));
}

} // namespace mosaiq
