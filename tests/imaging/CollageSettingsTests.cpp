#include "imaging/CollageSettings.h"
#include "imaging/decode/PictureDecoder.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace mosaiq {
namespace {

struct SideCase {
    const char* text;
    bool accepted;
    int value;
};

TEST(CollageSettings, CanvasSideRangeAndIntegerCheck) {
    const SideCase cases[] = {
        {"9", false, 0},
        {"10", true, 10},
        {"3200", true, 3200},
        {"3201", false, 0},
        {" 1024 ", true, 1024},
        {"abc", false, 0},
        {"12a", false, 0},
        {"", false, 0},
        {"-20", false, 0},
        {"1e3", false, 0},
        {"99999999999999999999", false, 0},
    };
    for (const SideCase& c : cases) {
        int value = -1;
        QString message;
        EXPECT_EQ(ParseCanvasSide(QString::fromLatin1(c.text), &value, &message), c.accepted)
            << c.text;
        if (c.accepted) {
            EXPECT_EQ(value, c.value) << c.text;
        } else {
            EXPECT_EQ(value, -1) << "a refused side leaves the value alone: " << c.text;
            EXPECT_FALSE(message.isEmpty()) << c.text;
        }
    }
    QString message;
    ParseCanvasSide(QStringLiteral("3201"), nullptr, &message);
    EXPECT_EQ(message, QStringLiteral("Please enter an integer between 10 and 3200."));
    ParseCanvasSide(QStringLiteral("wide"), nullptr, &message);
    EXPECT_EQ(message, QStringLiteral("Please enter an integer."));
}

TEST(CollageSettings, CanvasTakesSidesRoundedDownToFour) {
    EXPECT_EQ(CanvasSideFor(1023), 1020);
    EXPECT_EQ(CanvasSideFor(1024), 1024);
    EXPECT_EQ(CanvasSideFor(10), 8);
    EXPECT_EQ(CanvasSideFor(3200), 3200);
}

TEST(CollageSettings, TitleDefaultsToCreateNewCollage) {
    CollageSettings s;
    EXPECT_EQ(CollageDialogTitle(s), QStringLiteral("Create New Collage"));
    s.title = QStringLiteral("Collage Setting");
    EXPECT_EQ(CollageDialogTitle(s), QStringLiteral("Collage Setting"));
}

TEST(CollageSettings, LayoutFollowsTheClientSize) {
    const NewCollageLayout l = LayOutNewCollage(QSize(428, 164));
    EXPECT_EQ(l.colourButton, QRect(QPoint(263, 35), QPoint(407, 52)));
    EXPECT_EQ(l.pathEdit.left(), 263);
    EXPECT_EQ(l.browseButton, QRect(388, 68, 20, 20));
    EXPECT_EQ(l.placement[0], QRect(168, 102, 80, 20));
    EXPECT_EQ(l.placement[2], QRect(328, 102, 80, 20));
    EXPECT_EQ(l.cancel, QRect(QPoint(288, 134), QPoint(352, 154)));
    EXPECT_EQ(l.ok.left(), l.cancel.left() - 230);
    EXPECT_EQ(l.ok.top(), l.cancel.top());
    // The colour label ends where the button begins, three pixels lower; the image label 34 below.
    EXPECT_LT(l.colourLabel.right(), l.colourButton.left());
    EXPECT_GT(l.colourLabel.right() + 10, l.colourButton.left());
    EXPECT_EQ(l.colourLabel.top(), l.colourButton.top() + 3);
    EXPECT_EQ(l.imageLabel.top(), l.colourLabel.top() + 34);
    // Every control lies inside the client.
    for (const QRect& r : {l.widthEdit, l.heightEdit, l.colourButton, l.pathEdit, l.browseButton,
                           l.placement[0], l.ok, l.cancel, l.close})
        EXPECT_TRUE(QRect(0, 0, 428, 164).contains(r));
}

// A palette PNG with a transparency chunk (what ImageMagick writes for a picture of few colours):
// its partial alpha must survive a decode asked for at a smaller size.
TEST(PaletteTransparency, PartialAlphaKeptWhenDecodedForASmallerDisplay) {
    QTemporaryDir dir;
    QImage palette(1600, 1600, QImage::Format_Indexed8);
    palette.setColorTable({qRgba(255, 255, 255, 0), qRgba(255, 0, 0, 204)});
    palette.fill(0);
    for (int y = 400; y < 1200; ++y)
        for (int x = 400; x < 1200; ++x)
            palette.setPixel(x, y, 1);
    const QString path = dir.filePath(QStringLiteral("circle.png"));
    ASSERT_TRUE(palette.save(path));

    for (const QSize minimum : {QSize(), QSize(800, 800), QSize(100, 100)}) {
        QSize full;
        const QImage image = DecodePictureAtLeast(path, minimum, &full);
        ASSERT_FALSE(image.isNull());
        EXPECT_EQ(full, QSize(1600, 1600));
        const QRgb centre = image.pixel(image.width() / 2, image.height() / 2);
        EXPECT_NEAR(qAlpha(centre), 204, 1) << minimum.width();
        EXPECT_NEAR(qRed(centre), 204, 1) << "premultiplied red, " << minimum.width();
        EXPECT_EQ(qAlpha(image.pixel(0, 0)), 0);
    }
}

} // namespace
} // namespace mosaiq
