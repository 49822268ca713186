#include "library/photos/PhotoImport.h"
#include "library/photos/PhotoList.h"

#include "common/TestSupport.h"

#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QSysInfo>
#include <QTimer>
#include <QtEndian>

#include <gtest/gtest.h>

#include <sys/stat.h>

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
    EXPECT_EQ(loaded.Load(file), PhotoList::LoadStatus::Loaded);
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

// The editor holds the list from its start while mosaiq-cli import-photos writes the same file.
struct ConcurrentWriters : ::testing::Test {
    test::ScopedDataDir dir;
    QString file = dir.File(QStringLiteral("srcmedia.cfg"));
    QString Photo(int i) {
        return WritePhoto(dir, QStringLiteral("c%1.png").arg(i), QSize(20 + i, 20));
    }
    // What a second writer does: load the file as it is now, add, save.
    void OtherWriterAdds(std::initializer_list<int> photos) {
        PhotoList other;
        ASSERT_EQ(other.Load(file), PhotoList::LoadStatus::Loaded);
        for (int i : photos)
            ASSERT_EQ(other.AddImportedPhoto(PreparePhoto(Photo(i))), AddPhotoResult::Added);
        ASSERT_TRUE(other.SaveMerging(file));
    }
    static QStringList Paths(const QString& file) {
        PhotoList saved;
        EXPECT_EQ(saved.Load(file), PhotoList::LoadStatus::Loaded);
        QStringList out;
        for (const PictureFileEntry& e : saved.Records())
            out << QFileInfo(EntryPath(e)).fileName();
        return out;
    }
};

TEST_F(ConcurrentWriters, PhotosAddedByAnotherWriterAreKept) {
    PhotoList editor;
    ASSERT_EQ(editor.Load(file), PhotoList::LoadStatus::Loaded); // no list yet
    OtherWriterAdds({0, 1, 2, 3, 4});
    ASSERT_EQ(editor.AddImportedPhoto(PreparePhoto(Photo(5))), AddPhotoResult::Added);
    // The editor's own import of a photo the other writer added too is not doubled.
    ASSERT_EQ(editor.AddImportedPhoto(PreparePhoto(Photo(1))), AddPhotoResult::Added);
    int merged = -1;
    ASSERT_TRUE(editor.SaveMerging(file, nullptr, &merged));
    EXPECT_EQ(merged, 4);
    EXPECT_EQ(Paths(file),
              QStringList({"c5.png", "c1.png", "c0.png", "c2.png", "c3.png", "c4.png"}));
    // The merged records keep their thumbnails and sizes, numbered by position.
    ASSERT_EQ(editor.Count(), 6);
    EXPECT_EQ(editor.Records()[5].width, 24u);
    EXPECT_EQ(editor.Records()[5].number, 5u);
    EXPECT_EQ(QImage::fromData(editor.Thumbnails()[5], "JPEG").size(), QSize(80, 80));
    // Saving again with nothing new changes nothing.
    const QByteArray bytes = test::ReadAll(file);
    ASSERT_TRUE(editor.SaveMerging(file, nullptr, &merged));
    EXPECT_EQ(merged, 0);
    EXPECT_EQ(test::ReadAll(file), bytes);
}

TEST_F(ConcurrentWriters, PhotosRemovedInTheEditorStayRemoved) {
    OtherWriterAdds({0, 1, 2});
    PhotoList editor;
    ASSERT_EQ(editor.Load(file), PhotoList::LoadStatus::Loaded);
    editor.Hide(1);
    OtherWriterAdds({3}); // its load still holds c1, which it writes back
    ASSERT_TRUE(editor.SaveMerging(file));
    EXPECT_EQ(Paths(file), QStringList({"c0.png", "c2.png", "c3.png"}));

    // Noticed between saves (the editor's watcher), the addition shows before any save.
    OtherWriterAdds({4});
    EXPECT_EQ(editor.MergeFromFile(file), 1);
    EXPECT_EQ(editor.MergeFromFile(file), 0);
    editor.Hide(0);
    ASSERT_TRUE(editor.SaveMerging(file));
    EXPECT_EQ(Paths(file), QStringList({"c2.png", "c3.png", "c4.png"}));

    // Imported again by the other writer after the editor saved without it, it comes back.
    OtherWriterAdds({1});
    ASSERT_TRUE(editor.SaveMerging(file));
    EXPECT_EQ(Paths(file), QStringList({"c2.png", "c3.png", "c4.png", "c1.png"}));
}

TEST_F(ConcurrentWriters, AWriterHoldingTheLockIsWaitedForNotOverrun) {
    PhotoList editor;
    ASSERT_EQ(editor.AddImportedPhoto(PreparePhoto(Photo(0))), AddPhotoResult::Added);
    // A lock left by a killed writer (no such process) is taken over at once.
    ASSERT_TRUE(
        test::WriteAll(file + QStringLiteral(".lock"),
                       "999999999\nmosaiq-cli\n" + QSysInfo::machineHostName().toUtf8() + '\n'));
    ASSERT_TRUE(editor.SaveMerging(file));
    EXPECT_EQ(Paths(file), QStringList({"c0.png"}));
    EXPECT_FALSE(QFile::exists(file + QStringLiteral(".lock")));
}

// A list of three photos as saved, with the thumbnails the importer made.
struct DamagedLists : ::testing::Test {
    test::ScopedDataDir dir;
    PhotoList list;
    QByteArray whole;
    QString file = dir.File(QStringLiteral("srcmedia.cfg"));
    QString aside = file + QStringLiteral(".damaged");

