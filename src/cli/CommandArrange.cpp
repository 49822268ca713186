// mosaiq-cli arrange: a new project with the named photos laid out automatically, or the photos
// of a project laid out again (--in). Photo sizes come from the picture headers; nothing is
// decoded in full.
#include "cli/CliCommand.h"

#include "canvas/document/CollageDocument.h"
#include "canvas/layout/LivingLayout.h"
#include "canvas/layout/PhotoArrange.h"
#include "canvas/project/ProjectFile.h"
#include "imaging/CollageSettings.h"
#include "imaging/decode/PictureDecoder.h"

#include <QColor>
#include <QDir>
#include <QFileInfo>

#include <optional>

namespace mosaiq::cli {
namespace {

const QString kUsage = QStringLiteral(
    "[--layout rows|grid|tree] [--size WxH] [--spacing N] [--margin N] [--fill] "
    "[--corner-radius N] [--centre] [--background #RRGGBB|NAME] [--seed N] OUT.dcf PHOTO... | "
    "[options] --in IN.dcf OUT.dcf");

struct ArrangeArgs {
    ArrangeOptions options;
    std::optional<QSize> size;
    std::optional<Colorref> background;
    bool marginGiven = false;
    QString in;
    QStringList positional;
};

// Parses the arguments; an empty error means they are usable.
QString ParseArrangeArgs(const QStringList& args, ArrangeArgs* out) {
    bool optionsEnded = false; // after "--" every argument is a name
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        if (!optionsEnded && a == QLatin1String("--")) {
            optionsEnded = true;
            continue;
        }
        if (optionsEnded || !a.startsWith(QLatin1String("--"))) {
            out->positional.push_back(a);
            continue;
        }
        if (a == QLatin1String("--fill")) {
            out->options.fill = true;
            continue;
        }
        if (a == QLatin1String("--centre")) {
            out->options.centre = true;
            continue;
        }
        if (i + 1 >= args.size())
            return QStringLiteral("%1 needs a value").arg(a);
        const QString value = args[++i];
        bool ok = false;
        if (a == QLatin1String("--layout")) {
            if (!LayoutFamilyFromName(value, &out->options.family))
                return QStringLiteral("unknown layout '%1' (use rows, grid or tree)").arg(value);
        } else if (a == QLatin1String("--size")) {
            const QStringList parts = value.toLower().split(QLatin1Char('x'));
            const int w = parts.size() == 2 ? parts[0].toInt(&ok) : 0;
            const int h = ok ? parts[1].toInt(&ok) : 0;
            if (!ok || w < kMinCanvasSide || h < kMinCanvasSide || w > kMaxCanvasSide ||
                h > kMaxCanvasSide)
                return QStringLiteral("--size wants WxH with sides %1 to %2")
                    .arg(kMinCanvasSide)
                    .arg(kMaxCanvasSide);
            out->size = QSize(4 * (w / 4), 4 * (h / 4));
        } else if (a == QLatin1String("--spacing") || a == QLatin1String("--margin")) {
            const int n = value.toInt(&ok);
            if (!ok || n < 0 || n > kMaxCanvasSide)
                return QStringLiteral("%1 wants a number of pixels from 0 to %2")
                    .arg(a)
                    .arg(kMaxCanvasSide);
            if (a == QLatin1String("--spacing")) {
                out->options.spacing = n;
            } else {
                out->options.margin = n;
                out->marginGiven = true;
            }
        } else if (a == QLatin1String("--corner-radius")) {
            const int n = value.toInt(&ok);
            if (!ok || n < 0 || n > kMaxCanvasSide)
                return QStringLiteral("--corner-radius wants a number of pixels from 0 to %1")
                    .arg(kMaxCanvasSide);
            out->options.cornerRadius = n;
        } else if (a == QLatin1String("--background")) {
            // #RRGGBB or a colour name as SVG names them ("white", "navy").
            const QColor colour = QColor::fromString(value);
            if (!colour.isValid())
                return QStringLiteral("unknown colour '%1' (use #RRGGBB or a name)").arg(value);
            out->background = MakeColorref(colour.red(), colour.green(), colour.blue());
        } else if (a == QLatin1String("--seed")) {
            out->options.seed = value.toULongLong(&ok);
            if (!ok)
                return QStringLiteral("--seed wants a whole number");
        } else if (a == QLatin1String("--in")) {
            out->in = value;
        } else {
            return QStringLiteral("unknown option %1").arg(a);
        }
    }
    if (!out->marginGiven)
        out->options.margin = out->options.spacing;
    if (out->positional.isEmpty())
        return QStringLiteral("no output project named");
    if (!out->in.isEmpty() && out->positional.size() != 1)
        return QStringLiteral("with --in, only the output project is named");
    if (out->in.isEmpty() && out->positional.size() < 2)
        return QStringLiteral("no photos named");
    return {};
}

// The picture's size as a photo shows it, read from its header only. This is where the
// orientation tag turns the stored size into the upright one.
bool PhotoPictureSize(const QString& path, QSize* size, QString* reason) {
    return ReadPictureSize(path, size, reason);
}

bool SamePath(const QString& a, const QString& b) {
    const QFileInfo fa(a);
    const QFileInfo fb(b);
    if (fa.exists() && fb.exists())
        return fa.canonicalFilePath() == fb.canonicalFilePath();
    return fa.absoluteFilePath() == fb.absoluteFilePath();
}

int RunArrange(const QStringList& args) {
    ArrangeArgs parsed;
    const QString usageError = ParseArrangeArgs(args, &parsed);
    if (!usageError.isEmpty()) {
        PrintError(QStringLiteral("arrange: %1").arg(usageError));
        PrintError(QStringLiteral("usage: arrange %1").arg(kUsage));
        return kExitUsage;
    }
    const QString out = parsed.positional.front();
    if (!out.endsWith(QLatin1String(".dcf"), Qt::CaseInsensitive)) {
        PrintError(QStringLiteral("%1: the output must be a .dcf project")
                       .arg(QDir::toNativeSeparators(out)));
        return kExitFailed;
    }
    CollageDocument doc;
    int status = kExitOk;
    std::vector<int> photos;
    if (!parsed.in.isEmpty()) {
        const ProjectResult loaded =
            LoadProject(doc, parsed.in, QString(), CarriedMaskUse::KeepInMemory);
        if (!loaded.ok) {
            PrintError(QStringLiteral("%1: %2").arg(parsed.in, loaded.error));
            return kExitFailed;
        }
        for (std::size_t i = 0; i < doc.objects.size(); ++i)
            if (doc.objects[i].Photo())
                photos.push_back(int(i));
        // Laid out again: each photo keeps its pan where its new cell allows.
        parsed.options.keepPan = !parsed.options.centre;
    } else {
        const QSize size = parsed.size.value_or(QSize(1600, 1200));
        doc.width = size.width();
        doc.height = size.height();
        for (const QString& path : parsed.positional.mid(1)) {
            if (SamePath(path, out)) {
                PrintError(QStringLiteral("%1: left out, it is the output")
                               .arg(QDir::toNativeSeparators(path)));
                status = kExitFailed;
                continue;
            }
            QSize picture;
            QString reason;
            if (!PhotoPictureSize(path, &picture, &reason) ||
                !doc.AddPhoto(QFileInfo(path).absoluteFilePath(), picture.width(), picture.height(),
                              0, 0)) {
                PrintError(QStringLiteral("%1: left out: %2")
                               .arg(QDir::toNativeSeparators(path),
                                    reason.isEmpty() ? QStringLiteral("cannot be read") : reason));
                status = kExitFailed;
                continue;
            }
            photos.push_back(int(doc.objects.size()) - 1);
        }
    }
    if (parsed.size)
        doc.SetCanvasSize(parsed.size->width(), parsed.size->height());
    if (parsed.background)
        doc.backgroundColour = *parsed.background;
    if (photos.empty()) {
        PrintError(QStringLiteral("no photos to arrange"));
        return kExitFailed;
    }
    const LayoutResult layout = ArrangePhotos(doc, photos, parsed.options);
    if (!layout.ok) {
        PrintError(layout.error);
        return kExitFailed;
    }
    const ProjectResult saved = SaveProject(doc, out);
    if (!saved.ok) {
        PrintError(saved.error);
        return kExitFailed;
    }
    PrintLine(QStringLiteral("saved %1: %2 photos, %3 layout, %4 x %5, %6 % covered")
                  .arg(QDir::toNativeSeparators(out))
                  .arg(photos.size())
                  .arg(LayoutFamilyName(parsed.options.family))
                  .arg(doc.width)
                  .arg(doc.height)
                  .arg(qRound(DrawnLayoutCoverage(doc) * 100.0)));
    return status;
}

const CliCommandRegistration kRegistration{{QStringLiteral("arrange"), kUsage, false, &RunArrange}};

} // namespace
} // namespace mosaiq::cli
