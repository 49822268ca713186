#pragma once

// Opening files for reading only when they are regular files. A pipe blocks in open() until a
// writer comes, a device such as /dev/zero never ends, and a folder has no bytes: none of them is
// a file this program can read, whatever name or link leads to it.

#include <QString>

class QFile;

namespace mosaiq {

enum class OpenFailure {
    None,       // opened
    Missing,    // nothing by that name (or a dangling link)
    NotRegular, // a pipe, a device, a socket or a folder
    Unreadable, // exists but cannot be opened (permissions, I/O error, a bad name)
};

// Opens path read-only into file when it is a regular file (links are followed). The open never
// blocks, even on a pipe. On failure file stays closed and reason (when given) holds one line that
// names the path and the problem.
OpenFailure OpenRegularFile(QFile& file, const QString& path, QString* reason = nullptr);

// True when path names a regular file (links followed); nothing is opened.
bool IsRegularFile(const QString& path);

// The file a writer that replaces path must replace: path itself when nothing is there or a
// regular file is, and the file a symbolic link leads to when that is a regular file (so the
// link stays and its file gets the new content). Empty, with a one-line reason, when path is (or
// leads to) a folder, a pipe, a device or a socket, or is a link that leads nowhere: such a
// target is never replaced.
QString ReplaceableTarget(const QString& path, QString* reason = nullptr);

} // namespace mosaiq
