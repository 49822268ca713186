#include "imaging/widgets/crop/CCropPanel.h"

#include "imaging/decode/PictureLoaders.h"
#include "imaging/widgets/crop/CCropConstraintColumn.h"
#include "imaging/widgets/crop/CCropView.h"
#include "ui/widgets/CBitmapButton.h"

namespace mosaiq {
namespace {

constexpr QColor kBackground{240, 240, 240};

} // namespace

CCropPanel::CCropPanel(QWidget* parent) : QWidget(parent) {
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, kBackground);
    setPalette(pal);
    m_constraints = new CCropConstraintColumn(this);
    m_view = new CCropView(this);
    connect(m_constraints, &CCropConstraintColumn::constraintChosen, m_view,
            &CCropView::SetConstraint);
    connect(m_view, &CCropView::cropChanged, this, &CCropPanel::UpdateCropButton);
    m_crop = new CBitmapButton(1, this);
    m_crop->SetBitmaps(195, 194, 193, 195);
    m_crop->SetCaption(tr("Crop"));
    connect(m_crop, &CBitmapButton::commandIssued, this, [this] {
        if (m_view->HasResult())
            Q_EMIT cropRequested(m_view->Result());
    });
    ShowPhoto(QString());
}

void CCropPanel::ShowPhoto(const QString& path, bool upright) {
    m_path = path;
    m_upright = upright;
    if (path.isEmpty()) {
        m_view->ShowMessage(tr("Please select a photo on the canvas."));
        UpdateCropButton();
        return;
    }
    SetPicture(LoadWorkingPicture(path, upright));
}

void CCropPanel::SetPicture(const WorkingPicture& picture) {
    m_view->SetPicture(picture);
    UpdateCropButton();
}

void CCropPanel::UpdateCropButton() {
    m_crop->Enable(m_view->HasResult());
}

void CCropPanel::resizeEvent(QResizeEvent*) {
    const int h = height();
    m_constraints->setGeometry(8, 6, 250, std::max(h - 12, 1));
    m_view->setGeometry(266, 4, std::max(width() - 266 - 96, 1), std::max(h - 8, 1));
    m_crop->setGeometry(width() - 84, h - 27, 76, 20);
}

void CCropPanel::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    Q_EMIT shown();
}

} // namespace mosaiq
