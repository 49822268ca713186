#include "core/text/FixedText.h"
#include "core/Notifier.h"
#include "canvas/document/CollageDocument.h"
#include "canvas/project/ProjectFile.h"
#include "common/TestSupport.h"
#include "library/items/MaskLibrary.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>

#include <cstring>

#include <gtest/gtest.h>

using namespace mosaiq;
using test::ReadAll;
using test::WriteAll;

namespace {

class ProjectFileTest : public ::testing::Test {
protected:
    test::ScopedDataDir data;
    RecordingNotifier notifier;
    ScopedNotifier scoped{&notifier};

    QString Path(const QString& name) const { return data.File(name); }
    QString CusMask() const { return data.File(QStringLiteral("cusmask.cfg")); }

    // A document holding every kind, with a custom-masked photo.
    void Fill(CollageDocument& doc, const Guid& key) {
        doc.width = 800;
        doc.height = 600;
        doc.backgroundPath = QStringLiteral("/pictures/back été.png");
        doc.backgroundColour = MakeColorref(1, 2, 3);
        doc.backgroundMode = BackgroundMode::Tile;
        ClipartRecord clip;
        clip.sourceId = 2003;
        clip.width = 30;
        clip.height = 40;
        clip.angle = 12.5f;
        doc.objects.emplace_back(clip);
        StampRecord stamp;
        stamp.width = 10;
        stamp.height = 10;
        stamp.colour = MakeColorref(9, 8, 7);
        doc.objects.emplace_back(stamp);
        TextRecord text;
        WriteFixedText(text.text, QStringLiteral("Happy birthday"));
        WriteFixedText(text.font.lfFaceName, QStringLiteral("Arial"));
        text.textWidth = 120;
        text.textHeight = 30;
        doc.objects.emplace_back(text);
        PhotoRecord photo;
        WriteFixedText(photo.path, QStringLiteral("/photos/a.jpg"));
        photo.boxWidth = 400;
        photo.boxHeight = 300;
        photo.customMask = 1;
        photo.maskId = 29;
        photo.maskKey = key;
        photo.runtimeCache = 0xDEADBEEF; // runtime values are never stored
        doc.objects.emplace_back(photo);
        PhotoRecord plain;
        plain.boxWidth = 10;
        plain.boxHeight = 10;
        doc.objects.emplace_back(plain);
        for (CanvasObject& o : doc.objects)
            doc.CreateRegion(o);
    }
};

} // namespace

TEST_F(ProjectFileTest, EmptyDocumentIsTheHeaderAlone) {
    CollageDocument doc;
    doc.modified = true;
    ASSERT_TRUE(SaveProject(doc, Path("empty.dcf")).ok);
    const QByteArray bytes = ReadAll(Path("empty.dcf"));
    ASSERT_EQ(bytes.size(), 280);
    std::int32_t w = 0, mode = -1, count = -1;
    std::uint32_t colour = 0;
    std::memcpy(&w, bytes.constData(), 4);
    std::memcpy(&colour, bytes.constData() + 268, 4);
    std::memcpy(&mode, bytes.constData() + 272, 4);
    std::memcpy(&count, bytes.constData() + 276, 4);
    EXPECT_EQ(w, 1024);
    EXPECT_EQ(colour, 0xFFFFFFu);
    EXPECT_EQ(mode, 0);
    EXPECT_EQ(count, 0);
    EXPECT_FALSE(doc.modified);
}

TEST_F(ProjectFileTest, BackgroundPathFillsItsFieldOrIsRefused) {
    CollageDocument doc;
    doc.backgroundPath = QString(259, QLatin1Char('b'));
    QByteArray bytes;
    ASSERT_TRUE(EncodeProject(doc, bytes, CusMask()).ok);
    EXPECT_EQ(bytes[8 + 258], 'b');
    EXPECT_EQ(bytes[8 + 259], '\0');

    doc.backgroundPath = QString(260, QLatin1Char('b'));
    doc.modified = true;
    const ProjectResult result = SaveProject(doc, Path("long.dcf"));
    EXPECT_FALSE(result.ok);
    EXPECT_FALSE(result.error.isEmpty());
    EXPECT_TRUE(doc.modified);
    EXPECT_FALSE(QFileInfo::exists(Path("long.dcf")));
}

