#include "core/data/RecoveryFolder.h"

#include "core/files/AtomicFile.h"
#include "core/files/RegularFile.h"
#include "core/settings/SettingsFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QUrl>

#include <cerrno>
#include <cmath>

#include <sys/stat.h>

namespace mosaiq {
namespace {

constexpr char kNoteHeader[] = "mosaiq-recovery 1";
constexpr char kTimeKey[] = "time ";
constexpr char kProjectKey[] = "project ";
constexpr int kDefaultIntervalMs = 30 * 1000;
constexpr double kLongestIntervalSeconds = 3600.0;

// True when nothing is at path or a regular file is (a link is not followed: the folder holds
// only files of ours).
bool AbsentOrRegular(const QString& path) {
    struct stat info {};
    if (::lstat(QFile::encodeName(path).constData(), &info) != 0)
        return errno == ENOENT;
    return S_ISREG(info.st_mode);
}

// Removes path when it is a regular file; anything else there is left alone.
void RemoveRegular(const QString& path) {
    struct stat info {};
    if (::lstat(QFile::encodeName(path).constData(), &info) == 0 && S_ISREG(info.st_mode))
        QFile::remove(path);
}

// The path as the file system resolves it (links followed) when it exists, else made absolute.
QString ResolvedPath(const QString& path) {
    const QFileInfo info(path);
    const QString canonical = info.canonicalFilePath();
    return canonical.isEmpty() ? info.absoluteFilePath() : canonical;
}

} // namespace

QByteArray EncodeRecoveryNote(const RecoveryNote& note) {
    QByteArray out(kNoteHeader);
    out += '\n';
    out += kTimeKey + note.time.toUTC().toString(Qt::ISODateWithMs).toUtf8() + '\n';
    out += kProjectKey + QUrl::toPercentEncoding(note.projectPath, "/") + '\n';
    return out;
}

std::optional<RecoveryNote> ParseRecoveryNote(const QByteArray& bytes) {
    if (bytes.size() > kMaxRecoveryNoteBytes)
        return std::nullopt;
    const QList<QByteArray> lines = bytes.split('\n');
    if (lines.isEmpty() || lines.front() != kNoteHeader)
        return std::nullopt;
    RecoveryNote note;
    for (const QByteArray& line : lines) {
        if (line.startsWith(kTimeKey))
            note.time = QDateTime::fromString(QString::fromUtf8(line.mid(int(sizeof kTimeKey) - 1)),
                                              Qt::ISODateWithMs);
        else if (line.startsWith(kProjectKey))
            note.projectPath = QString::fromUtf8(
                QByteArray::fromPercentEncoding(line.mid(int(sizeof kProjectKey) - 1)));
    }
    if (!note.time.isValid())
        return std::nullopt;
    note.time = note.time.toUTC();
    return note;
}

int RecoveryIntervalMs(const QVariant& seconds) {
    if (!seconds.isValid())
        return kDefaultIntervalMs;
    bool ok = false;
    const double value = seconds.toString().trimmed().toDouble(&ok);
    if (!ok || std::isnan(value))
        return kDefaultIntervalMs;
    if (value == 0.0)
        return 0;
    if (value < 1.0)
        return 1000;
    if (value > kLongestIntervalSeconds)
        return int(kLongestIntervalSeconds * 1000.0);
    return int(std::lround(value * 1000.0));
}

int RecoveryIntervalMsFromSettings(const QString& dataDir) {
    // Read through the settings guard: a settings file that is a pipe, a device or a folder is
    // not read, and the default interval holds.
    SettingsFile settings(dataDir + QStringLiteral("settings.ini"));
    const QString seconds = settings.Text(QStringLiteral("Recovery/intervalSeconds"));
    return RecoveryIntervalMs(seconds.isEmpty() ? QVariant() : QVariant(seconds));
}

RecoveryFolder::RecoveryFolder(const QString& dataDir)
    : m_dir(dataDir + QStringLiteral("Recovery/")) {}

RecoveryFolder::~RecoveryFolder() {
    Release();
}

bool RecoveryFolder::Claim() {
    if (Claimed())
        return true;
    m_error.clear();
    if (!QDir().mkpath(m_dir)) {
        m_error = QStringLiteral("%1 cannot be made").arg(QDir::toNativeSeparators(m_dir));
        return false;
    }
    // The lock is opened and read, the copy and note read and removed: a pipe there would block
    // the start for ever, and a device or folder is not ours to remove. Recovery then stays off.
    for (const QString& path : {LockPath(), CopyPath(), NotePath()}) {
        if (!AbsentOrRegular(path)) {
            m_error = QStringLiteral("%1 is not a regular file; it is left alone and no recovery "
                                     "copies are kept")
                          .arg(QDir::toNativeSeparators(path));
            return false;
        }
    }
    auto lock = std::make_unique<QLockFile>(LockPath());
    // Only a lock whose editor is gone is stale, however old it is: a running editor may keep
    // its lock for days.
    lock->setStaleLockTime(0);
    if (!lock->tryLock(0)) {
        m_error = QStringLiteral("%1 is held by another editor or cannot be written; no recovery "
                                 "copies are kept")
                      .arg(QDir::toNativeSeparators(m_dir));
        return false;
    }
    m_lock = std::move(lock);
    return true;
}

void RecoveryFolder::Release() {
    if (m_lock)
        m_lock->unlock();
    m_lock.reset();
}

bool RecoveryFolder::Claimed() const {
    return m_lock && m_lock->isLocked();
}

bool RecoveryFolder::IsCopy(const QString& path) const {
    return !path.isEmpty() && ResolvedPath(path) == ResolvedPath(CopyPath());
}

bool RecoveryFolder::HasCopy() const {
    return QFileInfo(CopyPath()).isFile() && !QFileInfo(CopyPath()).isSymLink();
}

std::optional<RecoveryNote> RecoveryFolder::ReadNote() const {
    QFile file;
    if (OpenRegularFile(file, NotePath()) != OpenFailure::None ||
        file.size() > kMaxRecoveryNoteBytes)
        return std::nullopt;
    return ParseRecoveryNote(file.read(kMaxRecoveryNoteBytes + 1));
}

bool RecoveryFolder::WriteNote(const RecoveryNote& note, QString* error) const {
    return WriteFileAtomically(NotePath(), EncodeRecoveryNote(note), error);
}

QString RecoveryFolder::SetAside() const {
    const QString stem = QStringLiteral("collage-") +
                         QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QString target = m_dir + stem + QStringLiteral(".dcf.damaged");
    for (int n = 2; QFileInfo::exists(target) || QFileInfo(target).isSymLink(); ++n)
        target = m_dir + stem + QStringLiteral("-%1.dcf.damaged").arg(n);
    // rename() never replaces an existing file, so no earlier damaged copy is lost.
    if (!AbsentOrRegular(CopyPath()) || !QFile::rename(CopyPath(), target))
        return QString();
    RemoveRegular(NotePath());
    return target;
}

void RecoveryFolder::Remove(const QString& projectPath) const {
    if (!IsCopy(projectPath))
        RemoveRegular(CopyPath());
    RemoveRegular(NotePath());
}

} // namespace mosaiq
