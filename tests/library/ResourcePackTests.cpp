#include "library/items/FrameLibrary.h"
#include "library/packs/ImportedPackList.h"
#include "library/items/LibraryFile.h"
#include "library/LibraryTestFiles.h"
#include "library/items/MaskLibrary.h"
#include "library/packs/PackImport.h"
#include "library/items/PictureList.h"
#include "library/packs/ResourcePack.h"

#include "common/TestSupport.h"
#include "imaging/PngTestWriter.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <map>

namespace mosaiq {
namespace {

using test::Int32Bytes;

// A picture with a transparent hole and a gradient, so thumbnails and PNG data are not trivial.
QImage SamplePicture(int w, int h, int seed) {
    QImage image(w, h, QImage::Format_ARGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const bool hole = x > w / 4 && x < 3 * w / 4 && y > h / 4 && y < 3 * h / 4;
            image.setPixel(
                x, y,
                qRgba((x * 255 / w + seed * 40) & 0xFF, y * 255 / h, seed * 60, hole ? 0 : 255));
        }
    return image;
}

ResourcePack MakePack(PackKind kind, int items) {
    ResourcePack pack;
    pack.type = int(kind);
    for (int i = 0; i < items; ++i) {
        const FrameWindow window{0.1f * float(i + 1), 0.1f, 0.9f, 0.8f};
        std::optional<PackItem> item =
            MakePackItem(kind, SamplePicture(200 + 40 * i, 150 + 10 * i, i), window);
        EXPECT_TRUE(item.has_value());
        pack.items.push_back(std::move(*item));
    }
    return pack;
}

QString WritePack(const test::ScopedDataDir& dir, const QString& name, const QByteArray& bytes) {
    const QString path = dir.File(QStringLiteral("packs/") + name);
    QDir().mkpath(QFileInfo(path).absolutePath());
    EXPECT_TRUE(test::WriteAll(path, bytes));
    return path;
}

// Every file of the data directory, by name, with its bytes.
std::map<QString, QByteArray> Snapshot(const test::ScopedDataDir& dir) {
    std::map<QString, QByteArray> files;
    for (const QString& name : QDir(dir.Path()).entryList(QDir::Files))
        files[name] = test::ReadAll(dir.File(name));
    return files;
}

// A data directory holding one item in every target library, so imports append to real files.
void SeedLibraries(const test::ScopedDataDir& dir) {
    const QImage one = SamplePicture(30, 20, 7);
    for (const char* name : {"tbframe.cfg", "tbmask.cfg", "clipart.cfg", "decorate_t", "brushs"})
        ASSERT_TRUE(WritePictureList(dir.File(QLatin1String(name)), {one}));
    ASSERT_TRUE(test::WriteAll(dir.File(QStringLiteral("frame.cfg")),
                               EncodeFrameLibrary({{one, FrameWindow{}}})));
    const QByteArray keyed = EncodeKeyedLibrary({{30, 20, Guid::Create(), test::PngBytes(one)}});
    ASSERT_TRUE(test::WriteAll(dir.File(QStringLiteral("mask.cfg")), keyed));
    ASSERT_TRUE(test::WriteAll(dir.File(QStringLiteral("cusmask.cfg")), keyed));
    QByteArray decorate = Int32Bytes(1) + Int32Bytes(30) + Int32Bytes(20);
    const QByteArray png = test::PngBytes(one);
    decorate += Int32Bytes(std::int32_t(png.size())) + png;
    ASSERT_TRUE(test::WriteAll(dir.File(QStringLiteral("decorate")), decorate));
}

std::optional<ResourcePack> Parse(QByteArray bytes, QString* reason = nullptr) {
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    return ParseResourcePack(buffer, reason);
}

TEST(ResourcePack, EncodedPackReadsBackItemForItem) {
    const ResourcePack pack = MakePack(PackKind::Frames, 3);
    QByteArray bytes = EncodeResourcePack(pack);
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QString reason;
    const std::optional<ResourcePack> read = ParseResourcePack(buffer, &reason);
    ASSERT_TRUE(read) << reason.toStdString();
    ASSERT_EQ(read->items.size(), 3u);
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(read->items[i].thumbPixels, pack.items[i].thumbPixels);
        EXPECT_EQ(read->items[i].window, pack.items[i].window);
        EXPECT_EQ(read->items[i].data, pack.items[i].data);
        EXPECT_EQ(read->items[i].fullWidth, 200 + 40 * int(i));
    }
}

TEST(ResourcePack, ThumbnailsAre120WideForFramesAndMasksAndFullSizeOtherwise) {
    const QImage picture = SamplePicture(300, 200, 1);
    for (PackKind kind : {PackKind::Frames, PackKind::Masks}) {
        const std::optional<PackItem> item = MakePackItem(kind, picture);
        ASSERT_TRUE(item);
        EXPECT_EQ(item->thumbWidth, 120);
        EXPECT_EQ(item->thumbHeight, 80);
    }
    for (PackKind kind : {PackKind::Cliparts, PackKind::Decorations, PackKind::Brushes}) {
        const std::optional<PackItem> item = MakePackItem(kind, picture);
        ASSERT_TRUE(item);
        EXPECT_EQ(QSize(item->thumbWidth, item->thumbHeight), QSize(300, 200));
        // The thumbnail keeps straight B, G, R, A of the picture, transparency included.
        const QImage thumb = ImageFromBgra(item->thumbPixels.constData(), 300, 200);
        EXPECT_EQ(thumb.pixel(150, 100), picture.pixel(150, 100));
        EXPECT_EQ(thumb.pixel(3, 4), picture.pixel(3, 4));
    }
    EXPECT_FALSE(MakePackItem(PackKind::Frames, QImage()));
}

// Pack bytes whose header or first item lies; each must be refused before any big allocation.
TEST(ResourcePack, DamagedAndHostilePacksAreRefusedWithAReason) {
    const QByteArray good = EncodeResourcePack(MakePack(PackKind::Masks, 1));
    const QByteArray tail = good.mid(8);
    struct Case {
        const char* what;
        QByteArray bytes;
    };
    const Case cases[] = {
        {"empty", QByteArray()},
        {"half a header", Int32Bytes(1)},
        {"type 7", Int32Bytes(7) + Int32Bytes(0)},
        {"type -1", Int32Bytes(-1) + Int32Bytes(0)},
        {"count beyond the file", Int32Bytes(1) + Int32Bytes(1000000) + tail},
        {"count of 2^32-1", Int32Bytes(1) + Int32Bytes(-1) + tail},
        {"thumbnail overflows",
         Int32Bytes(1) + Int32Bytes(1) + Int32Bytes(-1) + Int32Bytes(-1) + tail.mid(8)},
        {"thumbnail beyond the file",
         Int32Bytes(1) + Int32Bytes(1) + Int32Bytes(16000) + Int32Bytes(16000) + tail.mid(8)},
        {"zero-width thumbnail", Int32Bytes(2) + Int32Bytes(1) + Int32Bytes(0) + Int32Bytes(5) +
                                     Int32Bytes(1) + Int32Bytes(1) + Int32Bytes(0)},
        {"data length beyond the file", Int32Bytes(2) + Int32Bytes(1) + Int32Bytes(1) +
                                            Int32Bytes(1) + QByteArray(4, 'x') + Int32Bytes(1) +
                                            Int32Bytes(1) + Int32Bytes(-2)},
        {"truncated by one byte", good.left(good.size() - 1)},
        {"mask data that is no picture", Int32Bytes(1) + Int32Bytes(1) + Int32Bytes(1) +
                                             Int32Bytes(1) + QByteArray(4, 'x') + Int32Bytes(1) +
                                             Int32Bytes(1) + Int32Bytes(3) + QByteArray("abc")},
        {"frame window not a number", Int32Bytes(0) + Int32Bytes(1) + Int32Bytes(1) +
                                          Int32Bytes(1) + QByteArray(4, 'x') + Int32Bytes(1) +
                                          Int32Bytes(1) + Int32Bytes(0) + Int32Bytes(0x7FC00000) +
                                          QByteArray(12, '\0')},
    };
    for (const Case& c : cases) {
        QByteArray bytes = c.bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::ReadOnly);
        QString reason;
        EXPECT_FALSE(ParseResourcePack(buffer, &reason)) << c.what;
        EXPECT_FALSE(reason.isEmpty()) << c.what;
    }
    // Bytes after the last item are no item's: the pack reads as without them.
    const std::optional<ResourcePack> trailing = Parse(good + "trailing bytes");
    ASSERT_TRUE(trailing);
    EXPECT_EQ(EncodeResourcePack(*trailing), good);
    // Cliparts and brushes skip their data, so it need not be a picture.
    QByteArray clipart = Int32Bytes(2) + Int32Bytes(1) + Int32Bytes(1) + Int32Bytes(1) +
                         QByteArray(4, 'x') + Int32Bytes(1) + Int32Bytes(1) + Int32Bytes(3) + "abc";
    QBuffer buffer(&clipart);
    buffer.open(QIODevice::ReadOnly);
    EXPECT_TRUE(ParseResourcePack(buffer));
}