TEST_F(ProjectFileTest, RoundTripOfEveryKindCarriesItsCustomMask) {
    const Guid key = Guid::Create();
    ASSERT_TRUE(AppendCustomMask(CusMask(), 64, 48, key, QByteArray("PNGDATA!")));
    CollageDocument doc;
    Fill(doc, key);
    ASSERT_TRUE(SaveProject(doc, Path("all.dcf"), CusMask()).ok);
    const QByteArray bytes = ReadAll(Path("all.dcf"));
    EXPECT_EQ(bytes.size(), 280 + 4 * 5 + 124 + 100 + 1144 + 704 * 2 + 12 + 8);

    CollageDocument loaded;
    loaded.modified = true;
    ASSERT_TRUE(LoadProject(loaded, Path("all.dcf"), CusMask()).ok);
    EXPECT_FALSE(loaded.modified);
    EXPECT_EQ(loaded.width, 800);
    EXPECT_EQ(loaded.backgroundPath, doc.backgroundPath);
    EXPECT_EQ(loaded.backgroundMode, BackgroundMode::Tile);
    ASSERT_EQ(loaded.objects.size(), 5u);
    EXPECT_EQ(loaded.objects[0].Clipart()->angle, 12.5f);
    EXPECT_EQ(loaded.objects[1].Stamp()->colour, MakeColorref(9, 8, 7));
    EXPECT_EQ(ReadFixedText(loaded.objects[2].Text()->text), QStringLiteral("Happy birthday"));
    EXPECT_EQ(loaded.objects[3].Photo()->runtimeCache, 0u);
    EXPECT_EQ(loaded.objects[3].Photo()->maskKey, key);
    EXPECT_EQ(loaded.regionTable.at(size_t(loaded.objects[2].RegionIndex())), QRect(0, 0, 120, 30));

    // Saved again, the bytes are the same.
    ASSERT_TRUE(SaveProject(loaded, Path("again.dcf"), CusMask()).ok);
    EXPECT_EQ(ReadAll(Path("again.dcf")), bytes);

    // The library already held the mask: opening the project again appends nothing.
    ASSERT_TRUE(LoadProject(loaded, Path("all.dcf"), CusMask()).ok);
    const auto raw = FindCustomMaskRaw(CusMask(), key);
    ASSERT_TRUE(raw.has_value());
    EXPECT_EQ(raw->encoded, QByteArray("PNGDATA!"));
    EXPECT_EQ(raw->width, 64);
}

namespace {

std::int32_t LibraryCount(const QString& path) {
    QFile library(path);
    std::int32_t count = 0;
    if (library.open(QIODevice::ReadOnly))
        library.read(reinterpret_cast<char*>(&count), 4);
    return count;
}

} // namespace

// The custom mask list holds each mask once: a project whose photos share a mask, opened
// several times on a machine that lacked it, adds it once.
TEST_F(ProjectFileTest, OpeningAddsEachCarriedMaskOnce) {
    const Guid key = Guid::Create();
    const Guid other = Guid::Create();
    ASSERT_TRUE(AppendCustomMask(CusMask(), 64, 48, key, QByteArray("PNGDATA!")));
    ASSERT_TRUE(AppendCustomMask(CusMask(), 8, 8, other, QByteArray("OTHER")));
    CollageDocument doc;
    Fill(doc, key);
    doc.objects.push_back(doc.objects[3]); // a second photo with the same mask
    ASSERT_TRUE(SaveProject(doc, Path("shared.dcf"), CusMask()).ok);
    ASSERT_TRUE(QFile::remove(CusMask()));
    ASSERT_TRUE(AppendCustomMask(CusMask(), 8, 8, other, QByteArray("OTHER")));
    for (int open = 1; open <= 3; ++open) {
        CollageDocument loaded;
        ASSERT_TRUE(LoadProject(loaded, Path("shared.dcf"), CusMask()).ok);
        EXPECT_EQ(LibraryCount(CusMask()), 2) << "open " << open;
    }
    EXPECT_EQ(FindCustomMaskRaw(CusMask(), key)->encoded, QByteArray("PNGDATA!"));
}

