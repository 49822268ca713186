// The export size dialog, Save Collage's export after it, and printing onto a PDF printer.
#include "canvas/document/CollageDocument.h"
#include "canvas/widgets/export/CExportDialog.h"
#include "canvas/widgets/export/CollagePrint.h"
#include "canvas/widgets/export/ExportMemory.h"
#include "canvas/widgets/export/ExportRun.h"
#include "common/TestSupport.h"
#include "core/text/FixedText.h"
#include "core/Notifier.h"

#include <QApplication>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFile>
#include <QPageLayout>
#include <QPrinter>
#include <QProgressDialog>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

#include <gtest/gtest.h>

using namespace mosaiq;

namespace {

class ExportDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        doc.width = 400;
        doc.height = 300;
        QImage photo(100, 100, QImage::Format_RGB32);
        photo.fill(Qt::red);
        const QString path = dir.filePath(QStringLiteral("photo_012.png"));
        ASSERT_TRUE(photo.save(path));
        PhotoRecord r;
        WriteFixedText(r.path, path);
        r.pictureWidth = r.boxWidth = r.cropRight = 100;
        r.pictureHeight = r.boxHeight = r.cropBottom = 100;
        r.x = r.y = 20;
        doc.objects.emplace_back(r);
        doc.CreateRegion(doc.objects.back());
    }
    void TearDown() override { CExportDialog::SetRunner({}); }

    QTemporaryDir dir;
    test::ScopedDataDir data;
    CollageDocument doc;
    RecordingNotifier notifier;
    ScopedNotifier scoped{&notifier};
};

} // namespace

TEST_F(ExportDialogTest, ShowsThePixelSizeAndNamesEnlargedPhotos) {
    CExportDialog dialog(doc, QStringLiteral("png"));
    EXPECT_TRUE(dialog.SizeText().startsWith(QStringLiteral("400 × 300 pixels")));
    EXPECT_TRUE(dialog.WarningText().isEmpty());
    EXPECT_FALSE(dialog.DpiBox()->isEnabled()); // scale 1: today's export, no resolution
    EXPECT_TRUE(CExportDialog(doc, QStringLiteral("pdf")).DpiBox()->isEnabled());

    dialog.ScaleBox()->setValue(4.0);
    EXPECT_TRUE(dialog.DpiBox()->isEnabled());
    EXPECT_TRUE(dialog.SizeText().startsWith(QStringLiteral("1600 × 1200 pixels")));
    EXPECT_EQ(dialog.WarningText(), QStringLiteral("photo_012.png will print at 75 dpi"));

    dialog.PaperChoice()->setChecked(true);
    dialog.PaperBox()->setCurrentIndex(dialog.PaperBox()->findData(QStringLiteral("A5L")));
    dialog.DpiBox()->setValue(100);
    // A5 landscape at 100 dpi is 827 x 583 pixels; the 4:3 canvas fits its height.
    EXPECT_TRUE(dialog.SizeText().startsWith(QStringLiteral("777 × 583 pixels")))
        << dialog.SizeText().toStdString();
    const ExportSettings s = dialog.Settings();
    ASSERT_TRUE(s.paper);
    EXPECT_EQ(s.paper->name, QStringLiteral("A5L"));
    EXPECT_EQ(s.dpi, 100);

    doc.width = 4000; // 2400 dpi on A3 passes the picture limits: refused, OK greyed
    dialog.PaperBox()->setCurrentIndex(dialog.PaperBox()->findData(QStringLiteral("A3")));
    dialog.DpiBox()->setValue(2400);
    EXPECT_TRUE(dialog.WarningText().contains(QStringLiteral("too large")));
}

TEST_F(ExportDialogTest, SaveCollageWritesTheAskedSizeAndNothingWhenCancelled) {
    const QString path = dir.filePath(QStringLiteral("out.png"));
    CExportDialog::SetRunner([](CExportDialog&) { return int(QDialog::Rejected); });
    EXPECT_FALSE(ExportCollageAsAsked(nullptr, doc, path));
    EXPECT_FALSE(QFile::exists(path));

    CExportDialog::SetRunner([](CExportDialog& d) {
        d.ScaleBox()->setValue(2.0);
        d.DpiBox()->setValue(150);
        return int(QDialog::Accepted);
    });
    ASSERT_TRUE(ExportCollageAsAsked(nullptr, doc, path));
    const QImage image(path);
    EXPECT_EQ(image.size(), QSize(800, 600));
    EXPECT_EQ(image.dotsPerMeterX(), 5906);
    EXPECT_EQ(image.pixelColor(100, 100), QColor(Qt::red));
    EXPECT_TRUE(notifier.messages.isEmpty());
    EXPECT_EQ(doc.objects[0].cache, nullptr); // the window's document was not drawn on
}

