// The PNG writer: every pixel read back by both readers (Qt's and the image library's) for each
// stored layout, odd sizes, and parts that do not divide the height; compression as good as
// Qt's own writer; large files written in pieces; the count of picture jobs.
#include "imaging/magick/ImageLibrary.h"
#include "imaging/files/PictureJob.h"
#include "imaging/files/PictureType.h"
#include "imaging/encode/PngWriter.h"
#include "imaging/files/ReplacingFile.h"

#include "common/TestSupport.h"

#include <QBuffer>
#include <QRandomGenerator>
#include <QThread>

#include <gtest/gtest.h>

#include <thread>

namespace mosaiq {
namespace {

// Smooth gradients with noise and a few flat areas, so every row filter is chosen somewhere.
QImage TestPicture(int w, int h, QImage::Format format, quint32 seed) {
    QImage image(w, h, QImage::Format_ARGB32);
    QRandomGenerator random(seed);
    for (int y = 0; y < h; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < w; ++x) {
            const int n = int(random.bounded(9));
            const bool flat = (x / 32 + y / 32) % 5 == 0;
            line[x] = flat ? qRgba(40, 90, 200, 255)
                           : qRgba((x * 3 + n) & 255, (y * 5 + n) & 255, (x + y + 2 * n) & 255,
                                   (x * 7 + y * 11 + n) & 255);
        }
    }
    if (format == QImage::Format_Indexed8) {
        QVector<QRgb> palette;
        for (int i = 0; i < 200; ++i)
            palette << qRgba(i, 255 - i, (i * 7) & 255, i < 3 ? i * 60 : 255);
        QImage indexed(w, h, QImage::Format_Indexed8);
        indexed.setColorTable(palette);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                indexed.scanLine(y)[x] = uchar((x * 13 + y * 7 + int(random.bounded(3))) % 200);
        return indexed;
    }
    return image.convertToFormat(format);
}

// What a reader should give: straight ARGB, opaque for layouts without alpha.
QRgb Expected(const QImage& source, int x, int y) {
    return source.hasAlphaChannel() ? source.pixel(x, y) : (source.pixel(x, y) | 0xFF000000u);
}

void ExpectQtReadsBack(const QImage& source, const QByteArray& png, const char* what) {
    const QImage read = QImage::fromData(png, "PNG");
    ASSERT_FALSE(read.isNull()) << what;
    ASSERT_EQ(read.size(), source.size()) << what;
    const QImage straight = read.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < source.height(); ++y)
        for (int x = 0; x < source.width(); ++x)
            ASSERT_EQ(straight.pixel(x, y), Expected(source, x, y))
                << what << " at " << x << "," << y;
}

void ExpectLibraryReadsBack(const QImage& source, const QByteArray& png, const char* what) {
    const LibraryImage read(png, kPicturePng);
    ASSERT_TRUE(read.IsValid()) << what << ": " << read.ErrorString().toStdString();
    ASSERT_EQ(read.GetWidth(), source.width()) << what;
    ASSERT_EQ(read.GetHeight(), source.height()) << what;
    for (int y = 0; y < source.height(); ++y) {
        const unsigned char* row = read.GetBits(source.height() - 1 - y);
        for (int x = 0; x < source.width(); ++x) {
            const QRgb e = Expected(source, x, y);
            const QRgb got = qRgba(row[3 * x + 2], row[3 * x + 1], row[3 * x],
                                   read.AlphaGet(x, source.height() - 1 - y));
            // Colour under full transparency is not kept by every reader.
            if (qAlpha(e) == 0)
                ASSERT_EQ(qAlpha(got), 0) << what << " at " << x << "," << y;
            else
                ASSERT_EQ(got, e) << what << " at " << x << "," << y;
        }
    }
}

struct LayoutCase {
    const char* name;
    QImage::Format format;
    int colourType; // byte 25 of the file
};

const LayoutCase kLayouts[] = {
    {"grey", QImage::Format_Grayscale8, 0},
    {"rgb", QImage::Format_RGB32, 2},
    {"palette", QImage::Format_Indexed8, 3},
    {"rgba", QImage::Format_ARGB32, 6},
    {"premultiplied rgba", QImage::Format_ARGB32_Premultiplied, 6},
};

TEST(PngWriter, EveryLayoutAndOddSizeReadsBackThroughBothReaders) {
    const QSize sizes[] = {{1, 1}, {1, 4097}, {4097, 1}, {37, 23}};
    for (const LayoutCase& layout : kLayouts) {
        for (const QSize size : sizes) {
            QImage source = TestPicture(size.width(), size.height(), layout.format, 3);
            // Premultiplying loses colour precision: compare against what the picture holds.
            if (layout.format == QImage::Format_ARGB32_Premultiplied)
                source = source.convertToFormat(QImage::Format_ARGB32);
            QString error;
            const QByteArray png =
                EncodePng(TestPicture(size.width(), size.height(), layout.format, 3), {}, &error);
            ASSERT_FALSE(png.isEmpty()) << error.toStdString();
            EXPECT_EQ(int(quint8(png.at(25))), layout.colourType) << layout.name;
            const std::string what = std::string(layout.name) + " " + std::to_string(size.width()) +
                                     "x" + std::to_string(size.height());
            ExpectQtReadsBack(source, png, what.c_str());
            ExpectLibraryReadsBack(source, png, what.c_str());
        }
    }
}

