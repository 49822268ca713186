#pragma once

// What one photo import did: how many photos were added and, for every file left out, why.
// Duplicates and pictures too small are left out by rule; missing and unreadable files are
// failures (the command line exits with status 1 for them).

#include <QString>
#include <QStringList>

#include <utility>
#include <vector>

namespace mosaiq {

struct PhotoImportSummary {
    int added = 0;
    QStringList duplicates;                              // already in the photo list
    std::vector<std::pair<QString, QString>> tooSmall;   // path, reason
    QStringList missing;                                 // not found
    std::vector<std::pair<QString, QString>> unreadable; // path, reason
    bool stopped = false;
    int notReached = 0; // files not tried because the import was stopped

    int Skipped() const {
        return int(duplicates.size() + tooSmall.size() + missing.size() + unreadable.size());
    }
    bool AnyFailed() const { return !missing.isEmpty() || !unreadable.empty(); }
    // The message the user sees at the end of an import: the counts, then the files left out
    // grouped by reason (at most a few names of each group).
    QString Text() const;
};

} // namespace mosaiq