TEST_F(ExportDialogTest, PrintingFitsTheCollageToThePrintableArea) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(dir.filePath(QStringLiteral("print.pdf")));
    printer.setResolution(150);
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setPageMargins(QMarginsF(10, 10, 10, 10), QPageLayout::Millimeter);
    ASSERT_TRUE(PaintCollageOnPrinter(printer, doc));
    QFile file(printer.outputFileName());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QString text = QString::fromLatin1(file.readAll());
    EXPECT_TRUE(text.contains(QStringLiteral("/MediaBox [0 0 595")));
    // About 190 mm of printable width at 150 dpi: the 4:3 collage takes the whole width.
    const QSize area = printer.pageLayout().paintRectPixels(150).size();
    ASSERT_NEAR(area.width(), 1122, 3);
    const QRegularExpressionMatch image =
        QRegularExpression(QStringLiteral("/Width (\\d+)\\s*/Height (\\d+)")).match(text);
    EXPECT_EQ(image.captured(1).toInt(), area.width());
    EXPECT_EQ(image.captured(2).toInt(), int(300 * (double(area.width()) / 400)));
}

// The export size, the printer's paper and colour are kept for the next time; printing starts
// in the collage's own orientation.
TEST_F(ExportDialogTest, TheSizeAndThePrinterAreRememberedAndThePageFollowsTheCollage) {
    const QString out = dir.filePath(QStringLiteral("sized.png"));
    CExportDialog::SetRunner([](CExportDialog& d) {
        d.PaperChoice()->setChecked(true);
        d.PaperBox()->setCurrentIndex(d.PaperBox()->findData(QStringLiteral("A5L")));
        d.DpiBox()->setValue(50);
        return int(QDialog::Accepted);
    });
    ASSERT_TRUE(ExportCollageAsAsked(nullptr, doc, out));
    ExportSettings shown;
    CExportDialog::SetRunner([&shown](CExportDialog& d) {
        shown = d.Settings();
        return int(QDialog::Rejected);
    });
    EXPECT_FALSE(ExportCollageAsAsked(nullptr, doc, out));
    ASSERT_TRUE(shown.paper.has_value());
    EXPECT_EQ(shown.paper->name, QStringLiteral("A5L"));
    EXPECT_EQ(shown.dpi, 50);

    // A wide collage prints landscape, a tall one portrait; paper and colour come back.
    QPrinter chosen;
    chosen.setPageSize(QPageSize(QPageSize::A5));
    chosen.setColorMode(QPrinter::GrayScale);
    ASSERT_TRUE(RememberPrinter(chosen));
    for (const QSize canvas : {QSize(400, 300), QSize(300, 400)}) {
        doc.width = canvas.width();
        doc.height = canvas.height();
        QPrinter printer;
        PreparePrinter(printer, doc);
        EXPECT_EQ(printer.pageLayout().orientation(), canvas.width() > canvas.height()
                                                          ? QPageLayout::Landscape
                                                          : QPageLayout::Portrait);
        EXPECT_EQ(printer.pageLayout().pageSize().id(), QPageSize::A5);
        EXPECT_EQ(printer.colorMode(), QPrinter::GrayScale);
    }
}

// The window that shows an export's progress bears the program's name.
TEST_F(ExportDialogTest, TheProgressWindowIsTitledWithTheProgramsName) {
    QString title;
    QTimer::singleShot(50, [&title] {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* progress = qobject_cast<QProgressDialog*>(w))
                title = progress->windowTitle();
    });
    RunWithProgress(nullptr, QStringLiteral("Saving"), [](const ExportProgress&) {
        QThread::msleep(300);
        return ScaledExportResult{};
    });
    EXPECT_EQ(title, QStringLiteral("Mosaiq Photo Editor"));
}
