// mosaiq-manualshots OUT_DIR PHOTO... : the user manual's pictures, taken from the real editor.
// The main window opens with the photos, then goes through the scenes the manual describes (each
// panel, the Arrange and export size dialogs, a drag with its guides, the help window) and saves
// the screen after each as OUT_DIR/<scene>.png.
// mosaiq-manualshots --leave-copy PHOTO... : opens the photos, waits for the recovery copy and
// ends without closing, as a crash would; mosaiq-manualshots --offer OUT_DIR then starts as the
// editor does and shoots the recovery offer (OUT_DIR/recovery-offer.png).
#include "canvas/widgets/CCollageCanvas.h"
#include "canvas/widgets/export/CExportDialog.h"
#include "core/Notifier.h"
#include "core/data/BuiltinData.h"
#include "core/data/DataPath.h"
#include "core/text/UiText.h"
#include "library/packs/StarterLibraries.h"
#include "shell/widgets/CHelpWindow.h"
#include "shell/widgets/CMainDialog.h"
#include "shell/widgets/CommandIds.h"
#include "text/widgets/CTextPanel.h"
#include "ui/widgets/DialogProvider.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QPlainTextEdit>
#include <QScreen>
#include <QTest>
#include <QTimer>

#include <cstdio>
#include <cstdlib>
#include <functional>

using namespace mosaiq;

