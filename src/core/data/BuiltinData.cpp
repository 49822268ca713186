#include "core/data/BuiltinData.h"

#include "core/files/AtomicFile.h"
#include "core/text/UiText.h"

#include <QFile>
#include <QFileInfo>
#include <QStringList>

namespace mosaiq {
namespace {

struct ResourceEntry {
    int id;
    const char* typeName;
    const char* qrcPath;
};

constexpr ResourceEntry kResources[] = {
    {kIdrEngLang, "IDR_ENG_LANG", ":/data/lang.mfd"},
    {kIdrMaskFull, "IDR_MASK_RES", ":/data/mask.cfg"},
    {kIdrMaskThumbs, "IDR_MASK_RES", ":/data/tbmask.cfg"},
};

void Record(WriteOutReport& report, const QString& name, bool ok) {
    (ok ? report.written : report.failed).append(name);
}

} // namespace

QString BuiltinResourcePath(int resourceId, const QString& typeName) {
    for (const ResourceEntry& e : kResources) {
        if (e.id == resourceId && typeName == QLatin1String(e.typeName))
            return QString::fromLatin1(e.qrcPath);
    }
    return {};
}

bool ExtractResourceToFile(int resourceId, const QString& typeName, const QString& path) {
    const QString source = BuiltinResourcePath(resourceId, typeName);
    if (source.isEmpty())
        return false;
    QFile resource(source);
    if (!resource.open(QIODevice::ReadOnly))
        return false;
    return WriteFileAtomically(path, resource.readAll());
}

WriteOutReport WriteBuiltinDataFiles(const QString& dataDir) {
    WriteOutReport report;
    // The text table is replaced at every start so that it always matches the program.
    Record(report, QStringLiteral("lang.mfd"),
           ExtractResourceToFile(kIdrEngLang, QStringLiteral("IDR_ENG_LANG"),
                                 dataDir + QStringLiteral("lang.mfd")));

    // The mask library pair is restored together, and only when the full file is gone.
    if (QFileInfo::exists(dataDir + QStringLiteral("mask.cfg"))) {
        report.kept << QStringLiteral("mask.cfg");
    } else {
        Record(report, QStringLiteral("mask.cfg"),
               ExtractResourceToFile(kIdrMaskFull, QStringLiteral("IDR_MASK_RES"),
                                     dataDir + QStringLiteral("mask.cfg")));
        Record(report, QStringLiteral("tbmask.cfg"),
               ExtractResourceToFile(kIdrMaskThumbs, QStringLiteral("IDR_MASK_RES"),
                                     dataDir + QStringLiteral("tbmask.cfg")));
    }
    return report;
}

void LoadUiTexts(const QString& dataDir) {
    SetUiTextTable(LoadUiTextTable(dataDir + QStringLiteral("lang.mfd")));
}

} // namespace mosaiq
