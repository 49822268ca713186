#pragma once

// Replacing several library files as one change: either every file gets its new content or every
// file keeps its old content.

#include <QByteArray>
#include <QString>

#include <vector>

namespace mosaiq {

struct FileReplacement {
    QString path;
    QByteArray bytes; // the file's whole new content
};

// Writes every new file aside (flushed), then replaces the targets one by one, keeping each old
// file as a backup; when any step fails the backups are put back (and files that did not exist
// before are removed), so the set is as it was. Returns false with a one-line reason then. The
// files written aside and the backups have unique names of their own (".NAME.mosaiq-new.XXXXXX",
// ".NAME.mosaiq-old.XXXXXX") and are the only files it removes. A target that is a folder, pipe,
// device or socket refuses the whole set before anything is written; a link to a regular file is
// followed (the link stays).
bool ReplaceFilesTogether(const std::vector<FileReplacement>& files, QString* error = nullptr);

} // namespace mosaiq
