#include "skin/SkinResources.h"

namespace mosaiq {

QString SkinResourceRoot() {
    return QStringLiteral(":/skin/");
}

} // namespace mosaiq
