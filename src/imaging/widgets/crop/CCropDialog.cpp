#include "imaging/widgets/crop/CCropDialog.h"

#include "imaging/decode/PictureLoaders.h"
#include "imaging/subject/SubjectCrop.h"
#include "imaging/widgets/crop/CCropConstraintColumn.h"
#include "imaging/widgets/crop/CCropView.h"
#include "ui/widgets/CBitmapButton.h"

#include <QApplication>
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
    m_smart = new CBitmapButton(kSmartId, this);
    m_smart->SetBitmaps(195, 194, 193, 195);
    m_smart->SetCaption(tr("Smart"));
    m_smart->setToolTip(tr("Place the crop around the faces or the main subject"));
    connect(m_smart, &CBitmapButton::commandIssued, this, &CCropDialog::ProposeSmartCrop);

    QSize size(960, 720);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        size = size.boundedTo(screen->availableGeometry().size() * 9 / 10);
    resize(size);
    UpdateCropButton();
}

void CCropDialog::LoadPicture(const QString& path, bool upright) {
    m_path = path;
    m_upright = upright;
    SetPicture(LoadWorkingPicture(path, upright));
}

void CCropDialog::ProposeSmartCrop() {
    if (!m_view->HasPicture())
        return;
    const CropFrame& frame = m_view->Frame();
    double aspect = 0.0;
    if (frame.Constrained() && frame.RatioHeight() > 0)
        aspect = double(frame.RatioWidth()) / double(frame.RatioHeight());
    else if (RectHeight(frame.Crop()) > 0)
        aspect = double(RectWidth(frame.Crop())) / double(RectHeight(frame.Crop()));
    const Rect32 present = m_view->Result();
    std::optional<PictureSubject> subject;
    if (!m_path.isEmpty()) {
        // A photo imported earlier has its subject cached; another is looked at now.
        QApplication::setOverrideCursor(Qt::WaitCursor);
        subject = SubjectOfPhoto(m_path, m_upright);
        QApplication::restoreOverrideCursor();
    }
    const QRect crop =
        PlaceSubjectCrop(m_view->PictureSize(), subject ? &*subject : nullptr, aspect,
                         QRect(QPoint(present.left, present.top),
                               QPoint(present.right - 1, present.bottom - 1)));
    m_view->ProposeCrop({crop.left(), crop.top(), crop.left() + crop.width(),
                         crop.top() + crop.height()});
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
    // Below the constraint buttons, as wide as they are.
    m_smart->setGeometry(20, h - 30, 120, 21);
}

} // namespace mosaiq
