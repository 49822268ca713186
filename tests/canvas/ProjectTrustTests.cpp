// Opening and saving keeps what the user did not change, and headless readers leave the data
// directory alone.
#include "core/text/FixedText.h"
#include "core/Notifier.h"
#include "canvas/project/CarriedMasks.h"
#include "canvas/document/CollageDocument.h"
#include "canvas/project/ProjectFile.h"
#include "ui/ColorrefColour.h"
#include "common/TestSupport.h"
#include "library/items/MaskLibrary.h"
#include "ui/ColorrefColour.h"

#include <QFileInfo>

#include <cstring>

#include <gtest/gtest.h>

using namespace mosaiq;
using test::ReadAll;
using test::WriteAll;

namespace {

// A project header: canvas 640 x 480, the given 260-byte path field and colour, no objects.
QByteArray Header(const QByteArray& pathField, std::uint32_t colour) {
    QByteArray bytes(280, '\0');
    const std::int32_t w = 640, h = 480;
    std::memcpy(bytes.data(), &w, 4);
    std::memcpy(bytes.data() + 4, &h, 4);
    std::memcpy(bytes.data() + 8, pathField.constData(),
                size_t(std::min<qsizetype>(260, pathField.size())));
    std::memcpy(bytes.data() + 268, &colour, 4);
    return bytes;
}

// A photo entry with a custom mask and its carried block.
QByteArray MaskedPhotoEntry(const Guid& key, const QByteArray& maskBytes) {
    PhotoRecord photo;
    WriteFixedText(photo.path, QStringLiteral("/nowhere/a.jpg"));
    photo.boxWidth = 40;
    photo.boxHeight = 30;
    photo.maskId = 29;
    photo.customMask = 1;
    photo.maskKey = key;
    QByteArray out;
    const std::int32_t kind = 10, mw = 8, mh = 8, length = std::int32_t(maskBytes.size());
    out.append(reinterpret_cast<const char*>(&kind), 4);
    out.append(reinterpret_cast<const char*>(&photo), sizeof photo);
    out.append(reinterpret_cast<const char*>(&mw), 4);
    out.append(reinterpret_cast<const char*>(&mh), 4);
    out.append(reinterpret_cast<const char*>(&length), 4);
    out.append(maskBytes);
    return out;
}

class ProjectTrustTest : public ::testing::Test {
protected:
    test::ScopedDataDir data;
    RecordingNotifier notifier;
    ScopedNotifier scoped{&notifier};
};

} // namespace

TEST_F(ProjectTrustTest, Windows1252BackgroundPathSavesBackWithTheSameBytes) {
    // 256 bytes of "é" in Windows-1252: 512 bytes once written as UTF-8, more than the field holds.
    const QByteArray field = QByteArray(256, '\xE9');
    const QString path = data.File(QStringLiteral("legacy.dcf"));
    ASSERT_TRUE(WriteAll(path, Header(field, MakeColorref(10, 20, 30))));
    CollageDocument doc;
    ASSERT_TRUE(LoadProject(doc, path).ok);
    EXPECT_EQ(doc.backgroundPath, QString(256, QChar(0xE9)));

    const QString again = data.File(QStringLiteral("again.dcf"));
    ASSERT_TRUE(SaveProject(doc, again).ok)
        << notifier.messages.join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(ReadAll(again), ReadAll(path));

    // A path the user changed is written as UTF-8 like any other.
    doc.backgroundPath = QStringLiteral("/pictures/été.png");
    ASSERT_TRUE(SaveProject(doc, again).ok);
    EXPECT_EQ(ReadAll(again).mid(8, 19), QByteArray("/pictures/\xC3\xA9t\xC3\xA9.png"));
}

TEST_F(ProjectTrustTest, BackgroundColourKeepsAllFourBytes) {
    const QString path = data.File(QStringLiteral("colour.dcf"));
    ASSERT_TRUE(WriteAll(path, Header(QByteArray(), 0x7F332211u)));
    CollageDocument doc;
    ASSERT_TRUE(LoadProject(doc, path).ok);
    const QString again = data.File(QStringLiteral("again.dcf"));
    ASSERT_TRUE(SaveProject(doc, again).ok);
    EXPECT_EQ(ReadAll(again), ReadAll(path));
    EXPECT_EQ(ColorFromColorref(doc.backgroundColour), QColor(0x11, 0x22, 0x33));
}

TEST_F(ProjectTrustTest, OpeningAppendsEachDistinctCarriedMaskOnce) {
    const Guid shared = Guid::Create();
    const Guid other = Guid::Create();
    QByteArray bytes = Header(QByteArray(), 0xFFFFFF);
    const std::int32_t three = 3;
    std::memcpy(bytes.data() + 276, &three, 4);
    bytes += MaskedPhotoEntry(shared, QByteArray("MASK-A"));
    bytes += MaskedPhotoEntry(shared, QByteArray("MASK-A"));
    bytes += MaskedPhotoEntry(other, QByteArray("MASK-B"));
    const QString path = data.File(QStringLiteral("masks.dcf"));
    ASSERT_TRUE(WriteAll(path, bytes));
    const QString library = data.File(QStringLiteral("cusmask.cfg"));

    CollageDocument doc;
    ASSERT_TRUE(LoadProject(doc, path).ok);
    std::int32_t count = 0;
    std::memcpy(&count, ReadAll(library).constData(), 4);
    EXPECT_EQ(count, 2);
}

TEST_F(ProjectTrustTest, KeptInMemoryTheCarriedMasksLeaveTheLibraryAloneAndSaveAgain) {
    const Guid key = Guid::Create();
    const QString library = data.File(QStringLiteral("cusmask.cfg"));
    ASSERT_TRUE(AppendCustomMask(library, 4, 4, Guid::Create(), QByteArray("OTHER")));
    const QByteArray before = ReadAll(library);
    QByteArray bytes = Header(QByteArray(), 0xFFFFFF);
    const std::int32_t one = 1;
    std::memcpy(bytes.data() + 276, &one, 4);
    bytes += MaskedPhotoEntry(key, QByteArray("CARRIED"));
    const QString path = data.File(QStringLiteral("render.dcf"));
    ASSERT_TRUE(WriteAll(path, bytes));

    CollageDocument doc;
    ASSERT_TRUE(LoadProject(doc, path, QString(), CarriedMaskUse::KeepInMemory).ok);
    EXPECT_EQ(ReadAll(library), before);
    ASSERT_TRUE(FindCarriedMaskRaw(key).has_value());
    EXPECT_EQ(FindCarriedMaskRaw(key)->encoded, QByteArray("CARRIED"));
    // Saved again, the project still carries its mask.
    const QString again = data.File(QStringLiteral("again.dcf"));
    ASSERT_TRUE(SaveProject(doc, again).ok);
    const QByteArray saved = ReadAll(again);
    EXPECT_EQ(saved.size(), bytes.size());
    EXPECT_TRUE(saved.endsWith(bytes.right(12 + 7))) << "the size, length and mask bytes";
    EXPECT_EQ(ReadAll(library), before);
}
