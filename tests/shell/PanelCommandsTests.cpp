// The editing panels in a whole main window, offscreen, with simulated input: the text panel and
// the text objects it edits, the tuning panel, the crop dialog and panel, nudging and Ctrl+A.
#include "canvas/widgets/CCollageCanvas.h"
#include "canvas/widgets/tuning/CTuningPanel.h"
#include "common/TestSupport.h"
#include "core/text/FixedText.h"
#include "core/Notifier.h"
#include "imaging/widgets/crop/CCropConstraintColumn.h"
#include "imaging/widgets/crop/CCropDialog.h"
#include "imaging/widgets/crop/CCropPanel.h"
#include "imaging/widgets/crop/CCropView.h"
#include "shell/widgets/CMainDialog.h"
#include "shell/widgets/CommandIds.h"
#include "text/TextFont.h"
#include "text/widgets/CTextPanel.h"
#include "text/widgets/CTextStyleList.h"
#include "ui/widgets/CBitmapButton.h"
#include "ui/widgets/CBitmapSlider.h"
#include "ui/widgets/CVexColourPicker.h"
#include "ui/widgets/CVexComboBox.h"

#include <QApplication>
#include <QPlainTextEdit>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

namespace mosaiq {
namespace {

class PanelCommandsTest : public ::testing::Test {
protected:
    void SetUp() override {
        window = std::make_unique<CMainDialog>();
        window->resize(1200, 800);
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
        text = qobject_cast<CTextPanel*>(window->Panel(PanelSlot::Text));
        tuning = qobject_cast<CTuningPanel*>(window->Panel(PanelSlot::Tuning));
        ASSERT_NE(text, nullptr);
        ASSERT_NE(tuning, nullptr);
    }
    void TearDown() override { window.reset(); }

    CollageDocument& Doc() { return window->Canvas().Document(); }
    int Steps() { return Doc().History().Count(); }
    TextRecord* LastText() { return Doc().objects.back().Text(); }

    // Clicks an empty part of the canvas: nothing stays selected.
    void ClickEmptyCanvas() {
        CCollageCanvas& canvas = window->Canvas();
        QTest::mouseClick(&canvas, Qt::LeftButton, {},
                          QPoint(canvas.width() - 40, canvas.height() - 40));
    }

    // Types into the entry field and presses "Add" (with a text selected, the typing edits it).
    void AddText(const QString& words) {
        window->RunCommand(cmd::kTextTab);
        text->Entry()->clear();
        QTest::keyClicks(text->Entry(), words);
        QTest::mouseClick(text->AddButton(), Qt::LeftButton, {}, QPoint(5, 5));
    }

    // Lets the pause that ends a typing or nudging burst pass.
    static void WaitForPause() { QTest::qWait(900); }
    // Waits (up to three seconds, for a busy machine) until the history holds `expected` steps.
    int StepsAfterPause(int expected) {
        for (int i = 0; i < 60 && Steps() != expected; ++i)
            QTest::qWait(50);
        return Steps();
    }

    QString Picture(const QString& name, int w, int h) {
        QImage image(w, h, QImage::Format_RGB32);
        image.fill(QColor(40, 120, 200));
        const QString path = data.File(name);
        EXPECT_TRUE(image.save(path));
        return path;
    }

    void AddPhoto(const QString& path, int w, int h) {
        ASSERT_TRUE(Doc().AddPhoto(path, w, h, 10, 10));
    }

    // Runs a command that opens a modal dialog, handing the dialog to answer once it shows.
    void RunWithDialog(int id, std::function<void(CCropDialog&)> answer) {
        bool answered = false;
        QTimer::singleShot(0, [&] {
            auto* dialog = qobject_cast<CCropDialog*>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            answer(*dialog);
            answered = true;
            if (dialog->isVisible())
                dialog->reject();
        });
        window->RunCommand(id);
        EXPECT_TRUE(answered);
    }

