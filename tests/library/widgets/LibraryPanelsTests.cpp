// The library panels in the main window, offscreen: placing items, the decoration selector and
// swatch, painting, custom masks and their bookkeeping at close.
#include "canvas/render/ObjectPictures.h"
#include "canvas/project/ProjectFile.h"
#include "canvas/widgets/CCollageCanvas.h"
#include "common/TestSupport.h"
#include "core/data/BuiltinData.h"
#include "core/Notifier.h"
#include "library/items/DecorationTypes.h"
#include "library/LibraryTestFiles.h"
#include "library/items/PictureList.h"
#include "library/packs/ResourcePack.h"
#include "library/packs/StarterLibraries.h"
#include "library/widgets/CLibraryPanel.h"
#include "library/widgets/CPresetListPane.h"
#include "shell/widgets/CMainDialog.h"
#include "shell/widgets/CommandIds.h"
#include "ui/widgets/CBitmapButton.h"
#include "ui/widgets/CBitmapSlider.h"
#include "ui/widgets/CColourPalette.h"
#include "ui/widgets/DialogProvider.h"

#include <QApplication>
#include <QFile>
#include <QMouseEvent>
#include <QPainter>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

using namespace mosaiq;
using namespace mosaiq::test;

namespace {

struct LibraryPanels : ::testing::Test {
    ScopedDataDir data;
    RecordingNotifier notifier;
    ScopedNotifier scopedNotifier{&notifier};
    ScriptedDialogProvider dialogs;
    std::unique_ptr<CMainDialog> window;

    void SetUp() override {
        SetDialogProvider(&dialogs);
        WriteOutReport report = WriteBuiltinDataFiles(data.Path());
        WriteStarterLibraries(data.Path(), report);
        ASSERT_TRUE(report.failed.isEmpty());
    }
    void TearDown() override {
        window.reset();
        SetDialogProvider(nullptr);
    }

    void Open() {
        window = std::make_unique<CMainDialog>();
        window->resize(1200, 800);
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    }

    CLibraryPanel* Panel(PanelSlot slot) {
        return qobject_cast<CLibraryPanel*>(window->Panel(slot));
    }
    CLibraryPanel* Presets() {
        return qobject_cast<CLibraryPanel*>(window->Area(SideArea::PresetPanel));
    }
    CPresetListPane* Pane() {
        return qobject_cast<CPresetListPane*>(window->Area(SideArea::ListPane));
    }
    CColourPalette* Swatch() {
        return qobject_cast<CColourPalette*>(window->Area(SideArea::SwatchPanel));
    }
    CollageDocument& Doc() { return window->Canvas().Document(); }

    // The import runs on a worker: wait until the mask panel's Import button is enabled again.
    void WaitForImport() {
        CBitmapButton* import = Panel(PanelSlot::Mask)->Button(CLibraryPanel::kImportButton);
        for (int i = 0; i < 400 && !import->isEnabled(); ++i)
            QTest::qWait(25);
        QTest::qWait(10);
        ASSERT_TRUE(import->isEnabled());
    }

    // A selected photo on the canvas (its file need not exist for frames and masks).
    void AddPhoto() {
        ASSERT_TRUE(Doc().AddPhoto(data.File(QStringLiteral("p.jpg")), 400, 300, 10, 10));
    }
    void DeselectAll() {
        for (CanvasObject& o : Doc().objects)
            o.SetSelected(false);
    }

