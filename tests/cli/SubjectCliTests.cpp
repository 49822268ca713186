// mosaiq-cli subject, and arrange --fill keeping the subject in its cells.
#include "canvas/document/CollageDocument.h"
#include "canvas/project/ProjectFile.h"
#include "common/TestSupport.h"

#include <QFile>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPainter>
#include <QProcess>

#include <gtest/gtest.h>

using namespace mosaiq;

namespace {

struct CliRun {
    int status = -1;
    QString out;
    QString err;
};

class SubjectCliTest : public ::testing::Test {
protected:
    CliRun Run(const QStringList& args) {
        QProcess process;
        process.setProgram(QStringLiteral(MOSAIQ_CLI_PATH));
        process.setWorkingDirectory(data.Path());
        process.setArguments(QStringList{QStringLiteral("--data"), data.Path()} + args);
        process.start();
        process.waitForFinished(120000);
        return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
                QString::fromUtf8(process.readAllStandardOutput()),
                QString::fromUtf8(process.readAllStandardError())};
    }

    // A wide picture: a bright disc near its right end on a plain ground.
    QString Disc(const QString& name, QSize size, QPoint centre) {
        QImage image(size, QImage::Format_RGB32);
        image.fill(QColor(100, 110, 120));
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(250, 210, 40));
        p.drawEllipse(centre, 90, 90);
        p.end();
        const QString path = data.File(name);
        EXPECT_TRUE(image.save(path));
        return path;
    }

    test::ScopedDataDir data;
};

TEST_F(SubjectCliTest, PrintsOneJsonLinePerPhoto) {
    const QString a = Disc(QStringLiteral("a.png"), {1500, 500}, {1350, 250});
    const QString b = Disc(QStringLiteral("b.png"), {600, 900}, {300, 150});
    const QString missing = data.File(QStringLiteral("missing.png"));
    const CliRun run = Run({QStringLiteral("subject"), a, b, missing});
    EXPECT_EQ(run.status, 1) << run.err.toStdString();
    EXPECT_TRUE(run.err.contains(missing));
    const QStringList lines = run.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 2) << run.out.toStdString();
    const QJsonObject first = QJsonDocument::fromJson(lines[0].toUtf8()).object();
    EXPECT_EQ(first[QStringLiteral("path")].toString(), a);
    EXPECT_EQ(first[QStringLiteral("width")].toInt(), 1500);
    EXPECT_EQ(first[QStringLiteral("height")].toInt(), 500);
    EXPECT_TRUE(first[QStringLiteral("faces")].toArray().isEmpty());
    const QJsonArray box = first[QStringLiteral("subject")].toArray();
    ASSERT_EQ(box.size(), 4);
    const QRect r(box[0].toInt(), box[1].toInt(), box[2].toInt(), box[3].toInt());
    EXPECT_TRUE(r.contains(QPoint(1350, 250))) << r.x() << "," << r.y();
    const QJsonObject second = QJsonDocument::fromJson(lines[1].toUtf8()).object();
    EXPECT_EQ(second[QStringLiteral("height")].toInt(), 900);
    // The subjects are kept for the next run.
    EXPECT_TRUE(QFile::exists(data.File(QStringLiteral("subjects.cache"))));

    EXPECT_EQ(Run({QStringLiteral("subject")}).status, 2);
    EXPECT_EQ(Run({QStringLiteral("subject"), QStringLiteral("--bogus"), a}).status, 2);
}

TEST_F(SubjectCliTest, ArrangeFillKeepsTheSubjectInATallCell) {
    const QString photo = Disc(QStringLiteral("wide.png"), {1500, 600}, {1350, 300});
    const QString out = data.File(QStringLiteral("out.dcf"));
    const CliRun run = Run({QStringLiteral("arrange"), QStringLiteral("--size"),
                            QStringLiteral("300x900"), QStringLiteral("--margin"),
                            QStringLiteral("0"), QStringLiteral("--fill"), out, photo});
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    CollageDocument doc;
    ASSERT_TRUE(LoadProject(doc, out, QString(), CarriedMaskUse::KeepInMemory).ok);
    ASSERT_EQ(doc.objects.size(), 1u);
    const PhotoRecord* p = doc.objects[0].Photo();
    ASSERT_TRUE(p);
    // A tall crop of the wide picture: centred it would hold x 650 to 850 and lose the disc.
    EXPECT_LT(p->cropRight - p->cropLeft, 250);
    EXPECT_LE(p->cropLeft, 1350 - 90);
    EXPECT_GE(p->cropRight, 1350 + 90);
}

} // namespace
