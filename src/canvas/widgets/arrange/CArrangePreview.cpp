#include "canvas/widgets/arrange/CArrangePreview.h"

#include <QMouseEvent>
#include <QPainter>

namespace mosaiq {
namespace {

constexpr int kCaptionHeight = 18;

// The part of a picture of the target's shape, centred (what fill's crop shows).
QRectF CentredPart(QSizeF picture, QSizeF target) {
    const double scale =
        std::min(picture.width() / target.width(), picture.height() / target.height());
    const QSizeF part(target.width() * scale, target.height() * scale);
    return {(picture.width() - part.width()) / 2, (picture.height() - part.height()) / 2,
            part.width(), part.height()};
}

} // namespace

CArrangePreview::CArrangePreview(LayoutFamily family, const QString& caption, QWidget* parent)
    : QWidget(parent), m_family(family), m_caption(caption) {
    setCursor(Qt::PointingHandCursor);
    setToolTip(caption);
}

void CArrangePreview::SetContent(QSize canvas, QColor background,
                                 const std::vector<QImage>* pictures, const LayoutResult& layout,
                                 bool fill) {
    m_canvas = canvas;
    m_background = background;
    m_pictures = pictures;
    m_layout = layout;
    m_fill = fill;
    update();
}

void CArrangePreview::SetChosen(bool chosen) {
    m_chosen = chosen;
    update();
}

void CArrangePreview::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    const QRect area = rect().adjusted(4, 4, -4, -4 - kCaptionHeight);
    p.fillRect(rect(), m_chosen ? QColor(0x3d, 0x7f, 0xd0) : palette().color(QPalette::Window));
    if (m_canvas.isEmpty())
        return;
    // The canvas fitted into the area, centred.
    const double scale = std::min(double(area.width()) / m_canvas.width(),
                                  double(area.height()) / m_canvas.height());
    const QSizeF shown(m_canvas.width() * scale, m_canvas.height() * scale);
    const QPointF origin(area.left() + (area.width() - shown.width()) / 2,
                         area.top() + (area.height() - shown.height()) / 2);
    p.fillRect(QRectF(origin, shown), m_background);
    for (std::size_t i = 0; i < m_layout.cells.size(); ++i) {
        const QRectF& c = m_layout.cells[i];
        const QRectF target(origin.x() + c.x() * scale, origin.y() + c.y() * scale,
                            c.width() * scale, c.height() * scale);
        const QImage* picture = m_pictures && i < m_pictures->size() ? &(*m_pictures)[i] : nullptr;
        if (picture && !picture->isNull()) {
            const QRectF source = m_fill ? CentredPart(picture->size(), c.size())
                                         : QRectF(QPointF(0, 0), picture->size());
            p.drawImage(target, *picture, source);
        } else {
            p.fillRect(target, QColor(0x90, 0x98, 0xa4));
        }
    }
    if (!m_layout.ok) {
        p.setPen(Qt::red);
        p.drawText(area, Qt::AlignCenter | Qt::TextWordWrap, m_layout.error);
    }
    p.setPen(m_chosen ? Qt::white : palette().color(QPalette::WindowText));
    p.drawText(QRect(0, height() - kCaptionHeight - 2, width(), kCaptionHeight), Qt::AlignCenter,
               m_caption);
}

void CArrangePreview::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        emit chosen(m_family);
}

} // namespace mosaiq