    static void Send(QWidget* target, QEvent::Type type, QPoint local, Qt::MouseButtons buttons) {
        QMouseEvent event(type, QPointF(local), QPointF(target->mapToGlobal(local)), Qt::LeftButton,
                          buttons, Qt::NoModifier);
        QApplication::sendEvent(target, &event);
    }
    // Presses on item index of the panel, drags to the canvas point and releases there.
    void DragToCanvas(CLibraryPanel* panel, int index, QPoint canvasPoint) {
        const QPoint start = panel->Grid().ItemRect(index).center();
        const QPoint end = panel->mapFromGlobal(window->Canvas().mapToGlobal(canvasPoint));
        Send(panel, QEvent::MouseButtonPress, start, Qt::LeftButton);
        Send(panel, QEvent::MouseMove, (start + end) / 2, Qt::LeftButton);
        Send(panel, QEvent::MouseMove, end, Qt::LeftButton);
        Send(panel, QEvent::MouseButtonRelease, end, Qt::NoButton);
    }
};

} // namespace

TEST_F(LibraryPanels, EachPanelShowsItsLibrary) {
    Open();
    ASSERT_TRUE(Panel(PanelSlot::Frame) && Panel(PanelSlot::Mask) && Panel(PanelSlot::Clipart));
    ASSERT_TRUE(Presets() && Pane() && Swatch());
    EXPECT_EQ(Panel(PanelSlot::Mask)->Count(), 28);
    EXPECT_EQ(Panel(PanelSlot::Frame)->Count(), ReadPictureListCount(data.File("tbframe.cfg")));
    EXPECT_EQ(Panel(PanelSlot::Clipart)->Count(), ReadPictureListCount(data.File("clipart.cfg")));
    EXPECT_EQ(Presets()->Type(), 1);
    EXPECT_EQ(Presets()->SelectedIndex(), 0);
    EXPECT_EQ(Presets()->Grid().CellWidth(), 58);
    EXPECT_EQ(Swatch()->Colour(), DecorationDefaultColour(0));
    EXPECT_NE(Panel(PanelSlot::Mask)->Button(CLibraryPanel::kImportButton), nullptr);
    EXPECT_EQ(Panel(PanelSlot::Frame)->Button(CLibraryPanel::kImportButton), nullptr);
}

TEST_F(LibraryPanels, ItemChosenActionsPlaceItemsAndActionNineIsIgnored) {
    Open();
    AddPhoto();
    const int history = Doc().History().Count();
    Q_EMIT Panel(PanelSlot::Frame)->itemChosen(CLibraryPanel::kApplyFrame, 1);
    EXPECT_EQ(Doc().objects.back().Photo()->frameId, 2);
    EXPECT_EQ(Doc().History().Count(), history + 1); // one undo step
    Q_EMIT Panel(PanelSlot::Mask)->itemChosen(CLibraryPanel::kApplyMask, 4);
    EXPECT_EQ(Doc().objects.back().Photo()->maskId, 5);
    EXPECT_EQ(Doc().objects.back().Photo()->frameId, 0);
    EXPECT_EQ(Doc().History().Count(), history + 2);

    Q_EMIT Panel(PanelSlot::Clipart)->itemChosen(CLibraryPanel::kAddClipart, 2);
    ASSERT_EQ(Doc().objects.size(), 2u);
    const ClipartRecord* clipart = Doc().objects.back().Clipart();
    ASSERT_TRUE(clipart);
    EXPECT_EQ(clipart->sourceId, 2);
    EXPECT_EQ(clipart->x, Doc().width / 10);
    EXPECT_EQ(clipart->y, Doc().height / 10);

    Q_EMIT Presets()->itemChosen(CLibraryPanel::kAddPreset, 3);
    ASSERT_EQ(Doc().objects.size(), 3u);
    EXPECT_EQ(Doc().objects.back().Clipart()->sourceId, 1003);
    EXPECT_EQ(Doc().objects.back().Clipart()->presetColour, DecorationDefaultColour(0));

    const int before = Doc().History().Count();
    Q_EMIT Panel(PanelSlot::Clipart)->itemChosen(9, 0);
    EXPECT_EQ(Doc().objects.size(), 3u);
    EXPECT_EQ(Doc().History().Count(), before);
    EXPECT_TRUE(notifier.messages.isEmpty()) << notifier.messages.join('|').toStdString();
}