TEST(PngWriter, PartsThatDoNotDivideTheHeightJoinIntoOneStream) {
    // 7 and 4097 rows in 2, 3 and 5 parts, on one and on several threads; more parts than rows.
    const struct {
        QSize size;
        int parts;
        int threads;
    } cases[] = {{{13, 7}, 2, 1},   {{13, 7}, 3, 2}, {{13, 7}, 5, 3},
                 {{3, 4097}, 3, 2}, {{61, 3}, 9, 2}, {{300, 301}, 2, 0}};
    for (const auto& c : cases) {
        for (const LayoutCase& layout : {kLayouts[1], kLayouts[3]}) {
            const QImage source = TestPicture(c.size.width(), c.size.height(), layout.format, 11);
            const QByteArray png = EncodePng(source, {c.threads, c.parts});
            const std::string what = std::string(layout.name) + " in " + std::to_string(c.parts) +
                                     " parts, " + std::to_string(c.size.height()) + " rows";
            ExpectQtReadsBack(source, png, what.c_str());
            ExpectLibraryReadsBack(source, png, what.c_str());
        }
    }
}

TEST(PngWriter, SplitPicturesCompressNearlyAsWellAsWhole) {
    const QImage source = TestPicture(1200, 900, QImage::Format_RGB32, 5);
    const QByteArray whole = EncodePng(source, {1, 1});
    const QByteArray split = EncodePng(source, {2, 2});
    QByteArray qtFile;
    QBuffer buffer(&qtFile);
    buffer.open(QIODevice::WriteOnly);
    ASSERT_TRUE(source.save(&buffer, "PNG"));
    // As small as Qt's zlib writer within 5 %, split or not.
    EXPECT_LT(double(whole.size()), 1.05 * double(qtFile.size()));
    EXPECT_LT(double(split.size()), 1.05 * double(qtFile.size()));
    EXPECT_NE(whole, split); // the split really made two parts
}

TEST(PngWriter, PaletteIndexesPastTheEndAndEmptyPictures) {
    QImage indexed(4, 2, QImage::Format_Indexed8);
    indexed.setColorTable({qRgb(255, 0, 0), qRgb(0, 255, 0)});
    indexed.fill(1);
    indexed.scanLine(1)[3] = 7; // no such entry: written as black
    const QImage read = QImage::fromData(EncodePng(indexed), "PNG");
    ASSERT_EQ(read.size(), QSize(4, 2));
    EXPECT_EQ(read.pixel(0, 0), qRgb(0, 255, 0));
    EXPECT_EQ(read.pixel(3, 1), qRgb(0, 0, 0));

    QString error;
    EXPECT_TRUE(EncodePng(QImage(), {}, &error).isEmpty());
    EXPECT_FALSE(error.isEmpty());
}

TEST(PngWriter, LargeFilesAreWrittenWholeInPiecesAndUnwritablePathsFail) {
    test::ScopedDataDir dir;
    QByteArray bytes(5 * 65536 + 17, Qt::Uninitialized);
    for (qsizetype i = 0; i < bytes.size(); ++i)
        bytes[i] = char((i * 131) >> 7);
    const QString path = dir.File(QStringLiteral("big.png"));
    ASSERT_TRUE(WritePictureFile(path, bytes));
    EXPECT_EQ(test::ReadAll(path), bytes);
    QString error;
    EXPECT_FALSE(WritePictureFile(path + QStringLiteral("/child.png"), bytes, &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(test::ReadAll(path), bytes);
}

TEST(PictureJob, NestedJobsCountOnceAndOthersTakeTheirCores) {
    const int cores = std::max(1, QThread::idealThreadCount());
    const ScopedPictureJob outer;
    EXPECT_EQ(ScopedPictureJob::Running(), 1);
    EXPECT_EQ(ScopedPictureJob::SpareThreads(), cores);
    {
        const ScopedPictureJob inner; // the writer inside a conversion
        EXPECT_EQ(ScopedPictureJob::Running(), 1);
    }
    int runningThere = 0, spareThere = 0;
    std::thread other([&] {
        const ScopedPictureJob job;
        runningThere = ScopedPictureJob::Running();
        spareThere = ScopedPictureJob::SpareThreads();
    });
    other.join();
    EXPECT_EQ(runningThere, 2);
    EXPECT_EQ(spareThere, std::max(1, cores - 1));
    EXPECT_EQ(ScopedPictureJob::Running(), 1);
}

} // namespace
} // namespace mosaiq
