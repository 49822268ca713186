#pragma once

// AVIF files that hold only a sequence (an animation, a burst) and no still picture, which libheif
// 1.15 does not read: their first frame through libavif.

#include "imaging/decode/HeifReader.h"

#include <QByteArray>

namespace mosaiq {

// True when data's file-type box names the AVIF sequence brand "avis".
bool LooksLikeAvifSequence(const QByteArray& data);

// The first frame of the sequence in data, as ReadHeif gives a picture: the size checked against
// the picture limits before anything is decoded; nothing decoded with sizeOnly.
HeifPicture ReadAvifSequence(const QByteArray& data, bool sizeOnly);

} // namespace mosaiq
