#include "text/widgets/CTextPanel.h"

#include "core/text/FixedText.h"
#include "text/TextFont.h"
#include "text/TextTemplateRules.h"
#include "text/widgets/CTextStyleList.h"
#include "ui/ScrollMetrics.h"
#include "ui/widgets/CBitmapButton.h"
#include "ui/widgets/CBitmapSlider.h"
#include "ui/widgets/CVexColourPicker.h"
#include "ui/widgets/CVexComboBox.h"

#include <QFontDatabase>
#include <QPainter>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QSignalBlocker>

#include <algorithm>

namespace mosaiq {
namespace {

constexpr QColor kBackground{240, 240, 240};
constexpr QColor kFrame{90, 90, 90};
constexpr QColor kCutNotice{180, 0, 0};
constexpr int kControlHeight = 20;
constexpr int kAddHeight = 21;    // "Add" stands in the bottom 21 pixel rows
constexpr int kMinSliderTop = 14; // room above the slider for its percentage
constexpr int kLabelCount = 4;
constexpr int kListMargins = 8; // a list row's text margins, as the drop-down's list measures

} // namespace

CTextPanel::CTextPanel(QWidget* parent) : QWidget(parent) {
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, kBackground);
    setPalette(pal);
    setFont(QFontDatabase::systemFont(QFontDatabase::GeneralFont));

    m_slider = new CBitmapSlider(kSliderId, this);
    m_slider->SetRange(0, 100);
    m_slider->SetPosition(0);
    // While dragged, the thumb carries a tip with the percentage.
    m_slider->SetFlags(CBitmapSlider::kShowTip | CBitmapSlider::kFollowTip);
    connect(m_slider, &CBitmapSlider::positionChanged, this,
            [this](int, int position) { ChooseTransparency(position); });

    m_fonts = new CVexComboBox(CVexComboBox::Style::DropDownList, this);
    FillFontList();
    connect(m_fonts, &CVexComboBox::closeUp, this, [this] { ChooseFont(m_fonts->GetCurSel()); });
    connect(m_fonts, &CVexComboBox::selEndOk, this, [this] { ChooseFont(m_fonts->GetCurSel()); });

    m_first = new CVexColourPicker(this);
    m_first->SetDefaultText(QString());
    m_first->SetCustomText(QStringLiteral("Custom Color"));
    m_first->setToolTip(QStringLiteral("Text Color"));
    connect(m_first, &CVexColourPicker::selectionEnded, this, &CTextPanel::ChooseFirstColour);
    m_second = new CVexColourPicker(this);
    m_second->SetDefaultText(QString());
    m_second->SetCustomText(QStringLiteral("Custom Color"));
    m_second->setToolTip(QStringLiteral("Shadow Color"));
    connect(m_second, &CVexColourPicker::selectionEnded, this, &CTextPanel::ChooseSecondColour);

    m_styles = new CTextStyleList(this);
    connect(m_styles, &CTextStyleList::rowChosen, this, &CTextPanel::ChooseStyle);

    m_entry = new QPlainTextEdit(this);
    m_entry->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_entry->setFrameShape(QFrame::NoFrame);
    m_entry->setTabChangesFocus(true);
    connect(m_entry, &QPlainTextEdit::textChanged, this, &CTextPanel::OnEntryChanged);

    // The labels are drawn, not widgets: the controls carry their names themselves.
    m_slider->setAccessibleName(tr("Transparency"));
    m_fonts->setAccessibleName(tr("Font"));
    m_first->setAccessibleName(tr("1st Color"));
    m_second->setAccessibleName(tr("2nd Color"));
    m_styles->setAccessibleName(tr("Style"));
    m_entry->setAccessibleName(tr("Text"));
    m_entry->verticalScrollBar()->setAccessibleName(tr("Text vertical scroll bar"));
    m_entry->horizontalScrollBar()->setAccessibleName(tr("Text horizontal scroll bar"));

    m_add = new CBitmapButton(kAddId, this);
    m_add->SetBitmaps(195, 194, 193, 195);
    m_add->SetCaption(tr("Add"));
    connect(m_add, &CBitmapButton::commandIssued, this, [this] { Q_EMIT addRequested(); });

    m_template = DefaultTextTemplate(m_fonts->GetCount() > 0 ? m_fonts->GetLBText(0) : QString());
    m_template.transparency = TransparencyFromSlider(m_slider->Position());
    m_first->SetColour(m_template.firstColour);
    m_second->SetColour(m_template.secondColour);
    LayoutControls();
}