TEST_F(LibraryPanels, FramesAndMasksWithoutASelectedPhotoSayHowAndChangeNothing) {
    Open();
    AddPhoto();
    DeselectAll();
    const int history = Doc().History().Count();
    Q_EMIT Panel(PanelSlot::Mask)->itemChosen(CLibraryPanel::kApplyMask, 0);
    Q_EMIT Panel(PanelSlot::Frame)->itemChosen(CLibraryPanel::kApplyFrame, 0);
    EXPECT_EQ(notifier.messages, QStringList({"Please select a photo on the canvas.",
                                              "Please select a photo on the canvas."}));
    EXPECT_EQ(Doc().objects.back().Photo()->maskId, 0);
    EXPECT_EQ(Doc().objects.back().Photo()->frameId, 0);
    EXPECT_EQ(Doc().History().Count(), history);
}

TEST_F(LibraryPanels, ApplyWithNothingSelectedAsksForASelection) {
    ASSERT_TRUE(WritePictureList(data.File("clipart.cfg"), {}));
    Open();
    CLibraryPanel* cliparts = Panel(PanelSlot::Clipart);
    EXPECT_EQ(cliparts->Count(), 0);
    EXPECT_EQ(cliparts->SelectedIndex(), -1);
    Q_EMIT cliparts->Button(CLibraryPanel::kApplyButton)
        ->commandIssued(CLibraryPanel::kApplyButton);
    EXPECT_EQ(notifier.messages, QStringList({"Please Select a object to operate."}));
    EXPECT_TRUE(Doc().objects.empty());
}

TEST_F(LibraryPanels, ClicksSelectAndDoubleClicksChooseButNotNearTheBottom) {
    Open();
    window->ShowPanel(PanelSlot::Clipart);
    CLibraryPanel* cliparts = Panel(PanelSlot::Clipart);
    ASSERT_GE(cliparts->Count(), 8);
    QTest::mouseClick(cliparts, Qt::LeftButton, {}, cliparts->Grid().ItemRect(1).center());
    EXPECT_EQ(cliparts->SelectedIndex(), 1);
    EXPECT_TRUE(Doc().objects.empty());
    QTest::mouseDClick(cliparts, Qt::LeftButton, {}, cliparts->Grid().ItemRect(1).center());
    ASSERT_EQ(Doc().objects.size(), 1u);
    EXPECT_EQ(Doc().objects.back().Clipart()->sourceId, 1);
    // In a panel 90 pixels high the second row's top (63) lies within 30 pixels of the bottom,
    // where the buttons are.
    cliparts->resize(250, 90);
    const int columns = cliparts->Grid().Columns();
    ASSERT_GT(cliparts->Count(), columns);
    const QRect low = cliparts->Grid().ItemRect(columns);
    ASSERT_GE(low.top(), cliparts->height() - 30);
    QTest::mouseDClick(cliparts, Qt::LeftButton, {}, low.center());
    EXPECT_EQ(Doc().objects.size(), 1u);
}

TEST_F(LibraryPanels, DraggingOntoTheCanvasPlacesTheItemThere) {
    Open();
    window->ShowPanel(PanelSlot::Clipart);
    DragToCanvas(Panel(PanelSlot::Clipart), 2, QPoint(200, 150));
    ASSERT_EQ(Doc().objects.size(), 1u);
    EXPECT_EQ(Doc().objects.back().Clipart()->sourceId, 2);
    // At the drop point, through the view's mapping (the canvas stands inside a margin).
    EXPECT_EQ(Doc().objects.back().Clipart()->x, Doc().view.WindowToCanvas(200, 150).x());
    EXPECT_FALSE(Panel(PanelSlot::Clipart)->DragArmed());

    // A frame dropped on the canvas goes onto the selected photo.
    AddPhoto();
    window->ShowPanel(PanelSlot::Frame);
    DragToCanvas(Panel(PanelSlot::Frame), 0, QPoint(300, 300));
    EXPECT_EQ(Doc().objects.back().Photo()->frameId, 1);

    // A decoration dragged from the preset panel, released outside the canvas, places nothing.
    const size_t count = Doc().objects.size();
    DragToCanvas(Presets(), 1, QPoint(-300, -100));
    EXPECT_EQ(Doc().objects.size(), count);
    DragToCanvas(Presets(), 1, QPoint(100, 100));
    ASSERT_EQ(Doc().objects.size(), count + 1);
    EXPECT_EQ(Doc().objects.back().Clipart()->sourceId, 1001);
}

