// mosaiq-cli init: the start-up write-out of the built-in data files.
#include "cli/CliCommand.h"

#include "core/data/BuiltinData.h"
#include "core/data/DataPath.h"
#include "core/files/FileInTheWay.h"
#include "library/packs/StarterLibraries.h"

namespace mosaiq::cli {
namespace {

int RunInit(const QStringList& args) {
    if (!args.isEmpty()) {
        PrintError(QStringLiteral("init takes no arguments"));
        return kExitUsage;
    }
    const QString dir = DataPath();
    WriteOutReport report = WriteBuiltinDataFiles(dir);
    WriteStarterLibraries(dir, report);
    for (const QString& f : report.written)
        PrintLine(QStringLiteral("wrote %1%2").arg(dir, f));
    for (const QString& f : report.kept)
        PrintLine(QStringLiteral("kept %1%2 (already present)").arg(dir, f));
    if (!report.failed.isEmpty()) {
        const QString inTheWay = FileInTheWayText(dir + report.failed.front());
        PrintError(QStringLiteral("could not write %1 in %2%3")
                       .arg(report.failed.join(QStringLiteral(", ")), dir,
                            inTheWay.isEmpty() ? QString() : QStringLiteral(": ") + inTheWay));
        return kExitFailed;
    }
    return kExitOk;
}

const CliCommandRegistration kRegistration{{QStringLiteral("init"), QString(), false, &RunInit}};

} // namespace
} // namespace mosaiq::cli
