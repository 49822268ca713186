#pragma once

// What a HEIF file's boxes say about its primary picture's coding, read from the bytes without a
// decoder: whether it is coded in grey alone (libheif 1.15 hands grey pictures back without
// expanding their video range), and the frame size an AV1 picture's own sequence header gives
// (a layered picture, or one whose "ispe" box is wrong, is drawn at that size, whatever the box
// claims). Every size is checked against the bytes that hold it.

#include <QByteArray>
#include <QSize>

namespace mosaiq {

struct HeifPrimaryCoding {
    bool found = false;      // the primary item's coding configuration (av1C, hvcC) was read
    bool av1 = false;        // coded with AV1 (an AVIF picture)
    bool monochrome = false; // coded in grey only (4:0:0)
    QSize codedSize;         // AV1: the sequence header's largest frame; invalid when unknown
};

HeifPrimaryCoding ReadHeifPrimaryCoding(const QByteArray& data);

} // namespace mosaiq