TEST_F(LibraryPanels, FamilySwitchKeepsTheSelectionAndSetsTheFamilyColour) {
    Open();
    Presets()->Select(3);
    for (int k : {5, 2, 4, 1, 3, 0}) {
        Q_EMIT Pane()->selectorChanged(k);
        EXPECT_EQ(Presets()->Type(), k + 1);
        EXPECT_EQ(Presets()->SelectedIndex(), 3) << k;
        EXPECT_EQ(Swatch()->Colour(), DecorationDefaultColour(k));
        EXPECT_EQ(Doc().presetColour, DecorationDefaultColour(k));
    }
    window->RunCommand(cmd::kAddPresetToCanvas);
    ASSERT_EQ(Doc().objects.size(), 1u);
    EXPECT_EQ(Doc().objects.back().Clipart()->sourceId, 1003);
    EXPECT_EQ(Doc().objects.back().Clipart()->x, Doc().width / 10);
}

TEST_F(LibraryPanels, SwatchColourRecoloursTheSelectedDecorationAsOneStep) {
    Open();
    Q_EMIT Pane()->selectorChanged(5); // neon
    Q_EMIT Presets()->itemChosen(CLibraryPanel::kAddPreset, 0);
    ASSERT_EQ(Doc().objects.back().Clipart()->presetColour, MakeColorref(0, 200, 200));
    const int history = Doc().History().Count();
    Swatch()->SetColour(MakeColorref(200, 0, 80));
    Q_EMIT Swatch()->colourChosen();
    EXPECT_EQ(Doc().objects.back().Clipart()->presetColour, MakeColorref(200, 0, 80));
    EXPECT_EQ(Doc().History().Count(), history + 1);
    EXPECT_EQ(Doc().brush.colour, MakeColorref(200, 0, 80));
    Doc().Undo();
    EXPECT_EQ(Doc().objects.back().Clipart()->presetColour, MakeColorref(0, 200, 200));
}

