// Pasted pictures in project files: the trailing block after the last object.
#include "canvas/document/CollageDocument.h"
#include "canvas/render/ObjectPictures.h"
#include "canvas/project/ProjectFile.h"
#include "common/TestSupport.h"
#include "imaging/PngTestWriter.h"

#include <QBuffer>
#include <QFile>

#include <cstring>

#include <gtest/gtest.h>

using namespace mosaiq;
using test::ReadAll;
using test::WriteAll;

namespace {

// A picture whose every pixel differs, with alpha 0, 128 and 255 in it.
QImage PastedPixels(int w, int h) {
    QImage image(w, h, QImage::Format_ARGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            image.setPixel(x, y, qRgba(x * 7, y * 11, (x + y) * 3, (x + y) % 3 == 0 ? 0 : (x % 2 ? 128 : 255)));
    return image;
}

class PastedPictureFileTest : public ::testing::Test {
protected:
    test::ScopedDataDir data;
    QString Path(const QString& name) const { return data.File(name); }

    // A document with a photo, then two cliparts of pasted picture 1 and a library clipart; the
    // pasted list holds three pictures of which only the second is used.
    void Fill(CollageDocument& doc) {
        doc.pastedPictures = {PastedPixels(3, 3), PastedPixels(20, 12), PastedPixels(5, 5)};
        PhotoRecord photo;
        photo.boxWidth = photo.boxHeight = 10;
        doc.objects.emplace_back(photo);
        for (int i = 0; i < 2; ++i) {
            ClipartRecord clip;
            clip.pasted = 1;
            clip.sourceId = 1;
            clip.width = 20;
            clip.height = 12;
            clip.x = 40 * i;
            doc.objects.emplace_back(clip);
        }
        ClipartRecord library;
        library.sourceId = 1; // a library picture with the same number is not a pasted one
        library.width = library.height = 8;
        doc.objects.emplace_back(library);
        for (CanvasObject& o : doc.objects)
            doc.CreateRegion(o);
    }

    static QByteArray Encode(const CollageDocument& doc) {
        QByteArray bytes;
        EXPECT_TRUE(EncodeProject(doc, bytes, QStringLiteral("/nonexistent/cusmask.cfg")).ok);
        return bytes;
    }
};

} // namespace

TEST_F(PastedPictureFileTest, RoundTripAppendsThePicturesAndRemapsTheObjects) {
    CollageDocument doc;
    Fill(doc);
    ASSERT_TRUE(SaveProject(doc, Path("pasted.dcf")).ok);
    if (const QString seeds = qEnvironmentVariable("MOSAIQ_WRITE_SEEDS"); !seeds.isEmpty())
        WriteAll(seeds + QStringLiteral("/pasted.dcf"), ReadAll(Path("pasted.dcf")));

    // The reopening document already holds two pasted pictures of its own.
    CollageDocument reopened;
    reopened.pastedPictures = {PastedPixels(2, 2), PastedPixels(4, 4)};
    ASSERT_TRUE(LoadProject(reopened, Path("pasted.dcf")).ok);
    ASSERT_EQ(reopened.pastedPictures.size(), 3u); // only the used picture was stored
    EXPECT_EQ(reopened.pastedPictures[0], PastedPixels(2, 2));
    EXPECT_EQ(reopened.pastedPictures[2], PastedPixels(20, 12));
    ASSERT_EQ(reopened.objects.size(), 4u);
    EXPECT_EQ(reopened.objects[1].Clipart()->sourceId, 2);
    EXPECT_EQ(reopened.objects[2].Clipart()->sourceId, 2);
    EXPECT_EQ(reopened.objects[3].Clipart()->sourceId, 1); // library clipart untouched
    EXPECT_EQ(reopened.objects[2].Clipart()->x, 40);

    // Saved again, the block holds the same picture under its new index.
    const QByteArray again = Encode(reopened);
    EXPECT_EQ(again.count("MQPX"), 1);
    CollageDocument third;
    QBuffer buffer;
    buffer.setData(again);
    buffer.open(QIODevice::ReadOnly);
    ASSERT_TRUE(ParseProject(buffer, third, nullptr).ok);
    ASSERT_EQ(third.pastedPictures.size(), 1u);
    EXPECT_EQ(third.pastedPictures[0], PastedPixels(20, 12));
    EXPECT_EQ(third.objects[1].Clipart()->sourceId, 0);
}

// A project written by another PNG encoder (an older version of the program wrote its pasted
// pictures through Qt's) is saved again byte for byte: the pictures keep the bytes they were read
// from instead of being compressed anew, and a changed picture gets new bytes.
TEST_F(PastedPictureFileTest, ResavingKeepsThePicturesBytesUntilThePictureChanges) {
    CollageDocument doc;
    doc.pastedPictures = {PastedPixels(20, 12)};
    ClipartRecord clip;
    clip.pasted = 1;
    clip.width = 20;
    clip.height = 12;
    doc.objects.emplace_back(clip);
    doc.CreateRegion(doc.objects.back());
    const QByteArray ours = Encode(doc);
    const qsizetype block = ours.indexOf("MQPX");
    ASSERT_GT(block, 0);

    QByteArray theirs;
    QBuffer png(&theirs);
    png.open(QIODevice::WriteOnly);
    ASSERT_TRUE(PastedPixels(20, 12).save(&png, "PNG", 0)); // stored, not compressed
    QByteArray file = ours.left(block);
    file.append("MQPX", 4);
    for (const std::uint32_t v : {1u, 1u, 0u, 20u, 12u, std::uint32_t(theirs.size())})
        file.append(reinterpret_cast<const char*>(&v), 4);
    file.append(theirs);
    ASSERT_NE(file, ours);
    ASSERT_TRUE(WriteAll(Path("older.dcf"), file));

    CollageDocument reopened;
    ASSERT_TRUE(LoadProject(reopened, Path("older.dcf")).ok);
    ASSERT_EQ(reopened.pastedPictures.size(), 1u);
    EXPECT_EQ(reopened.pastedPictures[0], PastedPixels(20, 12));
    EXPECT_EQ(Encode(reopened), file);

    // Pixels changed by an edit are written as they are now.
    reopened.pastedPictures[0].setPixel(0, 0, qRgba(1, 2, 3, 255));
    const QByteArray changed = Encode(reopened);
    EXPECT_EQ(changed.indexOf(theirs), -1);
    CollageDocument third;
    QBuffer buffer;
    buffer.setData(changed);
    buffer.open(QIODevice::ReadOnly);
    ASSERT_TRUE(ParseProject(buffer, third, nullptr).ok);
    ASSERT_EQ(third.pastedPictures.size(), 1u);
    EXPECT_EQ(third.pastedPictures[0].pixel(0, 0), qRgba(1, 2, 3, 255));
    EXPECT_EQ(third.pastedPictures[0].pixel(1, 0), PastedPixels(20, 12).pixel(1, 0));
}

TEST_F(PastedPictureFileTest, FilesWithoutTheBlockReadAsBefore) {
    CollageDocument doc;
    Fill(doc);
    const QByteArray withBlock = Encode(doc);
    const qsizetype block = withBlock.indexOf("MQPX");
    ASSERT_GT(block, 0);
    // The block starts right after the last object: a reader that stops there reads the same
    // objects, and the objects keep their stored index.
    const QByteArray old = withBlock.left(block);
    CollageDocument reopened;
    reopened.pastedPictures = {PastedPixels(2, 2), PastedPixels(4, 4)};
    ASSERT_TRUE(WriteAll(Path("old.dcf"), old));
    ASSERT_TRUE(LoadProject(reopened, Path("old.dcf")).ok);
    EXPECT_EQ(reopened.pastedPictures.size(), 2u);
    EXPECT_EQ(reopened.objects[1].Clipart()->sourceId, 1);

    // Other bytes after the last object are still ignored, as they always were.
    ASSERT_TRUE(WriteAll(Path("tail.dcf"), old + QByteArray("MQP")));
    EXPECT_TRUE(LoadProject(reopened, Path("tail.dcf")).ok);

    // A document without pasted pictures in use writes no block at all.
    doc.objects[1].Clipart()->pasted = 0;
    doc.objects[2].Clipart()->pasted = 0;
    EXPECT_EQ(Encode(doc).indexOf("MQPX"), -1);
}

TEST_F(PastedPictureFileTest, DamagedBlocksFailAndKeepTheDocument) {
    CollageDocument doc;
    Fill(doc);
    const QByteArray bytes = Encode(doc);
    const qsizetype block = bytes.indexOf("MQPX");
    const auto withInt = [&](qsizetype offset, std::uint32_t value) {
        QByteArray b = bytes;
        std::memcpy(b.data() + block + offset, &value, 4);
        return b;
    };
    const QList<QPair<const char*, QByteArray>> damaged = {
        {"cut in the header", bytes.left(block + 6)},
        {"cut in the PNG", bytes.left(bytes.size() - 5)},
        {"unknown version", withInt(4, 2)},
        {"impossible count", withInt(8, 0x10000000u)},
        {"length past the end", withInt(24, 0x7FFFFFF0u)},
        {"negative index", withInt(12, 0xFFFFFFFFu)},
        {"not a PNG", [&] {
             QByteArray b = bytes;
             b[bytes.size() - 40] = 'x';
             b.replace(block + 28, 4, "JUNK");
             return b;
         }()},
    };
    CollageDocument current;
    current.pastedPictures = {PastedPixels(2, 2)};
    ASSERT_TRUE(current.AddPhoto(QStringLiteral("mine.jpg"), 10, 10, 0, 0));
    for (const auto& [what, file] : damaged) {
        ASSERT_TRUE(WriteAll(Path("bad.dcf"), file));
        const ProjectResult r = LoadProject(current, Path("bad.dcf"));
        EXPECT_FALSE(r.ok) << what;
        EXPECT_FALSE(r.error.isEmpty()) << what;
        EXPECT_EQ(current.objects.size(), 1u) << what;
        EXPECT_EQ(current.pastedPictures.size(), 1u) << what;
    }
}

namespace {

// Two pasted cliparts, of pasted pictures 0 and 7, in a project whose block holds only picture 7
// (picture 0 could not be stored: a null picture in the pasted list).
QByteArray ProjectMissingPictureZero() {
    CollageDocument doc;
    doc.pastedPictures.resize(8);
    doc.pastedPictures[7] = PastedPixels(6, 4);
    for (const int source : {0, 7}) {
        ClipartRecord clip;
        clip.pasted = 1;
        clip.sourceId = source;
        clip.width = 6;
        clip.height = 4;
        doc.objects.emplace_back(clip);
    }
    QByteArray bytes;
    EXPECT_TRUE(EncodeProject(doc, bytes, QStringLiteral("/nonexistent/cusmask.cfg")).ok);
    return bytes;
}

// The stored picture index of clipart object i of a project holding cliparts only.
std::int32_t StoredSourceId(const QByteArray& bytes, int i) {
    std::int32_t id = 0;
    std::memcpy(&id, bytes.constData() + 280 + i * (4 + 124) + 4 + 8, 4);
    return id;
}

// The stored indices of the entries of the pasted-picture block.
std::vector<std::int32_t> BlockIndices(const QByteArray& bytes) {
    const qsizetype block = bytes.indexOf("MQPX");
    std::vector<std::int32_t> indices;
    if (block < 0)
        return indices;
    std::uint32_t count = 0;
    std::memcpy(&count, bytes.constData() + block + 8, 4);
    qsizetype at = block + 12;
    for (std::uint32_t i = 0; i < count; ++i) {
        std::int32_t index = 0;
        std::uint32_t length = 0;
        std::memcpy(&index, bytes.constData() + at, 4);
        std::memcpy(&length, bytes.constData() + at + 12, 4);
        indices.push_back(index);
        at += 16 + qsizetype(length);
    }
    return indices;
}

} // namespace

TEST_F(PastedPictureFileTest, AClipartWhosePictureIsMissingNeverTakesAnotherPicture) {
    const QByteArray file = ProjectMissingPictureZero();
    ASSERT_EQ(BlockIndices(file), std::vector<std::int32_t>{7});
    ASSERT_TRUE(WriteAll(Path("missing.dcf"), file));

    // The running pasted list already holds a picture 0: the project's clipart 0 must not take it.
    for (const bool running : {true, false}) {
        SCOPED_TRACE(running ? "running list holds pictures" : "empty running list");
        CollageDocument reopened;
        if (running)
            reopened.pastedPictures = {PastedPixels(2, 2)};
        ASSERT_TRUE(LoadProject(reopened, Path("missing.dcf")).ok);
        ASSERT_EQ(reopened.objects.size(), 2u);
        const ClipartRecord& missing = *reopened.objects[0].Clipart();
        const ClipartRecord& present = *reopened.objects[1].Clipart();
        EXPECT_TRUE(ClipartPicture(reopened, missing).isNull());
        EXPECT_FALSE(ClipartPicture(reopened, present).isNull());
        EXPECT_EQ(reopened.pastedPictures.at(size_t(present.sourceId)), PastedPixels(6, 4));
        if (running) {
            EXPECT_EQ(reopened.pastedPictures[0], PastedPixels(2, 2));
        }

        // Saved again: the missing clipart keeps index 0 and the block never names 0.
        QByteArray again;
        ASSERT_TRUE(EncodeProject(reopened, again, QStringLiteral("/nonexistent/cusmask.cfg")).ok);
        EXPECT_EQ(StoredSourceId(again, 0), 0);
        const std::vector<std::int32_t> indices = BlockIndices(again);
        ASSERT_EQ(indices.size(), 1u);
        EXPECT_NE(indices[0], 0);
        EXPECT_EQ(StoredSourceId(again, 1), indices[0]);

        // And so on every later round: the second reload still shows one picture, on clipart 1.
        ASSERT_TRUE(WriteAll(Path("again.dcf"), again));
        CollageDocument third;
        ASSERT_TRUE(LoadProject(third, Path("again.dcf")).ok);
        EXPECT_TRUE(ClipartPicture(third, *third.objects[0].Clipart()).isNull());
        EXPECT_FALSE(ClipartPicture(third, *third.objects[1].Clipart()).isNull());
        QByteArray fourth;
        ASSERT_TRUE(EncodeProject(third, fourth, QStringLiteral("/nonexistent/cusmask.cfg")).ok);
        EXPECT_EQ(StoredSourceId(fourth, 0), 0);
        EXPECT_EQ(BlockIndices(fourth), indices);
    }
}

TEST_F(PastedPictureFileTest, PicturesPastTheBudgetAreRefusedBeforeTheyAreDecoded) {
    CollageDocument doc;
    Fill(doc);
    const QByteArray bytes = Encode(doc);
    const qsizetype block = bytes.indexOf("MQPX");
    // The one picture replaced by a PNG header claiming 8000 x 8001 over a few bytes: more than
    // the pasted pictures of one project may hold together.
    test::PngLayout layout;
    layout.width = 8000;
    layout.height = 8001;
    const QByteArray few(16, '\x11');
    const QByteArray claim = test::MakePng(layout, &few);
    QByteArray file = bytes.left(block) + QByteArray("MQPX\x01\0\0\0\x01\0\0\0", 12);
    const std::int32_t entry[4] = {1, 8000, 8001, std::int32_t(claim.size())};
    file += QByteArray(reinterpret_cast<const char*>(entry), 16) + claim;
    CollageDocument parsed;
    QBuffer buffer;
    buffer.setData(file);
    buffer.open(QIODevice::ReadOnly);
    const ProjectResult r = ParseProject(buffer, parsed, nullptr);
    EXPECT_FALSE(r.ok);
    EXPECT_TRUE(r.error.contains(QLatin1String("pasted pictures of a project together")))
        << r.error.toStdString();
    EXPECT_TRUE(r.error.contains(QLatin1String("64 megapixels"))) << r.error.toStdString();
}