    test::ScopedDataDir data;
    RecordingNotifier notifier;
    ScopedNotifier scoped{&notifier};
    std::unique_ptr<CMainDialog> window;
    CTextPanel* text = nullptr;
    CTuningPanel* tuning = nullptr;
};

// --- text

TEST_F(PanelCommandsTest, TheTemplateStartsAsStyleZeroAndFollowsEveryControl) {
    const TextTemplate& t = Doc().textTemplate;
    EXPECT_EQ(t.font.lfHeight, 48);
    EXPECT_EQ(t.style, 0);
    EXPECT_EQ(t.firstColour, MakeColorref(0, 255, 0));
    EXPECT_EQ(FaceName(t.font), text->FontList()->GetLBText(0));
    // The pickers' words as the user reads them.
    EXPECT_EQ(text->SecondColourPicker()->CustomText(), QStringLiteral("Custom Color"));
    EXPECT_EQ(text->SecondColourPicker()->toolTip(), QStringLiteral("Shadow Color"));

    window->RunCommand(cmd::kTextTab);
    CTextStyleList* styles = text->StyleList();
    QTest::mouseClick(styles, Qt::LeftButton, {}, styles->RowRect(3).center());
    EXPECT_EQ(Doc().textTemplate.style, 3);
    EXPECT_EQ(Doc().textTemplate.firstColour, MakeColorref(0, 25, 198));
    EXPECT_EQ(Doc().textTemplate.secondColour, MakeColorref(255, 255, 255));

    text->ChooseFirstColour(MakeColorref(10, 20, 30));
    EXPECT_EQ(Doc().textTemplate.firstColour, MakeColorref(10, 20, 30));
    EXPECT_EQ(Doc().textTemplate.style, 3); // a colour leaves the style
    text->ChooseSecondColour(MakeColorref(40, 50, 60));
    EXPECT_EQ(Doc().textTemplate.secondColour, MakeColorref(40, 50, 60));

    // Dragging the thumb to the end makes the text fully transparent.
    CBitmapSlider* slider = text->TransparencySlider();
    const QPoint thumb = slider->ThumbRect().center();
    QTest::mousePress(slider, Qt::LeftButton, {}, thumb);
    QTest::mouseMove(slider, QPoint(slider->width() + 20, 6));
    QTest::mouseRelease(slider, Qt::LeftButton, {}, QPoint(slider->width() + 20, 6));
    EXPECT_EQ(Doc().textTemplate.transparency, 1.0f);
    QTest::mouseClick(slider, Qt::LeftButton, {}, QPoint(slider->width() / 2, 6));
    EXPECT_FLOAT_EQ(Doc().textTemplate.transparency,
                    float(slider->PositionAt(slider->width() / 2)) * 0.01f);

    ASSERT_GT(text->FontList()->GetCount(), 1);
    text->ChooseFont(1);
    EXPECT_EQ(FaceName(Doc().textTemplate.font), text->FontList()->GetLBText(1));
    // Without a selected text nothing was recorded.
    EXPECT_EQ(Steps(), 0);
}

TEST_F(PanelCommandsTest, AddMakesATextFromTheEntryAndTheTemplate) {
    window->RunCommand(cmd::kTextTab);
    QTest::mouseClick(text->StyleList(), Qt::LeftButton, {},
                      text->StyleList()->RowRect(3).center());
    AddText(QStringLiteral("Hello"));
    ASSERT_EQ(Doc().objects.size(), 1u);
    EXPECT_EQ(ReadFixedText(LastText()->text), QStringLiteral("Hello"));
    EXPECT_EQ(LastText()->style, 3);
    EXPECT_GT(LastText()->textWidth, 0);
    EXPECT_EQ(Steps(), 1);
    EXPECT_TRUE(Doc().modified);

    // An empty entry adds nothing and says why.
    text->Entry()->clear();
    WaitForPause();
    const size_t count = Doc().objects.size();
    window->RunCommand(cmd::kAddText);
    EXPECT_EQ(Doc().objects.size(), count);
    EXPECT_FALSE(notifier.messages.isEmpty());
}

TEST_F(PanelCommandsTest, EditsReachTheSelectedTextWithOneUndoStepEach) {
    AddText(QStringLiteral("Hi"));
    const int afterAdd = Steps();
    QTest::keyClicks(text->Entry(), QStringLiteral(" there"));
    // Live on the object, recorded only when typing pauses.
    EXPECT_EQ(ReadFixedText(LastText()->text), QStringLiteral("Hi there"));
    EXPECT_EQ(Steps(), afterAdd);
    EXPECT_EQ(StepsAfterPause(afterAdd + 1), afterAdd + 1);
    EXPECT_TRUE(Doc().modified);

    // A style choice is a finished change of its own.
    text->ChooseStyle(6);
    EXPECT_EQ(LastText()->style, 6);
    EXPECT_EQ(LastText()->firstColour, MakeColorref(255, 255, 255));
    EXPECT_EQ(Steps(), afterAdd + 2);
    text->ChooseTransparency(40);
    EXPECT_FLOAT_EQ(LastText()->transparency, 0.4f);
    EXPECT_EQ(Steps(), afterAdd + 3);

    window->RunCommand(cmd::kUndo);
    window->RunCommand(cmd::kUndo);
    EXPECT_EQ(LastText()->style, 0);
    EXPECT_EQ(ReadFixedText(LastText()->text), QStringLiteral("Hi there"));
    window->RunCommand(cmd::kUndo);
    EXPECT_EQ(ReadFixedText(LastText()->text), QStringLiteral("Hi"));
}

TEST_F(PanelCommandsTest, SelectingATextFillsThePanel) {
    window->RunCommand(cmd::kTextTab);
    text->ChooseStyle(5);
    AddText(QStringLiteral("First"));
    ClickEmptyCanvas();
    text->ChooseStyle(2);
    text->ChooseTransparency(30);
    AddText(QStringLiteral("Second"));
    WaitForPause();

    // Click the first text on the canvas.
    CCollageCanvas& canvas = window->Canvas();
    TextRecord& first = *Doc().objects.front().Text();
    first.x = 300;
    first.y = 300;
    canvas.Redraw();
    canvas.EnsureRegions();
    const QPointF inside = Doc().objects.front().screenRegion.boundingRect().center();
    QTest::mouseClick(&canvas, Qt::LeftButton, {}, inside.toPoint() - canvas.ScrollOffset());
    ASSERT_TRUE(Doc().objects.front().Selected());
    EXPECT_EQ(text->EntryText(), QStringLiteral("First"));
    EXPECT_EQ(text->Template().style, 5);
    EXPECT_EQ(text->StyleList()->CurrentRow(), 5);
    EXPECT_EQ(text->TransparencySlider()->Position(), 0);

    // Editing now changes the first text only.
    QTest::keyClick(text->Entry(), Qt::Key_End, Qt::ControlModifier);
    QTest::keyClicks(text->Entry(), QStringLiteral("!"));
    EXPECT_EQ(ReadFixedText(first.text), QStringLiteral("First!"));
    EXPECT_EQ(ReadFixedText(LastText()->text), QStringLiteral("Second"));

    // A double click (a press, then the double click) opens the Text tab with the entry focused.
    window->RunCommand(cmd::kTuningTab);
    ClickEmptyCanvas();
    QApplication::setActiveWindow(window.get());
    QTest::mouseClick(&canvas, Qt::LeftButton, {}, inside.toPoint() - canvas.ScrollOffset());
    QTest::mouseDClick(&canvas, Qt::LeftButton, {}, inside.toPoint() - canvas.ScrollOffset());
    EXPECT_EQ(window->ActivePanel(), PanelSlot::Text);
    EXPECT_TRUE(Doc().objects.front().Selected());
    EXPECT_TRUE(text->Entry()->hasFocus());
}

TEST_F(PanelCommandsTest, EnterStartsANewLine) {
    AddText(QStringLiteral("one"));
    const int oneLine = LastText()->textHeight;
    QTest::keyClick(text->Entry(), Qt::Key_Return);
    QTest::keyClicks(text->Entry(), QStringLiteral("two"));
    EXPECT_EQ(ReadFixedText(LastText()->text), QStringLiteral("one\ntwo"));
    EXPECT_GT(LastText()->textHeight, oneLine);
    EXPECT_EQ(Doc().objects.size(), 1u);
}

TEST_F(PanelCommandsTest, TheLimitCutsVisibly) {
    AddText(QStringLiteral("x"));
    text->Entry()->insertPlainText(QString(1200, QLatin1Char('y')));
    EXPECT_EQ(text->Entry()->toPlainText().size(), 999);
    EXPECT_TRUE(text->CutNoticeShown());
    EXPECT_EQ(ReadFixedText(LastText()->text).size(), 999);
    // Deleting brings the notice down again.
    QTest::keyClick(text->Entry(), Qt::Key_Backspace);
    EXPECT_FALSE(text->CutNoticeShown());
}

// --- tuning

TEST_F(PanelCommandsTest, TuningWithoutASelectionSaysSoAndRecordsNothing) {
    window->RunCommand(cmd::kTuningTab);
    CBitmapSlider* contrast = tuning->Slider(TuningSlider::Contrast);
    QTest::mouseClick(contrast, Qt::LeftButton, {}, QPoint(contrast->width() - 2, 6));
    ASSERT_EQ(notifier.messages.size(), 1);
    EXPECT_EQ(notifier.messages.front(),
              QStringLiteral("Please select a photo or clipart on the canvas."));
    EXPECT_EQ(Steps(), 0);
}

TEST_F(PanelCommandsTest, TuningGoesToEverySelectedPhotoWithOneStepAndResetSwitchesItOff) {
    AddPhoto(Picture(QStringLiteral("a.png"), 60, 40), 60, 40);
    AddPhoto(Picture(QStringLiteral("b.png"), 40, 60), 40, 60);
    window->RunCommand(cmd::kSelectAll);
    const int before = Steps();
    window->RunCommand(cmd::kTuningTab);
    CBitmapSlider* brightness = tuning->Slider(TuningSlider::Brightness);
    QTest::mouseClick(brightness, Qt::LeftButton, {}, QPoint(brightness->width() - 2, 6));
    EXPECT_EQ(Steps(), before + 1);
    const float expected = float(brightness->PositionAt(brightness->width() - 2)) * 0.01f - 1.0f;
    EXPECT_GT(expected, 0.9f);
    for (const CanvasObject& o : Doc().objects) {
        EXPECT_EQ(o.Tuning()->active, 1);
        EXPECT_FLOAT_EQ(o.Tuning()->brightness, expected);
        EXPECT_FLOAT_EQ(o.Tuning()->contrast, 1.0f);
    }

    Doc().objects.front().SetSelected(false);
    QTest::mouseClick(tuning->ResetButton(), Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(Steps(), before + 2);
    EXPECT_EQ(Doc().objects.front().Tuning()->active, 1);
    const TuningBlock& reset = *Doc().objects.back().Tuning();
    EXPECT_EQ(reset.active, 0);
    EXPECT_EQ(reset.brightness, 0.0f);
    EXPECT_EQ(reset.colour, 0.0f);
    EXPECT_EQ(reset.gamma, 1.0f);
}

// --- crop

TEST_F(PanelCommandsTest, CropIsGreyWithoutAPhoto) {
    EXPECT_FALSE(window->IsCommandEnabled(cmd::kCrop));
    AddText(QStringLiteral("t"));
    EXPECT_FALSE(window->IsCommandEnabled(cmd::kMenuCrop));
}

TEST_F(PanelCommandsTest, CropToFiveBySevenIsOneUndoStep) {
    AddPhoto(Picture(QStringLiteral("p.png"), 400, 600), 400, 600);
    const int before = Steps();
    RunWithDialog(cmd::kCrop, [](CCropDialog& dialog) {
        EXPECT_TRUE(dialog.View()->HasPicture());
        // Eight buttons of 120 x 20 from (20, 40), an eighth of the column apart.
        CCropConstraintColumn* column = dialog.Constraints();
        const int step = (dialog.height() - 80) / 8;
        for (int i = 0; i < 8; ++i) {
            const QRect r(column->Button(i)->mapTo(&dialog, QPoint(0, 0)),
                          column->Button(i)->size());
            EXPECT_EQ(r, QRect(20, 40 + i * step, 120, 20)) << i;
        }
        // A click on the radio mark at a button's left end chooses it: the mark is the button's.
        const QPoint mark = column->Button(3)->geometry().topLeft() + QPoint(8, 10);
        QWidget* hit = column->childAt(mark);
        ASSERT_EQ(hit, column->Button(3));
        QTest::mouseClick(hit, Qt::LeftButton, {}, hit->mapFrom(column, mark));
        EXPECT_EQ(column->Checked(), 3);
        QTest::mouseClick(dialog.CropButton(), Qt::LeftButton, {}, QPoint(5, 5));
    });
    const PhotoRecord& p = *Doc().objects.back().Photo();
    EXPECT_EQ(Steps(), before + 1);
    const int w = p.cropRight - p.cropLeft;
    const int h = p.cropBottom - p.cropTop;
    EXPECT_NEAR(double(w) / h, 5.0 / 7.0, 0.02);
    EXPECT_GE(p.cropLeft, 0);
    EXPECT_GE(p.cropTop, 0);
    EXPECT_LE(p.cropRight, 400);
    EXPECT_LE(p.cropBottom, 600);
    EXPECT_EQ(p.boxWidth, w);

    window->RunCommand(cmd::kUndo);
    EXPECT_EQ(Doc().objects.back().Photo()->cropRight, 400);
}

TEST_F(PanelCommandsTest, CancelChangesNothing) {
    AddPhoto(Picture(QStringLiteral("p.png"), 300, 200), 300, 200);
    const int before = Steps();
    RunWithDialog(cmd::kMenuCrop, [](CCropDialog& dialog) {
        QTest::mouseClick(dialog.CancelButton(), Qt::LeftButton, {}, QPoint(5, 5));
    });
    EXPECT_EQ(Steps(), before);
    EXPECT_EQ(Doc().objects.back().Photo()->cropRight, 300);
}

TEST_F(PanelCommandsTest, AnUnreadablePictureIsSaidAndCropStaysDisabled) {
    const QString path = data.File(QStringLiteral("broken.jpg"));
    ASSERT_TRUE(test::WriteAll(path, QByteArray("not a picture at all")));
    AddPhoto(path, 100, 100);
    RunWithDialog(cmd::kCrop, [](CCropDialog& dialog) {
        EXPECT_FALSE(dialog.View()->HasPicture());
        EXPECT_FALSE(dialog.View()->Error().isEmpty());
        EXPECT_EQ(dialog.CropButton()->State(), CBitmapButton::kDisabled);
        QTest::mouseClick(dialog.CropButton(), Qt::LeftButton, {}, QPoint(5, 5));
        EXPECT_TRUE(dialog.isVisible());
    });
    EXPECT_EQ(Doc().objects.back().Photo()->cropRight, 100);
}

TEST_F(PanelCommandsTest, TheCropPanelShowsTheSelectedPhotoAndCrops) {
    EXPECT_TRUE(window->IsCommandEnabled(cmd::kCropPanel));
    AddPhoto(Picture(QStringLiteral("p.png"), 200, 100), 200, 100);
    window->RunCommand(cmd::kCropPanel);
    auto* panel = qobject_cast<CCropPanel*>(window->Panel(PanelSlot::Crop));
    ASSERT_NE(panel, nullptr);
    ASSERT_TRUE(panel->View()->HasPicture());
    const int before = Steps();
    QTest::mouseClick(panel->CropButton(), Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(Steps(), before + 1);
    const PhotoRecord& p = *Doc().objects.back().Photo();
    EXPECT_GT(p.cropLeft, 0);
    EXPECT_LT(p.cropRight, 200);
}

// --- keys

TEST_F(PanelCommandsTest, ArrowKeysNudgeWithOneStepPerBurst) {
    AddPhoto(Picture(QStringLiteral("p.png"), 50, 50), 50, 50);
    CCollageCanvas& canvas = window->Canvas();
    const QPoint start = Doc().objects.back().Position();
    const int before = Steps();
    QTest::keyClick(&canvas, Qt::Key_Right);
    QTest::keyClick(&canvas, Qt::Key_Right);
    QTest::keyClick(&canvas, Qt::Key_Down, Qt::ShiftModifier);
    EXPECT_EQ(Doc().objects.back().Position(), start + QPoint(2, 10));
    EXPECT_EQ(Steps(), before);
    EXPECT_EQ(StepsAfterPause(before + 1), before + 1);
    QTest::keyClick(&canvas, Qt::Key_Left, Qt::ShiftModifier);
    QTest::keyClick(&canvas, Qt::Key_Up);
    EXPECT_EQ(Doc().objects.back().Position(), start + QPoint(-8, 9));
    EXPECT_EQ(StepsAfterPause(before + 2), before + 2);
}

TEST_F(PanelCommandsTest, CtrlASelectsEveryObject) {
    AddPhoto(Picture(QStringLiteral("a.png"), 50, 50), 50, 50);
    AddPhoto(Picture(QStringLiteral("b.png"), 50, 50), 50, 50);
    EXPECT_FALSE(Doc().objects.front().Selected());
    window->Canvas().setFocus();
    QTest::keyClick(&window->Canvas(), Qt::Key_A, Qt::ControlModifier);
    for (const CanvasObject& o : Doc().objects)
        EXPECT_TRUE(o.Selected());
}

} // namespace
} // namespace mosaiq
