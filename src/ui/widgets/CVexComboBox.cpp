#include "ui/widgets/CVexComboBox.h"

#include "ui/ScrollMetrics.h"
#include "ui/widgets/CComboDropDown.h"
#include "ui/widgets/CQorListBox.h"
#include "ui/widgets/SkinPainting.h"
#include "ui/widgets/access/AccessibleItems.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>
#include <QScreen>
#include <QValidator>

namespace mosaiq {

CVexComboBox::CVexComboBox(Style style, QWidget* parent)
    : QWidget(parent), m_style(style), m_drop(new CComboDropDown(this)) {
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    connect(m_drop, &CComboDropDown::rowChosen, this, [this](int row) {
        if (row >= 0 && row < int(m_dropItems.size()))
            Choose(m_dropItems[std::size_t(row)]);
    });
    connect(m_drop, &CComboDropDown::dismissed, this, [this] {
        if (!m_closing) // closed from outside: a click elsewhere or the application deactivated
            CloseDropDown(false);
    });
    if (style == Style::DropDown) {
        m_edit = new QLineEdit(this);
        m_edit->setObjectName(QStringLiteral("edit-%1").arg(kEditId));
        m_edit->setFont(DefaultGuiFont());
        m_edit->setFrame(false);
        m_edit->installEventFilter(this);
        setFocusProxy(m_edit);
        connect(m_edit, &QLineEdit::textEdited, this, &CVexComboBox::OnEditTextEdited);
    }
}

CVexComboBox::~CVexComboBox() {
    m_closing = true;
}

int CVexComboBox::AddString(const QString& text) {
    m_items.append(text);
    m_selectable.push_back(true);
    return GetCount() - 1;
}

void CVexComboBox::ResetContent() {
    m_items.clear();
    m_selectable.clear();
    m_current = -1;
    m_topIndex = 0;
    if (m_edit)
        m_edit->clear();
    update();
}

int CVexComboBox::SetCurSel(int index) {
    if (index < -1 || index >= GetCount())
        return -1;
    const bool changed = m_current != index;
    m_current = index;
    if (m_edit)
        m_edit->setText(index >= 0 ? m_items[index] : QString());
    update();
    if (changed)
        AnnounceValue(this, Text());
    return index;
}

int CVexComboBox::SelectString(int start, const QString& prefix) {
    const int count = GetCount();
    for (int k = 1; k <= count; ++k) {
        const int i = (start + k + count) % count;
        if (m_items[i].startsWith(prefix, Qt::CaseInsensitive))
            return SetCurSel(i);
    }
    return -1;
}

QString CVexComboBox::GetLBText(int index) const {
    return index >= 0 && index < GetCount() ? m_items[index] : QString();
}

int CVexComboBox::GetLBTextLen(int index) const {
    return index >= 0 && index < GetCount() ? int(m_items[index].size()) : -1;
}

int CVexComboBox::SetTopIndex(int index) {
    if (index < 0 || index >= GetCount())
        return -1;
    m_topIndex = index;
    return 0;
}

void CVexComboBox::SetItemSelectable(int index, bool selectable) {
    if (index >= 0 && index < GetCount())
        m_selectable[std::size_t(index)] = selectable;
}

bool CVexComboBox::IsSelectable(int index) const {
    return index >= 0 && index < GetCount() && m_selectable[std::size_t(index)];
}

namespace {
// Without auto-scroll the edit takes no more text than it can show.
class FitsWidthValidator : public QValidator {
public:
    explicit FitsWidthValidator(QLineEdit* edit) : QValidator(edit), m_edit(edit) {}
    State validate(QString& input, int&) const override {
        const int room = m_edit->width() - 4;
        return m_edit->fontMetrics().horizontalAdvance(input) <= room ? Acceptable : Invalid;
    }

private:
    QLineEdit* m_edit;
};
} // namespace

void CVexComboBox::SetAutoScroll(bool on) {
    if (m_edit)
        m_edit->setValidator(on ? nullptr : new FitsWidthValidator(m_edit));
}

QString CVexComboBox::Text() const {
    return m_edit ? m_edit->text() : GetLBText(m_current);
}

bool CVexComboBox::IsDroppedDown() const {
    return m_drop->isVisible();
}

int CVexComboBox::DropDownSelection() const {
    if (!IsDroppedDown())
        return -1;
    const int row = m_drop->List()->CurrentRow();
    return row >= 0 && row < int(m_dropItems.size()) ? m_dropItems[std::size_t(row)] : -1;
}

QRect CVexComboBox::ArrowRect() const {
    return QRect(width() - 20, 0, 20, height());
}

void CVexComboBox::resizeEvent(QResizeEvent*) {
    if (m_edit) {
        const QRect area(0, 0, width() - (kScrollBarThickness + 5), height());
        m_edit->setGeometry(area.adjusted(4, 2, -2, -2));
    }
}

void CVexComboBox::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), isEnabled() ? Qt::white : QColor(240, 240, 240));
    DrawThreePartFace(p, rect(), 19);
    if (m_look != kNormal) {
        p.fillRect(ArrowRect().adjusted(1, 1, -1, -1),
                   m_look == kPressed ? QColor(61, 127, 208, 90) : QColor(61, 127, 208, 40));
    }
    if (!isEnabled())
        p.fillRect(rect().adjusted(1, 1, -1, -1), QColor(240, 240, 240, 120));
    if (m_style == Style::DropDownList && m_current >= 0) {
        p.setFont(DefaultGuiFont());
        p.setPen(isEnabled() ? palette().color(QPalette::ButtonText) : QColor(150, 150, 150));
        const QRect textRect = QRect(3, 1, width() - 24, height() - 2);
        p.drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                   m_items[m_current]);
        if (hasFocus() && !IsDroppedDown()) {
            p.setPen(QPen(QColor(61, 127, 208), 1, Qt::DotLine));
            p.drawRect(textRect.adjusted(-1, 1, 0, -2));
        }
    } else if (m_style == Style::DropDownList && hasFocus() && !IsDroppedDown()) {
        DrawFocusMark(p, rect().adjusted(1, 1, -20, -1));
    }
}

