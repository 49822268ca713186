#pragma once

// Photos whose picture files are gone (a moved folder, a project from another machine) and
// linking them again to files of the same name found in a folder.

#include <QString>
#include <QStringList>

#include <utility>
#include <vector>

namespace mosaiq {

class CollageDocument;

struct MissingPhoto {
    int index = -1; // position in the document's object list
    QString path;   // the path the record holds
};

// Every photo whose path names no existing file, bottom to top.
std::vector<MissingPhoto> FindMissingPhotos(const CollageDocument& document);

// The file name at the end of a stored path, whichever separator ('/' or '\') it was written
// with.
QString StoredFileName(const QString& path);

struct RelinkResult {
    int relinked = 0;
    QStringList notFound; // stored paths whose file name is not in the folder
    std::vector<std::pair<QString, QString>> moved; // each stored path relinked and its new path
};

// Looks for each missing photo's file name in folder and its subfolders (exact name first, then
// the same name in another letter case) and points the photo at the file found. All photos
// relinked are one change (one snapshot, one undo step); the others stay as they are.
RelinkResult RelinkMissingPhotos(CollageDocument& document, const QString& folder);

} // namespace mosaiq