// A background mode outside Center, Tile and Stretch is read and written as stored.
TEST_F(ProjectFileTest, AnUnknownBackgroundModeIsKept) {
    for (const std::int32_t mode : {-1, 3, 7, 0x7FFFFFFF}) {
        CollageDocument doc;
        QByteArray bytes;
        ASSERT_TRUE(EncodeProject(doc, bytes, CusMask()).ok);
        std::memcpy(bytes.data() + 272, &mode, 4);
        ASSERT_TRUE(WriteAll(Path("mode.dcf"), bytes));
        CollageDocument loaded;
        ASSERT_TRUE(LoadProject(loaded, Path("mode.dcf"), CusMask()).ok) << mode;
        EXPECT_EQ(std::int32_t(loaded.backgroundMode), mode);
        QByteArray again;
        ASSERT_TRUE(EncodeProject(loaded, again, CusMask()).ok);
        EXPECT_EQ(again, bytes) << mode;
    }
}

TEST_F(ProjectFileTest, MissingCustomMaskIsWrittenAsAnEmptyBlock) {
    CollageDocument doc;
    Fill(doc, Guid::Create()); // key not in any library
    ASSERT_TRUE(SaveProject(doc, Path("orphan.dcf"), CusMask()).ok);
    CollageDocument loaded;
    ASSERT_TRUE(LoadProject(loaded, Path("orphan.dcf"), CusMask()).ok);
    ASSERT_EQ(loaded.objects.size(), 5u);
    EXPECT_EQ(loaded.objects[3].Photo()->customMask, 1); // kept: the mask may come back
    EXPECT_FALSE(QFileInfo::exists(CusMask()) && ReadAll(CusMask()).size() > 4);
}

TEST_F(ProjectFileTest, FailedLoadKeepsTheDocument) {
    CollageDocument doc;
    Fill(doc, Guid::Create());
    ASSERT_TRUE(SaveProject(doc, Path("full.dcf"), CusMask()).ok);
    const QByteArray bytes = ReadAll(Path("full.dcf"));

    CollageDocument current;
    ASSERT_TRUE(current.AddPhoto(QStringLiteral("mine.jpg"), 10, 10, 0, 0));
    current.modified = true;
    auto expectUntouched = [&](const char* what) {
        EXPECT_EQ(current.objects.size(), 1u) << what;
        EXPECT_EQ(current.width, 1024) << what;
        EXPECT_TRUE(current.modified) << what;
        EXPECT_EQ(current.History().Position(), 0) << what;
    };

    ASSERT_TRUE(WriteAll(Path("279.dcf"), bytes.left(279)));
    ProjectResult r = LoadProject(current, Path("279.dcf"), CusMask());
    EXPECT_FALSE(r.ok);
    EXPECT_FALSE(r.error.isEmpty());
    expectUntouched("279 bytes");

    for (qsizetype cut : {qsizetype(300), bytes.size() - 1, bytes.size() - 9}) {
        ASSERT_TRUE(WriteAll(Path("cut.dcf"), bytes.left(cut)));
        EXPECT_FALSE(LoadProject(current, Path("cut.dcf"), CusMask()).ok) << cut;
        expectUntouched("cut");
    }

    EXPECT_FALSE(LoadProject(current, Path("missing.dcf"), CusMask()).ok);
    expectUntouched("missing");
    // Nothing was appended to the mask library by the failed loads.
    EXPECT_FALSE(QFileInfo::exists(CusMask()));
}

