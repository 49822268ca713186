#include "imaging/widgets/crop/CCropView.h"

#include <QMouseEvent>
#include <QPainter>

namespace mosaiq {
namespace {

constexpr QColor kBackground{240, 240, 240};
constexpr QColor kShade{50, 50, 50, 120};
constexpr QColor kHandleFill{150, 200, 255};

QRect ToQRect(const Rect32& r) {
    return QRect(r.left, r.top, r.right - r.left, r.bottom - r.top);
}

Qt::CursorShape HandleCursorShape(int handle) {
    switch (handle) {
    case kHandleTopLeft:
    case kHandleBottomRight:
        return Qt::SizeFDiagCursor;
    case kHandleBottomLeft:
    case kHandleTopRight:
        return Qt::SizeBDiagCursor;
    case kHandleLeft:
    case kHandleRight:
        return Qt::SizeHorCursor;
    default:
        return Qt::SizeVerCursor;
    }
}

} // namespace

CCropView::CCropView(QWidget* parent) : QWidget(parent) {
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void CCropView::SetPicture(const WorkingPicture& picture) {
    m_image = QImage();
    m_error.clear();
    m_pictureSize = QSize();
    if (picture.ok && picture.width > 0 && picture.height > 0 &&
        picture.pixels.size() >= qsizetype(picture.width) * picture.height * 3) {
        // The buffer is top-down BGR with rows of exactly 3 * width bytes.
        m_image = QImage(reinterpret_cast<const uchar*>(picture.pixels.constData()), picture.width,
                         picture.height, picture.width * 3, QImage::Format_BGR888)
                      .convertToFormat(QImage::Format_RGB32);
        m_pictureSize = QSize(picture.fullWidth, picture.fullHeight);
        m_frame.Layout(size(), m_image.size());
    } else {
        m_error = picture.error.isEmpty()
                      ? tr("The picture could not be loaded.")
                      : tr("The picture could not be loaded: %1").arg(picture.error);
        m_frame.Layout(size(), QSize());
    }
    update();
    Q_EMIT cropChanged();
}

void CCropView::ShowMessage(const QString& text) {
    m_image = QImage();
    m_pictureSize = QSize();
    m_error = text;
    m_frame.Layout(size(), QSize());
    update();
    Q_EMIT cropChanged();
}

void CCropView::SetConstraint(float ratioWidth, float ratioHeight) {
    m_frame.SetConstraint(ratioWidth, ratioHeight);
    update();
    Q_EMIT cropChanged();
}

void CCropView::ProposeCrop(const Rect32& rect) {
    if (!HasPicture())
        return;
    m_frame.SetCropFromPicture(rect, m_pictureSize);
    update();
    Q_EMIT cropChanged();
}

Rect32 CCropView::Result() const {
    return m_frame.Result(m_pictureSize);
}

bool CCropView::HasResult() const {
    if (!HasPicture())
        return false;
    const Rect32 r = Result();
    return r.right > r.left && r.bottom > r.top;
}

void CCropView::resizeEvent(QResizeEvent*) {
    m_frame.Layout(size(), m_image.size());
    Q_EMIT cropChanged();
}

void CCropView::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), kBackground);
    if (m_image.isNull()) {
        p.setPen(Qt::black);
        p.drawText(rect().adjusted(10, 10, -10, -10), Qt::AlignCenter | Qt::TextWordWrap, m_error);
        return;
    }
    const QRect display = ToQRect(m_frame.Display());
    const QRect crop = ToQRect(m_frame.Crop());
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.drawImage(display, m_image);
    // Four bands darken the picture outside the crop rectangle.
    p.fillRect(
        QRect(QPoint(display.left(), display.top()), QPoint(display.right(), crop.top() - 1)),
        kShade);
    p.fillRect(
        QRect(QPoint(display.left(), crop.bottom() + 1), QPoint(display.right(), display.bottom())),
        kShade);
    p.fillRect(QRect(QPoint(display.left(), crop.top()), QPoint(crop.left() - 1, crop.bottom())),
               kShade);
    p.fillRect(QRect(QPoint(crop.right() + 1, crop.top()), QPoint(display.right(), crop.bottom())),
               kShade);
    p.setPen(Qt::white);
    p.setBrush(Qt::NoBrush);
    p.drawRect(crop.adjusted(0, 0, -1, -1));
    p.setPen(Qt::black);
    p.setBrush(kHandleFill);
    for (int i = 0; i < kCropHandleCount; ++i) {
        if (m_frame.HandleActive(i))
            p.drawRect(ToQRect(m_frame.HandleRect(i)).adjusted(0, 0, -1, -1));
    }
}

void CCropView::UpdateCursor(QPoint p) {
    const int handle = m_frame.Dragging() ? m_frame.DragHandle() : m_frame.HitHandle(p);
    if (handle >= 0)
        setCursor(HandleCursorShape(handle));
    else if (m_frame.Dragging() || RectContains(m_frame.Crop(), p))
        setCursor(Qt::SizeAllCursor);
    else
        unsetCursor();
}

void CCropView::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !HasPicture())
        return;
    m_frame.BeginDrag(event->position().toPoint());
    UpdateCursor(event->position().toPoint());
}

void CCropView::mouseMoveEvent(QMouseEvent* event) {
    const QPoint p = event->position().toPoint();
    if (m_frame.Dragging()) {
        m_frame.DragTo(p);
        update();
        Q_EMIT cropChanged();
    }
    UpdateCursor(p);
}

void CCropView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !m_frame.Dragging())
        return;
    m_frame.DragTo(event->position().toPoint());
    m_frame.EndDrag();
    update();
    Q_EMIT cropChanged();
}

} // namespace mosaiq
