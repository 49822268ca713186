#pragma once

// Selecting several objects: Ctrl+click adds or removes one object, and a band drawn from empty
// canvas selects the objects wholly inside it. A plain click still selects one object.

#include <QRectF>

namespace mosaiq {

class CollageDocument;

// Flips the selection of object index; true when it is selected now.
bool ToggleSelected(CollageDocument& document, int index);

// Selects the objects whose boxes as shown (turned objects by the box around them) lie wholly
// inside band (canvas pixels); with add the others keep their selection, otherwise they are
// deselected. Returns how many objects the band holds.
int SelectInBand(CollageDocument& document, const QRectF& band, bool add);

// How many objects are selected.
int SelectedCount(const CollageDocument& document);

} // namespace mosaiq