// A one-item pack of kind holding data as the full picture, with a 1 x 1 thumbnail; the stored
// full size is claimed.
QByteArray OneItemPack(PackKind kind, const QByteArray& data, QSize claimed = QSize(1, 1)) {
    QByteArray out = Int32Bytes(int(kind)) + Int32Bytes(1) + Int32Bytes(1) + Int32Bytes(1) +
                     QByteArray(4, '\x7F') + Int32Bytes(claimed.width()) +
                     Int32Bytes(claimed.height()) + Int32Bytes(int(data.size()));
    if (kind == PackKind::Frames)
        out += QByteArray(
            reinterpret_cast<const char*>(std::array<float, 4>{0.1f, 0.1f, 0.9f, 0.9f}.data()), 16);
    return out + data;
}

// A black one-bit picture of w x h pixels: a few kilobytes whatever its size.
QByteArray BlackPng(int w, int h) {
    test::PngLayout layout;
    layout.width = w;
    layout.height = h;
    layout.bitDepth = 1;
    layout.colourType = 0;
    const QByteArray rows = test::Deflated(QByteArray(qsizetype(h) * (1 + (w + 7) / 8), '\0'));
    return test::MakePng(layout, &rows);
}

TEST(ResourcePack, FullPicturesAreDecodedWithinTheItemBudgetBeforeThePackIsAccepted) {
    // A frame whose image data is noise under a good header.
    test::PngLayout small;
    small.width = small.height = 64;
    QByteArray noise(3000, '\0');
    for (qsizetype i = 0; i < noise.size(); ++i)
        noise[i] = char((i * 151 + 3) % 253);
    QString reason;
    EXPECT_FALSE(Parse(OneItemPack(PackKind::Frames, test::MakePng(small, &noise)), &reason));
    EXPECT_TRUE(reason.contains(QLatin1String("item 1"))) << reason.toStdString();

    // An 84-byte mask claiming 16000 x 16000, and a real picture one row past the budget: both
    // refused by the budget, named.
    test::PngLayout huge;
    huge.width = huge.height = 16000;
    const QByteArray emptyStream("\x78\x9C\x03\x00\x00\x00\x00\x01", 8);
    const QByteArray claim = test::MakePng(huge, &emptyStream);
    EXPECT_LT(claim.size(), 90);
    for (const QByteArray& data : {claim, BlackPng(4000, 4001)}) {
        reason.clear();
        EXPECT_FALSE(Parse(OneItemPack(PackKind::Masks, data), &reason));
        EXPECT_TRUE(reason.contains(QLatin1String("a pack item's picture")))
            << reason.toStdString();
        EXPECT_TRUE(reason.contains(QLatin1String("16 megapixels"))) << reason.toStdString();
    }

    // At the budget a picture is read; the size kept is the picture's own, whatever the item
    // claimed.
    const std::optional<ResourcePack> atBudget = Parse(
        OneItemPack(PackKind::Decorations, BlackPng(4000, 4000), QSize(16000, 16000)), &reason);
    ASSERT_TRUE(atBudget) << reason.toStdString();
    EXPECT_EQ(atBudget->items[0].fullWidth, 4000);
    EXPECT_EQ(atBudget->items[0].fullHeight, 4000);
}

