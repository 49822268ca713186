#include "imaging/files/PictureType.h"

#include <QFileInfo>

#include <array>

namespace mosaiq {

namespace {

struct ExtensionCode {
    const char* extension;
    int code;
};

// Tried in this order; the comparison is exact on the lower-cased extension.
constexpr std::array<ExtensionCode, 27> kExtensionTable{{
    {"bmp", kPictureBmp},      {"jpg", kPictureJpeg},  {"jpeg", kPictureJpeg},
    {"gif", kPictureGif},      {"png", kPicturePng},   {"ico", kPictureIco},
    {"tiff", kPictureTiff},    {"tif", kPictureTiff},  {"tga", kPictureTga},
    {"pcx", kPicturePcx},      {"wbmp", kPictureWbmp}, {"wmf", kPictureMetafile},
    {"emf", kPictureMetafile}, {"jp2", kPictureJp2},   {"j2k", kPictureJp2},
    {"jpc", kPictureJpc},      {"j2c", kPictureJpc},   {"pgx", kPicturePgx},
    {"ras", kPictureRas},      {"pnm", kPicturePnm},   {"pgm", kPicturePnm},
    {"ppm", kPicturePnm},      {"webp", kPictureWebp}, {"heic", kPictureHeif},
    {"heif", kPictureHeif},    {"hif", kPictureHeif},  {"avif", kPictureAvif},
}};

} // namespace

int PictureTypeFromExtension(const QString& extension) {
    const QString lower = extension.toLower();
    for (const ExtensionCode& e : kExtensionTable)
        if (lower == QLatin1String(e.extension))
            return e.code;
    return kPictureUnknown;
}

QString PictureExtension(const QString& path) {
    const QString name = QFileInfo(path).fileName();
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    if (dot < 0)
        return QString();
    return name.mid(dot + 1);
}

} // namespace mosaiq
