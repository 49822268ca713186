#pragma once

// Telling the user why a path cannot be made: a part of it that should be a folder is a file
// ("photos/list.txt/out.png").

#include <QString>

namespace mosaiq {

// The first part of path, as written, before its last name that exists and is not a folder;
// empty when there is none.
QString FileInTheWay(const QString& path);

// "PART is a file, not a folder" for such a part of path; empty when there is none.
QString FileInTheWayText(const QString& path);

} // namespace mosaiq
