#include "text/widgets/CTextStyleList.h"

#include "core/text/FixedText.h"
#include "text/TextDraw.h"
#include "text/TextTemplateRules.h"
#include "ui/widgets/CVexScrollBar.h"
#include "ui/widgets/SkinPainting.h"
#include "ui/widgets/access/AccessibleItems.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

#include <algorithm>

namespace mosaiq {
namespace {

constexpr QColor kBackground{240, 240, 240};
constexpr QColor kSelectionFrame{200, 200, 200};
constexpr int kBarWidth = 17;

// The sample record of a row: "Text" in bold Microsoft Sans Serif as high as the row's inside.
TextRecord SampleRecord(int style) {
    TextRecord r;
    r.font.lfHeight = CTextStyleList::kRowHeight - 2 * CTextStyleList::kMargin;
    r.font.lfWeight = 700;
    WriteFixedText(r.font.lfFaceName, QStringLiteral("Microsoft Sans Serif"));
    WriteFixedText(r.text, QStringLiteral("Text"));
    r.style = style;
    const StyleColours pair = StylePreviewColours(style);
    r.firstColour = pair.first;
    r.secondColour = pair.second;
    r.transparency = 0.0f;
    r.angle = 0.0f;
    r.scale = 1.0f;
    return r;
}

} // namespace

CTextStyleList::CTextStyleList(QWidget* parent) : QWidget(parent) {
    // Reached by Tab too: Up and Down choose the style above or below.
    setFocusPolicy(Qt::StrongFocus);
    m_bar = new CVScrollBar(this);
    m_bar->SetStep(kRowHeight / 4);
    m_bar->hide();
    connect(m_bar, &CVexScrollBar::scrolled, this, &CTextStyleList::OnScrolled);
}

void CTextStyleList::SetCurrentRow(int row) {
    m_current = row >= 0 && row < kRowCount ? row : -1;
    update();
}

int CTextStyleList::RowWidth() const {
    return width() - (m_bar->isVisible() ? kBarWidth : 0);
}

QRect CTextStyleList::RowRect(int row) const {
    return QRect(0, row * kRowHeight - m_top, RowWidth(), kRowHeight);
}

int CTextStyleList::RowAt(QPoint p) const {
    if (p.x() < 0 || p.x() >= RowWidth())
        return -1;
    const int y = p.y() + m_top;
    const int row = y >= 0 ? y / kRowHeight : -1;
    return row >= 0 && row < kRowCount ? row : -1;
}

int CTextStyleList::ScrollRange() const {
    return std::max(0, kRowCount * kRowHeight - height());
}

void CTextStyleList::ScrollTo(int top) {
    m_top = std::clamp(top, 0, ScrollRange());
    m_bar->SetPosition(m_top);
    update();
}

void CTextStyleList::OnScrolled(int code, int position) {
    const int page = std::max(kRowHeight, height());
    switch (code) {
    case 0:
        ScrollTo(m_top - kRowHeight / 4);
        break;
    case 1:
        ScrollTo(m_top + kRowHeight / 4);
        break;
    case 2:
        ScrollTo(m_top - page);
        break;
    case 3:
        ScrollTo(m_top + page);
        break;
    case 4:
    case 5:
        ScrollTo(position);
        break;
    case 6:
        ScrollTo(0);
        break;
    case 7:
        ScrollTo(ScrollRange());
        break;
    default:
        break;
    }
}

const QPixmap& CTextStyleList::Sample(int row) {
    const QSize size(std::max(RowWidth() - 2 * kMargin, 1), kRowHeight - 2 * kMargin);
    QPixmap& sample = m_samples[size_t(row)];
    if (sample.size() != size) {
        const qreal dpr = devicePixelRatioF();
        QImage image(size * dpr, QImage::Format_ARGB32_Premultiplied);
        image.setDevicePixelRatio(dpr);
        image.fill(Qt::transparent);
        QPainter p(&image);
        DrawTextPreview(p, SampleRecord(row), QRect(QPoint(0, 0), size));
        p.end();
        sample = QPixmap::fromImage(image);
    }
    return sample;
}

void CTextStyleList::resizeEvent(QResizeEvent*) {
    const int range = ScrollRange();
    m_bar->setVisible(range > 0);
    m_bar->setGeometry(width() - kBarWidth, 0, kBarWidth, height());
    m_bar->SetRange(range);
    ScrollTo(m_top);
}

void CTextStyleList::paintEvent(QPaintEvent* event) {
    QPainter p(this);
    p.fillRect(rect(), kBackground);
    for (int row = 0; row < kRowCount; ++row) {
        const QRect r = RowRect(row);
        if (!r.intersects(event->rect()))
            continue;
        p.drawPixmap(r.topLeft() + QPoint(kMargin, kMargin), Sample(row));
        if (row == m_current) {
            const QRect frame = r.adjusted(kMargin - 1, kMargin - 1, -kMargin, -kMargin);
            p.setPen(kSelectionFrame);
            p.setBrush(Qt::NoBrush);
            p.drawRect(frame);
            p.drawRect(frame.translated(-1, -1));
            if (hasFocus())
                DrawFocusMark(p, r);
        }
    }
    if (hasFocus() && m_current < 0)
        DrawFocusMark(p, rect());
}

void CTextStyleList::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return;
    const int row = RowAt(event->position().toPoint());
    if (row < 0)
        return;
    SetCurrentRow(row);
    Q_EMIT rowChosen(row);
}

void CTextStyleList::ChooseRow(int row) {
    if (row < 0 || row >= kRowCount)
        return;
    SetCurrentRow(row);
    const QRect r = RowRect(row);
    if (r.top() < 0)
        ScrollTo(row * kRowHeight);
    else if (r.bottom() >= height())
        ScrollTo((row + 1) * kRowHeight - height());
    AnnounceItem(this, row, QAccessible::Selection);
    if (hasFocus())
        AnnounceItem(this, row, QAccessible::Focus);
    Q_EMIT rowChosen(row);
}

void CTextStyleList::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Up:
        ChooseRow(std::max(0, m_current - 1));
        return;
    case Qt::Key_Down:
        ChooseRow(std::min(kRowCount - 1, m_current + 1));
        return;
    case Qt::Key_Home:
        ChooseRow(0);
        return;
    case Qt::Key_End:
        ChooseRow(kRowCount - 1);
        return;
    default:
        QWidget::keyPressEvent(event);
    }
}

void CTextStyleList::focusInEvent(QFocusEvent* event) {
    update();
    QWidget::focusInEvent(event);
}

void CTextStyleList::focusOutEvent(QFocusEvent* event) {
    update();
    QWidget::focusOutEvent(event);
}

void CTextStyleList::mouseDoubleClickEvent(QMouseEvent* event) {
    mousePressEvent(event);
}

void CTextStyleList::wheelEvent(QWheelEvent* event) {
    // Half a row a notch; small deltas scroll in proportion.
    ScrollTo(m_top - m_wheel.Take(event->angleDelta().y(), kRowHeight / 2));
    event->accept();
}

} // namespace mosaiq