TEST_F(LibraryPanels, ChoosingABrushPaintsInTheSwatchColourUntilEscape) {
    Open();
    Q_EMIT Pane()->selectorChanged(kBrushSelector);
    CLibraryPanel* presets = Presets();
    ASSERT_TRUE(presets->ShowsBrushes());
    ASSERT_GT(presets->Count(), 1);
    EXPECT_EQ(presets->SelectedIndex(), -1);
    EXPECT_FALSE(window->IsCommandEnabled(cmd::kAddPresetToCanvas));
    Swatch()->SetColour(MakeColorref(10, 90, 200));
    Q_EMIT Swatch()->colourChosen();
    QTest::mouseClick(presets, Qt::LeftButton, {}, presets->Grid().ItemRect(1).center());
    CCollageCanvas& canvas = window->Canvas();
    EXPECT_TRUE(canvas.PaintMode());
    EXPECT_EQ(Doc().brush.brushIndex, 1);
    EXPECT_EQ(Doc().brush.colour, MakeColorref(10, 90, 200));
    EXPECT_EQ(Doc().brush.size, Pane()->BrushSize());
    EXPECT_TRUE(window->IsCommandEnabled(cmd::kAddPresetToCanvas));

    // A stroke: press, moves, release lays stamps and records one step.
    const int history = Doc().History().Count();
    QTest::mousePress(&canvas, Qt::LeftButton, {}, QPoint(100, 100));
    for (int i = 1; i <= 6; ++i)
        Send(&canvas, QEvent::MouseMove, QPoint(100 + 10 * i, 100), Qt::LeftButton);
    QTest::mouseRelease(&canvas, Qt::LeftButton, {}, QPoint(160, 100));
    ASSERT_GE(Doc().objects.size(), 3u);
    EXPECT_EQ(Doc().objects.front().Stamp()->colour, MakeColorref(10, 90, 200));
    EXPECT_EQ(Doc().History().Count(), history + 1);

    // Size and opacity from the pane reach the next stamps.
    Pane()->SetBrushSize(120);
    Q_EMIT Pane()->SizeSlider()->positionChanged(CPresetListPane::kSizeSlider, 120);
    Pane()->SetBrushOpacity(128);
    Q_EMIT Pane()->OpacitySlider()->positionChanged(CPresetListPane::kOpacitySlider, 128);
    QTest::mouseClick(&canvas, Qt::LeftButton, {}, QPoint(300, 300));
    const StampRecord* stamp = Doc().objects.back().Stamp();
    ASSERT_TRUE(stamp);
    EXPECT_FLOAT_EQ(stamp->scale * float(stamp->width), 120.0f);
    EXPECT_FLOAT_EQ(stamp->opacity, 128.0f / 255.0f);

    QTest::keyClick(&canvas, Qt::Key_Escape);
    EXPECT_FALSE(canvas.PaintMode());
    window->RunCommand(cmd::kPaintMode);
    EXPECT_TRUE(canvas.PaintMode());
    Q_EMIT Pane()->pointerChosen();
    EXPECT_FALSE(canvas.PaintMode());
}

TEST_F(LibraryPanels, ImportedMaskShowsAtOnceAndCloseKeepsItInTheCustomFile) {
    const QString png = data.File("mine.png");
    ASSERT_TRUE(
        WriteAll(png, PngBytes(SolidPicture(500, 250, qRgb(0, 0, 0), qRgb(255, 255, 255)))));
    Open();
    CLibraryPanel* masks = Panel(PanelSlot::Mask);
    dialogs.AnswerFiles({png});
    Q_EMIT masks->importRequested();
    WaitForImport();
    EXPECT_EQ(masks->Count(), 29);
    EXPECT_EQ(masks->SelectedIndex(), 28);
    const QRect shown = masks->Grid().ItemRect(28);
    EXPECT_TRUE(masks->rect().contains(shown)) << shown.top() << " " << shown.bottom();
    EXPECT_TRUE(notifier.messages.isEmpty());

    AddPhoto();
    Q_EMIT masks->itemChosen(CLibraryPanel::kApplyMask, 28);
    EXPECT_EQ(Doc().objects.back().Photo()->customMask, 1);

    Doc().modified = false;
    window->close();
    const QByteArray custom = ReadAll(data.File("cusmask.cfg"));
    ASSERT_GE(custom.size(), 4);
    EXPECT_EQ(custom.left(4), Int32Bytes(1));
}

TEST_F(LibraryPanels, AFailingPictureImportsNothingAndSaysSo) {
    const QString bad = data.File("bad.png");
    ASSERT_TRUE(WriteAll(bad, QByteArray("not a picture")));
    Open();
    const QByteArray masks = ReadAll(data.File("mask.cfg"));
    dialogs.AnswerFiles({bad});
    Q_EMIT Panel(PanelSlot::Mask)->importRequested();
    WaitForImport();
    EXPECT_EQ(notifier.messages.size(), 1);
    EXPECT_EQ(Panel(PanelSlot::Mask)->Count(), 28);
    EXPECT_EQ(ReadAll(data.File("mask.cfg")), masks);
    EXPECT_FALSE(QFile::exists(data.File("cusmask.cfg")));
}

