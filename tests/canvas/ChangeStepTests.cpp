// The one place every change passes: a pending burst of nudges or typing becomes its own undo
// step before any other change, however that change is made; several photos added at once are
// one step; painting ends when anything but a stamp is placed; and after Undo or Redo the
// selection is what the step changed.
#include "canvas/document/CollageDocument.h"
#include "canvas/document/PhotoFiles.h"
#include "canvas/document/SelectionEdits.h"
#include "canvas/interaction/CanvasInteraction.h"
#include "canvas/interaction/SelectionAlign.h"
#include "canvas/render/Compositor.h"
#include "common/TestSupport.h"
#include "core/Notifier.h"
#include "core/text/FixedText.h"

#include <QImage>
#include <QPainter>

#include <functional>

#include <gtest/gtest.h>

namespace mosaiq {
namespace {

class ChangeStepTest : public ::testing::Test {
public:
    void AddPhoto(int x, int y) {
        ASSERT_TRUE(doc.AddPhoto(QStringLiteral("p.jpg"), 100, 80, x, y));
    }
    QString Picture(const QString& name) {
        QImage image(40, 30, QImage::Format_RGB32);
        image.fill(Qt::darkCyan);
        const QString path = data.File(name);
        EXPECT_TRUE(image.save(path));
        return path;
    }
    std::vector<QPoint> Positions() const {
        std::vector<QPoint> p;
        for (const CanvasObject& o : doc.objects)
            p.push_back(o.Position());
        return p;
    }
    std::vector<bool> Selection() const {
        std::vector<bool> s;
        for (const CanvasObject& o : doc.objects)
            s.push_back(o.Selected());
        return s;
    }
    void Draw() {
        QImage surface(doc.width, doc.height, QImage::Format_ARGB32_Premultiplied);
        QPainter painter(&surface);
        compositor.Render(doc, painter, RenderOptions{});
    }

