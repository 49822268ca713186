#pragma once

// How mosaiq-cli names the items of a resource pack: "1 frame", "2 frames", "1 brush".

#include "library/packs/ResourcePack.h"

#include <QString>

namespace mosaiq::cli {

inline QString PackItemCountText(PackKind kind, qsizetype count) {
    static const char* const kOne[kPackKindCount] = {"frame", "mask", "clipart", "decoration",
                                                     "brush"};
    const int k = int(kind);
    if (k < 0 || k >= kPackKindCount)
        return QString::number(count);
    const QString name = count == 1 ? QLatin1String(kOne[k]) : PackKindName(kind);
    return QStringLiteral("%1 %2").arg(count).arg(name);
}

} // namespace mosaiq::cli
