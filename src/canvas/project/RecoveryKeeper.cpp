#include "canvas/project/RecoveryKeeper.h"

#include "canvas/document/CollageDocument.h"
#include "canvas/project/ProjectFile.h"
#include "core/files/AtomicFile.h"
#include "core/Notifier.h"
#include "core/data/RecoveryFolder.h"

#include <QCoreApplication>
#include <QHash>
#include <QDateTime>

namespace mosaiq {

RecoveryKeeper::RecoveryKeeper(CollageDocument& document, RecoveryFolder& folder, int intervalMs,
                               QObject* parent)
    : QObject(parent), m_document(document), m_folder(folder) {
    m_quiet.setSingleShot(true);
    m_quiet.setInterval(intervalMs);
    m_writer.setMaxThreadCount(1);
    connect(&m_quiet, &QTimer::timeout, this, &RecoveryKeeper::CopyNow);
    connect(&document, &CollageDocument::changed, this, &RecoveryKeeper::OnDocumentChanged);
    connect(&document, &CollageDocument::historyChanged, this, &RecoveryKeeper::OnDocumentChanged);
    connect(&document, &CollageDocument::canvasSizeChanged, this,
            &RecoveryKeeper::OnDocumentChanged);
    connect(&document, &CollageDocument::saved, this, [this] {
        m_quiet.stop();
        RemoveCopy();
    });
}

RecoveryKeeper::~RecoveryKeeper() {
    m_writer.waitForDone();
}

void RecoveryKeeper::OnDocumentChanged() {
    // Every change starts the interval again: a copy is made only once the collage rests.
    if (!m_committing)
        m_quiet.start();
}

void RecoveryKeeper::CopyNow() {
    if (m_committing)
        return;
    m_committing = true;
    if (m_commitBursts)
        m_commitBursts();
    m_committing = false;
    m_quiet.stop();

    if (!m_document.modified) {
        RemoveCopy();
        return;
    }
    // A project saved as the copy's own file stays the user's: it is never written over.
    if (m_folder.IsCopy(m_document.projectPath))
        return;
    QByteArray bytes;
    const ProjectResult encoded = EncodeProject(m_document, bytes);
    if (!encoded.ok) {
        Finished(encoded.error);
        return;
    }
    // A fast hash is enough here: the digest only spares writing a copy equal to the last one,
    // and a copy with effect pictures in it runs to tens of megabytes, hashed on this thread.
    const CopyDigest digest{bytes.size(), qHash(bytes, 0)};
    if (digest == m_lastDigest)
        return; // only the selection or the view moved: the copy on disk still holds it all
    m_lastDigest = digest;
    const QString projectPath = m_document.projectPath;
    if (bytes.size() < kLargeRecoveryCopyBytes) {
        Finished(WriteCopy(m_folder, projectPath, bytes));
        return;
    }
    const RecoveryFolder* folder = &m_folder;
    m_writer.start([this, folder, projectPath, bytes] {
        const QString error = WriteCopy(*folder, projectPath, bytes);
        QMetaObject::invokeMethod(
            this, [this, error] { Finished(error); }, Qt::QueuedConnection);
    });
}

QString RecoveryKeeper::WriteCopy(const RecoveryFolder& folder, const QString& projectPath,
                                  const QByteArray& bytes) {
    // The note goes first: a copy on disk always has a note naming its project. (An interrupted
    // pair leaves a newer note beside the previous copy, which names the same project.)
    QString error;
    if (!folder.WriteNote({projectPath, QDateTime::currentDateTimeUtc()}, &error) ||
        !WriteFileAtomically(folder.CopyPath(), bytes, &error))
        return error;
    return QString();
}

void RecoveryKeeper::Finished(const QString& error) {
    if (error.isEmpty()) {
        m_failureTold = false;
        Q_EMIT copyWritten();
        return;
    }
    m_lastDigest.reset(); // the next rest tries again
    // Told once until a copy succeeds again, not at every rest of a full disk.
    if (!m_failureTold)
        Warn(QCoreApplication::translate("RecoveryKeeper",
                                         "The recovery copy of the collage could not be "
                                         "written: %1")
                 .arg(error));
    m_failureTold = true;
}

void RecoveryKeeper::RemoveCopy() {
    WaitForWrites();
    m_lastDigest.reset();
    m_folder.Remove(m_document.projectPath);
}

void RecoveryKeeper::WaitForWrites() {
    m_writer.waitForDone();
}

} // namespace mosaiq
