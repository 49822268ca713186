// Save Collage's size dialog and the print commands, run through the main window with every
// dialog answered by the test.
#include "canvas/document/CollageDocument.h"
#include "canvas/widgets/CCollageCanvas.h"
#include "canvas/widgets/export/CExportDialog.h"
#include "common/TestSupport.h"
#include "core/text/FixedText.h"
#include "core/Notifier.h"
#include "shell/widgets/CMainDialog.h"
#include "shell/widgets/CommandIds.h"
#include "ui/widgets/DialogProvider.h"

#include <QComboBox>
#include <QFile>
#include <QRadioButton>
#include <QSpinBox>

#include <gtest/gtest.h>

#include <memory>

using namespace mosaiq;

namespace {

class ExportCommandsTest : public ::testing::Test {
protected:
    test::ScopedDataDir data;
    RecordingNotifier notifier;
    ScopedNotifier scoped{&notifier};
    ScriptedDialogProvider dialogs;
    std::unique_ptr<CMainDialog> window;

    void SetUp() override {
        SetDialogProvider(&dialogs);
        window = std::make_unique<CMainDialog>();
        CollageDocument& doc = window->Canvas().Document();
        doc.width = 300;
        doc.height = 200;
    }
    void TearDown() override {
        CExportDialog::SetRunner({});
        window.reset();
        SetDialogProvider(nullptr);
    }
};

} // namespace

TEST_F(ExportCommandsTest, SaveCollageAsksTheSizeAndWritesAPaperPdf) {
    const QString pdf = data.File(QStringLiteral("collage.pdf"));
    dialogs.AnswerFiles({pdf});
    int asked = 0;
    CExportDialog::SetRunner([&asked](CExportDialog& dialog) {
        ++asked;
        dialog.PaperChoice()->setChecked(true);
        dialog.PaperBox()->setCurrentIndex(dialog.PaperBox()->findData(QStringLiteral("A5")));
        dialog.DpiBox()->setValue(100);
        return int(QDialog::Accepted);
    });
    window->RunCommand(cmd::kSaveCollage);
    EXPECT_EQ(asked, 1);
    ASSERT_TRUE(QFile::exists(pdf)) << notifier.messages.join('\n').toStdString();
    EXPECT_TRUE(test::ReadAll(pdf).contains("/MediaBox [0 0 420"));
    EXPECT_TRUE(notifier.messages.isEmpty());

    // Cancelling the size dialog writes nothing.
    const QString png = data.File(QStringLiteral("cancelled.png"));
    dialogs.AnswerFiles({png});
    CExportDialog::SetRunner([](CExportDialog&) { return int(QDialog::Rejected); });
    window->RunCommand(cmd::kSaveCollage);
    EXPECT_FALSE(QFile::exists(png));
}

TEST_F(ExportCommandsTest, PrintAsksAboutMissingPhotosFirst) {
    CollageDocument& doc = window->Canvas().Document();
    PhotoRecord r;
    WriteFixedText(r.path, data.File(QStringLiteral("gone.jpg")));
    r.boxWidth = r.boxHeight = 50;
    doc.objects.emplace_back(r);
    doc.CreateRegion(doc.objects.back());
    dialogs.Reply(Answer::No);
    window->RunCommand(cmd::kPrint);
    ASSERT_EQ(dialogs.Questions().size(), 1);
    EXPECT_TRUE(dialogs.Questions()[0].contains(QStringLiteral("1 photo cannot be found")));
    dialogs.Reply(Answer::No);
    window->RunCommand(cmd::kPrintPreview);
    EXPECT_EQ(dialogs.Questions().size(), 2);
}