TEST_F(ProjectFileTest, UnknownKindsAndImpossibleCountsFail) {
    CollageDocument doc;
    Fill(doc, Guid::Create());
    QByteArray bytes;
    ASSERT_TRUE(EncodeProject(doc, bytes, CusMask()).ok);

    QByteArray unknown = bytes;
    const std::int32_t seven = 7;
    std::memcpy(unknown.data() + 280, &seven, 4);
    QBuffer b1(&unknown);
    b1.open(QIODevice::ReadOnly);
    CollageDocument parsed;
    EXPECT_FALSE(ParseProject(b1, parsed, nullptr).ok);

    QByteArray huge = bytes;
    const std::int32_t count = 0x7FFFFFFF;
    std::memcpy(huge.data() + 276, &count, 4);
    QBuffer b2(&huge);
    b2.open(QIODevice::ReadOnly);
    CollageDocument parsed2;
    EXPECT_FALSE(ParseProject(b2, parsed2, nullptr).ok);
    EXPECT_EQ(parsed2.objects.capacity(), 0u);

    // A negative count is an empty project.
    QByteArray negative = bytes.left(280);
    const std::int32_t minus = -3;
    std::memcpy(negative.data() + 276, &minus, 4);
    QBuffer b3(&negative);
    b3.open(QIODevice::ReadOnly);
    CollageDocument parsed3;
    EXPECT_TRUE(ParseProject(b3, parsed3, nullptr).ok);
    EXPECT_TRUE(parsed3.objects.empty());
}

TEST_F(ProjectFileTest, PlainPhotoIsFollowedDirectlyByTheNextKind) {
    CollageDocument doc;
    PhotoRecord plain;
    plain.boxWidth = plain.boxHeight = 5;
    doc.objects.emplace_back(plain);
    StampRecord stamp;
    doc.objects.emplace_back(stamp);
    QByteArray bytes;
    ASSERT_TRUE(EncodeProject(doc, bytes, CusMask()).ok);
    ASSERT_EQ(bytes.size(), 280 + 4 + 704 + 4 + 100);
    std::int32_t kind = -1;
    std::memcpy(&kind, bytes.constData() + 280 + 4 + 704, 4);
    EXPECT_EQ(kind, 1);
}

TEST_F(ProjectFileTest, UndoAfterLoadDoesNothing) {
    CollageDocument doc;
    Fill(doc, Guid::Create());
    ASSERT_TRUE(SaveProject(doc, Path("p.dcf"), CusMask()).ok);
    CollageDocument loaded;
    ASSERT_TRUE(loaded.AddPhoto(QStringLiteral("x.jpg"), 5, 5, 0, 0));
    ASSERT_TRUE(LoadProject(loaded, Path("p.dcf"), CusMask()).ok);
    EXPECT_EQ(loaded.History().Position(), -1);
    loaded.Undo();
    EXPECT_EQ(loaded.objects.size(), 5u);
    EXPECT_FALSE(loaded.modified);
}

TEST_F(ProjectFileTest, UndoingTheFirstChangeAfterOpeningKeepsTheProject) {
    CollageDocument doc;
    Fill(doc, Guid::Create());
    ASSERT_TRUE(SaveProject(doc, Path("p.dcf"), CusMask()).ok);
    CollageDocument loaded;
    ASSERT_TRUE(LoadProject(loaded, Path("p.dcf"), CusMask()).ok);
    ASSERT_TRUE(loaded.AddPhoto(QStringLiteral("new.jpg"), 5, 5, 0, 0));
    ASSERT_EQ(loaded.objects.size(), 6u);
    loaded.Undo();
    EXPECT_EQ(loaded.objects.size(), 5u);
    EXPECT_EQ(loaded.History().Position(), -1);
    loaded.Redo();
    EXPECT_EQ(loaded.objects.size(), 6u);

    // A new document undoes to nothing again.
    loaded.Clear();
    ASSERT_TRUE(loaded.AddPhoto(QStringLiteral("new.jpg"), 5, 5, 0, 0));
    loaded.Undo();
    EXPECT_TRUE(loaded.objects.empty());
}
