#pragma once

#include <QString>

namespace mosaiq {

// The resource folder that holds the authored skin files (":/skin/"); calling it also keeps the
// skin's resources linked into every program that draws the skin.
QString SkinResourceRoot();

} // namespace mosaiq