TEST(ResourcePack, ThumbnailsOfNoPixelsAreEmptyCellsOnlyWhereAFullPictureIsKept) {
    for (int kind = 0; kind < kPackKindCount; ++kind) {
        ResourcePack pack = MakePack(PackKind(kind), 1);
        pack.items[0].thumbWidth = 0;
        pack.items[0].thumbHeight = kind == 1 ? 7 : 0; // a side of 0 is no pixels either
        pack.items[0].thumbPixels.clear();
        QString reason;
        const std::optional<ResourcePack> read = Parse(EncodeResourcePack(pack), &reason);
        const bool kept = PackKind(kind) == PackKind::Frames || PackKind(kind) == PackKind::Masks ||
                          PackKind(kind) == PackKind::Decorations;
        EXPECT_EQ(read.has_value(), kept) << kind << " " << reason.toStdString();
        if (read) {
            EXPECT_EQ(read->items[0].thumbWidth, 0);
            EXPECT_EQ(read->items[0].thumbHeight, 0);
        } else {
            EXPECT_TRUE(reason.contains(QLatin1String("0 x 0"))) << reason.toStdString();
        }
    }
}

TEST(ResourcePack, ImportListKeepsNamesAndToleratesDamage) {
    test::ScopedDataDir dir;
    const QString path = dir.File(QStringLiteral("Res_Info"));
    EXPECT_TRUE(ReadImportedPackNames(path)->empty()); // missing
    const std::vector<QByteArray> names = {"a.irs", "Ümlaut pack.irs"};
    ASSERT_TRUE(test::WriteAll(path, EncodeImportedPackNames(names)));
    EXPECT_EQ(QFileInfo(path).size(), 4 + 2 * 260);
    EXPECT_EQ(*ReadImportedPackNames(path), names);
    // A count promising more slots than the file holds gives the complete ones.
    QByteArray longer = EncodeImportedPackNames(names);
    longer.replace(0, 4, Int32Bytes(1000));
    ASSERT_TRUE(test::WriteAll(path, longer + "partial"));
    EXPECT_EQ(*ReadImportedPackNames(path), names);
    ASSERT_TRUE(test::WriteAll(path, Int32Bytes(-3)));
    EXPECT_FALSE(ReadImportedPackNames(path));
    EXPECT_TRUE(PackNameBytes(QString(300, QLatin1Char('n')) + QStringLiteral(".irs")).isEmpty());
    EXPECT_EQ(PackNameBytes(QStringLiteral("/some/folder/My.IRS")), QByteArray("My.IRS"));
}