    void SetUp() override {
        for (int i = 0; i < 3; ++i)
            ASSERT_EQ(list.AddImportedPhoto(PreparePhoto(
                          WritePhoto(dir, QStringLiteral("p%1.png").arg(i), QSize(30 + i, 30)))),
                      AddPhotoResult::Added);
        whole = list.SaveToBytes();
    }
    static QByteArray WithCount(QByteArray bytes, quint32 count) {
        qToLittleEndian(count, bytes.data());
        return bytes;
    }
    // Loads bytes written to the list file; expects it put aside unchanged.
    PhotoList LoadDamaged(const QByteArray& bytes) {
        EXPECT_TRUE(test::WriteAll(file, bytes));
        PhotoList loaded;
        QString message;
        EXPECT_EQ(loaded.Load(file, &message), PhotoList::LoadStatus::Damaged);
        EXPECT_TRUE(message.contains(aside)) << message.toStdString();
        EXPECT_FALSE(QFile::exists(file));
        EXPECT_EQ(test::ReadAll(aside), bytes);
        return loaded;
    }
    void ExpectAllThree(const PhotoList& loaded) {
        ASSERT_EQ(loaded.Count(), 3);
        EXPECT_EQ(loaded.Thumbnails(), list.Thumbnails());
        EXPECT_EQ(loaded.SaveToBytes(), whole);
    }
};

TEST_F(DamagedLists, ACountThatLiesRecoversEveryRecordThatFits) {
    // A save cut short after its records leaves the count 0 it starts with.
    ExpectAllThree(LoadDamaged(WithCount(whole, 0)));
    ExpectAllThree(LoadDamaged(WithCount(whole, 2)));
    ExpectAllThree(LoadDamaged(WithCount(whole, 7)));
    ExpectAllThree(LoadDamaged(WithCount(whole, 0xFFFFFFFFu)));
    // An older damaged copy is replaced by the newer one.
    const PhotoList again = LoadDamaged(WithCount(whole, 1));
    ExpectAllThree(again);
    // Saved, the list is whole again.
    ASSERT_TRUE(again.Save(file));
    PhotoList reread;
    EXPECT_EQ(reread.Load(file), PhotoList::LoadStatus::Loaded);
    EXPECT_EQ(reread.Count(), 3);
}

TEST_F(DamagedLists, ALyingThumbnailLengthKeepsTheRecordsAndTheFileAside) {
    QByteArray bytes = whole;
    qToLittleEndian<quint32>(0x7FFFFFF0u, bytes.data() + 4 + 3 * 1104); // the first thumbnail
    PhotoList loaded = LoadDamaged(bytes);
    ASSERT_EQ(loaded.Count(), 3);
    EXPECT_EQ(loaded.Thumbnails().size(), 3u);
    EXPECT_EQ(EntryPath(loaded.Records()[2]), EntryPath(list.Records()[2]));

    // Cut inside the last thumbnail: every record and the first two thumbnails survive.
    loaded = LoadDamaged(whole.left(whole.size() - 10));
    ASSERT_EQ(loaded.Count(), 3);
    EXPECT_EQ(loaded.Thumbnails()[1], list.Thumbnails()[1]);
    EXPECT_TRUE(loaded.Thumbnails()[2].isEmpty());
    // Cut inside the second record: the first is kept.
    EXPECT_EQ(LoadDamaged(whole.left(4 + 1104 + 500)).Count(), 1);
    EXPECT_EQ(LoadDamaged(QByteArray(2, '\0')).Count(), 0);
}

TEST_F(DamagedLists, AListThatCannotBeReadIsNeverWrittenOver) {
    // A folder and a pipe by the list's name: the list is refused, not taken as empty.
    ASSERT_TRUE(QDir().mkpath(file));
    PhotoList loaded;
    QString message;
    EXPECT_EQ(loaded.Load(file, &message), PhotoList::LoadStatus::Unreadable);
    EXPECT_TRUE(message.contains(file));
    QString error;
    EXPECT_FALSE(loaded.Save(file, &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_TRUE(QFileInfo(file).isDir());
    ASSERT_TRUE(QDir().rmdir(file));

    ASSERT_EQ(::mkfifo(QFile::encodeName(file).constData(), 0600), 0);
    EXPECT_EQ(loaded.Load(file), PhotoList::LoadStatus::Unreadable); // returns, never blocks
    EXPECT_FALSE(loaded.Save(file));
    EXPECT_TRUE(QFileInfo(file).exists() && !QFileInfo(file).isFile());
    // Another path is still written.
    EXPECT_TRUE(loaded.Save(dir.File(QStringLiteral("other.cfg"))));
    ASSERT_TRUE(QFile::remove(file));

    // A damaged list that cannot be put aside (a folder holds the name it would take) is not
    // written over either; what was recovered is still shown.
    ASSERT_TRUE(test::WriteAll(file, WithCount(whole, 0)));
    ASSERT_TRUE(QDir().mkpath(aside + QStringLiteral("/kept")));
    EXPECT_EQ(loaded.Load(file, &message), PhotoList::LoadStatus::Unreadable);
    EXPECT_EQ(loaded.Count(), 3);
    EXPECT_FALSE(loaded.Save(file));
    EXPECT_EQ(test::ReadAll(file), WithCount(whole, 0));

    // Nor when a pipe holds that name: the pipe is not replaced by the damaged list.
    ASSERT_TRUE(QDir(aside).removeRecursively());
    ASSERT_EQ(::mkfifo(QFile::encodeName(aside).constData(), 0600), 0);
    EXPECT_EQ(loaded.Load(file, &message), PhotoList::LoadStatus::Unreadable);
    EXPECT_TRUE(message.contains(aside)) << message.toStdString();
    EXPECT_TRUE(QFileInfo::exists(aside) && !QFileInfo(aside).isFile());
    EXPECT_EQ(test::ReadAll(file), WithCount(whole, 0));
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
