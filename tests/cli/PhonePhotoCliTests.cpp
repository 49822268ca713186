// mosaiq-cli with photos as phones write them: every orientation converted upright and without a
// tag, HEIC and WebP converted and imported, list records measured upright.
#include "imaging/decode/JpegStream.h"
#include "imaging/files/PictureFileEntry.h"
#include "imaging/decode/PictureMetadata.h"
#include "library/photos/PhotoList.h"

#include "common/PhonePictures.h"
#include "common/TestSupport.h"

#include <QProcess>

#include <gtest/gtest.h>

namespace mosaiq {
namespace {

int RunCli(const QString& dataDir, const QStringList& args, QByteArray* output = nullptr) {
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(QStringLiteral(MOSAIQ_CLI_PATH),
                  QStringList{QStringLiteral("--data"), dataDir} + args);
    process.waitForFinished(120000);
    if (output)
        *output = process.readAll();
    return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
}

class PhonePhotoCli : public ::testing::Test {
protected:
    void SetUp() override {
        QString log;
        ASSERT_TRUE(test::MakeOrientedPictures(pictures.path(), 160, 96, &log))
            << log.toStdString();
        upright = QImage(pictures.filePath(QStringLiteral("upright.png")));
        ASSERT_TRUE(test::RunTool(QStringLiteral("heif-enc"),
                                  {QStringLiteral("-q"), QStringLiteral("90"),
                                   pictures.filePath(QStringLiteral("upright.png")),
                                   QStringLiteral("-o"), Picture(QStringLiteral("phone.heic"))},
                                  &log))
            << log.toStdString();
    }
    QString Picture(const QString& name) const { return pictures.filePath(name); }

    test::ScopedDataDir data;
    QTemporaryDir pictures, out;
    QImage upright;
};

TEST_F(PhonePhotoCli, ConvertTurnsEveryPhotoUprightAndWritesNoTag) {
    QStringList inputs;
    for (int o = 1; o <= 8; ++o)
        inputs << Picture(QStringLiteral("o%1.jpg").arg(o))
               << Picture(QStringLiteral("o%1.webp").arg(o));
    inputs << Picture(QStringLiteral("phone.heic"));
    for (const char* format : {"png", "jpg"}) {
        SCOPED_TRACE(format);
        QByteArray log;
        ASSERT_EQ(RunCli(data.Path(),
                         QStringList{QStringLiteral("convert"), QStringLiteral("--format"),
                                     QString::fromLatin1(format), QStringLiteral("--output"),
                                     out.path()} +
                             inputs,
                         &log),
                  0)
            << log.constData();
        for (const QString& input : inputs) {
            SCOPED_TRACE(input.toStdString());
            // Outputs of one name from two inputs get " (2)": look at the JPEG's only.
            const QString base = QFileInfo(input).completeBaseName();
            const QString output = out.filePath(base + QLatin1Char('.') + QLatin1String(format));
            const QImage image(output);
            ASSERT_EQ(image.size(), QSize(160, 96));
            EXPECT_TRUE(test::QuadrantsMatch(image, upright, 16));
            const QByteArray bytes = test::ReadAll(output);
            const auto* raw = reinterpret_cast<const uchar*>(bytes.constData());
            EXPECT_EQ(ScanPictureMetadata(raw, std::size_t(bytes.size())).orientation, 1);
            EXPECT_TRUE(ScanJpegStream(raw, bytes.size()).exif.isEmpty());
        }
    }
}

TEST_F(PhonePhotoCli, ImportedPhoneFormatsAreListedUpright) {
    const QStringList inputs = {
        Picture(QStringLiteral("o6.jpg")), Picture(QStringLiteral("o8.webp")),
        Picture(QStringLiteral("o5.tif")), Picture(QStringLiteral("phone.heic"))};
    QByteArray log;
    ASSERT_EQ(RunCli(data.Path(), QStringList{QStringLiteral("import-photos")} + inputs, &log), 0)
        << log.constData();
    EXPECT_TRUE(log.contains("added 4")) << log.constData();
    PhotoList list;
    ASSERT_EQ(list.Load(data.File(QStringLiteral("srcmedia.cfg"))), PhotoList::LoadStatus::Loaded);
    ASSERT_EQ(list.Count(), 4);
    for (const PictureFileEntry& e : list.Records()) {
        EXPECT_EQ(QSize(int(e.width), int(e.height)), QSize(160, 96));
        EXPECT_EQ(e.upright, kUprightRecordMark);
    }
}

// Pictures libheif refuses are named on one line each: its messages end in a newline, which a
// quoted reason must not carry onto a line of its own.
TEST_F(PhonePhotoCli, EveryRefusedPhonePictureIsOneLine) {
    const QByteArray heic = test::ReadAll(Picture(QStringLiteral("phone.heic")));
    ASSERT_FALSE(heic.isEmpty());
    // A HEVC sequence's brand alone: libheif's "no supported brands" message ends in a newline.
    QByteArray burst("\0\0\0\x14"
                     "ftypheis\0\0\0\0heis",
                     20);
    burst.append(QByteArray(200, char(0x5A)));
    const QStringList inputs = {Picture(QStringLiteral("cut.heic")),
                                Picture(QStringLiteral("burst.heic")),
                                Picture(QStringLiteral("header.avif"))};
    ASSERT_TRUE(test::WriteAll(inputs[0], heic.left(heic.size() / 2)));
    ASSERT_TRUE(test::WriteAll(inputs[1], burst));
    ASSERT_TRUE(test::WriteAll(inputs[2], QByteArray("\0\0\0\x14"
                                                     "ftypavif\0\0\0\0avif",
                                                     20)));
    QProcess process;
    process.start(QStringLiteral(MOSAIQ_CLI_PATH),
                  QStringList{QStringLiteral("--data"), data.Path(), QStringLiteral("convert"),
                              QStringLiteral("--format"), QStringLiteral("png"),
                              QStringLiteral("--output"), out.path()} +
                      inputs);
    ASSERT_TRUE(process.waitForFinished(120000));
    EXPECT_EQ(process.exitCode(), 1);
    const QList<QByteArray> lines = process.readAllStandardError().trimmed().split('\n');
    int named = 0;
    for (const QByteArray& line : lines) {
        EXPECT_TRUE(line.startsWith("mosaiq-cli: ")) << "a line of its own: " << line.constData();
        named += line.contains("skipped") ? 1 : 0;
    }
    EXPECT_EQ(named, 3);
}

} // namespace
} // namespace mosaiq
