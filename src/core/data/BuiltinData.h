#pragma once

#include <QString>
#include <QStringList>

namespace mosaiq {

// Resource ids of the built-in data files, as the executable has always numbered them.
constexpr int kIdrEngLang = 229;     // type "IDR_ENG_LANG": "lang.mfd"
constexpr int kIdrMaskFull = 275;    // type "IDR_MASK_RES": "mask.cfg"
constexpr int kIdrMaskThumbs = 274;  // type "IDR_MASK_RES": "tbmask.cfg"

// The Qt resource path holding resource (id, typeName), or an empty string when there is none.
QString BuiltinResourcePath(int resourceId, const QString& typeName);

// Copies the built-in resource (id, typeName) to path byte for byte (creating or replacing the
// file; the old file survives a failed write). False when the resource is unknown or the file
// cannot be written.
bool ExtractResourceToFile(int resourceId, const QString& typeName, const QString& path);

// What the start-up write-out did, file by file.
struct WriteOutReport {
    QStringList written;  // files written (names inside the data directory)
    QStringList kept;     // files left as they were because they already existed
    QStringList failed;   // files that could not be written
};

// Writes the built-in data files into dataDir (ending in '/') as the editor does at every start:
// "lang.mfd" always; "mask.cfg" and "tbmask.cfg" only when "mask.cfg" is missing; each starter
// library only when that file is missing. A user's own files are never overwritten otherwise.
WriteOutReport WriteBuiltinDataFiles(const QString& dataDir);

// Loads the UI text table from dataDir + "lang.mfd" and hands it to the application.
void LoadUiTexts(const QString& dataDir);

} // namespace mosaiq