void CVexComboBox::SetLook(int look) {
    if (m_look != look) {
        m_look = look;
        update();
    }
}

void CVexComboBox::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return;
    const bool onFace = m_style == Style::DropDownList || ArrowRect().contains(event->pos());
    if (!onFace)
        return;
    setFocus(Qt::MouseFocusReason);
    SetLook(kPressed);
    ShowDropDown(!IsDroppedDown());
}

void CVexComboBox::mouseReleaseEvent(QMouseEvent* event) {
    SetLook(rect().contains(event->pos()) ? kHover : kNormal);
}

void CVexComboBox::mouseMoveEvent(QMouseEvent* event) {
    if (m_look != kPressed)
        SetLook(rect().contains(event->pos()) ? kHover : kNormal);
}

void CVexComboBox::leaveEvent(QEvent*) {
    SetLook(kNormal);
}

void CVexComboBox::ShowDropDown(bool show) {
    if (show == IsDroppedDown())
        return;
    if (!show) {
        CloseDropDown(false);
        return;
    }
    std::vector<int> all;
    for (int i = 0; i < GetCount(); ++i)
        all.push_back(i);
    OpenDropDown(all);
}

QSize CVexComboBox::DropDownSize() const {
    // The list is framed by one pixel on every side.
    const int rows = std::min(m_visibleRows, std::max(GetCount(), 1));
    const int height = m_visibleRows > 0 ? rows * m_drop->List()->ItemHeight() + 2 : kDropHeight;
    return {std::max(width(), m_droppedWidth), height};
}

QWidget* CVexComboBox::DropDownWindow() const {
    return m_drop;
}

void CVexComboBox::OpenDropDown(const std::vector<int>& items) {
    m_dropItems = items;
    QStringList rows;
    int current = -1;
    for (std::size_t row = 0; row < items.size(); ++row) {
        rows.append(m_items[items[row]]);
        if (items[row] == m_current)
            current = int(row);
    }
    const bool wasOpen = IsDroppedDown();
    m_drop->SetRows(rows, current, items.size() == std::size_t(GetCount()) ? m_topIndex : 0);
    if (!wasOpen) {
        QRect geometry(mapToGlobal(QPoint(0, height())), DropDownSize());
        if (const QScreen* s = screen(); s && geometry.bottom() > s->geometry().bottom())
            geometry.moveBottom(mapToGlobal(QPoint(0, 0)).y() - 1); // no room below: open above
        m_drop->setGeometry(geometry);
        emit dropDown();
        m_drop->show();
        QAccessible::State expanded;
        expanded.expanded = true;
        AnnounceState(this, expanded);
        if (m_edit)
            m_edit->setFocus(); // typing goes on into the edit while suggestions show
    }
    update();
}

void CVexComboBox::CloseDropDown(bool chosen) {
    const bool wasOpen = m_drop->isVisible();
    if (wasOpen) {
        m_closing = true;
        m_drop->hide();
        m_closing = false;
        QAccessible::State expanded;
        expanded.expanded = true;
        AnnounceState(this, expanded);
    }
    if (!chosen)
        emit selEndCancel();
    emit closeUp();
    update();
}