class PackImportTest : public ::testing::Test {
protected:
    test::ScopedDataDir data;
    void SetUp() override { SeedLibraries(data); }

    PackImportResult Import(const QString& path) { return ImportResourcePack(path, data.Path()); }
};

TEST_F(PackImportTest, FramePackAppendsThumbnailsAndFramesWithTheirWindows) {
    const ResourcePack pack = MakePack(PackKind::Frames, 3);
    const PackImportResult r =
        Import(WritePack(data, QStringLiteral("frames.irs"), EncodeResourcePack(pack)));
    ASSERT_TRUE(r.Ok()) << r.reason.toStdString();
    EXPECT_EQ(r.count, 3);
    const QString tb = data.File(QStringLiteral("tbframe.cfg"));
    const QString full = data.File(QStringLiteral("frame.cfg"));
    EXPECT_EQ(ReadPictureListCount(tb), 4);
    for (int i = 0; i < 3; ++i) {
        const std::optional<QImage> thumb = ReadThumbnail(tb, i + 1);
        ASSERT_TRUE(thumb);
        EXPECT_EQ(BgraBytes(*thumb), pack.items[size_t(i)].thumbPixels);
        EXPECT_EQ(ReadFrameWindow(full, i + 1), pack.items[size_t(i)].window);
        const std::optional<QImage> frame = ReadFrame(full, i + 1);
        ASSERT_TRUE(frame);
        EXPECT_EQ(frame->size(), QSize(200 + 40 * i, 150 + 10 * i));
    }
    EXPECT_TRUE(ReadFrame(full, 0)); // the item that was there stays readable
    EXPECT_EQ(*ReadImportedPackNames(data.File(QStringLiteral("Res_Info"))),
              std::vector<QByteArray>{"frames.irs"});
}

