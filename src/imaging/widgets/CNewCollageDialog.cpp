#include "imaging/widgets/CNewCollageDialog.h"

#include "core/text/FixedText.h"
#include "core/Notifier.h"
#include "imaging/widgets/CPlacementButton.h"
#include "ui/NamedColours.h"
#include "ui/widgets/CBitmapButton.h"
#include "ui/widgets/CVexColourPicker.h"
#include "ui/widgets/DialogProvider.h"
#include "ui/widgets/Skin.h"
#include "ui/widgets/SkinPainting.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>

namespace mosaiq {

namespace {

constexpr int kTitleBarHeight = 30;

CNewCollageDialog::Runner& InstalledRunner() {
    static CNewCollageDialog::Runner runner;
    return runner;
}

CBitmapButton* MakeTextButton(int id, const QString& caption, QWidget* parent) {
    auto* button = new CBitmapButton(id, parent);
    button->SetThreePart(true);
    button->SetCaption(caption);
    return button;
}

} // namespace

CNewCollageDialog::CNewCollageDialog(const CollageSettings& settings, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint), m_settings(settings) {
    setWindowTitle(CollageDialogTitle(settings));
    setFixedSize(kNewCollageClientSize);
    CreateControls();
    // The matching placement is shown on; any other value leaves all three off.
    m_placement = settings.placement;
    for (int i = 0; i < 3; ++i)
        m_placements[i]->SetOn(i == settings.placement);
    m_width->setText(QString::number(settings.width));
    m_height->setText(QString::number(settings.height));
    m_path->setText(settings.backgroundPath);
    m_colour->SetColour(settings.backgroundColour);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    m_width->setFocus();
}

void CNewCollageDialog::CreateControls() {
    const NewCollageLayout l = LayOutNewCollage(size());
    const QFont font = DefaultGuiFont();
    auto makeEdit = [&](const QRect& box) {
        auto* edit = new QLineEdit(this);
        edit->setFont(font);
        edit->setGeometry(box);
        return edit;
    };
    m_width = makeEdit(l.widthEdit);
    m_height = makeEdit(l.heightEdit);
    m_path = makeEdit(l.pathEdit);
    m_width->setObjectName(QStringLiteral("width"));
    m_height->setObjectName(QStringLiteral("height"));
    m_path->setObjectName(QStringLiteral("path"));
    // The labels are drawn, not widgets: the controls carry their names themselves.
    m_width->setAccessibleName(tr("Width in pixels"));
    m_height->setAccessibleName(tr("Height in pixels"));
    m_path->setAccessibleName(tr("Background Image"));

    m_colour = new CVexColourPicker(this);
    m_colour->setGeometry(l.colourButton);
    m_colour->SetCustomText(tr("Custom Color"));
    m_colour->setWindowTitle(tr("Color"));
    m_colour->setAccessibleName(tr("Background Color"));

    m_browse = new CBitmapButton(kBrowse, this);
    m_browse->SetBitmaps(348, 348, 348, 348);
    m_browse->setGeometry(l.browseButton);
    m_browse->setToolTip(tr("Browse"));
    connect(m_browse, &CBitmapButton::commandIssued, this, [this] { Browse(); });

    const QString captions[3] = {tr("Center"), tr("Tile"), tr("Stretch")};
    for (int i = 0; i < 3; ++i) {
        m_placements[i] = new CPlacementButton(kCentre + i, captions[i], this);
        m_placements[i]->setGeometry(l.placement[i]);
        connect(m_placements[i], &CPlacementButton::commandIssued, this,
                [this, i] { SetPlacement(i); });
    }

    m_ok = MakeTextButton(1, tr("OK"), this);
    m_ok->setGeometry(l.ok);
    connect(m_ok, &CBitmapButton::commandIssued, this, &CNewCollageDialog::accept);
    m_cancel = MakeTextButton(2, tr("Cancel"), this);
    m_cancel->setGeometry(l.cancel);
    connect(m_cancel, &CBitmapButton::commandIssued, this, &QDialog::reject);
    m_close = new CBitmapButton(kCloseButton, this);
    m_close->SetBitmaps(136, 217, 218, 136);
    m_close->setToolTip(tr("Close"));
    m_close->setGeometry(l.close);
    connect(m_close, &CBitmapButton::commandIssued, this, &QDialog::reject);
}

CPlacementButton* CNewCollageDialog::PlacementButton(int placement) const {
    return placement >= 0 && placement < 3 ? m_placements[placement] : nullptr;
}

void CNewCollageDialog::SetPlacement(int placement) {
    m_placement = placement;
    for (int i = 0; i < 3; ++i)
        m_placements[i]->SetOn(i == placement);
}

int CNewCollageDialog::Run() {
    if (InstalledRunner())
        return InstalledRunner()(*this) == QDialog::Accepted ? 1 : 0;
    return exec() == QDialog::Accepted ? 1 : 0;
}

void CNewCollageDialog::SetRunner(Runner runner) {
    InstalledRunner() = std::move(runner);
}

void CNewCollageDialog::Browse() {
    const QString chosen =
        Dialogs().OpenFileName(this, tr("Background Image"), QString(), BackgroundPictureFilter());
    if (!chosen.isEmpty())
        m_path->setText(chosen);
}

bool CNewCollageDialog::ReadSide(QLineEdit* edit, int* value) {
    QString message;
    if (ParseCanvasSide(edit->text(), value, &message))
        return true;
    Inform(message);
    edit->setFocus();
    edit->selectAll();
    return false;
}

void CNewCollageDialog::accept() {
    int width = 0;
    int height = 0;
    if (!ReadSide(m_width, &width) || !ReadSide(m_height, &height))
        return;
    if (!FitsFixedText(m_path->text(), kBackgroundPathBytes)) {
        Inform(tr("The background picture's path is too long to be kept in a project."));
        m_path->setFocus();
        return;
    }
    m_settings.width = width;
    m_settings.height = height;
    m_settings.backgroundPath = m_path->text();
    // "Automatic" stands for the default background, white.
    const Colorref colour = m_colour->Colour();
    m_settings.backgroundColour =
        colour == kAutomaticColour ? MakeColorref(255, 255, 255) : (colour & 0x00FFFFFFu);
    m_settings.placement = m_placement;
    QDialog::accept();
}

void CNewCollageDialog::keyPressEvent(QKeyEvent* event) {
    // Enter is OK wherever the focus is, Escape is Cancel (QDialog's own handling).
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void CNewCollageDialog::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const int w = width();
    const int h = height();
    const NewCollageLayout l = LayOutNewCollage(size());
    p.fillRect(rect(), QColor(221, 221, 221));
    const QPixmap bar = SkinBitmap(135);
    DrawBitmapPart(p, QRect(0, 0, 30, 30), bar, QRect(0, 0, 30, 30));
    DrawBitmapPart(p, QRect(30, 0, w - 60, 30), bar, QRect(30, 0, 500, 30));
    DrawBitmapPart(p, QRect(w - 30, 0, 30, 30), bar, QRect(988, 0, 30, 30));
    p.setPen(QColor(10, 10, 10));
    p.drawRect(QRect(0, 0, w - 1, h - 1));

    p.setFont(DefaultGuiFont());
    const int flags = Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine;
    p.setPen(Qt::white);
    p.drawText(l.titleShadow, flags, windowTitle());
    p.setPen(Qt::black);
    p.drawText(l.title, flags, windowTitle());
    p.drawText(l.widthLabel, flags, tr("Width"));
    p.drawText(l.widthUnit, flags, tr("pixels"));
    p.drawText(l.heightLabel, flags, tr("Height"));
    p.drawText(l.heightUnit, flags, tr("pixels"));
    const int labelFlags = Qt::AlignRight | Qt::AlignTop | Qt::TextSingleLine;
    p.drawText(l.colourLabel, labelFlags, tr("Background Color"));
    p.drawText(l.imageLabel, labelFlags, tr("Background Image"));
}

void CNewCollageDialog::mousePressEvent(QMouseEvent* event) {
    // The title bar moves the dialog, as a caption would.
    if (event->button() == Qt::LeftButton && event->position().y() < kTitleBarHeight) {
        m_moving = true;
        m_pressOffset = event->globalPosition().toPoint() - pos();
        return;
    }
    QDialog::mousePressEvent(event);
}

void CNewCollageDialog::mouseMoveEvent(QMouseEvent* event) {
    if (m_moving) {
        move(event->globalPosition().toPoint() - m_pressOffset);
        return;
    }
    QDialog::mouseMoveEvent(event);
}

void CNewCollageDialog::mouseReleaseEvent(QMouseEvent* event) {
    if (m_moving && event->button() == Qt::LeftButton) {
        m_moving = false;
        return;
    }
    QDialog::mouseReleaseEvent(event);
}

} // namespace mosaiq
