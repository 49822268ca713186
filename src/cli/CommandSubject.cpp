// mosaiq-cli subject PHOTO...: what each photo shows, one JSON line per photo: its upright size,
// the faces found and the subject box a fill crop keeps (from the subject cache, or found now and
// cached). For scripts and tests.
#include "cli/CliCommand.h"

#include "imaging/subject/SubjectCache.h"
#include "imaging/subject/SubjectFinder.h"

#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <cmath>

namespace mosaiq::cli {
namespace {

const QString kUsage = QStringLiteral("PHOTO...");

QJsonArray RectJson(const QRectF& r) {
    return QJsonArray{int(std::lround(r.x())), int(std::lround(r.y())),
                      int(std::lround(r.width())), int(std::lround(r.height()))};
}

int RunSubject(const QStringList& args) {
    QStringList photos;
    bool optionsEnded = false;
    for (const QString& a : args) {
        if (!optionsEnded && a == QLatin1String("--")) {
            optionsEnded = true;
        } else if (!optionsEnded && a.startsWith(QLatin1String("--"))) {
            PrintError(QStringLiteral("unknown option %1").arg(a));
            return kExitUsage;
        } else {
            photos << a;
        }
    }
    if (photos.isEmpty()) {
        PrintError(QStringLiteral("usage: subject %1").arg(kUsage));
        return kExitUsage;
    }
    if (!SubjectDetectorsAvailable())
        PrintError(QStringLiteral("the face detectors are not installed in %1 (Debian package "
                                  "opencv-data): no subjects are found, crops stay centred")
                       .arg(SubjectDetectorFolder()));
    int failed = 0;
    for (const QString& path : photos) {
        if (const std::optional<QString> name = UnusableName(path)) {
            PrintError(QStringLiteral("skipped %1: %2").arg(*name, UnusableNameReason()));
            ++failed;
            continue;
        }
        if (!QFileInfo(path).isFile()) {
            PrintError(QStringLiteral("%1: no such file").arg(path));
            ++failed;
            continue;
        }
        const std::optional<PictureSubject> subject =
            LookUpSubject(path, true, SubjectLookup::Find);
        if (!subject) {
            // The reason: an unreadable picture, or no detectors (already said above).
            QString reason;
            if (SubjectDetectorsAvailable()) {
                FindSubjectOfFile(path, nullptr, &reason);
                PrintError(QStringLiteral("%1: %2").arg(path, reason.isEmpty()
                                                                  ? QStringLiteral("no subject")
                                                                  : reason));
            }
            ++failed;
            continue;
        }
        QJsonArray faces;
        for (const QRectF& f : subject->faces)
            faces.append(RectJson(f));
        const QJsonObject line{
            {"path", path},
            {"width", subject->picture.width()},
            {"height", subject->picture.height()},
            {"faces", faces},
            {"subject", RectJson(subject->box)},
        };
        PrintLine(QString::fromUtf8(QJsonDocument(line).toJson(QJsonDocument::Compact)));
    }
    FlushSubjectCache();
    return failed == 0 ? kExitOk : kExitFailed;
}

const CliCommandRegistration kRegistration{
    {QStringLiteral("subject"), kUsage, false, &RunSubject, true}};

} // namespace
} // namespace mosaiq::cli