TEST_F(PackImportTest, MaskPackGivesEveryMaskItsOwnKeyFoundInTheCustomLibrary) {
    const ResourcePack pack = MakePack(PackKind::Masks, 2);
    ASSERT_TRUE(Import(WritePack(data, QStringLiteral("m.irs"), EncodeResourcePack(pack))).Ok());
    const QString masks = data.File(QStringLiteral("mask.cfg"));
    const QString custom = data.File(QStringLiteral("cusmask.cfg"));
    EXPECT_EQ(ReadPictureListCount(data.File(QStringLiteral("tbmask.cfg"))), 3);
    const std::optional<Guid> first = ReadMaskKey(masks, 1);
    const std::optional<Guid> second = ReadMaskKey(masks, 2);
    ASSERT_TRUE(first && second);
    EXPECT_FALSE(first->IsNull());
    EXPECT_NE(*first, *second);
    EXPECT_NE(*first, *ReadMaskKey(masks, 0));
    const std::optional<MaskPicture> found = FindCustomMask(custom, *second);
    ASSERT_TRUE(found);
    EXPECT_EQ(found->width, 240);
    ASSERT_TRUE(ReadMask(masks, 2));
}

TEST_F(PackImportTest, ClipartAndBrushPacksStoreThumbnailsOnly) {
    const auto before = Snapshot(data);
    for (PackKind kind : {PackKind::Cliparts, PackKind::Brushes}) {
        const ResourcePack pack = MakePack(kind, 2);
        const QString name = PackKindName(kind) + QStringLiteral(".irs");
        ASSERT_TRUE(Import(WritePack(data, name, EncodeResourcePack(pack))).Ok());
        const QString library = data.File(PackThumbnailLibrary(int(kind)));
        EXPECT_EQ(ReadPictureListCount(library), 3);
        // Exactly the count, the old entry and the two pictures at their own size.
        EXPECT_EQ(QFileInfo(library).size(),
                  4 + (8 + 30 * 20 * 4) + (8 + 200 * 150 * 4) + (8 + 240 * 160 * 4));
        EXPECT_EQ(ReadPictureListEntry(library, 2)->pixel(0, 0),
                  SamplePicture(240, 160, 1).pixel(0, 0));
    }
    const auto after = Snapshot(data);
    for (const char* untouched : {"frame.cfg", "tbframe.cfg", "mask.cfg", "decorate"})
        EXPECT_EQ(after.at(QLatin1String(untouched)), before.at(QLatin1String(untouched)));
}

TEST_F(PackImportTest, DecorationPackGoesToDecorateFiles) {
    const ResourcePack pack = MakePack(PackKind::Decorations, 2);
    ASSERT_TRUE(Import(WritePack(data, QStringLiteral("d.irs"), EncodeResourcePack(pack))).Ok());
    EXPECT_EQ(ReadPictureListCount(data.File(QStringLiteral("decorate_t"))), 3);
    const QByteArray decorate = test::ReadAll(data.File(QStringLiteral("decorate")));
    EXPECT_EQ(decorate.left(4), Int32Bytes(3));
    // The last entry: w, h, L and the PNG, at the end of the file.
    const QByteArray& png = pack.items[1].data;
    const QByteArray last =
        Int32Bytes(240) + Int32Bytes(160) + Int32Bytes(std::int32_t(png.size())) + png;
    EXPECT_TRUE(decorate.endsWith(last));
}

TEST_F(PackImportTest, SameNameRefusedFromAnyFolderAnotherNameImportsAgain) {
    const QByteArray bytes = EncodeResourcePack(MakePack(PackKind::Cliparts, 1));
    ASSERT_TRUE(Import(WritePack(data, QStringLiteral("share.irs"), bytes)).Ok());
    const auto before = Snapshot(data);
    const PackImportResult again = Import(WritePack(data, QStringLiteral("b/share.irs"), bytes));
    EXPECT_EQ(again.status, PackImportStatus::AlreadyImported);
    EXPECT_EQ(again.Message(QStringLiteral("share.irs")),
              QStringLiteral("Already in the library."));
    EXPECT_EQ(Snapshot(data), before);
    // Names compare case-sensitively, as stored.
    ASSERT_TRUE(Import(WritePack(data, QStringLiteral("Share.irs"), bytes)).Ok());
    EXPECT_EQ(ReadPictureListCount(data.File(QStringLiteral("clipart.cfg"))), 3);
    EXPECT_EQ(ReadImportedPackNames(data.File(QStringLiteral("Res_Info")))->size(), 2u);
}

