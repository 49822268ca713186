#include "ui/widgets/CSkinDialog.h"

#include "ui/widgets/CBitmapButton.h"
#include "ui/widgets/Skin.h"
#include "ui/widgets/SkinPainting.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QRegion>

namespace mosaiq {

CSkinDialog::CSkinDialog(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint),
      m_close(new CBitmapButton(kCloseId, this)) {
    m_close->SetBitmaps(136, 217, 218, 136);
    m_close->setToolTip(tr("Close"));
    connect(m_close, &CBitmapButton::commandIssued, this, &QDialog::reject);
}

void CSkinDialog::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    // The close box: 26 x 17 at (w - 40, 7).
    m_close->setGeometry(width() - 40, 7, 26, 17);
    // Clip the window to a rounded rectangle with corner ellipses of 16 × 16.
    QPainterPath path;
    path.addRoundedRect(QRectF(rect()), 8, 8);
    setMask(QRegion(path.toFillPolygon().toPolygon()));
}

void CSkinDialog::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const int w = width();
    const int h = height();
    p.fillRect(rect(), QColor(230, 230, 230));
    const QPixmap left = SkinBitmap(133);
    DrawBitmapPart(p, QRect(0, 27, 20, 10), left, QRect(0, 0, 20, 10));
    DrawBitmapPart(p, QRect(0, 35, 20, h - 59), left, QRect(0, 10, 20, 490));
    DrawBitmapPart(p, QRect(0, h - 24, 20, 24), left, QRect(0, 538, 20, 24));
    const QPixmap right = SkinBitmap(134);
    DrawBitmapPart(p, QRect(w - 20, 27, 20, 10), right, QRect(0, 0, 20, 10));
    DrawBitmapPart(p, QRect(w - 20, 35, 20, h - 59), right, QRect(0, 10, 20, 490));
    DrawBitmapPart(p, QRect(w - 20, h - 24, 20, 24), right, QRect(0, 539, 20, 24));
    const QPixmap bottom = SkinBitmap(132);
    DrawBitmapPart(p, QRect(0, h - 14, 20, 14), bottom, QRect(0, 0, 20, 14));
    DrawBitmapPart(p, QRect(20, h - 14, w - 50, 14), bottom, QRect(20, 0, 720, 14));
    DrawBitmapPart(p, QRect(w - 30, h - 14, 30, 14), bottom, QRect(988, 0, 30, 14));
    const QPixmap top = SkinBitmap(135);
    DrawBitmapPart(p, QRect(0, 0, 30, 30), top, QRect(0, 0, 30, 30));
    DrawBitmapPart(p, QRect(30, 0, w - 60, 30), top, QRect(30, 0, 500, 30));
    DrawBitmapPart(p, QRect(w - 30, 0, 30, 30), top, QRect(988, 0, 30, 30));

    p.setFont(DefaultGuiFont());
    const int flags = Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine;
    p.setPen(Qt::white);
    p.drawText(QRect(QPoint(11, 8), QPoint(w + 1, 31)), flags, windowTitle());
    p.setPen(Qt::black);
    p.drawText(QRect(QPoint(10, 7), QPoint(w, 30)), flags, windowTitle());
}

void CSkinDialog::mousePressEvent(QMouseEvent* event) {
    // The top band acts as the caption: a left press there starts moving the dialog.
    if (event->button() == Qt::LeftButton && event->position().y() < kDragBand) {
        m_moving = true;
        m_pressGlobal = event->globalPosition().toPoint();
        m_pressWindowPos = pos();
        return;
    }
    QDialog::mousePressEvent(event);
}

void CSkinDialog::mouseMoveEvent(QMouseEvent* event) {
    if (m_moving) {
        move(m_pressWindowPos + event->globalPosition().toPoint() - m_pressGlobal);
        return;
    }
    QDialog::mouseMoveEvent(event);
}

void CSkinDialog::mouseReleaseEvent(QMouseEvent* event) {
    if (m_moving && event->button() == Qt::LeftButton) {
        move(m_pressWindowPos + event->globalPosition().toPoint() - m_pressGlobal);
        m_moving = false;
        return;
    }
    QDialog::mouseReleaseEvent(event);
}

} // namespace mosaiq
