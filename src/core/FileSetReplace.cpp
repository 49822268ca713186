#include "core/FileSetReplace.h"

#include <QFile>
#include <QFileInfo>

#include <fcntl.h>
#include <unistd.h>

namespace mosaiq {
namespace {

QString Aside(const QString& path) {
    return path + QStringLiteral(".new");
}

QString Backup(const QString& path) {
    return path + QStringLiteral(".bak");
}

bool WriteFlushed(const QString& path, const QByteArray& bytes, QString* error) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        file.write(bytes) != bytes.size() || !file.flush() || fsync(file.handle()) != 0) {
        if (error)
            *error = QStringLiteral("cannot write %1: %2").arg(path, file.errorString());
        file.close();
        QFile::remove(path);
        return false;
    }
    file.close();
    return true;
}

bool RenameOver(const QString& from, const QString& to) {
    return ::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0;
}

} // namespace

bool ReplaceFilesTogether(const std::vector<FileReplacement>& files, QString* error) {
    // 1. Every new file aside; nothing is touched yet.
    for (size_t i = 0; i < files.size(); ++i) {
        if (!WriteFlushed(Aside(files[i].path), files[i].bytes, error)) {
            for (size_t j = 0; j < i; ++j)
                QFile::remove(Aside(files[j].path));
            return false;
        }
    }
    // 2. Replace one by one, keeping backups of what was there.
    std::vector<bool> existed(files.size(), false);
    size_t done = 0;
    bool ok = true;
    for (; done < files.size(); ++done) {
        const QString& path = files[done].path;
        existed[done] = QFileInfo::exists(path);
        QFile::remove(Backup(path));
        if (existed[done] && !RenameOver(path, Backup(path))) {
            ok = false;
            break;
        }
        if (!RenameOver(Aside(path), path)) {
            if (existed[done])
                RenameOver(Backup(path), path);
            ok = false;
            break;
        }
    }
    if (!ok) {
        if (error)
            *error = QStringLiteral("cannot replace %1").arg(files[done].path);
        // 3. Put the old set back.
        for (size_t j = 0; j < done; ++j) {
            const QString& path = files[j].path;
            if (existed[j])
                RenameOver(Backup(path), path);
            else
                QFile::remove(path);
        }
        for (const FileReplacement& f : files)
            QFile::remove(Aside(f.path));
        return false;
    }
    for (size_t j = 0; j < files.size(); ++j)
        if (existed[j])
            QFile::remove(Backup(files[j].path));
    return true;
}

} // namespace mosaiq
