#include "core/files/FileSetReplace.h"

#include "core/files/RegularFile.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include <fcntl.h>
#include <unistd.h>

namespace mosaiq {
namespace {

// A new, empty file of a unique name beside path ("." + name + ".mosaiq-" + role + random
// letters), so no file of the user's is ever taken for it. Empty when none can be made.
QString MakeOwnFile(const QString& path, const QString& role, QString* error) {
    const QFileInfo info(path);
    QTemporaryFile file(info.absolutePath() + QStringLiteral("/.") + info.fileName() +
                        QStringLiteral(".mosaiq-") + role + QStringLiteral(".XXXXXX"));
    file.setAutoRemove(false);
    if (!file.open()) {
        if (error)
            *error = QStringLiteral("cannot write beside %1: %2").arg(path, file.errorString());
        return {};
    }
    return file.fileName();
}

bool WriteFlushed(const QString& path, const QByteArray& bytes, QString* error) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        file.write(bytes) != bytes.size() || !file.flush() || fsync(file.handle()) != 0) {
        if (error)
            *error = QStringLiteral("cannot write %1: %2").arg(path, file.errorString());
        file.close();
        return false;
    }
    file.close();
    // A temporary file is private to its owner; a library file gets the usual rights.
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup |
                                    QFile::ReadOther);
    return true;
}

bool RenameOver(const QString& from, const QString& to) {
    return ::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0;
}

// One file of the set: where it goes and the files of our own made for it.
struct Step {
    QString target; // the file replaced (a link's file; the link stays)
    QString aside;  // the new content, written before anything is replaced
    QString backup; // the old content while the set is replaced; empty when there was none
};

// Removes the files written aside and, with backups set, the old contents kept aside.
void RemoveOwnFiles(const std::vector<Step>& steps, bool backups) {
    for (const Step& step : steps) {
        if (!step.aside.isEmpty())
            QFile::remove(step.aside);
        if (backups && !step.backup.isEmpty())
            QFile::remove(step.backup);
    }
}

} // namespace

bool ReplaceFilesTogether(const std::vector<FileReplacement>& files, QString* error) {
    // 1. Every target must be one a writer may replace; then every new file is written aside
    //    under a name of its own. Nothing of the user's is touched yet.
    std::vector<Step> steps(files.size());
    for (size_t i = 0; i < files.size(); ++i) {
        steps[i].target = ReplaceableTarget(files[i].path, error);
        if (steps[i].target.isEmpty())
            return false;
    }
    for (size_t i = 0; i < files.size(); ++i) {
        steps[i].aside = MakeOwnFile(steps[i].target, QStringLiteral("new"), error);
        if (steps[i].aside.isEmpty() || !WriteFlushed(steps[i].aside, files[i].bytes, error)) {
            RemoveOwnFiles(steps, true);
            return false;
        }
    }
    // 2. Replace one by one; what was there moves over an empty file of our own first.
    size_t done = 0;
    bool ok = true;
    for (; done < files.size() && ok; ++done) {
        Step& step = steps[done];
        if (QFileInfo::exists(step.target)) {
            step.backup = MakeOwnFile(step.target, QStringLiteral("old"), error);
            ok = !step.backup.isEmpty() && RenameOver(step.target, step.backup);
            if (!ok) {
                if (!step.backup.isEmpty())
                    QFile::remove(step.backup);
                step.backup.clear();
                break;
            }
        }
        if (!RenameOver(step.aside, step.target)) {
            if (!step.backup.isEmpty() && RenameOver(step.backup, step.target))
                step.backup.clear();
            ok = false;
            break;
        }
        step.aside.clear();
    }
    if (!ok) {
        if (error)
            *error = QStringLiteral("cannot replace %1").arg(files[done].path);
        // 3. Put the old set back: the files replaced get their old content again, and the ones
        //    that did not exist before go.
        for (size_t j = 0; j < done; ++j) {
            Step& step = steps[j];
            if (step.backup.isEmpty())
                QFile::remove(step.target);
            else if (RenameOver(step.backup, step.target))
                step.backup.clear();
        }
        // An old content that could not be put back stays where it is: it is the user's.
        RemoveOwnFiles(steps, false);
        return false;
    }
    RemoveOwnFiles(steps, true);
    return true;
}

} // namespace mosaiq