    test::ScopedDataDir data;
    RecordingNotifier notifier;
    ScopedNotifier scoped{&notifier};
    CollageDocument doc;
    Compositor compositor;
};

// Three nudges, then a change made by some path: the nudges are a step of their own, before the
// change's, and a late end of the burst (the pause timer) adds nothing.
TEST_F(ChangeStepTest, APendingBurstIsItsOwnStepBeforeEveryChange) {
    const std::pair<const char*, std::function<void(ChangeStepTest&)>> paths[] = {
        {"add photo", [](ChangeStepTest& t) { t.AddPhoto(300, 300); }},
        {"add photo files",
         [](ChangeStepTest& t) {
             EXPECT_EQ(AddPhotoFiles(t.doc, {t.Picture(QStringLiteral("f.png"))}, {0, 0}).added,
                       1);
         }},
        {"add text",
         [](ChangeStepTest& t) {
             WriteFixedText(t.doc.textTemplate.text, QStringLiteral("Hi"));
             t.doc.AddText();
         }},
        {"tuning", [](ChangeStepTest& t) { EXPECT_TRUE(t.doc.ApplyTuning({})); }},
        {"move to bottom", [](ChangeStepTest& t) { t.doc.MoveToBottom(); }},
        {"crop", [](ChangeStepTest& t) { t.doc.SetCrop(0, 0, 50, 40); }},
        {"align", [](ChangeStepTest& t) {
             SelectAllObjects(t.doc);
             EXPECT_TRUE(AlignSelection(t.doc, AlignMode::Left));
         }},
        {"drag release",
         [](ChangeStepTest& t) {
             t.Draw();
             CanvasInteraction interaction(t.doc);
             const QPoint at = t.doc.objects.back().Position() + QPoint(5, 5);
             interaction.Press(at, HandleFrame{});
             interaction.Move(at + QPoint(7, 0), HandleFrame{});
             interaction.Release();
         }},
        {"delete", [](ChangeStepTest& t) { t.doc.DeleteSelection(); }},
    };
    for (const auto& [name, change] : paths) {
        SCOPED_TRACE(name);
        doc.Clear();
        doc.objects.clear();
        AddPhoto(10, 10);
        AddPhoto(200, 10);
        const std::vector<QPoint> start = Positions();
        for (int i = 0; i < 3; ++i)
            ASSERT_TRUE(NudgeSelection(doc, 1, 0));
        ASSERT_TRUE(doc.BurstPending());
        std::vector<QPoint> nudged = start;
        nudged[1] += QPoint(3, 0);
        const int before = doc.History().Count();
        change(*this);
        EXPECT_FALSE(doc.BurstPending());
        EXPECT_EQ(doc.History().Count(), before + 2);
        EXPECT_FALSE(doc.CommitBurst()); // the pause ends a burst already recorded
        EXPECT_EQ(doc.History().Count(), before + 2);
        doc.Undo();
        EXPECT_EQ(Positions(), nudged);
        doc.Undo();
        EXPECT_EQ(Positions(), start);
    }
}

TEST_F(ChangeStepTest, UndoAndRedoFinishAPendingBurstFirst) {
    AddPhoto(10, 10);
    WriteFixedText(doc.textTemplate.text, QStringLiteral("Hi"));
    doc.AddText();
    ASSERT_TRUE(SetSelectedText(doc, QStringLiteral("Hi there")));
    doc.Undo();
    EXPECT_EQ(ReadFixedText(doc.objects.back().Text()->text), QStringLiteral("Hi"));
    doc.Redo();
    EXPECT_EQ(ReadFixedText(doc.objects.back().Text()->text), QStringLiteral("Hi there"));
    // A burst pending when Redo is asked is a new change: nothing is left to redo.
    doc.Undo();
    ASSERT_TRUE(SetSelectedText(doc, QStringLiteral("Ho")));
    doc.Redo();
    EXPECT_EQ(ReadFixedText(doc.objects.back().Text()->text), QStringLiteral("Ho"));
    EXPECT_FALSE(doc.CanRedo());
}

TEST_F(ChangeStepTest, ChangesInAGroupAreOneStep) {
    AddPhoto(0, 0);
    const int before = doc.History().Count();
    {
        CollageDocument::ChangeGroup outer(doc);
        AddPhoto(10, 10);
        {
            CollageDocument::ChangeGroup inner(doc);
            AddPhoto(20, 20);
        }
        EXPECT_EQ(doc.History().Count(), before);
        AddPhoto(30, 30);
    }
    EXPECT_EQ(doc.History().Count(), before + 1);
    doc.Undo();
    EXPECT_EQ(doc.objects.size(), 1u);
    // A group that changed nothing records nothing.
    { CollageDocument::ChangeGroup idle(doc); }
    EXPECT_EQ(doc.History().Position(), before - 1);

    const QStringList files = {Picture(QStringLiteral("a.png")), Picture(QStringLiteral("b.png")),
                               Picture(QStringLiteral("c.png"))};
    const int position = doc.History().Position();
    ASSERT_EQ(AddPhotoFiles(doc, files, {0, 0}).added, 3);
    EXPECT_EQ(doc.History().Position(), position + 1);
    doc.Undo();
    EXPECT_EQ(doc.objects.size(), 1u);
}

TEST_F(ChangeStepTest, PlacingAnythingButAStampEndsPainting) {
    const std::pair<const char*, std::function<void(ChangeStepTest&)>> adds[] = {
        {"photo", [](ChangeStepTest& t) { t.AddPhoto(0, 0); }},
        {"text",
         [](ChangeStepTest& t) {
             WriteFixedText(t.doc.textTemplate.text, QStringLiteral("Hi"));
             t.doc.AddText();
         }},
        {"pasted picture (a calendar)",
         [](ChangeStepTest& t) {
             QImage pixels(20, 20, QImage::Format_ARGB32);
             pixels.fill(Qt::red);
             t.doc.AddPastedPicture(pixels, 0, 0, QRect(0, 0, 100, 100), QSize(100, 100));
         }},
    };
    for (const auto& [name, add] : adds) {
        SCOPED_TRACE(name);
        doc.mouseTool = kPaintTool;
        add(*this);
        EXPECT_EQ(doc.mouseTool, 0);
    }
    QImage brush(10, 10, QImage::Format_ARGB32);
    brush.fill(Qt::white);
    doc.brushPictures = {brush};
    doc.mouseTool = kPaintTool;
    doc.AddBrushStamp(50, 50);
    EXPECT_EQ(doc.mouseTool, kPaintTool);
}

// The selection after Undo and Redo: the objects whose records the step changed.
TEST_F(ChangeStepTest, UndoAndRedoSelectWhatTheStepChanged) {
    doc.width = 800;
    doc.height = 600;
    for (int i = 0; i < 4; ++i)
        AddPhoto(10 + 150 * i, 10);
    // An older selection of 0 and 1, as Ctrl+clicks leave it.
    for (size_t i = 0; i < 4; ++i)
        doc.objects[i].SetSelected(i < 2);
    doc.RecordSnapshot();
    // A band takes 2 and 3, and they are dragged together.
    for (size_t i = 0; i < 4; ++i)
        doc.objects[i].SetSelected(i >= 2);
    ASSERT_TRUE(NudgeSelection(doc, 0, 40));
    doc.CommitBurst();

    doc.Undo();
    EXPECT_EQ(Selection(), (std::vector<bool>{false, false, true, true}));
    doc.DeleteSelection(); // what the user saw selected, not the older Ctrl+click set
    EXPECT_EQ(doc.objects.size(), 3u);
    EXPECT_EQ(doc.objects[0].Position(), QPoint(10, 10));
    EXPECT_EQ(doc.objects[1].Position(), QPoint(160, 10));
    doc.Undo(); // the deleted photo comes back, selected
    EXPECT_EQ(Selection(), (std::vector<bool>{false, false, true, false}));
    doc.Redo(); // deleted again: nothing it changed is left
    EXPECT_EQ(Selection(), (std::vector<bool>{false, false, false}));
    // Back past the delete and the step that only changed the selection: nothing selected.
    doc.Undo();
    doc.Undo();
    EXPECT_EQ(Selection(), (std::vector<bool>{false, false, false, false}));
    // Forward again over the selection step: still nothing any record changed.
    doc.Redo();
    EXPECT_EQ(Selection(), (std::vector<bool>{false, false, false, false}));
}

} // namespace
} // namespace mosaiq
