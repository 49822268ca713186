// mosaiq-cli import-pack PACK.irs: imports a resource pack into the data directory.
#include "cli/CliCommand.h"

#include "core/DisplayText.h"
#include "library/PackImport.h"
#include "library/ResourcePack.h"

namespace mosaiq::cli {
namespace {

int RunImportPack(const QStringList& args) {
    if (args.size() != 1 || args.front().startsWith(QLatin1String("--"))) {
        PrintError(QStringLiteral("usage: import-pack PACK.irs"));
        return kExitUsage;
    }
    const QString& path = args.front();
    const PackImportResult result = ImportResourcePack(path);
    if (!result.Ok()) {
        // The one input was refused: "Already in the library.", a damaged pack, a failed write.
        PrintError(result.Message(path));
        return kExitFailed;
    }
    PrintLine(QStringLiteral("imported %1 %2 from %3 into %4")
                  .arg(result.count)
                  .arg(PackKindName(PackKind(result.type)), EscapedForLine(path),
                       PackThumbnailLibrary(result.type)));
    return kExitOk;
}

const CliCommandRegistration kRegistration{
    {QStringLiteral("import-pack"), QStringLiteral("PACK.irs"), false, &RunImportPack}};

} // namespace
} // namespace mosaiq::cli