void CTextPanel::FillFontList() {
    QStringList faces;
    for (QString family : QFontDatabase::families()) {
        if (!IsListedFontFace(family) || QFontDatabase::isPrivateFamily(family))
            continue;
        // A family installed by several foundries is listed as "Name [Foundry]": a face name
        // keeps the family's own name, as fontconfig resolves it.
        const qsizetype bracket = family.indexOf(QLatin1String(" ["));
        if (bracket > 0)
            family.truncate(bracket);
        faces.append(family);
    }
    faces.sort(Qt::CaseInsensitive);
    faces.removeDuplicates();
    // The drop-down is as wide as the widest name followed by "0", with room for the list's
    // margins and scroll bar, so no name is cut.
    const QFontMetrics metrics(font());
    int widest = 0;
    for (const QString& face : faces) {
        m_fonts->AddString(face);
        widest = std::max(widest, metrics.horizontalAdvance(face + QLatin1Char('0')));
    }
    m_fonts->SetDroppedWidth(widest + kListMargins + kScrollBarThickness + 2);
    if (m_fonts->GetCount() > 0)
        m_fonts->SetCurSel(0);
}

QString CTextPanel::EntryText() const {
    return CutEntryText(m_entry->toPlainText());
}

void CTextPanel::SetEntryText(const QString& text, bool focus) {
    {
        const QSignalBlocker block(m_entry);
        m_entry->setPlainText(CutEntryText(text));
        m_entry->moveCursor(QTextCursor::End);
    }
    m_cutNotice = false;
    update();
    if (focus)
        FocusEntry();
}

void CTextPanel::FocusEntry() {
    m_entry->setFocus(Qt::OtherFocusReason);
}

void CTextPanel::ShowTemplate(const TextTemplate& t) {
    m_filling = true;
    m_template = t;
    SelectFace(FaceName(t.font));
    m_styles->SetCurrentRow(t.style);
    m_first->SetColour(t.firstColour);
    m_second->SetColour(t.secondColour);
    m_slider->SetPosition(SliderFromTransparency(t.transparency));
    // The entry is left alone when it already holds the text, so the caret stays where it is.
    const QString text = ReadFixedText(t.text);
    if (text != m_entry->toPlainText())
        SetEntryText(text, false);
    m_filling = false;
    update();
}

void CTextPanel::SelectFace(const QString& face) {
    for (int i = 0; i < m_fonts->GetCount(); ++i) {
        if (m_fonts->GetLBText(i).compare(face, Qt::CaseInsensitive) == 0) {
            m_fonts->SetCurSel(i);
            return;
        }
    }
    // A face that is not installed (a project from elsewhere): show the family drawing it.
    const QString family = ResolveFace(face).family;
    for (int i = 0; i < m_fonts->GetCount(); ++i) {
        if (m_fonts->GetLBText(i).compare(family, Qt::CaseInsensitive) == 0) {
            m_fonts->SetCurSel(i);
            return;
        }
    }
}

void CTextPanel::ChooseStyle(int row) {
    if (row < 0)
        return;
    ChooseTemplateStyle(m_template, row);
    m_styles->SetCurrentRow(row);
    m_first->SetColour(m_template.firstColour);
    m_second->SetColour(m_template.secondColour);
    Q_EMIT templateChanged();
}

void CTextPanel::ChooseFont(int index) {
    if (index < 0 || index >= m_fonts->GetCount())
        return;
    m_fonts->SetCurSel(index);
    SetTemplateFace(m_template, m_fonts->GetLBText(index));
    Q_EMIT templateChanged();
}

void CTextPanel::ChooseFirstColour(Colorref colour) {
    m_template.firstColour = colour;
    m_first->SetColour(colour);
    Q_EMIT templateChanged();
}

void CTextPanel::ChooseSecondColour(Colorref colour) {
    m_template.secondColour = colour;
    m_second->SetColour(colour);
    Q_EMIT templateChanged();
}

void CTextPanel::ChooseTransparency(int position) {
    if (m_slider->Position() != position)
        m_slider->SetPosition(position);
    m_template.transparency = TransparencyFromSlider(m_slider->Position());
    update(SliderRect().adjusted(-30, -16, 0, 0));
    Q_EMIT templateChanged();
}

