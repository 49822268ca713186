// mosaiq-cli render PROJECT.dcf OUT.ext [--scale F] [--dpi D] [--paper NAME]: load a project and
// export the collage. Without a size it is drawn at zoom 1, exactly as the editor's Save Collage
// does; with one it is rendered from the photos' own files at that size, with its resolution
// written, and OUT may be a PDF.
#include "cli/CliCommand.h"

#include "canvas/document/CollageDocument.h"
#include "canvas/output/CollageExport.h"
#include "canvas/document/PhotoRelink.h"
#include "canvas/project/ProjectFile.h"
#include "canvas/output/ScaledExport.h"
#include "imaging/files/PictureType.h"

#include <QDir>

#include <cmath>
#include <cstdio>

namespace mosaiq::cli {
namespace {

constexpr auto kUsage = "usage: render PROJECT.dcf OUT.ext [--scale F] [--dpi D] [--paper NAME]";

struct RenderArgs {
    QStringList files;
    ExportSettings settings;
    bool scaleGiven = false;
    bool sizeAsked = false; // any of --scale, --dpi, --paper
};

// Parses the options; an empty string on success, else the one line to print.
QString ParseRenderArgs(const QStringList& args, RenderArgs& out) {
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args.at(i);
        if (a == QLatin1String("--scale") || a == QLatin1String("--dpi") ||
            a == QLatin1String("--paper")) {
            if (i + 1 >= args.size())
                return QStringLiteral("%1 needs a value").arg(a);
            const QString value = args.at(++i);
            out.sizeAsked = true;
            bool ok = false;
            if (a == QLatin1String("--scale")) {
                out.settings.scale = value.toDouble(&ok);
                out.scaleGiven = true;
                if (!ok || !std::isfinite(out.settings.scale))
                    return QStringLiteral("--scale takes a number, not \"%1\"").arg(value);
            } else if (a == QLatin1String("--dpi")) {
                out.settings.dpi = value.toInt(&ok);
                if (!ok || out.settings.dpi < kMinExportDpi || out.settings.dpi > kMaxExportDpi)
                    return QStringLiteral("--dpi takes a whole number from %1 to %2, not \"%3\"")
                        .arg(kMinExportDpi)
                        .arg(kMaxExportDpi)
                        .arg(value);
            } else {
                out.settings.paper = PaperByName(value);
                if (!out.settings.paper)
                    return QStringLiteral("unknown paper \"%1\" (%2)").arg(value, PaperNames());
            }
        } else if (a.startsWith(QLatin1String("--"))) {
            return QStringLiteral("unknown option %1").arg(a);
        } else {
            out.files << a;
        }
    }
    if (out.scaleGiven && out.settings.paper)
        return QStringLiteral("--scale and --paper cannot be used together");
    return {};
}

int RunRender(const QStringList& args) {
    RenderArgs parsed;
    const QString wrong = ParseRenderArgs(args, parsed);
    if (!wrong.isEmpty() || parsed.files.size() != 2) {
        PrintError(wrong.isEmpty() ? QString::fromLatin1(kUsage) : wrong);
        return kExitUsage;
    }
    const QString& out = parsed.files[1];
    const QString extension = PictureExtension(out).toLower();
    const bool pdf = extension == QLatin1String("pdf");
    // Said before the project is read: a wrong output name costs nothing.
    if (!pdf && PictureTypeFromExtension(extension) == kPictureUnknown) {
        PrintError(QStringLiteral("%1: unknown picture extension (use jpg, jpeg, bmp, gif, png, "
                                  "pcx, pnm, tif, tiff or pdf)")
                       .arg(QDir::toNativeSeparators(out)));
        return kExitFailed;
    }
    if (parsed.scaleGiven &&
        !(parsed.settings.scale >= kMinExportScale && parsed.settings.scale <= kMaxExportScale)) {
        PrintError(QStringLiteral("--scale takes a number from %1 to %2, not %3")
                       .arg(kMinExportScale)
                       .arg(kMaxExportScale)
                       .arg(parsed.settings.scale));
        return kExitUsage;
    }
    CollageDocument doc;
    // The carried masks stay in memory: rendering changes nothing in the data directory.
    const ProjectResult loaded =
        LoadProject(doc, parsed.files[0], QString(), CarriedMaskUse::KeepInMemory);
    if (!loaded.ok) {
        PrintError(QStringLiteral("%1: %2").arg(parsed.files[0], loaded.error));
        return kExitFailed;
    }
    if (!loaded.notice.isEmpty())
        PrintError(loaded.notice);
    // Today's export unless a size, a resolution or a page is asked for (--scale 1 alone is
    // today's export too).
    const bool scaled = pdf || parsed.settings.dpi > 0 || parsed.settings.paper ||
                        (parsed.scaleGiven && parsed.settings.scale != 1.0);
    if (scaled) {
        const QString refused = CheckExportSettings(doc, parsed.settings, extension);
        if (!refused.isEmpty()) {
            PrintError(refused);
            return kExitFailed;
        }
    }
    // A photo whose file is gone is left out of the picture; the project itself is rendered.
    for (const MissingPhoto& photo : FindMissingPhotos(doc))
        PrintError(QStringLiteral("photo not found, left out: %1")
                       .arg(QDir::toNativeSeparators(photo.path)));
    if (!scaled) {
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
    for (const EnlargedPhoto& photo : EnlargedPhotos(doc, parsed.settings))
        PrintError(EnlargedPhotoLine(photo));
    const bool showProgress = ErrorStreamIsTerminal();
    const ScaledExportResult exported =
        ExportCollageScaled(doc, out, parsed.settings, [showProgress](int done, int total) {
            if (showProgress)
                std::fprintf(ErrorStream(), "\r%d%% ", int(std::int64_t(done) * 100 / total));
            return true;
        });
    if (showProgress)
        std::fprintf(ErrorStream(), "\r");
    if (!exported.ok) {
        PrintError(exported.error);
        return kExitFailed;
    }
    PrintLine(QStringLiteral("wrote %1 (%2 x %3 at %4 dpi)")
                  .arg(QDir::toNativeSeparators(out))
                  .arg(exported.pixels.width())
                  .arg(exported.pixels.height())
                  .arg(ExportDpi(parsed.settings)));
    return kExitOk;
}

const CliCommandRegistration kRegistration{
    {QStringLiteral("render"),
     QStringLiteral("PROJECT.dcf OUT.ext [--scale F] [--dpi D] [--paper NAME]"), true, &RunRender}};

} // namespace
} // namespace mosaiq::cli
