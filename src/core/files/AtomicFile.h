#pragma once

#include <QByteArray>
#include <QString>

namespace mosaiq {

// Writes data to path through a temporary file beside it that is renamed over the target only
// when every byte was written and flushed, so an existing file is never lost to a failed write.
// A folder, pipe, device or socket at path is never replaced; a symbolic link to a regular file
// is followed (the link stays). On failure returns false and, when error is given, a one-line
// reason.
bool WriteFileAtomically(const QString& path, const QByteArray& data, QString* error = nullptr);

} // namespace mosaiq
