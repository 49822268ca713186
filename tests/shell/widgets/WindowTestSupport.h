#pragma once

// What the window fault tests share: a main window shown offscreen with every dialog and
// message answered by the test, pictures written into the scratch data folder, and clicks on
// the objects of the canvas where the last drawing pass put them.

#include "canvas/widgets/CCollageCanvas.h"
#include "canvas/widgets/export/CExportDialog.h"
#include "common/TestSupport.h"
#include "core/Notifier.h"
#include "shell/widgets/CMainDialog.h"
#include "ui/widgets/DialogProvider.h"

#include <QImage>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

namespace mosaiq::test {

class WindowTest : public ::testing::Test {
public:
    void SetUp() override {
        SetDialogProvider(&dialogs);
        // Save Collage's size dialog is answered with its defaults: scale 1, the canvas-size
        // export.
        CExportDialog::SetRunner([](CExportDialog&) { return int(QDialog::Accepted); });
        window = std::make_unique<CMainDialog>();
        window->resize(1024, 768);
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
        window->activateWindow();
    }
    void TearDown() override {
        window.reset();
        CExportDialog::SetRunner({});
        SetDialogProvider(nullptr);
    }

    CCollageCanvas& Canvas() { return window->Canvas(); }
    CollageDocument& Doc() { return window->Canvas().Document(); }
    int Steps() { return Doc().History().Count(); }

    // A w x h picture of one colour saved as name in the scratch folder.
    QString Picture(const QString& name, int w, int h, QColor colour = QColor(200, 60, 60)) {
        QImage image(w, h, QImage::Format_RGB32);
        image.fill(colour);
        const QString path = data.File(name);
        EXPECT_TRUE(image.save(path));
        return path;
    }

    // A photo of a fresh w x h picture at canvas (x, y); it ends up selected.
    void AddPhoto(int w = 60, int h = 40, int x = 100, int y = 100) {
        const QString path = Picture(QStringLiteral("p%1.png").arg(Doc().objects.size()), w, h);
        ASSERT_TRUE(Doc().AddPhoto(path, w, h, x, y));
        window->UpdateToolbarState();
    }

    // The centre of object index on the canvas window, as the last pass drew it.
    QPoint CentreOf(size_t index) {
        Canvas().EnsureRegions();
        return Doc().view.SurfaceToWindow(
            Doc().objects[index].screenRegion.boundingRect().center().toPoint());
    }
    void ClickObject(size_t index) {
        QTest::mouseClick(&Canvas(), Qt::LeftButton, {}, CentreOf(index));
    }

    test::ScopedDataDir data;
    RecordingNotifier notifier;
    ScopedNotifier scoped{&notifier};
    ScriptedDialogProvider dialogs;
    std::unique_ptr<CMainDialog> window;
};

} // namespace mosaiq::test
