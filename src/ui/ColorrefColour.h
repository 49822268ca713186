#pragma once

// Conversions between the stored 0x00BBGGRR colours and the colours painters draw with.

#include "core/WinTypes.h"

#include <QColor>

namespace mosaiq {

inline QColor ColorFromColorref(Colorref c, int alpha = 255) {
    return QColor(ColorrefRed(c), ColorrefGreen(c), ColorrefBlue(c), alpha);
}
inline Colorref ColorrefFromColor(const QColor& c) {
    return MakeColorref(c.red(), c.green(), c.blue());
}

} // namespace mosaiq
