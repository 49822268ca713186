#pragma once

// The recovery folder: "Recovery/" in the data directory. It holds the copy of the collage that
// has changes not yet saved ("collage.dcf", a project file), the note beside it ("collage.note":
// the project's path, or none, and when the copy was written) and the lock of the editor that
// keeps copies there ("session.lock"). The lock is made at start and removed at a clean exit; one
// left by an editor that is no longer running is taken over, so a copy found by the editor that
// holds the lock is one that the previous editor could not remove: it ended uncleanly.

#include <QDateTime>
#include <QString>
#include <QVariant>

#include <memory>
#include <optional>

class QLockFile;

namespace mosaiq {

// What the note beside a recovery copy records.
struct RecoveryNote {
    QString projectPath; // the collage's project file; empty when it had none ("Untitled")
    QDateTime time;      // when the copy was written (UTC)
};

// The note's bytes: the line "mosaiq-recovery 1", then "time " with the time in ISO 8601 (UTC)
// and "project " with the path percent-encoded as UTF-8 (empty for none), each ended by '\n'.
QByteArray EncodeRecoveryNote(const RecoveryNote& note);
// Reads note bytes; nothing when they are not a note (unknown first line, no valid time).
std::optional<RecoveryNote> ParseRecoveryNote(const QByteArray& bytes);

// The largest note read; anything longer is not a note.
inline constexpr qint64 kMaxRecoveryNoteBytes = 64 * 1024;

// How long a changed collage must stay unchanged before it is copied, in milliseconds, from the
// value of "[Recovery] intervalSeconds": 30 s when absent or not a number, 0 (no copies) for 0,
// at least 1 s and at most 3600 s otherwise.
int RecoveryIntervalMs(const QVariant& seconds);
// The same rule applied to "settings.ini" in dataDir.
int RecoveryIntervalMsFromSettings(const QString& dataDir);

class RecoveryFolder {
public:
    // The folder "Recovery/" of dataDir (a path ending in '/'). Nothing is created yet.
    explicit RecoveryFolder(const QString& dataDir);
    ~RecoveryFolder();
    RecoveryFolder(const RecoveryFolder&) = delete;
    RecoveryFolder& operator=(const RecoveryFolder&) = delete;

    QString Dir() const { return m_dir; }
    QString CopyPath() const { return m_dir + QStringLiteral("collage.dcf"); }
    QString NotePath() const { return m_dir + QStringLiteral("collage.note"); }
    QString LockPath() const { return m_dir + QStringLiteral("session.lock"); }

    // Creates the folder and takes its lock for this process. False when the folder cannot be
    // made or another running editor holds the lock; this editor must then leave the folder
    // alone. A lock left by an editor that is no longer running is taken over. Only regular
    // files are opened or removed in the folder: when the lock, the copy or the note is anything
    // else (a pipe, a device, a folder, a link), nothing is touched and Claim fails. ClaimError()
    // then says why in one line.
    bool Claim();
    const QString& ClaimError() const { return m_error; }
    // Removes the lock (a clean exit, or the end of a test's editor). Copy and note stay.
    void Release();
    bool Claimed() const;

    // True when path (a project file the user works on) is the copy itself, also through links;
    // such a file is never written over, removed or set aside.
    bool IsCopy(const QString& path) const;
    bool HasCopy() const;
    // The note beside the copy; nothing when it is missing, too long or not a note.
    std::optional<RecoveryNote> ReadNote() const;
    // Writes the note (atomically); false with a reason on failure.
    bool WriteNote(const RecoveryNote& note, QString* error) const;
    // Renames a copy that cannot be read to "collage-<time>.dcf.damaged" (a number added when
    // that name is taken) and removes its note. Returns the new path; empty when the rename
    // failed (the copy then stays where it was).
    QString SetAside() const;
    // Removes the copy and its note, but never a copy that is the file projectPath names.
    void Remove(const QString& projectPath = QString()) const;

private:
    QString m_dir;
    QString m_error;
    std::unique_ptr<QLockFile> m_lock;
};

} // namespace mosaiq
