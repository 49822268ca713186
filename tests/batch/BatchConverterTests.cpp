#include "batch/BatchConverter.h"

#include "common/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QImageReader>

#include <gtest/gtest.h>

#include <map>
#include <mutex>

namespace mosaiq {
namespace {

QString WritePicture(const test::ScopedDataDir& dir, const QString& name, QColor colour,
                     QSize size = QSize(40, 30)) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(colour);
    const QString path = dir.File(name);
    EXPECT_TRUE(QDir().mkpath(QFileInfo(path).absolutePath()));
    EXPECT_TRUE(image.save(path));
    return path;
}

TEST(BatchConverter, FormatsInListOrder) {
    const char* expected[] = {"JPG", "BMP", "GIF", "PNG", "PNM", "TGA", "TIF", "PCX"};
    for (int i = 0; i < 8; ++i) {
        EXPECT_STREQ(BatchFormats()[size_t(i)].text, expected[i]);
        EXPECT_EQ(QString::fromLatin1(BatchFormats()[size_t(i)].extension),
                  QString::fromLatin1(expected[i]).toLower());
        EXPECT_EQ(BatchFormatIndex(QString::fromLatin1(expected[i]).toLower()), i);
    }
    EXPECT_EQ(BatchFormatIndex(QStringLiteral("Tif")), 6);
    EXPECT_EQ(BatchFormatIndex(QStringLiteral("webp")), -1);
}

TEST(BatchConverter, OutputNames) {
    EXPECT_EQ(BatchOutputPath(QStringLiteral("/out/"), QStringLiteral("/in/photo.final.png"),
                              QStringLiteral("jpg")),
              QStringLiteral("/out/photo.final.jpg"));
    EXPECT_EQ(
        BatchOutputPath(QStringLiteral("/out"), QStringLiteral("x.y.png"), QStringLiteral("tga")),
        QStringLiteral("/out/x.y.tga"));
    EXPECT_EQ(BatchOutputPath(QStringLiteral("/out/"), QStringLiteral("/in.d/noext"),
                              QStringLiteral("bmp")),
              QStringLiteral("/out/noext.bmp"));
}

TEST(BatchConverter, EveryFormatWritesAPictureOfTheSameSize) {
    test::ScopedDataDir dir;
    const QString input =
        WritePicture(dir, QStringLiteral("in.png"), QColor(10, 200, 30), QSize(37, 21));
    for (int f = 0; f < 8; ++f) {
        BatchSettings settings;
        settings.files = {input};
        settings.format = f;
        settings.outputDir = dir.File(QStringLiteral("out"));
        const BatchSummary summary = BatchConverter(settings).Run();
        ASSERT_EQ(summary.converted, 1) << f;
        const QString output = BatchOutputPath(settings.outputDir, input,
                                               QLatin1String(BatchFormats()[size_t(f)].extension));
        ASSERT_TRUE(QFile::exists(output)) << output.toStdString();
        EXPECT_GT(QFile(output).size(), 0);
    }
    // The output directory holds the eight pictures and nothing else (no temporary files).
    EXPECT_EQ(QDir(dir.File(QStringLiteral("out"))).entryList(QDir::Files).size(), 8);
    const QImage jpg(dir.File(QStringLiteral("out/in.jpg")));
    ASSERT_EQ(jpg.size(), QSize(37, 21)); // every column kept, nothing stretched
    EXPECT_NEAR(qGreen(jpg.pixel(36, 20)), 200, 6);
}

TEST(BatchConverter, InputsOfOneNameGetNumberedOutputsInListOrder) {
    test::ScopedDataDir dir;
    const QString out = dir.File(QStringLiteral("out"));
    ASSERT_TRUE(QDir().mkpath(out));
    // A file already in the folder is replaced, as before.
    ASSERT_TRUE(test::WriteAll(out + QStringLiteral("/r.png"), "older"));
    for (int run = 0; run < 3; ++run) {
        BatchSettings settings;
        settings.files = {WritePicture(dir, QStringLiteral("r.bmp"), Qt::red),
                          WritePicture(dir, QStringLiteral("other.png"), Qt::green),
                          WritePicture(dir, QStringLiteral("r.ppm"), Qt::blue),
                          WritePicture(dir, QStringLiteral("sub/r.png"), Qt::yellow)};
        settings.format = BatchFormatIndex(QStringLiteral("PNG"));
        settings.outputDir = out;
        settings.threads = 2;
        std::mutex m;
        std::map<int, BatchFileResult> results;
        const BatchSummary summary = BatchConverter(settings).Run([&](const BatchFileResult& r) {
            std::lock_guard<std::mutex> lock(m);
            results[r.index] = r;
        });
        EXPECT_EQ(summary.converted, 4);
        ASSERT_EQ(results.size(), 4u);
        EXPECT_EQ(QFileInfo(results[0].output).fileName(), QStringLiteral("r.png"));
        EXPECT_FALSE(results[0].renamed);
        EXPECT_EQ(QFileInfo(results[2].output).fileName(), QStringLiteral("r (2).png"));
        EXPECT_TRUE(results[2].renamed);
        EXPECT_EQ(QFileInfo(results[3].output).fileName(), QStringLiteral("r (3).png"));
        EXPECT_EQ(QImage(out + QStringLiteral("/r.png")).pixelColor(5, 5), QColor(Qt::red)) << run;
        EXPECT_EQ(QImage(out + QStringLiteral("/r (2).png")).pixelColor(5, 5), QColor(Qt::blue));
        EXPECT_EQ(QImage(out + QStringLiteral("/r (3).png")).pixelColor(5, 5), QColor(Qt::yellow));
    }
    EXPECT_EQ(QDir(out).entryList(QDir::Files).size(), 4);
    EXPECT_EQ(NumberedOutputPath(QStringLiteral("/o/a.b.png"), 12),
              QStringLiteral("/o/a.b (12).png"));
    EXPECT_EQ(NumberedOutputPath(QStringLiteral("/o/plain"), 2), QStringLiteral("/o/plain (2)"));
}

TEST(BatchConverter, ANumberedNameThatIsAnInputIsStillSkipped) {
    test::ScopedDataDir dir;
    // Converting into the inputs' own folder: "q (2).png" is one of the inputs.
    BatchSettings settings;
    settings.files = {WritePicture(dir, QStringLiteral("q.bmp"), Qt::red),
                      WritePicture(dir, QStringLiteral("q.ppm"), Qt::blue),
                      WritePicture(dir, QStringLiteral("q (2).png"), Qt::green)};
    settings.format = BatchFormatIndex(QStringLiteral("PNG"));
    settings.outputDir = dir.Path();
    settings.threads = 1;
    QStringList skipped;
    const BatchSummary summary = BatchConverter(settings).Run([&](const BatchFileResult& r) {
        if (!r.converted)
            skipped << QFileInfo(r.input).fileName() + QLatin1Char(' ') + r.reason;
    });
    // q.bmp -> q.png; "q (2).png" -> "q (2) (2).png", since q.ppm took its plain name first.
    EXPECT_EQ(summary.converted, 2);
    EXPECT_TRUE(QFile::exists(dir.File(QStringLiteral("q (2) (2).png"))));
    ASSERT_EQ(skipped.size(), 1);
    EXPECT_TRUE(skipped[0].startsWith(QStringLiteral("q.ppm"))); // its q (2).png is an input
    EXPECT_TRUE(skipped[0].contains(QStringLiteral("would replace an input")));
    EXPECT_EQ(QImage(dir.File(QStringLiteral("q (2).png"))).pixelColor(5, 5), QColor(Qt::green));
}

TEST(BatchConverter, FilesAddedDuringARunAreConvertedInIt) {
    test::ScopedDataDir dir;
    BatchSettings settings;
    settings.files = {WritePicture(dir, QStringLiteral("first.png"), Qt::gray)};
    settings.format = BatchFormatIndex(QStringLiteral("BMP"));
    settings.outputDir = dir.File(QStringLiteral("out"));
    settings.threads = 2;
    BatchConverter converter(settings);
    const QString late = WritePicture(dir, QStringLiteral("late.png"), Qt::gray);
    const QString first = WritePicture(dir, QStringLiteral("sub/first.png"), Qt::gray);
    QStringList done;
    const BatchSummary summary = converter.Run([&](const BatchFileResult& r) {
        done << QFileInfo(r.output).fileName();
        // Added from the progress of the first file, as the dialog may.
        if (done.size() == 1) {
            EXPECT_TRUE(converter.AddFiles({late, first}));
        }
    });
    EXPECT_EQ(summary.converted, 3);
    EXPECT_EQ(converter.FileCount(), 3);
    done.sort();
    EXPECT_EQ(done, QStringList({"first (2).bmp", "first.bmp", "late.bmp"}));
    // Once the run has ended nothing more joins it.
    EXPECT_FALSE(converter.AddFiles({late}));
    EXPECT_EQ(converter.FileCount(), 3);
}

TEST(BatchConverter, UnreadableFilesSkippedAndReported) {
    test::ScopedDataDir dir;
    const QString bad = dir.File(QStringLiteral("bad.png"));
    ASSERT_TRUE(test::WriteAll(bad, QByteArray("not a picture at all")));
    BatchSettings settings;
    settings.files = {WritePicture(dir, QStringLiteral("good.png"), Qt::red), bad,
                      dir.File(QStringLiteral("missing.gif"))};
    settings.format = BatchFormatIndex(QStringLiteral("PNG"));
    settings.outputDir = dir.File(QStringLiteral("out"));
    QStringList skipped;
    std::mutex m;
    const BatchSummary summary = BatchConverter(settings).Run([&](const BatchFileResult& r) {
        std::lock_guard<std::mutex> lock(m);
        if (!r.converted) {
            skipped << QFileInfo(r.input).fileName();
            EXPECT_FALSE(r.reason.isEmpty());
        }
    });
    EXPECT_EQ(summary.converted, 1);
    EXPECT_EQ(summary.skipped, 2);
    skipped.sort();
    EXPECT_EQ(skipped, QStringList({QStringLiteral("bad.png"), QStringLiteral("missing.gif")}));
    EXPECT_FALSE(QFile::exists(dir.File(QStringLiteral("out/bad.png"))));
}

TEST(BatchConverter, StopHonouredBetweenFiles) {
    test::ScopedDataDir dir;
    BatchSettings settings;
    for (int i = 0; i < 10; ++i)
        settings.files << WritePicture(dir, QStringLiteral("p%1.png").arg(i), Qt::gray);
    settings.format = BatchFormatIndex(QStringLiteral("BMP"));
    settings.outputDir = dir.File(QStringLiteral("out"));
    settings.threads = 1;
    BatchConverter converter(settings);
    int reported = 0;
    const BatchSummary summary = converter.Run([&](const BatchFileResult& r) {
        ++reported;
        EXPECT_TRUE(r.converted); // the file in progress is finished, never cut off
        if (reported == 3)
            converter.RequestStop();
    });
    EXPECT_TRUE(summary.stopped);
    EXPECT_EQ(summary.converted, 3);
    EXPECT_EQ(summary.notStarted, 7);
    EXPECT_FALSE(converter.AddFiles({settings.files.front()})); // a stopped run takes no more
    EXPECT_EQ(QDir(settings.outputDir).entryList(QDir::Files).size(), 3);
}

TEST(BatchConverter, NoFormatOrUncreatableDirectoryFails) {
    test::ScopedDataDir dir;
    BatchSettings settings;
    settings.files = {WritePicture(dir, QStringLiteral("a.png"), Qt::red)};
    settings.format = -1;
    settings.outputDir = dir.File(QStringLiteral("out"));
    EXPECT_FALSE(BatchConverter(settings).Run().error.isEmpty());
    settings.format = 0;
    ASSERT_TRUE(test::WriteAll(dir.File(QStringLiteral("file")), QByteArray("x")));
    settings.outputDir = dir.File(QStringLiteral("file/sub"));
    EXPECT_FALSE(BatchConverter(settings).Run().error.isEmpty());
}

} // namespace
} // namespace mosaiq
