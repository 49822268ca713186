// Effect pictures carried inside projects: written by Save, placed in "Effects/" only by the
// editor's Open, kept in memory by headless readers, and the ones a run leaves unused removed.
#include "canvas/document/CollageDocument.h"
#include "canvas/output/CollageExport.h"
#include "canvas/project/EffectPictures.h"
#include "canvas/edits/PhotoEffectJob.h"
#include "canvas/document/PhotoRelink.h"
#include "canvas/project/ProjectFile.h"
#include "common/TestSupport.h"
#include "core/text/FixedText.h"

#include <QBuffer>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QTemporaryDir>
#include <QtEndian>

#include <gtest/gtest.h>

#include <memory>

namespace mosaiq {
namespace {

// An effect result as the effect job leaves it: a PNG named by its hash in an "Effects" folder.
QString WriteEffectPicture(const QString& folder, QColor colour, QByteArray* bytesOut = nullptr) {
    QImage image(40, 30, QImage::Format_RGB32);
    image.fill(colour);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    EXPECT_TRUE(QDir().mkpath(folder));
    const QString path = QDir(folder).filePath(EffectPictureName(bytes));
    EXPECT_TRUE(test::WriteAll(path, bytes));
    if (bytesOut)
        *bytesOut = bytes;
    return path;
}

void AddPhoto(CollageDocument& doc, const QString& path) {
    ASSERT_TRUE(doc.AddPhoto(path, 40, 30, 10, 10));
}

// The canvas point at the middle of photo index.
QPoint PhotoCentre(const CollageDocument& doc, size_t index) {
    const PhotoRecord& r = *doc.objects.at(index).Photo();
    return QPoint(r.x + int(float(r.boxWidth) * r.scale / 2),
                  r.y + int(float(r.boxHeight) * r.scale / 2));
}

QString PhotoPath(const CollageDocument& doc, size_t index) {
    return ReadFixedText(doc.objects.at(index).Photo()->path);
}

TEST(EffectPictures, NamesAndPaths) {
    const QString name = QStringLiteral("0123456789abcdef0123456789abcdef01234567.png");
    EXPECT_TRUE(IsEffectPictureName(name));
    EXPECT_FALSE(
        IsEffectPictureName(QStringLiteral("0123456789ABCDEF0123456789abcdef01234567.png")));
    EXPECT_FALSE(
        IsEffectPictureName(QStringLiteral("0123456789abcdef0123456789abcdef0123456.png")));
    EXPECT_FALSE(
        IsEffectPictureName(QStringLiteral("0123456789abcdef0123456789abcdef01234567.jpg")));
    EXPECT_TRUE(IsEffectPicturePath(QStringLiteral("/a/Effects/") + name));
    EXPECT_FALSE(IsEffectPicturePath(QStringLiteral("/a/Photos/") + name));
    EXPECT_EQ(EffectPictureName(QByteArray("abc")),
              QStringLiteral("a9993e364706816aba3e25717850c26c9cd0d89d.png"));
}

TEST(EffectPictures, PayloadsAreCheckedAndMismatchedPicturesDropped) {
    const QByteArray a("picture a"), b("picture b");
    std::vector<CarriedEffectPicture> pictures{{EffectPictureName(a), a},
                                               {EffectPictureName(b), b}};
    const QByteArray payload = EncodeEffectPictures(pictures);
    ASSERT_EQ(payload.size(), 4 + 2 * 44 + a.size() + b.size());
    std::vector<CarriedEffectPicture> read;
    ASSERT_TRUE(DecodeEffectPictures(payload, read, nullptr));
    ASSERT_EQ(read.size(), 2u);
    EXPECT_EQ(read[1].name, pictures[1].name);
    EXPECT_EQ(read[1].bytes, b);

    // Bytes that are not what their name says are not taken; the rest is.
    QByteArray changed = payload;
    changed[changed.size() - 1] = 'X';
    read.clear();
    ASSERT_TRUE(DecodeEffectPictures(changed, read, nullptr));
    ASSERT_EQ(read.size(), 1u);
    EXPECT_EQ(read[0].bytes, a);

    // Lengths and counts past the end fail before anything is copied.
    QString error;
    read.clear();
    EXPECT_FALSE(DecodeEffectPictures(payload.left(payload.size() - 1), read, &error));
    EXPECT_FALSE(error.isEmpty());
    QByteArray huge = payload;
    qToLittleEndian<quint32>(0xFFFFFFFFu, huge.data());
    EXPECT_FALSE(DecodeEffectPictures(huge, read, nullptr));
    QByteArray longer = payload;
    qToLittleEndian<quint32>(0x7FFFFFFFu, longer.data() + 4 + 40);
    EXPECT_FALSE(DecodeEffectPictures(longer, read, nullptr));
    EXPECT_TRUE(EncodeEffectPictures({}).isEmpty());
}

struct CarriedEffects : ::testing::Test {
    std::unique_ptr<test::ScopedDataDir> first = std::make_unique<test::ScopedDataDir>();
    // Outlives both data folders; each test has its own, so tests running side by side never
    // share (or remove) one another's project.
    QTemporaryDir scratch;
    QString project;
    QString effect;
    QByteArray bytes;

