// mosaiq-cli make-pack --type KIND [--window L,T,R,B] OUT.irs PICTURE...: builds a resource pack
// from pictures, so users can share their own frames, masks, cliparts, decorations and brushes.
#include "cli/CliCommand.h"
#include "cli/PackText.h"

#include "core/files/AtomicFile.h"
#include "core/files/RegularFile.h"
#include "imaging/files/DecodeBudget.h"
#include "imaging/decode/PictureDecoder.h"
#include "library/packs/ResourcePack.h"

#include <QFileInfo>

#include <cmath>

namespace mosaiq::cli {
namespace {

// "L,T,R,B" as fractions of the framed box: 0 <= L < R <= 1 and 0 <= T < B <= 1.
std::optional<FrameWindow> ParseWindow(const QString& text) {
    const QStringList parts = text.split(QLatin1Char(','));
    if (parts.size() != 4)
        return std::nullopt;
    float v[4];
    for (int i = 0; i < 4; ++i) {
        bool ok = false;
        v[i] = parts.at(i).trimmed().toFloat(&ok);
        if (!ok || !std::isfinite(v[i]) || v[i] < 0 || v[i] > 1)
            return std::nullopt;
    }
    if (v[0] >= v[2] || v[1] >= v[3])
        return std::nullopt;
    return FrameWindow{v[0], v[1], v[2], v[3]};
}

int Usage() {
    PrintError(QStringLiteral("usage: make-pack --type frames|masks|cliparts|decorations|brushes "
                              "[--window L,T,R,B] OUT.irs PICTURE..."));
    return kExitUsage;
}

// The pack is written only where nothing is, or over an earlier pack: never over a picture or
// any other file given by mistake, nor over a folder, pipe or device.
int RefuseOutput(const QString& out) {
    QString reason;
    const QString target = ReplaceableTarget(out, &reason);
    if (target.isEmpty()) {
        PrintError(reason);
        return kExitFailed;
    }
    if (QFileInfo::exists(target) && !ReadResourcePack(target, &reason)) {
        PrintError(QStringLiteral("%1 exists and is not a resource pack (%2); it is not replaced")
                       .arg(out, reason));
        return kExitFailed;
    }
    return kExitOk;
}

int RunMakePack(const QStringList& args) {
    int kind = -1;
    FrameWindow window{0.1f, 0.1f, 0.9f, 0.9f};
    bool windowGiven = false;
    QStringList rest;
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args.at(i);
        if (a == QLatin1String("--type") && i + 1 < args.size()) {
            kind = PackKindFromName(args.at(++i));
            if (kind < 0)
                return Usage();
        } else if (a == QLatin1String("--window") && i + 1 < args.size()) {
            const std::optional<FrameWindow> w = ParseWindow(args.at(++i));
            if (!w) {
                PrintError(QStringLiteral("the window must be four fractions L,T,R,B with "
                                          "0 <= L < R <= 1 and 0 <= T < B <= 1"));
                return kExitUsage;
            }
            window = *w;
            windowGiven = true;
        } else if (a.startsWith(QLatin1String("--"))) {
            return Usage();
        } else {
            rest << a;
        }
    }
    if (kind < 0 || rest.size() < 2)
        return Usage();
    if (windowGiven && kind != int(PackKind::Frames)) {
        PrintError(QStringLiteral("--window applies to frame packs only"));
        return kExitUsage;
    }
    const QString out = rest.takeFirst();
    if (!out.endsWith(QLatin1String(".irs"), Qt::CaseInsensitive)) {
        PrintError(QStringLiteral("the pack to write must end in .irs: %1").arg(out));
        return kExitUsage;
    }
    if (const int refused = RefuseOutput(out); refused != kExitOk)
        return refused;
    ResourcePack pack;
    pack.type = kind;
    for (const QString& path : rest) {
        QString refused;
        if (!PictureFileWithinBudget(path, kPackItemBudget, &refused)) {
            PrintError(QStringLiteral("cannot use %1: %2; no pack written").arg(path, refused));
            return kExitFailed;
        }
        const DecodedPicture picture = DecodePictureStraight(path);
        if (!picture.Ok()) {
            PrintError(
                QStringLiteral("cannot read %1: %2; no pack written").arg(path, picture.error));
            return kExitFailed;
        }
        std::optional<PackItem> item = MakePackItem(PackKind(kind), picture.image, window);
        if (!item) {
            PrintError(QStringLiteral("cannot encode %1; no pack written").arg(path));
            return kExitFailed;
        }
        pack.items.push_back(std::move(*item));
    }
    const QByteArray bytes = EncodeResourcePack(pack);
    if (bytes.size() > kMaxPackBytes) {
        PrintError(QStringLiteral("the pack would be larger than %1 bytes; no pack written")
                       .arg(kMaxPackBytes));
        return kExitFailed;
    }
    QString error;
    if (!WriteFileAtomically(out, bytes, &error)) {
        PrintError(error);
        return kExitFailed;
    }
    PrintLine(QStringLiteral("wrote %1 with %2")
                  .arg(out, PackItemCountText(PackKind(kind), qsizetype(pack.items.size()))));
    return kExitOk;
}

const CliCommandRegistration kRegistration{
    {QStringLiteral("make-pack"),
     QStringLiteral("--type frames|masks|cliparts|decorations|brushes [--window L,T,R,B] OUT.irs "
                    "PICTURE..."),
     false, &RunMakePack}};

} // namespace
} // namespace mosaiq::cli
