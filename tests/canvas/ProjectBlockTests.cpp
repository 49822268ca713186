// The framed blocks after the last object of a project (and after the pasted pictures).
#include "canvas/document/CollageDocument.h"
#include "canvas/project/ProjectBlocks.h"
#include "canvas/project/ProjectFile.h"
#include "common/TestSupport.h"

#include <QBuffer>

#include <cstring>

#include <gtest/gtest.h>

using namespace mosaiq;

namespace {

const QString kNoMasks = QStringLiteral("/nonexistent/cusmask.cfg");

QByteArray Encode(const CollageDocument& doc) {
    QByteArray bytes;
    EXPECT_TRUE(EncodeProject(doc, bytes, kNoMasks).ok);
    return bytes;
}

ProjectResult Parse(const QByteArray& bytes, CollageDocument& doc,
                    std::vector<ProjectBlock>* blocks = nullptr) {
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    return ParseProject(buffer, doc, nullptr, blocks);
}

QByteArray Framed(const char (&tag)[5], std::uint32_t version, const QByteArray& payload) {
    QByteArray out;
    EXPECT_TRUE(AppendProjectBlock(out, {MakeBlockTag(tag), version, payload}));
    return out;
}

// A project with a photo and a pasted clipart, so both the objects and "MQPX" precede the blocks.
QByteArray ProjectWithPastedPicture() {
    CollageDocument doc;
    doc.pastedPictures = {QImage(3, 2, QImage::Format_ARGB32)};
    doc.pastedPictures[0].fill(qRgba(10, 20, 30, 255));
    PhotoRecord photo;
    photo.boxWidth = photo.boxHeight = 10;
    doc.objects.emplace_back(photo);
    ClipartRecord clip;
    clip.pasted = 1;
    clip.width = 3;
    clip.height = 2;
    doc.objects.emplace_back(clip);
    for (CanvasObject& object : doc.objects)
        doc.CreateRegion(object);
    return Encode(doc);
}

} // namespace

TEST(ProjectBlocks, FramingIsTagVersionLengthLittleEndian) {
    const QByteArray block = Framed("ABCD", 0x01020304u, QByteArray("xyz"));
    EXPECT_EQ(block, QByteArray("ABCD\x04\x03\x02\x01\x03\x00\x00\x00xyz", 15));

    QBuffer buffer;
    QByteArray two = block + Framed("EMPT", 9, {});
    buffer.setData(two);
    buffer.open(QIODevice::ReadOnly);
    std::vector<ProjectBlock> read;
    QString error;
    ASSERT_TRUE(ReadProjectBlocks(buffer, read, &error)) << error.toStdString();
    ASSERT_EQ(read.size(), 2u);
    EXPECT_EQ(read[0].tag, MakeBlockTag("ABCD"));
    EXPECT_EQ(read[0].version, 0x01020304u);
    EXPECT_EQ(read[0].payload, QByteArray("xyz"));
    EXPECT_EQ(read[1].tag, MakeBlockTag("EMPT"));
    EXPECT_TRUE(read[1].payload.isEmpty());
}

TEST(ProjectBlocks, ProjectsWithoutBlocksKeepTheirBytes) {
    // An empty document is the 280-byte header alone, and a resave of any project without
    // blocks gives back the same bytes.
    CollageDocument empty;
    EXPECT_EQ(Encode(empty).size(), kProjectHeaderSize);
    const QByteArray pasted = ProjectWithPastedPicture();
    CollageDocument reopened;
    ASSERT_TRUE(Parse(pasted, reopened).ok);
    EXPECT_EQ(Encode(reopened), pasted);
}

TEST(ProjectBlocks, UnknownBlocksAfterThePastedPicturesAreSteppedOver) {
    const QByteArray base = ProjectWithPastedPicture();
    // One block that holds bytes looking like another block header and like "MQPX".
    const QByteArray file = base + Framed("ZZZ1", 3, QByteArray("MQPX\x01\x00\x00\x00", 8)) +
                            Framed("\x01\x02\x03\x04", 1, QByteArray(40, '\xFF'));
    CollageDocument doc;
    std::vector<ProjectBlock> blocks;
    const ProjectResult r = Parse(file, doc, &blocks);
    ASSERT_TRUE(r.ok) << r.error.toStdString();
    EXPECT_EQ(doc.objects.size(), 2u);
    EXPECT_EQ(doc.pastedPictures.size(), 1u);
    ASSERT_EQ(blocks.size(), 2u);
    EXPECT_EQ(blocks[0].tag, MakeBlockTag("ZZZ1"));
    EXPECT_EQ(blocks[0].version, 3u);
    EXPECT_EQ(blocks[1].payload.size(), 40);
    // They are not written back: a resave holds what this program knows.
    EXPECT_EQ(Encode(doc), base);

    // Without the pasted pictures the blocks follow the last object directly.
    CollageDocument plain;
    plain.objects.emplace_back(PhotoRecord{});
    plain.CreateRegion(plain.objects.back());
    const QByteArray noPasted = Encode(plain) + Framed("ZZZ1", 1, QByteArray("abc"));
    CollageDocument again;
    blocks.clear();
    ASSERT_TRUE(Parse(noPasted, again, &blocks).ok);
    EXPECT_EQ(again.objects.size(), 1u);
    EXPECT_EQ(blocks.size(), 1u);
}

TEST(ProjectBlocks, ABlockRunningPastTheEndFailsTheLoad) {
    const QByteArray base = ProjectWithPastedPicture();
    const QByteArray block = Framed("ZZZ1", 1, QByteArray(30, 'a'));
    test::ScopedDataDir data;
    const QList<QPair<const char*, QByteArray>> damaged = {
        {"payload cut", base + block.left(block.size() - 1)},
        {"length 2^32 - 1", base + QByteArray("ZZZ1\x01\x00\x00\x00\xFF\xFF\xFF\xFF", 12) + "abc"},
        {"second block cut", base + block + block.left(20)},
    };
    for (const auto& [what, file] : damaged) {
        CollageDocument current;
        ASSERT_TRUE(current.AddPhoto(QStringLiteral("mine.jpg"), 10, 10, 0, 0));
        ASSERT_TRUE(test::WriteAll(data.File("bad.dcf"), file));
        const ProjectResult r =
            LoadProject(current, data.File("bad.dcf"), kNoMasks, CarriedMaskUse::KeepInMemory);
        EXPECT_FALSE(r.ok) << what;
        EXPECT_TRUE(r.error.contains(QStringLiteral("ZZZ1")))
            << what << ": " << r.error.toStdString();
        EXPECT_EQ(current.objects.size(), 1u) << what;
    }
    // A rest too short for a block header is ignored, as such bytes always were.
    CollageDocument doc;
    EXPECT_TRUE(Parse(base + QByteArray(11, '\x7F'), doc).ok);
}

TEST(ProjectBlocks, TagsInMessagesAreEscaped) {
    EXPECT_EQ(BlockTagText(MakeBlockTag("UPRT")), QStringLiteral("UPRT"));
    EXPECT_EQ(BlockTagText({'\n', 'A', '\\', char(0xFF)}), QStringLiteral("\\x0aA\\x5c\\xff"));
}
