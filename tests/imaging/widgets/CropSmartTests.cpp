// The crop dialog's Smart button: the crop of the chosen ratio placed around the subject, still
// movable, and Cancel leaving the photo's crop alone.
#include "imaging/CropFrame.h"
#include "imaging/widgets/crop/CCropConstraintColumn.h"
#include "imaging/widgets/crop/CCropDialog.h"
#include "imaging/widgets/crop/CCropView.h"
#include "ui/widgets/CBitmapButton.h"

#include "common/TestSupport.h"

#include <QPainter>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

using namespace mosaiq;

namespace {

void Click(QWidget* w) {
    QTest::mouseClick(w, Qt::LeftButton, {}, w->rect().center());
}

QString DiscPicture(const test::ScopedDataDir& data) {
    QImage image(1200, 800, QImage::Format_RGB32);
    image.fill(QColor(100, 110, 120));
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(250, 210, 40));
    p.drawEllipse(QPoint(1020, 200), 100, 100);
    p.end();
    const QString path = data.File(QStringLiteral("disc.png"));
    EXPECT_TRUE(image.save(path));
    return path;
}

TEST(CropSmart, ProposesTheRatioAroundTheSubjectAndCancelKeepsNothing) {
    test::ScopedDataDir data;
    const QString path = DiscPicture(data);
    CCropDialog dialog;
    dialog.resize(960, 720);
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    dialog.LoadPicture(path);
    ASSERT_TRUE(dialog.View()->HasPicture());
    ASSERT_TRUE(dialog.SmartButton()->isVisible());
    // "4 * 6": a tall crop; the fresh one sits in the middle, away from the disc.
    dialog.Constraints()->Choose(2);
    const Rect32 before = dialog.View()->Result();
    EXPECT_LT(before.right, 1120);

    QSignalSpy changed(dialog.View(), &CCropView::cropChanged);
    Click(dialog.SmartButton());
    EXPECT_GE(changed.count(), 1);
    const Rect32 smart = dialog.View()->Result();
    EXPECT_LE(smart.left, 920 + 2);
    EXPECT_GE(smart.right, 1120 - 2);
    EXPECT_LE(smart.top, 100 + 2);
    EXPECT_GE(smart.bottom, 300 - 2);
    EXPECT_NEAR(double(smart.right - smart.left) / (smart.bottom - smart.top), 4.0 / 6.0, 0.02);
    EXPECT_TRUE(dialog.View()->Frame().Constrained());

    // Still the user's to move: a drag from inside the rectangle moves it left.
    const Rect32 crop = dialog.View()->Frame().Crop();
    const QPoint inside((crop.left + crop.right) / 2, (crop.top + crop.bottom) / 2);
    QTest::mousePress(dialog.View(), Qt::LeftButton, {}, inside);
    QTest::mouseMove(dialog.View(), inside - QPoint(40, 0));
    QTest::mouseRelease(dialog.View(), Qt::LeftButton, {}, inside - QPoint(40, 0));
    EXPECT_LT(dialog.View()->Result().left, smart.left);

    QSignalSpy finished(&dialog, &QDialog::finished);
    Click(dialog.CancelButton());
    ASSERT_EQ(finished.count(), 1);
    EXPECT_EQ(finished.at(0).at(0).toInt(), int(QDialog::Rejected));
}

TEST(CropSmart, WithoutAConstraintKeepsThePresentShape) {
    test::ScopedDataDir data;
    const QString path = DiscPicture(data);
    CCropDialog dialog;
    dialog.resize(960, 720);
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    dialog.LoadPicture(path);
    const Rect32 before = dialog.View()->Result();
    const double shape = double(before.right - before.left) / (before.bottom - before.top);
    dialog.ProposeSmartCrop();
    const Rect32 smart = dialog.View()->Result();
    EXPECT_NEAR(double(smart.right - smart.left) / (smart.bottom - smart.top), shape, 0.02);
    EXPECT_GE(smart.right, 1120 - 2);
    // Accepting gives the proposal in the picture's pixels.
    QSignalSpy finished(&dialog, &QDialog::finished);
    Click(dialog.CropButton());
    ASSERT_EQ(finished.count(), 1);
    EXPECT_EQ(dialog.Result().left, smart.left);
    EXPECT_EQ(dialog.Result().right, smart.right);
}

} // namespace
