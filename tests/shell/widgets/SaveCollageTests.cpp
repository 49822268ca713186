// Save Collage from the window: missing photos are named before anything is written, the chosen
// file type decides the format of a name typed without one, and the canvas offers to find a
// missing photo from its context menu.
#include "WindowTestSupport.h"
#include "shell/widgets/CQorMenu.h"
#include "shell/widgets/CommandIds.h"
#include "shell/widgets/MainMenus.h"
#include "shell/widgets/commands/SaveCollage.h"

#include <QFile>
#include <QImageReader>

namespace mosaiq {
namespace {

class SaveCollageTest : public test::WindowTest {
public:
    bool ContextMenuHas(int id) {
        CQorMenu popup(window.get());
        BuildMenu(MenuId::CanvasContext, popup, *window);
        for (QAction* action : popup.actions())
            if (action->data().toInt() == id)
                return true;
        return false;
    }
    static QByteArray FormatOf(const QString& path) {
        QImageReader reader(path);
        reader.setDecideFormatFromContent(true);
        return reader.format();
    }
};

TEST(SaveCollageFilters, TheExtensionComesFromTheFilterEntry) {
    EXPECT_EQ(FilterExtension(QStringLiteral("(*.png)")), QStringLiteral("png"));
    EXPECT_EQ(FilterExtension(QStringLiteral("TIFF pictures (*.TIF)")), QStringLiteral("tif"));
    EXPECT_EQ(FilterExtension(QStringLiteral("All files (*)")), QString());
    EXPECT_EQ(FilterExtension(QString()), QString());
}

TEST_F(SaveCollageTest, TheChosenTypeDecidesTheFormatOfANameWithoutOne) {
    AddPhoto();
    dialogs.AnswerFilter(QStringLiteral("(*.png)"));
    dialogs.AnswerFiles({data.File(QStringLiteral("plain"))});
    window->RunCommand(cmd::kSaveCollage);
    ASSERT_FALSE(dialogs.StartNames().isEmpty());
    EXPECT_EQ(dialogs.StartNames().back(), QStringLiteral("untitled"));
    EXPECT_FALSE(QFile::exists(data.File(QStringLiteral("plain.jpg"))));
    EXPECT_EQ(FormatOf(data.File(QStringLiteral("plain.png"))), QByteArray("png"));

    // A name with its own extension keeps it whatever type was chosen.
    dialogs.AnswerFilter(QStringLiteral("(*.png)"));
    dialogs.AnswerFiles({data.File(QStringLiteral("named.bmp"))});
    window->RunCommand(cmd::kMenuSaveCollage);
    EXPECT_EQ(FormatOf(data.File(QStringLiteral("named.bmp"))), QByteArray("bmp"));
    EXPECT_TRUE(notifier.messages.isEmpty());
}

TEST_F(SaveCollageTest, MissingPhotosAreNamedBeforeAnExportAndCanBeFound) {
    AddPhoto(80, 60, 20, 20);
    AddPhoto(80, 60, Doc().width / 2 + 20, 20); // photos are a third of the canvas: apart
    EXPECT_FALSE(ContextMenuHas(cmd::kFindMissingPhotos));
    ASSERT_TRUE(QFile::remove(data.File(QStringLiteral("p0.png"))));
    Canvas().Redraw();

    // The placeholder can be picked like any photo, and its menu offers to find the file.
    ClickObject(0);
    EXPECT_TRUE(Doc().objects[0].Selected());
    EXPECT_TRUE(ContextMenuHas(cmd::kFindMissingPhotos));

    // No: nothing is asked or written.
    dialogs.Reply(Answer::No);
    window->RunCommand(cmd::kSaveCollage);
    ASSERT_EQ(dialogs.Questions().size(), 1);
    EXPECT_EQ(dialogs.Questions().back(),
              QStringLiteral("1 photo cannot be found and will be left out. Export anyway?"));
    EXPECT_TRUE(dialogs.FileCaptions().isEmpty());

    dialogs.Reply(Answer::Yes);
    const QString out = data.File(QStringLiteral("out.png"));
    dialogs.AnswerFiles({out});
    window->RunCommand(cmd::kSaveCollage);
    const QImage exported(out);
    ASSERT_FALSE(exported.isNull());
    // Left out: the canvas's background where the missing photo stands, the other photo drawn.
    const QPoint missing = Doc().objects[0].Position() + QPoint(5, 5);
    const QPoint present = Doc().objects[1].Position() + QPoint(5, 5);
    EXPECT_EQ(exported.pixelColor(missing), QColor(Qt::white));
    EXPECT_EQ(exported.pixelColor(present), QColor(200, 60, 60));
}

} // namespace
} // namespace mosaiq
