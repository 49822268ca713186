#include "imaging/files/ReplacingFile.h"

#include "core/files/FileInTheWay.h"
#include "core/files/RegularFile.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cstdio>

namespace mosaiq {

ReplacingFile::ReplacingFile(const QString& path) : m_path(path) {}

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
    return true;
}

bool ReplacingFile::Commit() {
    if (!m_temp.flush()) {
        m_error = QStringLiteral("cannot write %1: %2").arg(m_path, m_temp.errorString());
        return false;
    }
    m_temp.close();
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
    if (!file.Open() || !WriteInPieces(*file.Device(), bytes) || !file.Commit()) {
        if (error)
            *error = file.ErrorString().isEmpty() ? QStringLiteral("cannot write %1").arg(path)
                                                  : file.ErrorString();
        return false;
    }
    return true;
}

} // namespace mosaiq
