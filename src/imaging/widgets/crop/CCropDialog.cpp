#include "imaging/widgets/crop/CCropDialog.h"

#include "imaging/decode/PictureLoaders.h"
#include "imaging/widgets/crop/CCropConstraintColumn.h"
#include "imaging/widgets/crop/CCropView.h"
#include "ui/widgets/CBitmapButton.h"

#include <QGuiApplication>
#include <QResizeEvent>
#include <QScreen>

namespace mosaiq {

CCropDialog::CCropDialog(QWidget* parent) : CSkinDialog(parent) {
    setWindowTitle(QStringLiteral("Crop Photo"));
    m_view = new CCropView(this);
    m_constraints = new CCropConstraintColumn(this);
    connect(m_constraints, &CCropConstraintColumn::constraintChosen, m_view,
            &CCropView::SetConstraint);
    connect(m_view, &CCropView::cropChanged, this, &CCropDialog::UpdateCropButton);

    m_crop = new CBitmapButton(kCropId, this);
    m_crop->SetBitmaps(195, 194, 193, 195);
    m_crop->SetCaption(tr("Crop"));
    connect(m_crop, &CBitmapButton::commandIssued, this, &CCropDialog::AcceptCrop);
    m_cancel = new CBitmapButton(kCancelId, this);
    m_cancel->SetBitmaps(195, 194, 193, 195);
    m_cancel->SetCaption(tr("Cancel"));
    connect(m_cancel, &CBitmapButton::commandIssued, this, &CCropDialog::reject);

    QSize size(960, 720);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        size = size.boundedTo(screen->availableGeometry().size() * 9 / 10);
    resize(size);
    UpdateCropButton();
}

void CCropDialog::LoadPicture(const QString& path, bool upright) {
    SetPicture(LoadWorkingPicture(path, upright));
}

void CCropDialog::SetPicture(const WorkingPicture& picture) {
    m_view->SetPicture(picture);
    UpdateCropButton();
}

void CCropDialog::AcceptCrop() {
    if (!m_view->HasResult())
        return;
    m_result = m_view->Result();
    accept();
}

void CCropDialog::UpdateCropButton() {
    m_crop->Enable(m_view->HasResult());
}

void CCropDialog::resizeEvent(QResizeEvent* event) {
    CSkinDialog::resizeEvent(event);
    const int w = width();
    const int h = height();
    m_view->setGeometry(140, 40, std::max(w - 160, 1), std::max(h - 80, 1));
    // The column starts at (20, 40); its buttons are 120 pixels wide, up to the crop view.
    m_constraints->setGeometry(20, 40, 120, std::max(h - 80, 1));
    m_cancel->setGeometry(w - 140, h - 30, 65, 21);
    m_crop->setGeometry(w - 350, h - 30, 65, 21);
}

} // namespace mosaiq
