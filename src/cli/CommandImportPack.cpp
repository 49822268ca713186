// mosaiq-cli import-pack PACK.irs: imports a resource pack into the data directory.
#include "cli/CliCommand.h"
#include "cli/PackText.h"

#include "core/text/DisplayText.h"
#include "library/packs/PackImport.h"
#include "library/packs/ResourcePack.h"

#include <QFileInfo>

namespace mosaiq::cli {
namespace {

int RunImportPack(const QStringList& args) {
    if (args.size() != 1 || args.front().startsWith(QLatin1String("--"))) {
        PrintError(QStringLiteral("usage: import-pack PACK.irs"));
        return kExitUsage;
    }
    const QString& path = args.front();
    const PackImportResult result = ImportResourcePack(path);
    const QString name = EscapedForLine(QFileInfo(path).fileName());
    if (result.status == PackImportStatus::AlreadyImported) {
        // Packs are known by file name: the one input was refused.
        PrintError(QStringLiteral("%1 is already in the library.").arg(name));
        return kExitFailed;
    }
    if (!result.Ok()) {
        // A damaged pack or a failed write: the one input was refused.
        PrintError(result.Message(path));
        return kExitFailed;
    }
    // Named as the user knows them, not by the library files that hold them; decorations show
    // in the Imported family of the decorations panel.
    QString line = QStringLiteral("imported %1 from %2")
                       .arg(PackItemCountText(PackKind(result.type), result.count), name);
    if (PackKind(result.type) == PackKind::Decorations)
        line += QStringLiteral(" (the Imported decoration family)");
    PrintLine(line);
    return kExitOk;
}

const CliCommandRegistration kRegistration{
    {QStringLiteral("import-pack"), QStringLiteral("PACK.irs"), false, &RunImportPack}};

} // namespace
} // namespace mosaiq::cli