TEST_F(PackImportTest, EmptyPackRecordsItsNameAndChangesNoLibrary) {
    const auto before = Snapshot(data);
    const PackImportResult r =
        Import(WritePack(data, QStringLiteral("none.irs"), Int32Bytes(0) + Int32Bytes(0)));
    ASSERT_TRUE(r.Ok());
    EXPECT_EQ(r.count, 0);
    auto after = Snapshot(data);
    EXPECT_EQ(*ReadImportedPackNames(data.File(QStringLiteral("Res_Info"))),
              std::vector<QByteArray>{"none.irs"});
    after.erase(QStringLiteral("Res_Info"));
    EXPECT_EQ(after, before);
    // With no library at all, an empty pack creates none.
    test::ScopedDataDir empty;
    ASSERT_TRUE(ImportResourcePack(
                    WritePack(data, QStringLiteral("none2.irs"), Int32Bytes(1) + Int32Bytes(0)),
                    empty.Path())
                    .Ok());
    EXPECT_EQ(QDir(empty.Path()).entryList(QDir::Files), QStringList{QStringLiteral("Res_Info")});
}

TEST_F(PackImportTest, TruncatedOrUnknownPacksChangeNothing) {
    ASSERT_TRUE(Import(WritePack(data, QStringLiteral("first.irs"),
                                 EncodeResourcePack(MakePack(PackKind::Cliparts, 1))))
                    .Ok());
    const auto before = Snapshot(data);
    for (PackKind kind : {PackKind::Frames, PackKind::Masks, PackKind::Decorations}) {
        const QByteArray whole = EncodeResourcePack(MakePack(kind, 2));
        for (int cut :
             {0, 3, 8, 20, int(whole.size() / 3), int(whole.size() / 2), int(whole.size()) - 1}) {
            const QString name = QStringLiteral("cut%1-%2.irs").arg(int(kind)).arg(cut);
            const PackImportResult r = Import(WritePack(data, name, whole.left(cut)));
            EXPECT_EQ(r.status, PackImportStatus::Refused) << cut;
            EXPECT_TRUE(r.Message(name).contains(name)) << r.Message(name).toStdString();
            EXPECT_EQ(Snapshot(data), before) << cut;
        }
    }
    const PackImportResult seven =
        Import(WritePack(data, QStringLiteral("seven.irs"), Int32Bytes(7) + Int32Bytes(0)));
    EXPECT_EQ(seven.status, PackImportStatus::Refused);
    EXPECT_TRUE(seven.reason.contains(QStringLiteral("type 7")));
    // A directory named like a pack, and a missing one.
    QDir().mkpath(data.File(QStringLiteral("folder.irs")));
    EXPECT_EQ(Import(data.File(QStringLiteral("folder.irs"))).status, PackImportStatus::Refused);
    EXPECT_EQ(Import(data.File(QStringLiteral("missing.irs"))).status, PackImportStatus::Refused);
    EXPECT_EQ(Snapshot(data), before);
}

TEST_F(PackImportTest, DamagedTargetLibraryRefusesTheImport) {
    const QString clipart = data.File(QStringLiteral("clipart.cfg"));
    QByteArray damaged = test::ReadAll(clipart);
    damaged.replace(0, 4, Int32Bytes(5)); // promises five entries, holds one
    ASSERT_TRUE(test::WriteAll(clipart, damaged));
    const auto before = Snapshot(data);
    const PackImportResult r = Import(WritePack(
        data, QStringLiteral("c.irs"), EncodeResourcePack(MakePack(PackKind::Cliparts, 1))));
    EXPECT_EQ(r.status, PackImportStatus::Refused);
    EXPECT_TRUE(r.reason.contains(QStringLiteral("clipart.cfg")));
    EXPECT_EQ(Snapshot(data), before);
}

TEST_F(PackImportTest, AnEmptyCellThumbnailIsStoredAndTheNextImportStillReadsTheLibrary) {
    ResourcePack pack = MakePack(PackKind::Frames, 2);
    pack.items[0].thumbWidth = pack.items[0].thumbHeight = 0;
    pack.items[0].thumbPixels.clear();
    ASSERT_TRUE(
        Import(WritePack(data, QStringLiteral("cells.irs"), EncodeResourcePack(pack))).Ok());
    const std::vector<QImage> thumbs = ReadPictureList(data.File(QStringLiteral("tbframe.cfg")));
    ASSERT_GE(thumbs.size(), 2u);
    EXPECT_TRUE(thumbs[thumbs.size() - 2].isNull());
    EXPECT_FALSE(thumbs.back().isNull());
    EXPECT_TRUE(Import(WritePack(data, QStringLiteral("more.irs"),
                                 EncodeResourcePack(MakePack(PackKind::Frames, 1))))
                    .Ok());
}