void CTextPanel::OnEntryChanged() {
    const QString typed = m_entry->toPlainText();
    bool cut = false;
    const QString kept = CutEntryText(typed, &cut);
    if (cut) {
        // Show exactly what the text object keeps.
        const QSignalBlocker block(m_entry);
        m_entry->setPlainText(kept);
        m_entry->moveCursor(QTextCursor::End);
    }
    if (cut != m_cutNotice) {
        m_cutNotice = cut;
        update();
    }
    WriteFixedText(m_template.text, kept);
    if (!m_filling)
        Q_EMIT textEdited(kept);
}

QRect CTextPanel::SliderRect() const {
    return QRect(110, m_sliderTop, 130, 13);
}

int CTextPanel::RowCentre(int row) const {
    if (row <= 0)
        return m_sliderTop + 6;
    return m_sliderTop + 20 + (row - 1) * m_rowPitch + kControlHeight / 2;
}

QRect CTextPanel::LabelRect(int row) const {
    const int h = fontMetrics().height();
    return QRect(20, RowCentre(row) - h / 2, SliderRect().left() - 5 - 20, h);
}

void CTextPanel::LayoutControls() {
    // The column starts an eighth of the way down; on a short panel it rises, and then its rows
    // close up, so that the last label (as tall as the font really is) ends above "Add".
    m_sliderTop = height() / 8 + 2;
    m_rowPitch = 25;
    const int room = height() - kAddHeight - 2; // the last pixel row a label may use
    const auto overrun = [this, room] { return LabelRect(kLabelCount - 1).bottom() - room; };
    if (overrun() > 0)
        m_sliderTop = std::max(kMinSliderTop, m_sliderTop - overrun());
    if (overrun() > 0)
        m_rowPitch = std::max(kControlHeight + 1, m_rowPitch - (overrun() + 1) / 2);
    const QRect slider = SliderRect();
    m_slider->setGeometry(slider);
    const int left = slider.left();
    const int w = slider.width();
    m_fonts->setGeometry(left, RowCentre(1) - kControlHeight / 2, w, kControlHeight);
    m_first->setGeometry(left, RowCentre(2) - kControlHeight / 2, w, kControlHeight);
    m_second->setGeometry(left, RowCentre(3) - kControlHeight / 2, w, kControlHeight);
    m_styles->setGeometry(260, 20, 130, std::max(height() - 38, CTextStyleList::kRowHeight));
    // "Add" in the bottom-left corner, (L, B - 21) to (L + 76, B - 1); the entry field reaches
    // down to B - 20, and the cut notice stands in the line under it.
    m_entry->setGeometry(400, 20, std::max(width() - 420, 40), std::max(height() - 40, 20));
    m_add->setGeometry(0, height() - 21, 76, 20);
}

void CTextPanel::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    LayoutControls();
}

void CTextPanel::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), kBackground);
    p.setPen(Qt::black);
    const QRect slider = SliderRect();
    p.drawText(QRect(slider.right() + 1 - 20, slider.top() - 14, 20, 14),
               Qt::AlignRight | Qt::AlignVCenter, QString::number(m_slider->Position()));
    const QString labels[kLabelCount] = {tr("Transparency"), tr("Font"), tr("1st Color"),
                                         tr("2nd Color")};
    for (int i = 0; i < kLabelCount; ++i)
        p.drawText(LabelRect(i), Qt::AlignRight | Qt::AlignVCenter, labels[i]);
    p.setPen(kFrame);
    p.setBrush(Qt::NoBrush);
    p.drawRect(m_entry->geometry().adjusted(-1, -1, 0, 0));
    p.drawRect(m_styles->geometry().adjusted(-1, -1, 0, 0));
    p.setPen(Qt::black);
    p.drawText(QRect(m_styles->x(), m_styles->y() - 16, m_styles->width(), 16),
               Qt::AlignLeft | Qt::AlignVCenter, tr("Style"));
    if (m_cutNotice) {
        p.setPen(kCutNotice);
        p.drawText(
            QRect(m_entry->x(), m_entry->geometry().bottom() + 2, m_entry->width(),
                  std::max(height() - m_entry->geometry().bottom() - 2, 0)),
            Qt::AlignLeft | Qt::AlignVCenter,
            tr("A text holds at most %1 characters; the rest was cut off.").arg(kTextEntryLimit));
    }
}

} // namespace mosaiq
