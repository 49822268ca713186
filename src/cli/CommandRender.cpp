// mosaiq-cli render PROJECT.dcf OUT.ext: load a project and export the collage at zoom 1, the
// picture format chosen by the output's extension.
#include "cli/CliCommand.h"

#include "canvas/CollageDocument.h"
#include "canvas/CollageExport.h"
#include "canvas/PhotoRelink.h"
#include "canvas/ProjectFile.h"
#include "imaging/PictureType.h"

#include <QDir>

namespace mosaiq::cli {
namespace {

int RunRender(const QStringList& args) {
    if (args.size() != 2) {
        PrintError(QStringLiteral("usage: render PROJECT.dcf OUT.ext"));
        return kExitUsage;
    }
    const QString& out = args[1];
    // Said before the project is read: a wrong output name costs nothing.
    if (PictureTypeFromExtension(PictureExtension(out)) == kPictureUnknown) {
        PrintError(QStringLiteral("%1: unknown picture extension (use jpg, jpeg, bmp, gif, png, "
                                  "pcx, pnm, tif or tiff)")
                       .arg(QDir::toNativeSeparators(out)));
        return kExitFailed;
    }
    CollageDocument doc;
    // The carried masks stay in memory: rendering changes nothing in the data directory.
    const ProjectResult loaded = LoadProject(doc, args[0], QString(), CarriedMaskUse::KeepInMemory);
    if (!loaded.ok) {
        PrintError(QStringLiteral("%1: %2").arg(args[0], loaded.error));
        return kExitFailed;
    }
    if (!loaded.notice.isEmpty())
        PrintError(loaded.notice);
    // A photo whose file is gone is left out of the picture; the project itself is rendered.
    for (const MissingPhoto& photo : FindMissingPhotos(doc))
        PrintError(QStringLiteral("photo not found, left out: %1")
                       .arg(QDir::toNativeSeparators(photo.path)));
    const ExportResult exported = ExportCollage(doc, out);
    if (!exported.ok) {
        PrintError(exported.error);
        return kExitFailed;
    }
    PrintLine(QStringLiteral("wrote %1 (%2 x %3)")
                  .arg(QDir::toNativeSeparators(out))
                  .arg(doc.width)
                  .arg(doc.height));
    return kExitOk;
}

const CliCommandRegistration kRegistration{
    {QStringLiteral("render"), QStringLiteral("PROJECT.dcf OUT.ext"), true, &RunRender}};

} // namespace
} // namespace mosaiq::cli
