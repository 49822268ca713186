#pragma once

// The built-in mask shapes. Each is drawn black (the photo stays) on white (the photo is removed)
// into a grey picture of its own fixed size, with anti-aliased or deliberately soft edges.

#include <QImage>
#include <QString>

#include <vector>

namespace maskgen {

struct MaskShape {
    const char* name;
    int width;
    int height;
    const char* key; // fixed for ever: projects and imported libraries refer to masks by it
    QImage (*draw)(int width, int height);
};

// The shapes in library order.
const std::vector<MaskShape>& BuiltinMaskShapes();

// The shape drawn at its size, as a Format_Grayscale8 picture.
QImage DrawMask(const MaskShape& shape);

// The key as the 16 bytes of the file's GUID layout (Data1, Data2, Data3 little-endian, Data4).
QByteArray KeyBytes(const MaskShape& shape);

} // namespace maskgen
