#pragma once

#include <QString>

namespace mosaiq::cli {

// One or two sentences on what the command does; empty for a command without a summary.
QString CommandSummary(const QString& name);

} // namespace mosaiq::cli
