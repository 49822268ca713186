#include "library/widgets/photos/CScanProgressWindow.h"

#include "library/photos/PhotoGrid.h"
#include "ui/widgets/CBitmapButton.h"

#include <QApplication>
#include <QDir>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QWindow>

namespace mosaiq {
namespace {

constexpr QColor kFill{230, 230, 230};
constexpr QColor kBorder{150, 150, 150};
constexpr QSize kWindowSize{520, 48};

} // namespace

CScanProgressWindow::CScanProgressWindow(QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint) {
    setWindowTitle(tr("Importing photos"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    resize(kWindowSize);
    m_stop = new CBitmapButton(kStopId, this);
    m_stop->SetBitmaps(206, 205, 204, 206);
    m_stop->SetThreePart(true);
    m_stop->SetCaption(tr("Stop"));
    m_stop->SetTextColour(QColor(30, 30, 30));
    connect(m_stop, &CBitmapButton::commandIssued, this, [this] { Q_EMIT stopRequested(); });
}

void CScanProgressWindow::SetPath(const QString& path) {
    m_path = path;
    update();
}

void CScanProgressWindow::SetCount(int done, int total) {
    m_done = done;
    m_total = total;
    update();
}

QString CScanProgressWindow::CountText() const {
    return m_total > 0 ? tr("%1 of %2").arg(m_done).arg(m_total) : QString();
}

QRect CScanProgressWindow::TextBox() const {
    return QRect(10, 10, std::max(0, width() - 100 - 10), std::max(0, height() - 10));
}

QString CScanProgressWindow::ShownText() const {
    const QFontMetrics metrics(QApplication::font());
    const int letter = std::max(1, metrics.horizontalAdvance(QLatin1Char('T')));
    // The count goes first, so a long path never pushes it out of sight.
    const QString count = CountText();
    const QString lead = count.isEmpty() ? QString() : count + QStringLiteral("   ");
    const int room = std::max(0, TextBox().width() / letter - int(lead.size()));
    return lead + CutTextToFit(QDir::toNativeSeparators(m_path), room);
}

void CScanProgressWindow::ShowCentred() {
    const QScreen* screen =
        parentWidget() ? parentWidget()->screen() : QGuiApplication::primaryScreen();
    if (screen) {
        QRect r(QPoint(0, 0), size());
        r.moveCenter(screen->geometry().center());
        move(r.topLeft());
    }
    show();
    raise();
}

void CScanProgressWindow::resizeEvent(QResizeEvent*) {
    m_stop->setGeometry(width() - 90, 14, 70, 20);
}

void CScanProgressWindow::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), kFill);
    p.setFont(QApplication::font());
    p.setPen(Qt::black);
    p.drawText(TextBox(), Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, ShownText());
    p.setPen(kBorder);
    p.setBrush(Qt::NoBrush);
    p.drawRect(rect().adjusted(0, 0, -1, -1));
}

void CScanProgressWindow::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return;
    // A press anywhere moves the window, as a caption would.
    if (QWindow* handle = windowHandle(); handle && handle->startSystemMove())
        return;
    m_moving = true;
    m_pressOffset = event->globalPosition().toPoint() - pos();
}

void CScanProgressWindow::mouseMoveEvent(QMouseEvent* event) {
    if (m_moving && (event->buttons() & Qt::LeftButton))
        move(event->globalPosition().toPoint() - m_pressOffset);
}

void CScanProgressWindow::mouseReleaseEvent(QMouseEvent*) {
    m_moving = false;
}

void CScanProgressWindow::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter ||
        event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QWidget::keyPressEvent(event);
}

} // namespace mosaiq
