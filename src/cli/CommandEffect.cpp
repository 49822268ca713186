// mosaiq-cli effect NAME IN OUT: one photo effect on a picture file, the result written by the
// output's extension (transparency kept where the format holds it).
#include "cli/CliCommand.h"

#include "imaging/files/DecodeBudget.h"
#include "imaging/magick/ImageLibrary.h"
#include "imaging/magick/PhotoEffect.h"
#include "imaging/decode/PictureDecoder.h"
#include "imaging/files/PictureType.h"

#include <QDir>

namespace mosaiq::cli {
namespace {

QString EffectNames() {
    QStringList names;
    for (const PhotoEffectInfo& info : PhotoEffects())
        names << QLatin1String(info.name);
    return names.join(QLatin1Char(' '));
}

int RunEffect(const QStringList& args) {
    if (args.size() != 3) {
        PrintError(QStringLiteral("usage: effect NAME IN OUT (NAME: %1)").arg(EffectNames()));
        return kExitUsage;
    }
    const std::optional<PhotoEffect> effect = PhotoEffectFromName(args[0]);
    if (!effect) {
        PrintError(QStringLiteral("unknown effect \"%1\" (%2)").arg(args[0], EffectNames()));
        return kExitUsage;
    }
    const QString in = args[1], out = args[2];
    const int type = PictureTypeFromExtension(PictureExtension(out));
    if (type == kPictureUnknown) {
        PrintError(
            QStringLiteral("%1: unknown picture extension").arg(QDir::toNativeSeparators(out)));
        return kExitFailed;
    }
    QString refused;
    if (!PictureFileWithinBudget(in, kEffectBudget, &refused)) {
        PrintError(QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(in), refused));
        return kExitFailed;
    }
    const DecodedPicture decoded = DecodePicture(in);
    if (!decoded.Ok()) {
        PrintError(QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(in), decoded.error));
        return kExitFailed;
    }
    LibraryImage picture = LibraryImage::FromImage(decoded.image, type);
    if (!ApplyPhotoEffect(picture, *effect)) {
        PrintError(QStringLiteral("%1: the effect could not be applied")
                       .arg(QDir::toNativeSeparators(in)));
        return kExitFailed;
    }
    if (!picture.Save(out, type)) {
        PrintError(
            QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(out), picture.ErrorString()));
        return kExitFailed;
    }
    PrintLine(QStringLiteral("wrote %1 (%2 x %3)")
                  .arg(QDir::toNativeSeparators(out))
                  .arg(picture.GetWidth())
                  .arg(picture.GetHeight()));
    return kExitOk;
}

const CliCommandRegistration kRegistration{
    {QStringLiteral("effect"), QStringLiteral("NAME IN OUT"), false, &RunEffect}};

} // namespace
} // namespace mosaiq::cli
