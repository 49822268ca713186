// The main window's pack and converter commands: the Tools menu's "Import Resource Pack..." and
// "Batch Converter...", and packs handed to the window (command line, second start).
#include "core/Notifier.h"
#include "shell/widgets/CMainDialog.h"
#include "shell/widgets/CommandIds.h"
#include "batch/widgets/CBatchConvertDialog.h"
#include "canvas/output/CollageExport.h"
#include "canvas/widgets/CCollageCanvas.h"
#include "common/TestSupport.h"
#include "library/items/PictureList.h"
#include "library/packs/ResourcePack.h"
#include "ui/widgets/DialogProvider.h"

#include <QApplication>
#include <QSignalSpy>
#include <QTimer>

#include <gtest/gtest.h>

using namespace mosaiq;

namespace {

class PackCommandsTest : public ::testing::Test {
protected:
    test::ScopedDataDir data;
    ScriptedDialogProvider dialogs;
    RecordingNotifier notifier;
    ScopedNotifier scopedNotifier{&notifier};

    void SetUp() override { SetDialogProvider(&dialogs); }
    void TearDown() override { SetDialogProvider(nullptr); }

    QString WritePack(const QString& name, PackKind kind, int items) {
        ResourcePack pack;
        pack.type = int(kind);
        QImage picture(90, 60, QImage::Format_ARGB32);
        picture.fill(qRgba(200, 100, 0, 255));
        for (int i = 0; i < items; ++i)
            pack.items.push_back(*MakePackItem(kind, picture));
        const QString path = data.File(name);
        EXPECT_TRUE(test::WriteAll(path, EncodeResourcePack(pack)));
        return path;
    }
};

TEST_F(PackCommandsTest, ImportFromTheToolsMenuReloadsAndShowsThePanel) {
    CMainDialog window;
    EXPECT_TRUE(window.IsCommandEnabled(cmd::kImportPack));
    QSignalSpy reloads(&window, &CMainDialog::librariesChanged);
    const int before = std::max(0, ReadPictureListCount(data.File(QStringLiteral("tbmask.cfg"))));
    const QString pack = WritePack(QStringLiteral("shapes.irs"), PackKind::Masks, 2);

    dialogs.AnswerFiles({pack});
    ASSERT_TRUE(window.RunCommand(cmd::kImportPack));
    EXPECT_EQ(dialogs.Filters(), QStringList{QStringLiteral("(*.irs) (*.irs)")});
    EXPECT_EQ(reloads.count(), 1);
    EXPECT_EQ(window.ActivePanel(), PanelSlot::Mask);
    EXPECT_EQ(ReadPictureListCount(data.File(QStringLiteral("tbmask.cfg"))), before + 2);
    EXPECT_TRUE(notifier.messages.isEmpty());

    // The same pack again: refused, nothing reloads.
    dialogs.AnswerFiles({pack});
    window.RunCommand(cmd::kImportPack);
    EXPECT_EQ(notifier.messages, QStringList{QStringLiteral("Already in the library.")});
    EXPECT_EQ(reloads.count(), 1);
    // Cancelling the open dialog changes nothing.
    window.RunCommand(cmd::kImportPack);
    EXPECT_EQ(notifier.messages.size(), 1);

    // A damaged pack says why.
    const QString broken = data.File(QStringLiteral("broken.irs"));
    ASSERT_TRUE(test::WriteAll(broken, QByteArray("\x07\0\0\0\0\0\0\0", 8)));
    dialogs.AnswerFiles({broken});
    window.RunCommand(cmd::kImportPack);
    ASSERT_EQ(notifier.messages.size(), 2);
    EXPECT_TRUE(notifier.messages.back().contains(QStringLiteral("unknown type 7")));
}

TEST_F(PackCommandsTest, HandedOverPacksAreImportedWhenTheUserAgrees) {
    CMainDialog window;
    QSignalSpy reloads(&window, &CMainDialog::librariesChanged);
    const QString yes = WritePack(QStringLiteral("yes.IRS"), PackKind::Frames, 1);
    const QString no = WritePack(QStringLiteral("no.irs"), PackKind::Frames, 1);
    const int before = std::max(0, ReadPictureListCount(data.File(QStringLiteral("tbframe.cfg"))));
    dialogs.Reply(Answer::Yes);
    dialogs.Reply(Answer::No);
    window.OpenPaths({yes, no});
    ASSERT_EQ(dialogs.Questions().size(), 2);
    EXPECT_TRUE(dialogs.Questions().front().contains(QStringLiteral("yes.IRS")));
    EXPECT_EQ(reloads.count(), 1);
    EXPECT_EQ(ReadPictureListCount(data.File(QStringLiteral("tbframe.cfg"))), before + 1);
}

TEST_F(PackCommandsTest, AnImportedFrameFramesAPhoto) {
    CMainDialog window;
    // A red frame whose middle is transparent, and a green photo.
    QImage frame(200, 150, QImage::Format_ARGB32);
    frame.fill(qRgba(255, 0, 0, 255));
    for (int y = 15; y < 135; ++y)
        for (int x = 20; x < 180; ++x)
            frame.setPixel(x, y, qRgba(0, 0, 0, 0));
    ResourcePack pack;
    pack.type = int(PackKind::Frames);
    pack.items.push_back(*MakePackItem(PackKind::Frames, frame, {0.1f, 0.1f, 0.9f, 0.9f}));
    const QString path = data.File(QStringLiteral("red.irs"));
    ASSERT_TRUE(test::WriteAll(path, EncodeResourcePack(pack)));
    dialogs.Reply(Answer::Yes);
    window.OpenPaths({path});
    const int frames = ReadPictureListCount(data.File(QStringLiteral("tbframe.cfg")));
    ASSERT_GE(frames, 1);

    QImage photo(160, 120, QImage::Format_RGB32);
    photo.fill(qRgb(0, 255, 0));
    const QString photoPath = data.File(QStringLiteral("photo.png"));
    ASSERT_TRUE(photo.save(photoPath));
    CollageDocument& doc = window.Canvas().Document();
    ASSERT_TRUE(doc.AddPhoto(photoPath, 160, 120, 300, 300));
    ASSERT_TRUE(doc.ApplyFrame(frames - 1));
    const QImage out = RenderCollage(doc).convertToFormat(QImage::Format_RGB32);
    int red = 0, green = 0;
    for (int y = 0; y < out.height(); ++y)
        for (int x = 0; x < out.width(); ++x) {
            const QRgb c = out.pixel(x, y);
            red += qRed(c) > 230 && qGreen(c) < 30 && qBlue(c) < 30;
            green += qGreen(c) > 230 && qRed(c) < 30 && qBlue(c) < 30;
        }
    EXPECT_GT(red, 1000);
    EXPECT_GT(green, 1000);
}

TEST_F(PackCommandsTest, BatchConverterCommandOpensTheConverter) {
    CMainDialog window;
    QString seen;
    QTimer::singleShot(0, [&] {
        if (auto* dialog = qobject_cast<CBatchConvertDialog*>(QApplication::activeModalWidget())) {
            seen = dialog->windowTitle();
            dialog->reject();
        }
    });
    ASSERT_TRUE(window.RunCommand(cmd::kBatchConverter));
    EXPECT_EQ(seen, QStringLiteral("Batch Convert"));
}

} // namespace
