#include "imaging/files/ReplacingFile.h"

#include "core/files/FileInTheWay.h"
#include "core/files/RegularFile.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include <sys/stat.h>
#include <unistd.h>

namespace mosaiq {

namespace {

std::atomic<qint64> g_roomForTests{-1};

} // namespace

// Reads, writes and seeks the temporary file by its descriptor (QFile's own buffer stays empty,
// so every failure is seen where it happens, with the system's reason) and keeps the first
// failed write: a short write is a failure, whatever the writer above does with it.
class ReplacingFile::CheckedDevice final : public QIODevice {
public:
    CheckedDevice(int fd, qint64 room) : m_fd(fd), m_room(room) {}

    bool Failed() const { return !m_failure.isEmpty(); }
    const QString& Failure() const { return m_failure; }

    bool isSequential() const override { return false; }
    qint64 size() const override {
        struct stat info {};
        return ::fstat(m_fd, &info) == 0 ? qint64(info.st_size) : 0;
    }

protected:
    qint64 readData(char* data, qint64 maxSize) override {
        ssize_t n;
        do
            n = ::pread(m_fd, data, size_t(maxSize), off_t(pos()));
        while (n < 0 && errno == EINTR);
        return n < 0 ? -1 : qint64(n);
    }
    qint64 writeData(const char* data, qint64 size) override {
        if (Failed())
            return -1;
        qint64 done = 0;
        while (done < size) {
            const qint64 at = pos() + done;
            qint64 piece = size - done;
            if (m_room >= 0 && at + piece > m_room)
                piece = std::max<qint64>(0, m_room - at);
            if (piece == 0)
                return Fail(ENOSPC);
            const ssize_t n = ::pwrite(m_fd, data + done, size_t(piece), off_t(at));
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                return Fail(n < 0 ? errno : ENOSPC);
            done += n;
        }
        return done;
    }

private:
    qint64 Fail(int error) {
        m_failure = QString::fromLocal8Bit(std::strerror(error));
        setErrorString(m_failure);
        return -1;
    }

    int m_fd;
    qint64 m_room;
    QString m_failure;
};

ReplacingFile::ReplacingFile(const QString& path) : m_path(path) {}

ReplacingFile::~ReplacingFile() = default;

bool ReplacingFile::Open() {
    const QString target = ReplaceableTarget(m_path, &m_error);
    if (target.isEmpty())
        return false;
    m_target = target;
    m_temp.setFileTemplate(QFileInfo(target).absolutePath() + QStringLiteral("/.") +
                           QFileInfo(target).fileName() + QStringLiteral(".XXXXXX"));
    if (!m_temp.open()) {
        const QString inTheWay = FileInTheWayText(m_path);
        m_error = QStringLiteral("cannot write %1: %2")
                      .arg(m_path, inTheWay.isEmpty() ? m_temp.errorString() : inTheWay);
        return false;
    }
    m_device = std::make_unique<CheckedDevice>(m_temp.handle(), g_roomForTests.load());
    m_device->open(QIODevice::ReadWrite | QIODevice::Unbuffered);
    return true;
}

QIODevice* ReplacingFile::Device() {
    return m_device.get();
}

bool ReplacingFile::Commit() {
    const auto fail = [this](const QString& why) {
        m_error = QStringLiteral("cannot write %1: %2").arg(m_path, why);
        m_temp.close(); // removed with the QTemporaryFile
        return false;
    };
    if (!m_device)
        return fail(QStringLiteral("the file was not opened"));
    if (m_device->Failed())
        return fail(m_device->Failure());
    // The bytes are on the disk before the name points at them: a full or failing disk may only
    // say so here, and a rename ahead of the data could leave an empty file after a crash.
    if (::fdatasync(m_temp.handle()) != 0)
        return fail(QString::fromLocal8Bit(std::strerror(errno)));
    m_device->close();
    m_temp.close();
    if (m_temp.error() != QFileDevice::NoError)
        return fail(m_temp.errorString());
    // rename() replaces an existing target in one step.
    if (std::rename(QFile::encodeName(m_temp.fileName()).constData(),
                    QFile::encodeName(m_target).constData()) != 0) {
        m_error = QStringLiteral("cannot replace %1").arg(m_path);
        return false;
    }
    m_temp.setAutoRemove(false);
    // QTemporaryFile makes its file readable by the owner only; a picture gets the usual rights.
    QFile::setPermissions(m_target, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup |
                                        QFile::ReadOther);
    return true;
}

namespace {

// Large buffers go out in pieces: one write of tens of megabytes costs the kernel several times
// the system time of the same bytes in 64 KiB writes.
constexpr qsizetype kWritePiece = 64 * 1024;

bool WriteInPieces(QIODevice& device, const QByteArray& bytes) {
    for (qsizetype at = 0; at < bytes.size(); at += kWritePiece) {
        const qsizetype n = std::min(kWritePiece, bytes.size() - at);
        if (device.write(bytes.constData() + at, n) != n)
            return false;
    }
    return true;
}

} // namespace

bool WritePictureFile(const QString& path, const QByteArray& bytes, QString* error) {
    ReplacingFile file(path);
    bool ok = file.Open();
    // A failed write is kept by the file and named by Commit, which then refuses.
    if (ok) {
        const bool written = WriteInPieces(*file.Device(), bytes);
        ok = file.Commit() && written;
    }
    if (!ok) {
        if (error)
            *error = file.ErrorString().isEmpty() ? QStringLiteral("cannot write %1").arg(path)
                                                  : file.ErrorString();
        return false;
    }
    return true;
}

void SetReplacingFileRoomForTests(qint64 bytes) {
    g_roomForTests.store(bytes);
}

} // namespace mosaiq
