#pragma once

#include <QString>

namespace mosaiq {

// The user manual's first page as installed beside the program ("help/index.html" next to the
// executable in a build, "share/mosaiq/help/index.html" under an install prefix); empty when
// neither exists.
QString UserManualPath();

} // namespace mosaiq
