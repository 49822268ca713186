#pragma once

#include <QIODevice>
#include <QString>
#include <QTemporaryFile>

#include <memory>

namespace mosaiq {

// A picture file written beside its target under a temporary name and renamed over it only when
// complete, so a failed write never costs the old file. Every write through Device() is checked
// (a writer that ignores what its device returns, as Qt's PDF writer does, still cannot commit a
// cut file): the first failure is kept and Commit refuses. Commit also checks the final flush, the
// sync to disk and the close, where a full disk or a lost network share may first be reported.
class ReplacingFile {
public:
    explicit ReplacingFile(const QString& path);
    ~ReplacingFile();
    ReplacingFile(const ReplacingFile&) = delete;
    ReplacingFile& operator=(const ReplacingFile&) = delete;

    // Opens the temporary file beside the file to replace (a symbolic link's file; the link
    // stays); false with ErrorString when the directory is not writable or the target is a
    // folder, pipe, device or socket, which is never replaced.
    bool Open();
    // The device to write (and seek, and read back) the new file through.
    QIODevice* Device();
    // Renames the written file over the target when every write, the flush, the sync and the
    // close succeeded; false (and the temporary file removed, the target as it was) otherwise.
    bool Commit();
    QString ErrorString() const { return m_error; }

private:
    class CheckedDevice;
    QString m_path;
    QString m_target; // m_path, or the file its link leads to
    QTemporaryFile m_temp;
    std::unique_ptr<CheckedDevice> m_device;
    QString m_error;
};

// Writes bytes to path through a ReplacingFile; false with a reason on failure.
bool WritePictureFile(const QString& path, const QByteArray& bytes, QString* error = nullptr);

// For tests: every replacing file opened after this call takes at most bytes bytes (all of them
// together count once per file), as on a disk with that much room; a negative value lifts it.
void SetReplacingFileRoomForTests(qint64 bytes);

} // namespace mosaiq
