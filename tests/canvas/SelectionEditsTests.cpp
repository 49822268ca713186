// Edits of the selected objects: text and its settings, nudging, selecting all.
#include "core/text/FixedText.h"
#include "canvas/document/CollageDocument.h"
#include "canvas/document/SelectionEdits.h"
#include "common/TestSupport.h"
#include "text/TextDraw.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

namespace mosaiq {
namespace {

class SelectionEditsTest : public ::testing::Test {
protected:
    void SetUp() override {
        doc.textTemplate.font.lfHeight = 48;
        WriteFixedText(doc.textTemplate.font.lfFaceName, QStringLiteral("DejaVu Sans"));
        WriteFixedText(doc.textTemplate.text, QStringLiteral("Hi"));
        doc.textTemplate.style = 3;
        doc.AddText(); // selected, one history step
        doc.modified = false;
    }
    TextRecord& Text() { return *doc.objects.back().Text(); }

    test::ScopedDataDir data;
    CollageDocument doc;
};

TEST_F(SelectionEditsTest, NewTextIsMeasuredAgainWithItsCornerKeptAndNoStep) {
    Text().x = 40;
    Text().y = 30;
    const int widthBefore = Text().textWidth;
    const int steps = doc.History().Count();
    QSignalSpy changed(&doc, &CollageDocument::changed);

    ASSERT_TRUE(SetSelectedText(doc, QStringLiteral("Hello there")));
    EXPECT_EQ(ReadFixedText(Text().text), QStringLiteral("Hello there"));
    EXPECT_EQ(ReadFixedText(doc.textTemplate.text), QStringLiteral("Hello there"));
    EXPECT_GT(Text().textWidth, widthBefore);
    EXPECT_EQ(QSize(Text().textWidth, Text().textHeight), MeasureText(Text()));
    EXPECT_EQ(Text().x, 40);
    EXPECT_EQ(Text().y, 30);
    EXPECT_EQ(doc.regionTable[size_t(Text().regionIndex)].size(),
              QSize(Text().textWidth, Text().textHeight));
    EXPECT_TRUE(doc.modified);
    EXPECT_GE(changed.count(), 1);
    EXPECT_EQ(doc.History().Count(), steps);

    // The same text again changes nothing.
    EXPECT_FALSE(SetSelectedText(doc, QStringLiteral("Hello there")));

    // A new line makes the box taller.
    const int oneLine = Text().textHeight;
    SetSelectedText(doc, QStringLiteral("Hello\nthere"));
    EXPECT_GT(Text().textHeight, oneLine);
}

TEST_F(SelectionEditsTest, TextGoesOnlyToTheTemplateWithoutASelectedText) {
    Text().selected = 0;
    EXPECT_FALSE(SetSelectedText(doc, QStringLiteral("Other")));
    EXPECT_EQ(ReadFixedText(Text().text), QStringLiteral("Hi"));
    EXPECT_EQ(ReadFixedText(doc.textTemplate.text), QStringLiteral("Other"));
    EXPECT_FALSE(doc.modified);
}

TEST_F(SelectionEditsTest, TemplateSettingsReachTheSelectedText) {
    doc.textTemplate.style = 6;
    doc.textTemplate.firstColour = MakeColorref(1, 2, 3);
    doc.textTemplate.secondColour = MakeColorref(4, 5, 6);
    doc.textTemplate.transparency = 0.5f;
    ASSERT_TRUE(ApplyTemplateToSelectedText(doc));
    EXPECT_EQ(Text().style, 6);
    EXPECT_EQ(Text().firstColour, MakeColorref(1, 2, 3));
    EXPECT_EQ(Text().secondColour, MakeColorref(4, 5, 6));
    EXPECT_EQ(Text().transparency, 0.5f);
    EXPECT_TRUE(doc.modified);
    // Nothing new: no change reported.
    EXPECT_FALSE(ApplyTemplateToSelectedText(doc));

    // A new face measures the text again.
    WriteFixedText(doc.textTemplate.font.lfFaceName, QStringLiteral("Liberation Mono"));
    WriteFixedText(Text().text, QStringLiteral("iiiiiiii"));
    ASSERT_TRUE(ApplyTemplateToSelectedText(doc));
    EXPECT_EQ(QSize(Text().textWidth, Text().textHeight), MeasureText(Text()));
}

TEST_F(SelectionEditsTest, CommitRecordsOneStep) {
    SetSelectedText(doc, QStringLiteral("a"));
    SetSelectedText(doc, QStringLiteral("ab"));
    const int steps = doc.History().Count();
    CommitSelectionEdit(doc);
    EXPECT_EQ(doc.History().Count(), steps + 1);
    doc.Undo();
    EXPECT_EQ(ReadFixedText(doc.objects.back().Text()->text), QStringLiteral("Hi"));
    doc.Redo();
    EXPECT_EQ(ReadFixedText(doc.objects.back().Text()->text), QStringLiteral("ab"));
}

TEST_F(SelectionEditsTest, NudgeMovesEverySelectedObject) {
    doc.textTemplate.style = 0;
    doc.AddText(); // deselects the first text
    Text().x = 10;
    Text().y = 20;
    EXPECT_TRUE(NudgeSelection(doc, -10, 1));
    EXPECT_EQ(Text().x, 0);
    EXPECT_EQ(Text().y, 21);
    const QPoint firstBefore = doc.objects.front().Position();

    EXPECT_EQ(SelectAllObjects(doc), 2);
    for (const CanvasObject& o : doc.objects)
        EXPECT_TRUE(o.Selected());
    EXPECT_TRUE(NudgeSelection(doc, 1, 0));
    EXPECT_EQ(doc.objects.front().Position(), firstBefore + QPoint(1, 0));

    for (CanvasObject& o : doc.objects)
        o.SetSelected(false);
    doc.modified = false;
    EXPECT_FALSE(NudgeSelection(doc, 1, 1));
    EXPECT_FALSE(doc.modified);
}

} // namespace
} // namespace mosaiq
