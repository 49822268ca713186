#include "ui/widgets/CComboDropDown.h"

#include "ui/widgets/CQorListBox.h"
#include "ui/widgets/CScrolledListBox.h"
#include "ui/widgets/CVexComboBox.h"

#include <QKeyEvent>
#include <QPainter>

#include <algorithm>

namespace mosaiq {

CComboDropDown::CComboDropDown(CVexComboBox* owner)
    : QWidget(owner, Qt::Popup | Qt::FramelessWindowHint), m_owner(owner),
      m_list(new CScrolledListBox(this)) {
    // A click on the combo box that closes the list must not open it again.
    setAttribute(Qt::WA_NoMouseReplay);
    m_list->List()->setFocusPolicy(Qt::NoFocus);
    connect(m_list->List(), &CQorListBox::rowClicked, this, &CComboDropDown::rowChosen);
}

CQorListBox* CComboDropDown::List() const {
    return m_list->List();
}

void CComboDropDown::SetRows(const QStringList& rows, int current, int top) {
    List()->SetItems(rows);
    m_list->UpdateBars();
    List()->SetOffset(QPoint(0, std::max(0, top) * List()->ItemHeight()));
    m_list->UpdateBars(); // clamps the offset to what the list can scroll
    List()->SetCurrentRow(current);
}

void CComboDropDown::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setPen(QColor(136, 146, 160));
    p.drawRect(rect().adjusted(0, 0, -1, -1));
}

void CComboDropDown::resizeEvent(QResizeEvent*) {
    m_list->setGeometry(rect().adjusted(1, 1, -1, -1));
}

void CComboDropDown::keyPressEvent(QKeyEvent* event) {
    if (!m_owner->HandleKey(event))
        QWidget::keyPressEvent(event);
}

void CComboDropDown::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    emit dismissed();
}

} // namespace mosaiq
