#include "canvas/widgets/arrange/CArrangeDialog.h"

#include "canvas/document/CollageDocument.h"
#include "canvas/document/ObjectCache.h"
#include "canvas/widgets/arrange/CArrangePreview.h"
#include "ui/ColorrefColour.h"
#include "ui/widgets/CBitmapButton.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QSpinBox>

namespace mosaiq {
namespace {

constexpr LayoutFamily kFamilies[3] = {LayoutFamily::Rows, LayoutFamily::Grid, LayoutFamily::Tree};
constexpr int kPreviewWidth = 200;
constexpr int kPreviewHeight = 170;

CArrangeDialog::Runner& InstalledRunner() {
    static CArrangeDialog::Runner runner;
    return runner;
}

std::size_t Slot(LayoutFamily family) {
    return std::size_t(family);
}

CBitmapButton* MakeButton(int id, const QString& caption, QWidget* parent) {
    auto* b = new CBitmapButton(id, parent);
    b->SetCaption(caption);
    return b;
}

} // namespace

CArrangeDialog::CArrangeDialog(CollageDocument& document, const ArrangeOptions& initial,
                               QWidget* parent)
    : CSkinDialog(parent), m_document(document), m_indices(PhotosToArrange(document)),
      m_family(initial.family), m_seed(initial.seed), m_spacing(new QSpinBox(this)),
      m_margin(new QSpinBox(this)), m_fill(new QCheckBox(tr("Fill"), this)),
      m_corner(new QSpinBox(this)),
      m_shuffle(MakeButton(3, tr("Shuffle"), this)), m_ok(MakeButton(1, tr("OK"), this)),
      m_cancel(MakeButton(2, tr("Cancel"), this)) {
    setWindowTitle(tr("Arrange Photos"));
    auto* subject = new QLabel(Subject(), this);
    subject->setObjectName(QStringLiteral("arrangeSubject"));
    subject->setGeometry(16, 12, 400, 20);
    const QString captions[3] = {tr("Rows"), tr("Grid"), tr("Tree")};
    for (LayoutFamily f : kFamilies) {
        auto* preview = new CArrangePreview(f, captions[Slot(f)], this);
        preview->setGeometry(16 + int(Slot(f)) * (kPreviewWidth + 8), 36, kPreviewWidth,
                             kPreviewHeight);
        connect(preview, &CArrangePreview::chosen, this, &CArrangeDialog::ChooseFamily);
        m_previews[Slot(f)] = preview;
    }
    // The pictures the canvas shows now stand for the photos in the previews.
    for (int i : m_indices) {
        const CanvasObject& o = m_document.objects[std::size_t(i)];
        m_pictures.push_back(o.cache ? o.cache->picture : QImage());
    }
    const int row = 36 + kPreviewHeight + 14;
    auto* spacingLabel = new QLabel(tr("Spacing"), this);
    spacingLabel->setGeometry(16, row, 56, 22);
    m_spacing->setRange(0, 400);
    m_spacing->setSuffix(QStringLiteral(" px"));
    m_spacing->setValue(initial.spacing);
    m_spacing->setGeometry(72, row, 80, 22);
    auto* marginLabel = new QLabel(tr("Margin"), this);
    marginLabel->setGeometry(168, row, 50, 22);
    m_margin->setRange(0, 400);
    m_margin->setSuffix(QStringLiteral(" px"));
    m_margin->setValue(initial.margin);
    m_margin->setGeometry(218, row, 80, 22);
    m_fill->setChecked(initial.fill);
    m_fill->setToolTip(tr("Crop the photos so that they cover the canvas"));
    m_fill->setGeometry(316, row, 70, 22);
    m_shuffle->setToolTip(tr("Another order of the photos"));
    m_shuffle->setGeometry(400, row + 1, 80, 20);
    auto* cornerLabel = new QLabel(tr("Corners"), this);
    cornerLabel->setGeometry(16, row + 32, 56, 22);
    m_corner->setRange(0, 400);
    m_corner->setSuffix(QStringLiteral(" px"));
    m_corner->setValue(int(initial.cornerRadius));
    m_corner->setToolTip(tr("Round the corners of the cells"));
    m_corner->setGeometry(72, row + 32, 80, 22);
    connect(m_spacing, &QSpinBox::valueChanged, this, &CArrangeDialog::Refresh);
    connect(m_margin, &QSpinBox::valueChanged, this, &CArrangeDialog::Refresh);
    connect(m_fill, &QCheckBox::toggled, this, &CArrangeDialog::Refresh);
    connect(m_shuffle, &CBitmapButton::commandIssued, this, &CArrangeDialog::Shuffle);
    connect(m_ok, &CBitmapButton::commandIssued, this, &CArrangeDialog::Apply);
    connect(m_cancel, &CBitmapButton::commandIssued, this, &QDialog::reject);
    const int width = 16 * 2 + 3 * kPreviewWidth + 2 * 8;
    m_ok->setGeometry(width - 176, row + 70, 70, 20);
    m_cancel->setGeometry(width - 96, row + 70, 70, 20);
    setFixedSize(width, row + 106);
    Refresh();
}

ArrangeOptions CArrangeDialog::Options() const {
    ArrangeOptions options;
    options.family = m_family;
    options.spacing = m_spacing->value();
    options.margin = m_margin->value();
    options.fill = m_fill->isChecked();
    options.seed = m_seed;
    options.cornerRadius = m_corner->value();
    return options;
}

QString CArrangeDialog::Subject() const {
    int photos = 0;
    for (const CanvasObject& o : m_document.objects)
        photos += o.Photo() ? 1 : 0;
    const int count = int(m_indices.size());
    if (count < photos)
        return tr("Arrange the %n selected photos", nullptr, count);
    return count == 1 ? tr("Arrange the photo") : tr("Arrange all %n photos", nullptr, count);
}

const LayoutResult& CArrangeDialog::PreviewLayout(LayoutFamily family) const {
    return m_layouts[Slot(family)];
}

CArrangePreview* CArrangeDialog::Preview(LayoutFamily family) const {
    return m_previews[Slot(family)];
}

int CArrangeDialog::Run() {
    if (InstalledRunner())
        return InstalledRunner()(*this);
    return exec();
}

void CArrangeDialog::SetRunner(Runner runner) {
    InstalledRunner() = std::move(runner);
}

void CArrangeDialog::ChooseFamily(LayoutFamily family) {
    m_family = family;
    for (CArrangePreview* p : m_previews)
        p->SetChosen(p->Family() == family);
}

void CArrangeDialog::Shuffle() {
    ++m_seed;
    Refresh();
}

void CArrangeDialog::Refresh() {
    const QColor background = ColorFromColorref(m_document.backgroundColour);
    for (LayoutFamily f : kFamilies) {
        ArrangeOptions options = Options();
        options.family = f;
        m_layouts[Slot(f)] = LayoutPhotos(m_document, m_indices, options);
        // The previews draw the pictures in the order of the cells.
        m_previews[Slot(f)]->SetContent(QSize(m_document.width, m_document.height), background,
                                        &m_pictures, m_layouts[Slot(f)], options.fill);
    }
    ChooseFamily(m_family);
    m_ok->Enable(!m_indices.empty());
}

void CArrangeDialog::Apply() {
    if (m_indices.empty())
        return;
    // Laying out many photos and fitting their crops takes a moment: the pointer says so.
    QApplication::setOverrideCursor(Qt::BusyCursor);
    const bool ok = ArrangePhotos(m_document, m_indices, Options()).ok;
    QApplication::restoreOverrideCursor();
    if (ok)
        accept();
}

} // namespace mosaiq
