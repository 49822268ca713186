#pragma once

// The starter libraries the executable carries: cliparts ("clipart.cfg"), the six decoration
// families ("chrome_p.cfg" ... "neon_p.cfg"), brushes ("brushs") and frames ("frame.cfg" with
// its thumbnails "tbframe.cfg").

#include "core/data/BuiltinData.h"

#include <QString>
#include <QStringList>

namespace mosaiq {

// The library files the starter content provides, in write-out order.
QStringList StarterLibraryFiles();

// Writes each starter library into dataDir (ending in '/') when its file is missing, through a
// temporary file renamed into place; an existing file is never touched. The frame pair is
// written only when both "frame.cfg" and "tbframe.cfg" are missing, because entry i of one must
// describe entry i of the other. Every file lands in report.written, .kept or .failed.
void WriteStarterLibraries(const QString& dataDir, WriteOutReport& report);

} // namespace mosaiq
