#pragma once

#include <QString>

namespace mosaiq {

// The data directory that holds every library, list and temporary file, always ending in '/'.
// Chosen afresh on every call (never cached), and created when missing:
//   1. MOSAIQ_DATA_DIR when set;
//   2. otherwise "Data/" beside the executable when that directory already exists;
//   3. otherwise the per-user application data location + "/Data/".
// A failure to create it is not reported here: later file operations fail instead.
QString DataPath();

// DataPath() + name.
QString DataFile(const QString& name);

// Overrides the data directory for this process (mosaiq-cli --data); empty clears the override.
// Takes precedence over MOSAIQ_DATA_DIR.
void SetDataPathOverride(const QString& dir);

} // namespace mosaiq