    // A project saved on the first machine with a photo pointing at an effect picture, after
    // which that machine (and its "Effects/") is gone and an empty data folder is in use.
    void SetUp() override {
        effect = WriteEffectPicture(EffectsFolder(), QColor(200, 40, 90), &bytes);
        CollageDocument doc;
        doc.width = 120;
        doc.height = 80;
        AddPhoto(doc, effect);
        AddPhoto(doc, effect); // used twice, carried once
        ASSERT_TRUE(scratch.isValid());
        project = scratch.filePath(QStringLiteral("effect.dcf"));
        ASSERT_TRUE(SaveProject(doc, project).ok);
        first.reset();
        ASSERT_FALSE(QFileInfo::exists(effect));
    }
};

TEST_F(CarriedEffects, TheEditorsOpenPlacesThemInAnEmptyDataFolder) {
    test::ScopedDataDir second;
    const QByteArray saved = test::ReadAll(project);
    EXPECT_EQ(saved.count(bytes), 1); // the picture once, though two photos use it
    CollageDocument doc;
    ASSERT_TRUE(LoadProject(doc, project).ok);
    const QString placed = QDir(EffectsFolder()).filePath(QFileInfo(effect).fileName());
    EXPECT_EQ(test::ReadAll(placed), bytes);
    EXPECT_EQ(PhotoPath(doc, 0), placed);
    EXPECT_EQ(PhotoPath(doc, 1), placed);
    EXPECT_TRUE(doc.carriedEffectPictures.empty());
    EXPECT_TRUE(FindMissingPhotos(doc).empty());
    EXPECT_FALSE(doc.modified);
    // Saved again on this machine, it still carries the picture.
    const QString again = second.File(QStringLiteral("again.dcf"));
    ASSERT_TRUE(SaveProject(doc, again).ok);
    EXPECT_EQ(test::ReadAll(again).count(bytes), 1);
}

TEST_F(CarriedEffects, HeadlessReadersUseThemInMemoryAndWriteNothing) {
    test::ScopedDataDir second;
    CollageDocument doc;
    ASSERT_TRUE(LoadProject(doc, project, QString(), CarriedMaskUse::KeepInMemory).ok);
    EXPECT_FALSE(QFileInfo::exists(EffectsFolder()));
    EXPECT_EQ(PhotoPath(doc, 0), effect); // the paths stay as stored
    EXPECT_TRUE(FindMissingPhotos(doc).empty());

    // Rendered from memory: the photo's colour is in the picture.
    const QString out = second.File(QStringLiteral("out.png"));
    ASSERT_TRUE(ExportCollage(doc, out).ok);
    const QImage rendered(out);
    ASSERT_FALSE(rendered.isNull());
    EXPECT_EQ(rendered.pixelColor(PhotoCentre(doc, 1)), QColor(200, 40, 90));

    // Resaved, the project carries the picture again though no file holds it here.
    const QString resaved = second.File(QStringLiteral("resaved.dcf"));
    ASSERT_TRUE(SaveProject(doc, resaved).ok);
    EXPECT_EQ(test::ReadAll(resaved), test::ReadAll(project));
    EXPECT_FALSE(QFileInfo::exists(EffectsFolder()));

    // Parsing alone (dump) leaves the pictures with the parsed document.
    QFile file(project);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    CollageDocument parsed;
    ASSERT_TRUE(ParseProject(file, parsed, nullptr).ok);
    ASSERT_EQ(parsed.carriedEffectPictures.size(), 1u);
    EXPECT_EQ(parsed.carriedEffectPictures[0].bytes, bytes);
}

// A picture is checked against its name once; a file changed since (another size or time) is
// checked again and, no longer matching, is not carried.
TEST(EffectPictures, AFileChangedAfterItWasCheckedIsCheckedAgain) {
    test::ScopedDataDir dir;
    QByteArray bytes;
    const QString effect = WriteEffectPicture(EffectsFolder(), QColor(10, 120, 30), &bytes);
    CollageDocument doc;
    doc.width = doc.height = 60;
    AddPhoto(doc, effect);
    for (int pass = 0; pass < 2; ++pass) { // the second pass finds it checked already
        const std::vector<CarriedEffectPicture> carried = CollectEffectPictures(doc);
        ASSERT_EQ(carried.size(), 1u);
        EXPECT_EQ(carried[0].bytes, bytes);
    }
    const QDateTime checkedAt = QFileInfo(effect).lastModified();
    const auto setTime = [&](const QDateTime& time) {
        QFile file(effect);
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        ASSERT_TRUE(file.setFileTime(time, QFileDevice::FileModificationTime));
    };
    QByteArray changed = bytes;
    changed[changed.size() - 20] = char(changed[changed.size() - 20] ^ 0x55);
    ASSERT_TRUE(test::WriteAll(effect, changed)); // same size
    // Put back to the time it was checked at, the file is taken as checked (not hashed again);
    // a reader of the project still drops a picture whose bytes do not match its name.
    setTime(checkedAt);
    ASSERT_EQ(CollectEffectPictures(doc).size(), 1u);
    setTime(checkedAt.addSecs(60));
    EXPECT_TRUE(CollectEffectPictures(doc).empty());
}

TEST(EffectPictures, AProjectWithoutEffectsKeepsItsBytes) {
    test::ScopedDataDir dir;
    CollageDocument doc;
    doc.width = 50;
    doc.height = 50;
    AddPhoto(doc, dir.File(QStringLiteral("plain.png")));
    // A photo as an older project holds it (not marked upright), so no upright list follows.
    doc.objects.back().upright = false;
    QByteArray withPhoto;
    ASSERT_TRUE(EncodeProject(doc, withPhoto).ok);
    // Header, one kind and record, nothing after the objects.
    EXPECT_EQ(withPhoto.size(), kProjectHeaderSize + 4 + qsizetype(sizeof(PhotoRecord)));
}

TEST(EffectPictures, OnlyPicturesOfThisRunThatNothingUsesAreRemovedAtExit) {
    test::ScopedDataDir dir;
    const QString folder = EffectsFolder();
    const QString kept = WriteEffectPicture(folder, Qt::red);
    const QString saved = WriteEffectPicture(folder, Qt::green);
    const QString undone = WriteEffectPicture(folder, Qt::blue);
    const QString older = WriteEffectPicture(folder, Qt::yellow); // not made by this run
    for (const QString& path : {kept, saved, undone})
        NoteEffectPictureMade(path);

    CollageDocument savedDoc;
    savedDoc.width = savedDoc.height = 50;
    AddPhoto(savedDoc, saved);
    ASSERT_TRUE(SaveProject(savedDoc, dir.File(QStringLiteral("saved.dcf"))).ok);

    CollageDocument open;
    open.width = open.height = 50;
    AddPhoto(open, kept);
    AddPhoto(open, older);
    EXPECT_EQ(RemoveUnusedEffectPictures(open), 1);
    EXPECT_TRUE(QFileInfo::exists(kept));
    EXPECT_TRUE(QFileInfo::exists(saved));
    EXPECT_FALSE(QFileInfo::exists(undone));
    EXPECT_TRUE(QFileInfo::exists(older));
    // With the collage closed and nothing saved, the picture it used goes too.
    CollageDocument empty;
    EXPECT_EQ(RemoveUnusedEffectPictures(empty), 1); // kept is no longer used by anything
    EXPECT_TRUE(QFileInfo::exists(saved));
    EXPECT_TRUE(QFileInfo::exists(older));
}

} // namespace
} // namespace mosaiq
