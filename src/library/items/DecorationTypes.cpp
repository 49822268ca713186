#include "library/items/DecorationTypes.h"

namespace mosaiq {

Colorref DecorationDefaultColour(int selector) {
    switch (selector) {
    case 1:
        return MakeColorref(200, 120, 60);
    case 2:
        return MakeColorref(224, 180, 0);
    case 4:
        return MakeColorref(255, 150, 0);
    case 5:
        return MakeColorref(0, 200, 200);
    default: // chrome, cloth
        return MakeColorref(127, 127, 127);
    }
}

int DecorationSelectorType(int selector) {
    if (selector >= 0 && selector < kDecorationFamilyCount)
        return selector + 1;
    return selector == kImportedSelector ? kImportedDecorationType : -1;
}

QString DecorationSelectorName(int selector) {
    static const char* const kNames[] = {"Chrome", "Cast", "Emboss",  "Cloth",
                                         "Glow",   "Neon", "Brushes", "Imported"};
    if (selector < 0 || selector >= kDecorationSelectorCount)
        return {};
    return QString::fromLatin1(kNames[selector]);
}

} // namespace mosaiq
