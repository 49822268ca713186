// What a user meets between the window and the document: Add to Canvas with several photos
// selected, a text picked on the canvas and Ctrl+Z in its entry, Save Collage's type and folder
// kept for next time, and the words and windows around them.
#include "WindowTestSupport.h"
#include "canvas/widgets/export/ExportMemory.h"
#include "core/text/FixedText.h"
#include "library/photos/PhotoList.h"
#include "library/widgets/photos/CPhotoBrowser.h"
#include "library/widgets/photos/CScanProgressWindow.h"
#include "shell/widgets/CommandIds.h"
#include "text/widgets/CTextPanel.h"

#include <QDir>
#include <QFile>
#include <QFontMetrics>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTextCursor>

namespace mosaiq {
namespace {

class WindowDocumentTest : public test::WindowTest {
public:
    void SetUp() override {
        // The photo library holds photos of long names that differ only at their end.
        PhotoList list;
        for (int i = 1; i <= 4; ++i) {
            const QString path = Picture(QStringLiteral("orientation-landscape-%1.png").arg(i), 80,
                                         60, QColor(40 * i, 100, 160));
            const std::optional<PictureFileEntry> entry = MakeFileEntry(QString(), path, false);
            ASSERT_TRUE(entry.has_value());
            ASSERT_EQ(list.AddImportedPhoto(*entry), AddPhotoResult::Added);
        }
        ASSERT_TRUE(list.Save(data.File(QStringLiteral("srcmedia.cfg"))));
        WindowTest::SetUp();
        browser = window->findChild<CPhotoBrowser*>();
        ASSERT_NE(browser, nullptr);
        text = qobject_cast<CTextPanel*>(window->Panel(PanelSlot::Text));
        ASSERT_NE(text, nullptr);
    }