TEST_F(PackImportTest, ADamagedImportListRefusesTheImportNamingTheListAndChangesNothing) {
    const QString list = data.File(QStringLiteral("Res_Info"));
    const QString pack = WritePack(data, QStringLiteral("p.irs"),
                                   EncodeResourcePack(MakePack(PackKind::Cliparts, 1)));
    const std::vector<std::pair<const char*, std::function<void()>>> damage = {
        {"shorter than 4 bytes", [&] { ASSERT_TRUE(test::WriteAll(list, "ab")); }},
        {"count of 0", [&] { ASSERT_TRUE(test::WriteAll(list, Int32Bytes(0))); }},
        {"negative count",
         [&] { ASSERT_TRUE(test::WriteAll(list, Int32Bytes(-3) + QByteArray(260, 'a'))); }},
        {"a folder",
         [&] {
             QFile::remove(list);
             ASSERT_TRUE(QDir().mkpath(list + QStringLiteral("/inside")));
         }},
    };
    for (const auto& [what, make] : damage) {
        make();
        const auto before = Snapshot(data);
        const PackImportResult r = Import(pack);
        EXPECT_EQ(r.status, PackImportStatus::Refused) << what;
        const QString message = r.Message(pack);
        EXPECT_TRUE(message.contains(QLatin1String("Res_Info"))) << message.toStdString();
        EXPECT_TRUE(message.contains(QLatin1String("move it aside"))) << message.toStdString();
        EXPECT_EQ(Snapshot(data), before) << what;
    }
}

TEST_F(PackImportTest, APackNameWithControlCharactersIsShownEscaped) {
    const QString path = WritePack(
        data, QStringLiteral("evil\nimported 1 cliparts into clipart.cfg\x1b[0m.irs"), "bad");
    const QString message = Import(path).Message(path);
    EXPECT_FALSE(message.contains(QLatin1Char('\n'))) << message.toStdString();
    EXPECT_FALSE(message.contains(QChar(0x1B))) << message.toStdString();
    EXPECT_TRUE(message.contains(QLatin1String("evil\\nimported"))) << message.toStdString();
    EXPECT_TRUE(message.contains(QLatin1String("\\x1b[0m"))) << message.toStdString();
}

TEST_F(PackImportTest, TheUsersFilesNamedLikeBackupsAreNeverRemoved) {
    ASSERT_TRUE(test::WriteAll(data.File(QStringLiteral("Res_Info")),
                               EncodeImportedPackNames({"old.irs"})));
    const QStringList own = {QStringLiteral("frame.cfg.bak"), QStringLiteral("tbframe.cfg.bak"),
                             QStringLiteral("Res_Info.bak"), QStringLiteral("frame.cfg.new"),
                             QStringLiteral("Res_Info.new")};
    for (const QString& name : own)
        ASSERT_TRUE(test::WriteAll(data.File(name), name.toUtf8()));
    const auto before = Snapshot(data);
    const PackImportResult r = Import(WritePack(data, QStringLiteral("f.irs"),
                                                EncodeResourcePack(MakePack(PackKind::Frames, 1))));
    ASSERT_TRUE(r.Ok()) << r.reason.toStdString();
    const auto after = Snapshot(data);
    for (const QString& name : own)
        EXPECT_EQ(after.at(name), name.toUtf8()) << name.toStdString();
    // Nothing else of ours stayed behind beside the libraries.
    EXPECT_TRUE(QDir(data.Path())
                    .entryList({QStringLiteral(".*mosaiq-*")}, QDir::Files | QDir::Hidden)
                    .isEmpty());
    EXPECT_NE(after.at(QStringLiteral("frame.cfg")), before.count(QStringLiteral("frame.cfg"))
                                                         ? before.at(QStringLiteral("frame.cfg"))
                                                         : QByteArray());
}

} // namespace
} // namespace mosaiq
