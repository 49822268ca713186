#include "library/PhotoImport.h"
#include "library/PhotoList.h"

#include "common/TestSupport.h"

#include <QEventLoop>
#include <QFile>
#include <QImage>
#include <QTimer>
#include <QtEndian>

#include <gtest/gtest.h>

namespace mosaiq {
namespace {

QString WritePhoto(const test::ScopedDataDir& dir, const QString& name, QSize size,
                   QColor colour = Qt::darkGreen) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(colour);
    const QString path = dir.File(name);
    EXPECT_TRUE(image.save(path));
    return path;
}

TEST(PhotoList, AddImportedPhotoRules) {
    test::ScopedDataDir dir;
    PhotoList list;
    const QString photo = WritePhoto(dir, QStringLiteral("photo.png"), QSize(120, 90));
    EXPECT_EQ(list.AddImportedPhoto(PreparePhoto(photo)), AddPhotoResult::Added);
    EXPECT_EQ(list.AddImportedPhoto(PreparePhoto(photo)), AddPhotoResult::Duplicate);
    EXPECT_EQ(list.AddImportedPhoto(
                  PreparePhoto(WritePhoto(dir, QStringLiteral("thin.png"), QSize(5, 200)))),
              AddPhotoResult::TooSmall);
    EXPECT_EQ(list.AddImportedPhoto(
                  PreparePhoto(WritePhoto(dir, QStringLiteral("six.png"), QSize(6, 6)))),
              AddPhotoResult::Added);
    EXPECT_EQ(list.AddImportedPhoto(PreparePhoto(dir.File(QStringLiteral("none.png")))),
              AddPhotoResult::Unreadable);
    ASSERT_EQ(list.Count(), 2);

    const PictureFileEntry& e = list.Records()[0];
    EXPECT_EQ(EntryPath(e), photo);
    EXPECT_EQ(QString::fromUtf8(e.name), QStringLiteral("photo"));
    EXPECT_EQ(QString::fromUtf8(e.extension), QStringLiteral(".png"));
    EXPECT_EQ(QString::fromUtf8(e.directory), dir.Path());
    EXPECT_EQ(e.width, 120u);
    EXPECT_EQ(e.height, 90u);
    EXPECT_EQ(list.Records()[1].number, 1u);
    // The thumbnail: an 80 x 80 JPEG.
    const QImage thumb = QImage::fromData(list.Thumbnails()[0], "JPEG");
    EXPECT_EQ(thumb.size(), QSize(80, 80));

    // Removed, it can be imported again.
    list.Hide(0);
    EXPECT_EQ(list.AddImportedPhoto(PreparePhoto(photo)), AddPhotoResult::Added);
    EXPECT_EQ(list.Count(), 3);
}

TEST(PhotoList, UpperCaseExtensionStoredLowerCase) {
    test::ScopedDataDir dir;
    const QString path = WritePhoto(dir, QStringLiteral("Shot.PNG"), QSize(10, 10));
    const PreparedPhoto p = PreparePhoto(path);
    ASSERT_TRUE(p.ok) << p.reason.toStdString();
    EXPECT_EQ(QString::fromUtf8(p.entry.extension), QStringLiteral(".png"));
    EXPECT_EQ(QString::fromUtf8(p.entry.name), QStringLiteral("Shot"));
}

TEST(PhotoList, SaveLoadLeavesHiddenOut) {
    test::ScopedDataDir dir;
    PhotoList list;
    for (int i = 0; i < 3; ++i)
        ASSERT_EQ(list.AddImportedPhoto(PreparePhoto(
                      WritePhoto(dir, QStringLiteral("p%1.png").arg(i), QSize(20 + i, 20)))),
                  AddPhotoResult::Added);
    list.Hide(1);
    const QString file = dir.File(QStringLiteral("srcmedia.cfg"));
    ASSERT_TRUE(list.Save(file));
    const QByteArray bytes = test::ReadAll(file);
    ASSERT_GE(bytes.size(), 4 + 2 * 1104);
    EXPECT_EQ(qFromLittleEndian<quint32>(bytes.constData()), 2u);
    EXPECT_EQ(qFromLittleEndian<quint32>(bytes.constData() + 4 + 1072), 0u);
    EXPECT_EQ(qFromLittleEndian<quint32>(bytes.constData() + 4 + 1076), 20u);
    EXPECT_EQ(qFromLittleEndian<quint32>(bytes.constData() + 4 + 1104 + 1076), 22u);

    PhotoList loaded;
    bool damaged = true;
    loaded.Load(file, &damaged);
    EXPECT_FALSE(damaged);
    ASSERT_EQ(loaded.Count(), 2);
    EXPECT_EQ(loaded.Records()[1].number, 1u); // renumbered by position
    EXPECT_EQ(loaded.Records()[1].width, 22u);
    EXPECT_EQ(loaded.Thumbnails()[1], list.Thumbnails()[2]);
    // Saved again, the renumbered list is stable.
    PhotoList reloaded;
    ASSERT_TRUE(reloaded.LoadFromBytes(loaded.SaveToBytes()));
    EXPECT_EQ(reloaded.SaveToBytes(), loaded.SaveToBytes());
}

TEST(PhotoList, MissingAndEmptyLists) {
    test::ScopedDataDir dir;
    PhotoList list;
    list.Load(dir.File(QStringLiteral("srcmedia.cfg")));
    EXPECT_EQ(list.Count(), 0);
    ASSERT_TRUE(list.Save(dir.File(QStringLiteral("srcmedia.cfg"))));
    EXPECT_EQ(test::ReadAll(dir.File(QStringLiteral("srcmedia.cfg"))), QByteArray(4, '\0'));
}

TEST(PhotoList, DamagedFileKeepsWhatWasReadAndIsDeleted) {
    test::ScopedDataDir dir;
    PhotoList list;
    for (int i = 0; i < 2; ++i)
        list.AddImportedPhoto(
            PreparePhoto(WritePhoto(dir, QStringLiteral("p%1.png").arg(i), QSize(30, 30))));
    const QByteArray whole = list.SaveToBytes();
    const QString file = dir.File(QStringLiteral("srcmedia.cfg"));

    // Cut inside the second thumbnail: both records and the first thumbnail survive.
    ASSERT_TRUE(test::WriteAll(file, whole.left(whole.size() - 10)));
    PhotoList cut;
    bool damaged = false;
    cut.Load(file, &damaged);
    EXPECT_TRUE(damaged);
    EXPECT_FALSE(QFile::exists(file));
    ASSERT_EQ(cut.Count(), 2);
    EXPECT_EQ(cut.Thumbnails()[0], list.Thumbnails()[0]);
    EXPECT_TRUE(cut.Thumbnails()[1].isEmpty());
    // Saved again, the file is consistent: it loads without damage.
    ASSERT_TRUE(cut.Save(file));
    PhotoList again;
    again.Load(file, &damaged);
    EXPECT_FALSE(damaged);
    EXPECT_EQ(again.Count(), 2);

    // Cut inside the second record; and a count that lies about a huge list.
    ASSERT_TRUE(test::WriteAll(file, whole.left(4 + 1104 + 500)));
    cut.Load(file, &damaged);
    EXPECT_TRUE(damaged);
    EXPECT_EQ(cut.Count(), 1);
    QByteArray lying = whole;
    qToLittleEndian<quint32>(0xFFFFFFFFu, lying.data());
    EXPECT_FALSE(cut.LoadFromBytes(lying)); // reads what is there, allocates nothing up front
    EXPECT_GE(cut.Count(), 2);
    EXPECT_EQ(cut.Thumbnails().size(), size_t(cut.Count()));
    QByteArray hugeThumb = whole;
    qToLittleEndian<quint32>(0x7FFFFFF0u, hugeThumb.data() + 4 + 2 * 1104);
    EXPECT_FALSE(cut.LoadFromBytes(hugeThumb));
}

TEST(PhotoImporter, ReportsInOrderWithoutBlocking) {
    test::ScopedDataDir dir;
    QStringList paths;
    for (int i = 0; i < 8; ++i)
        paths << WritePhoto(dir, QStringLiteral("p%1.jpg").arg(i), QSize(300 + i, 200));
    paths.insert(3, dir.File(QStringLiteral("tiny.png")));
    WritePhoto(dir, QStringLiteral("tiny.png"), QSize(4, 4));
    PhotoImporter importer;
    PhotoList list;
    QStringList order;
    bool done = false, stopped = true;
    QObject::connect(&importer, &PhotoImporter::photoPrepared, [&](const PreparedPhoto& p) {
        order << EntryPath(p.entry);
        list.AddImportedPhoto(p);
    });
    QObject::connect(&importer, &PhotoImporter::finished, [&](bool s) {
        done = true;
        stopped = s;
    });
    ASSERT_TRUE(importer.Start(paths, 2));
    EXPECT_FALSE(importer.Start(paths)); // one import at a time
    QEventLoop loop;
    QObject::connect(&importer, &PhotoImporter::finished, &loop, &QEventLoop::quit);
    QTimer::singleShot(20000, &loop, &QEventLoop::quit);
    if (!done)
        loop.exec();
    ASSERT_TRUE(done);
    EXPECT_FALSE(stopped);
    EXPECT_EQ(order, paths);
    EXPECT_EQ(list.Count(), 8); // the 4 x 4 picture is refused
    for (int i = 0; i < list.Count(); ++i)
        EXPECT_EQ(list.Records()[size_t(i)].width, std::uint32_t(300 + i));
}

TEST(PhotoImporter, MissingFileIsSkippedAndStopIsHonoured) {
    test::ScopedDataDir dir;
    const QStringList paths = {WritePhoto(dir, QStringLiteral("a.png"), QSize(10, 10)),
                               dir.File(QStringLiteral("gone.png")),
                               WritePhoto(dir, QStringLiteral("b.png"), QSize(10, 10))};
    PhotoImporter importer;
    QStringList got, missing;
    QObject::connect(&importer, &PhotoImporter::photoPrepared,
                     [&](const PreparedPhoto& p) { got << EntryPath(p.entry); });
    QObject::connect(&importer, &PhotoImporter::fileMissing,
                     [&](const QString& p) { missing << p; });
    QEventLoop loop;
    QObject::connect(&importer, &PhotoImporter::finished, &loop, &QEventLoop::quit);
    ASSERT_TRUE(importer.Start(paths, 1));
    loop.exec();
    // The missing file is reported and the import goes on past it.
    EXPECT_EQ(got, (QStringList{paths[0], paths[2]}));
    EXPECT_EQ(missing, QStringList{paths[1]});

    // A stop request before anything was delivered: nothing more is reported.
    got.clear();
    bool stopped = false;
    QObject::connect(&importer, &PhotoImporter::finished, [&](bool s) { stopped = s; });
    ASSERT_TRUE(importer.Start({paths[0], paths[2]}, 1));
    importer.RequestStop();
    loop.exec();
    EXPECT_TRUE(stopped);
    EXPECT_TRUE(got.isEmpty());
}

} // namespace
} // namespace mosaiq
