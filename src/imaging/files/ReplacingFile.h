#pragma once

#include <QString>
#include <QTemporaryFile>

namespace mosaiq {

// A picture file written beside its target under a temporary name and renamed over it only when
// complete, so a failed write never costs the old file. Unlike the data files, pictures are not
// flushed to disk before the rename: a batch run writes hundreds of megabytes, and a picture can
// be made again from its source.
class ReplacingFile {
public:
    explicit ReplacingFile(const QString& path);
    // Opens the temporary file beside the file to replace (a symbolic link's file; the link
    // stays); false with ErrorString when the directory is not writable or the target is a
    // folder, pipe, device or socket, which is never replaced.
    bool Open();
    QIODevice* Device() { return &m_temp; }
    // Renames the written file over the target; false (and the temporary file removed) on failure.
    bool Commit();
    QString ErrorString() const { return m_error; }

private:
    QString m_path;
    QString m_target; // m_path, or the file its link leads to
    QTemporaryFile m_temp;
    QString m_error;
};

// Writes bytes to path through a ReplacingFile; false with a reason on failure.
bool WritePictureFile(const QString& path, const QByteArray& bytes, QString* error = nullptr);

} // namespace mosaiq