void CVexComboBox::Choose(int index) {
    if (index < 0 || index >= GetCount())
        return;
    m_current = index;
    if (m_edit) {
        m_edit->setText(m_items[index]);
        m_edit->selectAll();
    }
    AnnounceValue(this, Text());
    emit selEndOk();
    CloseDropDown(true);
    emit selChange();
}

void CVexComboBox::StepSelection(int direction) {
    int i = m_current;
    do
        i += direction;
    while (i >= 0 && i < GetCount() && !IsSelectable(i));
    if (i < 0 || i >= GetCount() || i == m_current)
        return;
    SetCurSel(i);
    if (m_edit)
        m_edit->selectAll();
    emit selEndOk();
    emit selChange();
}

void CVexComboBox::StepDropDown(int direction) {
    CQorListBox* list = m_drop->List();
    int row = list->CurrentRow();
    do
        row += direction;
    while (row >= 0 && row < list->Count() && !IsSelectable(m_dropItems[std::size_t(row)]));
    if (row >= 0 && row < list->Count())
        list->SetCurrentRow(row);
}

void CVexComboBox::TypeAhead(QChar letter) {
    for (std::size_t row = 0; row < m_dropItems.size(); ++row) {
        const QString& item = m_items[m_dropItems[row]];
        if (!item.isEmpty() && item.front().toLower() == letter.toLower()) {
            m_drop->List()->SetCurrentRow(int(row));
            return;
        }
    }
}

bool CVexComboBox::HandleKey(QKeyEvent* event) {
    const int key = event->key();
    const bool alt = event->modifiers() & Qt::AltModifier;
    const bool open = IsDroppedDown();
    if (key == Qt::Key_F4 || (alt && (key == Qt::Key_Up || key == Qt::Key_Down))) {
        if (open && DropDownSelection() >= 0)
            Choose(DropDownSelection());
        else
            ShowDropDown(!open);
        return true;
    }
    if (key == Qt::Key_Up || key == Qt::Key_Down) {
        const int direction = key == Qt::Key_Up ? -1 : 1;
        if (open)
            StepDropDown(direction);
        else
            StepSelection(direction);
        return true;
    }
    if (!open)
        return false;
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        if (DropDownSelection() >= 0)
            Choose(DropDownSelection());
        else
            CloseDropDown(false);
        return true;
    }
    if (key == Qt::Key_Escape) {
        CloseDropDown(false);
        return true;
    }
    const QString text = event->text();
    if (m_style == Style::DropDownList && text.size() == 1 && text[0].isLetter() &&
        text[0].unicode() < 128) {
        TypeAhead(text[0]);
        return true;
    }
    if (m_edit) { // typing goes to the edit while the list is open
        QApplication::sendEvent(m_edit, event);
        return true;
    }
    return false;
}

void CVexComboBox::keyPressEvent(QKeyEvent* event) {
    if (!HandleKey(event))
        QWidget::keyPressEvent(event);
}

bool CVexComboBox::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_edit && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        m_suppressComplete = key->key() == Qt::Key_Backspace || key->key() == Qt::Key_Delete;
        if (key->key() == Qt::Key_Right && m_autoComplete && !m_edit->hasSelectedText() &&
            m_edit->cursorPosition() == m_edit->text().size()) {
            CompleteEdit(m_edit->text());
            return true;
        }
        const int k = key->key();
        const bool comboKey =
            k == Qt::Key_F4 || k == Qt::Key_Up || k == Qt::Key_Down ||
            (IsDroppedDown() && (k == Qt::Key_Return || k == Qt::Key_Enter || k == Qt::Key_Escape));
        if (comboKey)
            return HandleKey(key);
    }
    return QWidget::eventFilter(watched, event);
}

void CVexComboBox::CompleteEdit(const QString& typed) {
    if (typed.isEmpty())
        return;
    for (const QString& item : m_items) {
        if (item.size() > typed.size() && item.startsWith(typed, Qt::CaseInsensitive)) {
            m_edit->setText(typed + item.mid(typed.size()));
            m_edit->setSelection(int(typed.size()), int(item.size() - typed.size()));
            return;
        }
    }
}

void CVexComboBox::OnEditTextEdited(const QString& text) {
    emit editChange();
    if (m_autoComplete && !m_suppressComplete)
        CompleteEdit(text);
    if (!m_suggestions)
        return;
    std::vector<int> matches;
    for (int i = 0; i < GetCount(); ++i)
        if (!text.isEmpty() && m_items[i].startsWith(text, Qt::CaseInsensitive))
            matches.push_back(i);
    if (matches.empty()) {
        if (IsDroppedDown())
            CloseDropDown(false);
    } else {
        OpenDropDown(matches);
    }
}

} // namespace mosaiq