    CPhotoBrowser* browser = nullptr;
    CTextPanel* text = nullptr;
};

TEST_F(WindowDocumentTest, AddToCanvasPlacesEverySelectedPhotoAsOneStep) {
    AddPhoto(); // something to undo back to
    Doc().mouseTool = 1; // painting
    browser->setFocus();
    QTest::keyClick(browser, Qt::Key_A, Qt::ControlModifier);
    ASSERT_EQ(browser->Selection().SelectedRecords().size(), 4u);
    const int steps = Steps();
    window->RunCommand(cmd::kAddPhotoToCanvas);
    ASSERT_EQ(Doc().objects.size(), 5u);
    EXPECT_EQ(Steps(), steps + 1);
    EXPECT_FALSE(Canvas().PaintMode());
    for (size_t i = 2; i < 5; ++i)
        EXPECT_EQ(Doc().objects[i].Position() - Doc().objects[i - 1].Position(), QPoint(20, 20));
    window->RunCommand(cmd::kUndo);
    EXPECT_EQ(Doc().objects.size(), 1u);
}

TEST_F(WindowDocumentTest, LibraryCaptionsKeepTheEndsOfNamesThatShareTheirStart) {
    // Names that differ only at their end stay apart however narrow the caption.
    const QString caption = browser->CaptionAt(0);
    EXPECT_TRUE(caption.endsWith(QStringLiteral("1.png"))) << caption.toStdString();
    EXPECT_TRUE(caption.startsWith(QStringLiteral("o"))) << caption.toStdString();
    EXPECT_NE(caption, browser->CaptionAt(1));
    const QFontMetrics metrics(browser->font());
    for (int width : {30, 60, 90, 400}) {
        const QString shown = ElideKeepingTheEnd(QStringLiteral("orientation-landscape-12.jpg"),
                                                 metrics, width);
        EXPECT_LE(metrics.horizontalAdvance(shown), width) << shown.toStdString();
        EXPECT_TRUE(width < 60 || shown.endsWith(QStringLiteral("12.jpg"))) << shown.toStdString();
        EXPECT_TRUE(shown.startsWith(QLatin1Char('o'))) << shown.toStdString();
    }
}

TEST_F(WindowDocumentTest, APickedTextFillsTheEntryWithTheCaretAtTheEndAndTheFocus) {
    window->RunCommand(cmd::kTextTab);
    WriteFixedText(Doc().textTemplate.text, QStringLiteral("Picked words"));
    WriteFixedText(Doc().textTemplate.font.lfFaceName, QStringLiteral("Arial"));
    Doc().textTemplate.font.lfHeight = 40;
    Doc().AddText();
    Doc().objects.back().SetPosition({200, 200});
    text->SetEntryText(QStringLiteral("something else"), false);
    Canvas().setFocus();
    Canvas().Redraw();
    QTest::mouseClick(&Canvas(), Qt::LeftButton, {},
                      QPoint(Canvas().width() - 30, Canvas().height() - 30)); // nothing there
    ClickObject(0);
    ASSERT_TRUE(Doc().objects[0].Selected());
    EXPECT_EQ(text->EntryText(), QStringLiteral("Picked words"));
    EXPECT_TRUE(text->Entry()->hasFocus());
    const QTextCursor cursor = text->Entry()->textCursor();
    EXPECT_FALSE(cursor.hasSelection());
    EXPECT_EQ(cursor.position(), int(QStringLiteral("Picked words").size()));
}

TEST_F(WindowDocumentTest, CtrlZInTheEntryUndoesTheCollageOnceAndShowsTheText) {
    window->RunCommand(cmd::kTextTab);
    text->Entry()->setFocus();
    QTest::keyClicks(text->Entry(), QStringLiteral("Hi"));
    window->RunCommand(cmd::kAddText);
    ASSERT_EQ(Doc().objects.size(), 1u);
    QTest::keyClicks(text->Entry(), QStringLiteral(" there"));
    ASSERT_EQ(ReadFixedText(Doc().objects[0].Text()->text), QStringLiteral("Hi there"));
    QTest::keyClick(text->Entry(), Qt::Key_Z, Qt::ControlModifier);
    ASSERT_EQ(Doc().objects.size(), 1u);
    EXPECT_EQ(ReadFixedText(Doc().objects[0].Text()->text), QStringLiteral("Hi"));
    EXPECT_EQ(text->EntryText(), QStringLiteral("Hi"));
    EXPECT_TRUE(Doc().CanRedo());
    QTest::keyClick(text->Entry(), Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(ReadFixedText(Doc().objects[0].Text()->text), QStringLiteral("Hi there"));
    EXPECT_EQ(text->EntryText(), QStringLiteral("Hi there"));
}

TEST_F(WindowDocumentTest, SaveCollageStartsOnTheTypeAndFolderChosenLast) {
    AddPhoto();
    QTemporaryDir elsewhere;
    dialogs.AnswerFiles({elsewhere.filePath(QStringLiteral("first.webp"))});
    window->RunCommand(cmd::kSaveCollage);
    ASSERT_TRUE(QFile::exists(elsewhere.filePath(QStringLiteral("first.webp"))));
    ASSERT_EQ(dialogs.Filters().size(), 1);
    EXPECT_TRUE(dialogs.Filters()[0].contains(QStringLiteral("(*.webp)")));
    EXPECT_EQ(dialogs.StartFilters()[0], QString());

    dialogs.AnswerFiles({}); // cancelled
    window->RunCommand(cmd::kSaveCollage);
    ASSERT_EQ(dialogs.StartNames().size(), 2);
    EXPECT_EQ(dialogs.StartNames()[1], QDir(elsewhere.path()).filePath(QStringLiteral("untitled")));
    EXPECT_EQ(dialogs.StartFilters()[1], QStringLiteral("(*.webp)"));
}

TEST_F(WindowDocumentTest, TheImportWindowShowsACountBesideTheFile) {
    CScanProgressWindow progress;
    progress.resize(500, 40);
    progress.SetPath(QStringLiteral("/photos/a.jpg"));
    EXPECT_EQ(progress.CountText(), QString());
    progress.SetCount(7, 20);
    EXPECT_EQ(progress.CountText(), QStringLiteral("7 of 20"));
    EXPECT_TRUE(progress.ShownText().startsWith(QStringLiteral("7 of 20")));
    EXPECT_TRUE(progress.ShownText().endsWith(QStringLiteral("a.jpg")));
}

} // namespace
} // namespace mosaiq
