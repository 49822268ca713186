#pragma once

// The short list of projects opened or saved lately, newest first, kept in "settings.ini" in the
// data directory (group "RecentProjects").

#include <QString>
#include <QStringList>

namespace mosaiq {

constexpr int kMaxRecentProjects = 8;

// The list as stored (at most kMaxRecentProjects paths, newest first).
QStringList RecentProjects();
// Puts path first (removing an older entry of it) and cuts the list to its length.
void AddRecentProject(const QString& path);
// Takes path out of the list (a project that could not be opened any more).
void RemoveRecentProject(const QString& path);

} // namespace mosaiq
