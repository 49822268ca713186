// The subject test set (subjects/make_subject_set.py): the astronaut and the camera man placed
// off-centre on photo-like grounds, a bright object on a plain ground and grounds alone. Faces
// must be found where people are and nowhere else, and a fill crop to any cell from 1:3 to 3:1
// keeps every face found whole whenever the faces fit in a crop of that shape.
#include "imaging/subject/SubjectCrop.h"
#include "imaging/subject/SubjectFinder.h"

#include "common/PhonePictures.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

#include <cstdio>

namespace mosaiq {
namespace {

// The set is made once per build tree (it takes a while) and again when the script changes.
QString SubjectSetDir(QString* log) {
    const QString script = QStringLiteral(MOSAIQ_SUBJECT_SET_SCRIPT);
    if (!QFileInfo::exists(script)) {
        *log = QStringLiteral("no script at ") + script;
        return {};
    }
    const QString dir = QCoreApplication::applicationDirPath() + QStringLiteral("/subject-set");
    const QFileInfo manifest(dir + QStringLiteral("/set.json"));
    if (manifest.exists() && manifest.lastModified() >= QFileInfo(script).lastModified())
        return dir;
    QDir(dir).removeRecursively();
    if (!test::RunTool(test::PillowPython(), {script, dir}, log))
        return {};
    return dir;
}

QRectF RectOf(const QJsonValue& v) {
    const QJsonArray a = v.toArray();
    return QRectF(a.at(0).toDouble(), a.at(1).toDouble(), a.at(2).toDouble(), a.at(3).toDouble());
}

bool Whole(const QRect& crop, const QRectF& r) {
    return r.left() >= crop.left() - 2 && r.top() >= crop.top() - 2 &&
           r.right() <= crop.left() + crop.width() + 2 &&
           r.bottom() <= crop.top() + crop.height() + 2;
}

// The found face that is the true face (mostly over it), or -1.
int Match(const std::vector<QRectF>& found, const QRectF& truth) {
    for (size_t i = 0; i < found.size(); ++i) {
        const QRectF common = found[i].intersected(truth);
        const double area = common.width() * common.height();
        if (area > 0.4 * std::min(found[i].width() * found[i].height(),
                                  truth.width() * truth.height()))
            return int(i);
    }
    return -1;
}

TEST(SubjectSet, FacesFoundAndKeptByFillCrops) {
    QString log;
    const QString dir = SubjectSetDir(&log);
    ASSERT_FALSE(dir.isEmpty()) << log.toStdString();
    QFile file(dir + QStringLiteral("/set.json"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QJsonArray set = QJsonDocument::fromJson(file.readAll()).array();
    ASSERT_GE(set.size(), 10);

    const std::vector<double> aspects = {1.0 / 3, 1.0 / 2, 2.0 / 3, 1.0, 3.0 / 2, 2.0, 3.0};
    int trueFaces = 0, foundFaces = 0, falseFaces = 0, groundFaces = 0;
    int placements = 0, lostCentred = 0, lostSubject = 0, lostWhenFitting = 0;
    int objectCrops = 0, objectCentredLost = 0, objectSubjectLost = 0;
    for (const QJsonValue& value : set) {
        const QJsonObject item = value.toObject();
        const QString name = item[QStringLiteral("file")].toString();
        SCOPED_TRACE(name.toStdString());
        const QSize size(item[QStringLiteral("width")].toInt(), item[QStringLiteral("height")].toInt());
        QString error;
        const std::optional<PictureSubject> subject =
            FindSubjectOfFile(dir + QLatin1Char('/') + name, nullptr, &error);
        ASSERT_TRUE(subject) << error.toStdString();
        EXPECT_EQ(subject->picture, size);
        const QString kind = item[QStringLiteral("kind")].toString();
        std::vector<QRectF> truth;
        for (const QJsonValue& f : item[QStringLiteral("faces")].toArray())
            truth.push_back(RectOf(f));
        if (kind == QLatin1String("ground"))
            groundFaces += int(subject->faces.size());
        std::vector<QRectF> found; // true faces that were found
        for (const QRectF& t : truth)
            if (Match(subject->faces, t) >= 0)
                found.push_back(t);
        trueFaces += int(truth.size());
        foundFaces += int(found.size());
        for (const QRectF& f : subject->faces)
            if (Match(truth, f) < 0)
                ++falseFaces;
        if (name.startsWith(QLatin1String("astronaut"))) {
            EXPECT_EQ(found.size(), truth.size()) << "the astronaut's face is found";
        }

        for (double aspect : aspects) {
            const QRect centred = PlaceSubjectCrop(size, nullptr, aspect, QRect());
            const QRect placed = PlaceSubjectCrop(size, &*subject, aspect, QRect());
            // Every true face counts for the report; the found ones must stay whole whenever
            // they fit in a crop of this shape together.
            QRectF all;
            for (const QRectF& t : found)
                all = all.united(t);
            const bool fit = all.width() <= placed.width() && all.height() <= placed.height();
            for (const QRectF& t : truth) {
                ++placements;
                lostCentred += Whole(centred, t) ? 0 : 1;
                lostSubject += Whole(placed, t) ? 0 : 1;
            }
            for (const QRectF& t : found)
                if (fit && !Whole(placed, t))
                    ++lostWhenFitting;
            if (kind == QLatin1String("object")) {
                const QRectF object = RectOf(item[QStringLiteral("object")]);
                if (object.width() <= placed.width() && object.height() <= placed.height()) {
                    ++objectCrops;
                    objectCentredLost += Whole(centred, object) ? 0 : 1;
                    objectSubjectLost += Whole(placed, object) ? 0 : 1;
                }
            }
        }
    }
    std::printf("subject set: %d of %d faces found, %d false faces (%d on grounds alone)\n",
                foundFaces, trueFaces, falseFaces, groundFaces);
    std::printf("fill crops 1:3 to 3:1: %d face placements, centred crops lose %d, subject crops "
                "lose %d (%d of faces found that fit)\n",
                placements, lostCentred, lostSubject, lostWhenFitting);
    std::printf("bright object: %d crops where it fits, centred lose it %d times, subject %d\n",
                objectCrops, objectCentredLost, objectSubjectLost);
    EXPECT_EQ(groundFaces, 0);
    EXPECT_EQ(falseFaces, 0);
    EXPECT_EQ(lostWhenFitting, 0);
    EXPECT_EQ(objectSubjectLost, 0);
    EXPECT_GT(lostCentred, lostSubject);
}

} // namespace
} // namespace mosaiq
