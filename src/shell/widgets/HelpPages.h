#pragma once

#include <QString>

namespace mosaiq {

// The folder of the user manual: MOSAIQ_HELP_DIR when set, else "help/" beside the executable in a
// build, else "share/mosaiq/help/" under the install prefix; empty when none holds "index.html".
QString UserManualFolder();

// The manual's first page in that folder; empty when there is none.
QString UserManualPath();

} // namespace mosaiq
