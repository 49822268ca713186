#pragma once

// Keeps the recovery copy of the open collage. Once the document has been unchanged for the
// interval, the keeper asks its owner to commit pending edit bursts (so the copy holds them as
// steps), encodes the document as a project file, exactly as a save does, and writes it with its
// note into the recovery folder; a large copy is written on a worker thread. A document without
// unsaved changes has no copy: saving it, or finding it unmodified when a copy is due, removes
// the copy. The copy never replaces the user's own project file.

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QThreadPool>
#include <QTimer>

#include <functional>
#include <optional>

namespace mosaiq {

class CollageDocument;
class RecoveryFolder;

// Copies of at least this many bytes are written off the UI thread.
inline constexpr qsizetype kLargeRecoveryCopyBytes = 1 << 20;

class RecoveryKeeper : public QObject {
    Q_OBJECT
public:
    // Watches document and writes copies into folder (claimed by the caller; both outlive the
    // keeper). intervalMs > 0: how long the document must stay unchanged before a copy.
    RecoveryKeeper(CollageDocument& document, RecoveryFolder& folder, int intervalMs,
                   QObject* parent = nullptr);
    // Waits for a copy being written.
    ~RecoveryKeeper() override;

    // Called before each copy to commit edits still gathered into a burst (typing, nudges).
    void SetCommitBursts(std::function<void()> commit) { m_commitBursts = std::move(commit); }

    int IntervalMs() const { return m_quiet.interval(); }
    // True while a copy is due once the document stays unchanged for the interval.
    bool CopyDue() const { return m_quiet.isActive(); }

    // What the interval's end does: commits the bursts, then writes the copy of a modified
    // document (unless the last copy holds the same bytes) or removes the copy of an unmodified
    // one.
    void CopyNow();
    // Removes the copy and its note, after any write in progress has finished.
    void RemoveCopy();
    // Blocks until copies being written on the worker are on disk.
    void WaitForWrites();

Q_SIGNALS:
    // A copy was written and its note beside it (emitted on the UI thread).
    void copyWritten();

private:
    void OnDocumentChanged();
    // Writes the note, then the copy, each atomically; returns an empty string or the reason.
    static QString WriteCopy(const RecoveryFolder& folder, const QString& projectPath,
                             const QByteArray& bytes);
    void Finished(const QString& error);

    CollageDocument& m_document;
    RecoveryFolder& m_folder;
    std::function<void()> m_commitBursts;
    QTimer m_quiet;
    QThreadPool m_writer;    // one thread: copies reach the disk in the order they were made
    struct CopyDigest {
        qsizetype size = 0;
        size_t hash = 0;
        bool operator==(const CopyDigest&) const = default;
    };
    std::optional<CopyDigest> m_lastDigest; // of the copy last written; none when there is none
    bool m_committing = false;
    bool m_failureTold = false;
};

} // namespace mosaiq
