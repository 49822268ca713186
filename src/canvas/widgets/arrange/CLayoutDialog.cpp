#include "canvas/widgets/arrange/CLayoutDialog.h"

#include "canvas/document/CollageDocument.h"
#include "ui/widgets/CBitmapButton.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QSpinBox>

#include <cmath>

namespace mosaiq {
namespace {

CLayoutDialog::Runner& InstalledRunner() {
    static CLayoutDialog::Runner runner;
    return runner;
}

CBitmapButton* MakeButton(int id, const QString& caption, QWidget* parent) {
    auto* b = new CBitmapButton(id, parent);
    b->SetCaption(caption);
    return b;
}

QSpinBox* MakeBox(QWidget* parent, int value, int row, int column) {
    auto* box = new QSpinBox(parent);
    box->setRange(0, 400);
    box->setSuffix(QStringLiteral(" px"));
    box->setValue(value);
    box->setGeometry(112 + column * 190, row, 80, 22);
    return box;
}

void Label(QWidget* parent, const QString& text, int row, int column) {
    auto* label = new QLabel(text, parent);
    label->setGeometry(16 + column * 190, row, 92, 22);
}

} // namespace

CLayoutDialog::CLayoutDialog(CollageDocument& document, QWidget* parent)
    : CSkinDialog(parent), m_document(document), m_objects(document.objects),
      m_layout(document.layout),
      m_spacing(MakeBox(this, int(std::lround(document.layout.spacing)), 40, 0)),
      m_margin(MakeBox(this, int(std::lround(document.layout.margin)), 40, 1)),
      m_corner(MakeBox(this, int(std::lround(document.layout.cornerRadius)), 72, 0)),
      m_fill(new QCheckBox(tr("Fill"), this)), m_family(new QComboBox(this)) {
    setWindowTitle(tr("Layout"));
    Label(this, tr("Spacing"), 40, 0);
    Label(this, tr("Margin"), 40, 1);
    Label(this, tr("Corner radius"), 72, 0);
    m_corner->setToolTip(tr("At most half the shorter side of the smallest cell"));
    m_fill->setChecked(document.layout.fill);
    m_fill->setToolTip(tr("Crop the photos so that they cover the canvas"));
    m_fill->setGeometry(206, 72, 80, 22);
    Label(this, tr("Family"), 104, 0);
    m_family->addItems({tr("Rows"), tr("Grid"), tr("Tree")});
    m_family->setCurrentIndex(std::clamp(int(document.layout.family), 0, 2));
    m_family->setGeometry(112, 104, 120, 22);
    auto* shuffle = MakeButton(3, tr("Shuffle"), this);
    shuffle->setToolTip(tr("Another order of the photos"));
    shuffle->setGeometry(250, 105, 80, 20);
    auto* dissolve = MakeButton(4, tr("Dissolve Layout"), this);
    dissolve->setToolTip(tr("Keep the photos where they are, as free photos"));
    dissolve->setGeometry(16, 148, 120, 20);
    auto* ok = MakeButton(1, tr("OK"), this);
    auto* cancel = MakeButton(2, tr("Cancel"), this);
    ok->setGeometry(226, 148, 70, 20);
    cancel->setGeometry(306, 148, 70, 20);
    connect(m_spacing, &QSpinBox::valueChanged, this, &CLayoutDialog::Preview);
    connect(m_margin, &QSpinBox::valueChanged, this, &CLayoutDialog::Preview);
    connect(m_corner, &QSpinBox::valueChanged, this, &CLayoutDialog::Preview);
    connect(m_fill, &QCheckBox::toggled, this, &CLayoutDialog::Preview);
    connect(m_family, &QComboBox::currentIndexChanged, this, &CLayoutDialog::Preview);
    connect(shuffle, &CBitmapButton::commandIssued, this, &CLayoutDialog::Shuffle);
    connect(dissolve, &CBitmapButton::commandIssued, this, &CLayoutDialog::Dissolve);
    connect(ok, &CBitmapButton::commandIssued, this, [this] {
        Keep();
        accept();
    });
    connect(cancel, &CBitmapButton::commandIssued, this, &QDialog::reject);
    connect(this, &QDialog::rejected, this, &CLayoutDialog::Restore);
    setFixedSize(392, 184);
}

LayoutSettings CLayoutDialog::Settings() const {
    LayoutSettings s;
    s.family = LayoutFamily(std::clamp(m_family->currentIndex(), 0, 2));
    s.spacing = m_spacing->value();
    s.margin = m_margin->value();
    s.cornerRadius = m_corner->value();
    s.fill = m_fill->isChecked();
    return s;
}

int CLayoutDialog::Run() {
    if (InstalledRunner())
        return InstalledRunner()(*this);
    return exec();
}

void CLayoutDialog::SetRunner(Runner runner) {
    InstalledRunner() = std::move(runner);
}

void CLayoutDialog::Preview() {
    if (!m_document.layout.Active())
        return;
    QApplication::setOverrideCursor(Qt::BusyCursor);
    if (ApplyLayoutSettings(m_document, Settings(), m_seed, false))
        m_changed = true;
    QApplication::restoreOverrideCursor();
    // The corner box shows the radius the cells allow.
    const QSignalBlocker block(m_corner);
    m_corner->setValue(int(std::lround(m_document.layout.cornerRadius)));
}

void CLayoutDialog::Shuffle() {
    ++m_seed;
    Preview();
}

void CLayoutDialog::Dissolve() {
    // The photos stay where the dialog showed them; ending the layout is the one step.
    DissolveLayout(m_document);
    m_changed = false;
    accept();
}

void CLayoutDialog::Keep() {
    if (!m_changed)
        return;
    m_document.RecordSnapshot();
    m_document.MarkModified();
    m_changed = false;
}

void CLayoutDialog::Restore() {
    if (!m_changed)
        return;
    m_document.objects = m_objects;
    m_document.layout = m_layout;
    for (CanvasObject& o : m_document.objects) {
        o.DropCaches();
        m_document.RebuildRegion(o);
    }
    m_changed = false;
    m_document.MarkModified();
}

} // namespace mosaiq