TEST_F(LibraryPanels, ResetThenCloseRemovesTheCustomFile) {
    const QString png = data.File("mine.png");
    ASSERT_TRUE(WriteAll(png, PngBytes(SolidPicture(60, 60, qRgb(0, 0, 0), qRgb(255, 255, 255)))));
    Open();
    CLibraryPanel* masks = Panel(PanelSlot::Mask);
    dialogs.AnswerFiles({png});
    Q_EMIT masks->importRequested();
    WaitForImport();
    ASSERT_TRUE(QFile::exists(data.File("cusmask.cfg")));

    Q_EMIT masks->resetRequested(); // no answer: Cancel
    EXPECT_EQ(masks->Count(), 29);
    // Asked as a warning with OK and Cancel.
    ASSERT_EQ(dialogs.QuestionForms().size(), 1u);
    EXPECT_TRUE(dialogs.QuestionForms().front().okCancel);
    EXPECT_TRUE(dialogs.QuestionForms().front().warning);
    dialogs.Reply(Answer::Yes); // OK
    Q_EMIT masks->resetRequested();
    EXPECT_EQ(masks->Count(), 28);
    EXPECT_EQ(dialogs.Questions().size(), 2);
    Doc().modified = false;
    window->close();
    EXPECT_FALSE(QFile::exists(data.File("cusmask.cfg")));
}

TEST_F(LibraryPanels, ADamagedLibraryShowsWhatWasReadAndReloadsWhenLibrariesChange) {
    const QByteArray good = ReadAll(data.File("clipart.cfg"));
    const int count = ReadPictureListCount(data.File("clipart.cfg"));
    ASSERT_GT(count, 2);
    // Cut the file inside its last entry.
    ASSERT_TRUE(WriteAll(data.File("clipart.cfg"), good.left(good.size() - 10)));
    ASSERT_TRUE(QFile::remove(data.File("tbframe.cfg")));
    Open();
    EXPECT_TRUE(Panel(PanelSlot::Clipart)->LoadFailed());
    EXPECT_EQ(Panel(PanelSlot::Clipart)->Count(), count - 1);
    EXPECT_TRUE(Panel(PanelSlot::Frame)->LoadFailed());
    EXPECT_EQ(Panel(PanelSlot::Frame)->Count(), 0);

    ASSERT_TRUE(WriteAll(data.File("clipart.cfg"), good));
    Q_EMIT window->librariesChanged();
    EXPECT_FALSE(Panel(PanelSlot::Clipart)->LoadFailed());
    EXPECT_EQ(Panel(PanelSlot::Clipart)->Count(), count);
}

TEST_F(LibraryPanels, APanelNarrowerThanACellDrawsNothingAndIgnoresClicks) {
    CLibraryPanel panel(0, CLibraryPanel::kClipartKind);
    panel.resize(59, 123);
    panel.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&panel));
    ASSERT_TRUE(panel.Load(QStringLiteral("clipart.cfg"), true));
    ASSERT_GT(panel.Count(), 0);
    QSignalSpy selections(&panel, &CLibraryPanel::selectionMade);
    QSignalSpy chosen(&panel, &CLibraryPanel::itemChosen);
    QTest::mouseClick(&panel, Qt::LeftButton, {}, QPoint(30, 30));
    QTest::mouseDClick(&panel, Qt::LeftButton, {}, QPoint(30, 30));
    EXPECT_EQ(panel.SelectedIndex(), -1);
    EXPECT_EQ(selections.count(), 0);
    EXPECT_EQ(chosen.count(), 0);
    const QImage shown = panel.grab().toImage();
    for (QPoint p : {QPoint(30, 30), QPoint(5, 5), QPoint(50, 50)})
        EXPECT_EQ(QColor(shown.pixel(p)), QColor(240, 240, 240)) << p.x() << "," << p.y();

    // One pixel wider, the same click selects the first item.
    panel.resize(60, 123);
    QApplication::processEvents();
    QTest::mouseClick(&panel, Qt::LeftButton, {}, QPoint(30, 30));
    EXPECT_EQ(panel.SelectedIndex(), 0);
    EXPECT_EQ(selections.count(), 1);
}