namespace {

QString g_out;

// The whole screen, so dialogs over the window and the window manager's frames are in it.
void Shoot(const QString& name) {
    QCoreApplication::processEvents();
    QTest::qWait(700);
    const QPixmap screen = QGuiApplication::primaryScreen()->grabWindow(0);
    const QString path = QDir(g_out).filePath(name + QStringLiteral(".png"));
    if (!screen.save(path))
        std::fprintf(stderr, "mosaiq-manualshots: cannot write %s\n", qPrintable(path));
    else
        std::printf("%s\n", qPrintable(path));
}

// Runs open (which shows a modal dialog), shoots the dialog once it is up and closes it.
void ShootModal(const QString& name, const std::function<void()>& open) {
    QTimer::singleShot(1200, [name] {
        Shoot(name);
        if (QWidget* modal = QApplication::activeModalWidget())
            modal->close();
    });
    open();
}

class QuietNotifier : public Notifier {
public:
    void Inform(const QString&) override {}
    void Warn(const QString& text) override {
        std::fprintf(stderr, "mosaiq-manualshots: %s\n", qPrintable(text));
    }
};

// The centre of object i on the canvas window.
QPoint CentreOf(CCollageCanvas& canvas, size_t i) {
    canvas.EnsureRegions();
    const CollageDocument& doc = canvas.Document();
    return doc.view.SurfaceToWindow(
        doc.objects[i].screenRegion.boundingRect().center().toPoint());
}

void Scenes(CMainDialog& window, const QStringList& photos) {
    CCollageCanvas& canvas = window.Canvas();
    window.OpenPaths(photos);
    QTest::qWait(1500);
    // Spread the photos, which start one beside the other, a little apart.
    CollageDocument& doc = canvas.Document();
    for (size_t i = 0; i < doc.objects.size(); ++i)
        doc.objects[i].SetPosition(QPoint(40 + int(i) * 300, 60 + int(i % 2) * 200));
    doc.RecordSnapshot();
    canvas.Redraw();
    Shoot(QStringLiteral("main-window"));
    canvas.grab().save(QDir(g_out).filePath(QStringLiteral("photos-on-canvas.png")));

    // Each panel with the first photo selected.
    QTest::mouseClick(&canvas, Qt::LeftButton, {}, CentreOf(canvas, 0));
    const std::pair<int, const char*> panels[] = {
        {cmd::kFrameTab, "frame-panel"},   {cmd::kMaskTab, "mask-panel"},
        {cmd::kClipartTab, "clipart-panel"}, {cmd::kTuningTab, "tuning-panel"},
    };
    for (const auto& [id, name] : panels) {
        window.RunCommand(id);
        Shoot(QLatin1String(name));
    }
    window.RunCommand(cmd::kTextTab);
    if (auto* text = qobject_cast<CTextPanel*>(window.Panel(PanelSlot::Text))) {
        text->Entry()->setPlainText(QStringLiteral("Summer 2026"));
        window.RunCommand(cmd::kAddText);
        doc.objects.back().SetPosition({120, 420});
        canvas.Redraw();
    }
    Shoot(QStringLiteral("text-panel"));

    // A drag with guides: the second photo brought level with the first.
    window.RunCommand(cmd::kTuningTab);
    if (!canvas.Interaction().SnapToGuides())
        window.RunCommand(cmd::kSnapToGuides);
    const QPoint from = CentreOf(canvas, 1);
    const int rise = int(float(doc.objects[0].Position().y() - doc.objects[1].Position().y()) *
                         canvas.Zoom());
    const QPoint to = from + QPoint(-20, rise + 3); // 3 pixels off: the guide catches it
    QTest::mousePress(&canvas, Qt::LeftButton, {}, from);
    for (int step = 1; step <= 10; ++step)
        QTest::mouseMove(&canvas, from + (to - from) * step / 10);
    Shoot(QStringLiteral("guides"));
    QTest::mouseRelease(&canvas, Qt::LeftButton, {}, to);
    window.RunCommand(cmd::kSnapToGuides);

    ShootModal(QStringLiteral("arrange-dialog"), [&] { window.RunCommand(cmd::kArrange); });
    ShootModal(QStringLiteral("export-size"), [&] {
        CExportDialog dialog(doc, QStringLiteral("png"), &window);
        dialog.exec();
    });

    window.RunCommand(cmd::kHelpContents);
    QTest::qWait(500);
    if (auto* help = window.findChild<CHelpWindow*>()) {
        help->Search(QStringLiteral("guides"));
        Shoot(QStringLiteral("help-window"));
        help->close();
    }
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("mosaiq"));
    QStringList args = QApplication::arguments().mid(1);
    const QString mode = !args.isEmpty() && args.first().startsWith(QLatin1String("--"))
                             ? args.takeFirst()
                             : QString();
    if (args.isEmpty() || (!mode.isEmpty() && mode != QLatin1String("--leave-copy") &&
                           mode != QLatin1String("--offer"))) {
        std::fprintf(stderr, "usage: mosaiq-manualshots OUT_DIR PHOTO...\n"
                             "       mosaiq-manualshots --leave-copy PHOTO...\n"
                             "       mosaiq-manualshots --offer OUT_DIR\n");
        return 2;
    }
    const bool leaveCopy = mode == QLatin1String("--leave-copy");
    if (!leaveCopy)
        g_out = args.takeFirst();
    QuietNotifier notifier;
    ScopedNotifier scoped(&notifier);
    const QString dataDir = DataPath();
    WriteOutReport written = WriteBuiltinDataFiles(dataDir);
    WriteStarterLibraries(dataDir, written);
    LoadUiTexts(dataDir);

    CMainDialog window;
    window.resize(1280, 800);
    window.show();
    window.move(0, 0);
    if (!QTest::qWaitForWindowExposed(&window))
        std::fprintf(stderr, "mosaiq-manualshots: the window was not shown\n");
    QStringList photos;
    for (const QString& a : args)
        photos << QFileInfo(a).absoluteFilePath();
    if (leaveCopy) {
        window.RunCommand(cmd::kStartRecovery);
        window.OpenPaths(photos);
        // The copy is written after the interval settings.ini names; then end as a crash does.
        QTest::qWait(4000);
        std::_Exit(0);
    }
    if (mode == QLatin1String("--offer")) {
        ShootModal(QStringLiteral("recovery-offer"),
                   [&] { window.RunCommand(cmd::kStartRecovery); });
        return 0;
    }
    Scenes(window, photos);
    return 0;
}
