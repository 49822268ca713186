#pragma once

// The private folders that hold the image library's policy while a process runs
// ("mosaiq-magick-PID-XXXXXX" under the temporary folder). A process that is killed leaves its
// folder behind; the next start removes those of processes that no longer run.

#include <QString>

namespace mosaiq {

// The QTemporaryDir template of this process's folder under tempDir.
QString MagickFolderTemplate(const QString& tempDir);

// Removes the folders under tempDir left by earlier runs of this user: those named for a process
// that no longer runs, and those of the older unnumbered name ("mosaiq-magick-XXXXXX") not
// touched for an hour. Only a real folder (not a link) owned by this user, holding nothing but
// the policy file and its temporary copies, is removed. Returns how many were removed.
int RemoveStaleMagickFolders(const QString& tempDir);

} // namespace mosaiq