TEST_F(LibraryPanels, ImportedDecorationsShowInTheirFamilyAndSurviveSaveAndReopen) {
    Open();
    // Before any decoration pack the Imported family is empty, not a library that failed.
    Q_EMIT Pane()->selectorChanged(kImportedSelector);
    EXPECT_EQ(Presets()->Type(), kImportedDecorationType);
    EXPECT_EQ(Presets()->Count(), 0);
    EXPECT_FALSE(Presets()->LoadFailed());
    Q_EMIT Pane()->selectorChanged(2);

    // A pack of two grey decorations: a ring and a square.
    ResourcePack pack;
    pack.type = int(PackKind::Decorations);
    QImage ring(40, 30, QImage::Format_ARGB32);
    ring.fill(Qt::transparent);
    {
        QPainter p(&ring);
        p.setPen(QPen(QColor(90, 90, 90), 4));
        p.drawEllipse(QRect(4, 4, 32, 22));
    }
    QImage square(20, 20, QImage::Format_ARGB32);
    square.fill(QColor(160, 160, 160));
    for (const QImage& picture : {ring, square}) {
        const std::optional<PackItem> item = MakePackItem(PackKind::Decorations, picture);
        ASSERT_TRUE(item);
        pack.items.push_back(*item);
    }
    const QString packPath = data.File(QStringLiteral("d.irs"));
    ASSERT_TRUE(WriteAll(packPath, EncodeResourcePack(pack)));
    dialogs.AnswerFiles({packPath});
    window->RunCommand(cmd::kImportPack);

    // The panel turns to the Imported family and shows both, in its default colour (middle grey).
    EXPECT_EQ(Pane()->Selector(), kImportedSelector);
    EXPECT_EQ(Presets()->Type(), kImportedDecorationType);
    EXPECT_EQ(Presets()->Count(), 2);
    EXPECT_EQ(Swatch()->Colour(), MakeColorref(127, 127, 127));
    Q_EMIT Presets()->itemChosen(CLibraryPanel::kAddPreset, 1);
    ASSERT_EQ(Doc().objects.size(), 1u);
    const ClipartRecord placed = *Doc().objects.back().Clipart();
    EXPECT_EQ(placed.sourceId, 7001);
    EXPECT_EQ(placed.isPreset, 1);
    EXPECT_EQ(placed.width, 20);

    // Recoloured like any decoration: the swatch colour reaches the square's pixels.
    Swatch()->SetColour(MakeColorref(200, 30, 30));
    Q_EMIT Swatch()->colourChosen();
    const QImage red = ClipartPicture(Doc(), *Doc().objects.back().Clipart());
    ASSERT_FALSE(red.isNull());
    const QColor centre = red.pixelColor(10, 10);
    EXPECT_GT(centre.red(), centre.green() + 40);

    // Saved and opened again, the item keeps its code and is drawn.
    const QString project = data.File(QStringLiteral("imported.dcf"));
    ASSERT_TRUE(SaveProject(Doc(), project).ok);
    CollageDocument reopened;
    ASSERT_TRUE(LoadProject(reopened, project).ok);
    ASSERT_EQ(reopened.objects.size(), 1u);
    EXPECT_EQ(reopened.objects[0].Clipart()->sourceId, 7001);
    EXPECT_FALSE(ClipartPicture(reopened, *reopened.objects[0].Clipart()).isNull());
    // Without the family's file (another machine), the item is drawn as nothing, as any unknown
    // code is, and the project still opens.
    ASSERT_TRUE(QFile::remove(data.File(QStringLiteral("decorate_t"))));
    CollageDocument elsewhere;
    ASSERT_TRUE(LoadProject(elsewhere, project).ok);
    EXPECT_TRUE(ClipartPicture(elsewhere, *elsewhere.objects[0].Clipart()).isNull());
}
