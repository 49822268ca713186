#include "canvas/widgets/export/CExportDialog.h"

#include "canvas/document/CollageDocument.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace mosaiq {
namespace {

CExportDialog::Runner& TestRunner() {
    static CExportDialog::Runner runner;
    return runner;
}

// More than this many warning lines are summed up in one.
constexpr int kMaxWarningLines = 8;

} // namespace

CExportDialog::CExportDialog(const CollageDocument& document, const QString& extension,
                             QWidget* parent)
    : QDialog(parent), m_document(document), m_extension(extension) {
    setWindowTitle(tr("Export Size"));
    m_byScale = new QRadioButton(tr("Scale of the canvas"), this);
    m_byPaper = new QRadioButton(tr("Fit to paper"), this);
    m_scale = new QDoubleSpinBox(this);
    m_scale->setRange(kMinExportScale, kMaxExportScale);
    m_scale->setDecimals(2);
    m_scale->setSingleStep(0.5);
    m_scale->setValue(1.0);
    m_scale->setSuffix(QStringLiteral(" ×"));
    m_paper = new QComboBox(this);
    for (const PaperFormat& p : PaperFormats())
        m_paper->addItem(p.title, p.name);
    m_paper->setCurrentIndex(2); // A4 portrait
    m_dpi = new QSpinBox(this);
    m_dpi->setRange(kMinExportDpi, kMaxExportDpi);
    m_dpi->setValue(kDefaultExportDpi);
    m_dpi->setSuffix(tr(" dpi"));
    m_size = new QLabel(this);
    m_warnings = new QLabel(this);
    m_warnings->setWordWrap(true);
    m_byScale->setChecked(true);

    auto* form = new QFormLayout;
    form->addRow(m_byScale, m_scale);
    form->addRow(m_byPaper, m_paper);
    form->addRow(tr("Resolution"), m_dpi);
    form->addRow(tr("Size"), m_size);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    m_ok = buttons->button(QDialogButtonBox::Ok);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(m_warnings);
    layout->addWidget(buttons);

    connect(m_byScale, &QRadioButton::toggled, this, [this] { Update(); });
    connect(m_scale, &QDoubleSpinBox::valueChanged, this, [this] { Update(); });
    connect(m_paper, &QComboBox::currentIndexChanged, this, [this] { Update(); });
    connect(m_dpi, &QSpinBox::valueChanged, this, [this] { Update(); });
    Update();
}

ExportSettings CExportDialog::Settings() const {
    ExportSettings s;
    s.dpi = m_dpi->value();
    if (m_byPaper->isChecked())
        s.paper = PaperByName(m_paper->currentData().toString());
    else
        s.scale = m_scale->value();
    return s;
}

void CExportDialog::SetSettings(const ExportSettings& settings) {
    m_scale->setValue(settings.scale);
    if (settings.dpi > 0)
        m_dpi->setValue(settings.dpi);
    if (settings.paper) {
        const int index = m_paper->findData(settings.paper->name);
        if (index >= 0)
            m_paper->setCurrentIndex(index);
    }
    (settings.paper ? m_byPaper : m_byScale)->setChecked(true);
    Update();
}

QString CExportDialog::SizeText() const {
    return m_size->text();
}

QString CExportDialog::WarningText() const {
    return m_warnings->text();
}

void CExportDialog::Update() {
    m_scale->setEnabled(m_byScale->isChecked());
    m_paper->setEnabled(m_byPaper->isChecked());
    // Scale 1 to a picture file is the canvas as drawn, written as ever: no resolution in it.
    m_dpi->setEnabled(m_byPaper->isChecked() || m_scale->value() != 1.0 ||
                      m_extension == QLatin1String("pdf"));
    const ExportSettings s = Settings();
    const QSize pixels = ExportPixelSize(m_document, s);
    const QString refused = CheckExportSettings(m_document, s, m_extension);
    QString size = tr("%1 × %2 pixels").arg(pixels.width()).arg(pixels.height());
    if (pixels.width() > 0 && s.dpi > 0)
        size += tr(", %1 × %2 cm")
                    .arg(pixels.width() * 2.54 / s.dpi, 0, 'f', 1)
                    .arg(pixels.height() * 2.54 / s.dpi, 0, 'f', 1);
    m_size->setText(size);
    QStringList lines;
    if (!refused.isEmpty()) {
        lines << refused;
    } else {
        const std::vector<EnlargedPhoto> enlarged = EnlargedPhotos(m_document, s);
        for (size_t i = 0; i < enlarged.size() && i < size_t(kMaxWarningLines); ++i)
            lines << EnlargedPhotoLine(enlarged[i]);
        if (enlarged.size() > size_t(kMaxWarningLines))
            lines << tr("and %1 more photos enlarged past their resolution")
                         .arg(enlarged.size() - size_t(kMaxWarningLines));
    }
    m_warnings->setText(lines.join(QLatin1Char('\n')));
    m_ok->setEnabled(refused.isEmpty());
}

void CExportDialog::SetRunner(Runner runner) {
    TestRunner() = std::move(runner);
}

int CExportDialog::Run() {
    if (TestRunner())
        return TestRunner()(*this);
    return exec();
}

} // namespace mosaiq
