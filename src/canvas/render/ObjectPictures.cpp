#include "canvas/render/ObjectPictures.h"

#include "core/data/DataPath.h"
#include "canvas/document/CollageDocument.h"
#include "canvas/edits/PresetRecolour.h"
#include "library/items/LibraryPicture.h"
#include "library/items/PictureList.h"

#include <algorithm>
#include <cstdint>

namespace mosaiq {

QImage ClipartPicture(const CollageDocument& document, const ClipartRecord& record) {
    if (record.pasted) {
        if (record.sourceId < 0 || size_t(record.sourceId) >= document.pastedPictures.size())
            return {};
        return document.pastedPictures[size_t(record.sourceId)].convertToFormat(
            QImage::Format_ARGB32_Premultiplied);
    }
    const std::optional<QImage> picture = LoadLibraryPicture(record.sourceId);
    if (!picture || picture->isNull())
        return {};
    const QImage straight =
        record.sourceId > 999 ? RecolourPreset(*picture, record.presetColour) : *picture;
    return straight.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

QImage RecolourStamp(const QImage& brush, Colorref colour) {
    QImage out = brush.convertToFormat(QImage::Format_ARGB32);
    if (out.isNull())
        return out;
    const std::uint32_t rgb = (std::uint32_t(ColorrefRed(colour)) << 16) |
                              (std::uint32_t(ColorrefGreen(colour)) << 8) |
                              std::uint32_t(ColorrefBlue(colour));
    for (int y = 0; y < out.height(); ++y) {
        auto* line = reinterpret_cast<std::uint32_t*>(out.scanLine(y));
        for (int x = 0; x < out.width(); ++x)
            line[x] = (line[x] & 0xFF000000u) | rgb;
    }
    return out.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

QImage StampPicture(const CollageDocument& document, const StampRecord& record) {
    if (record.brushIndex < 0 || size_t(record.brushIndex) >= document.brushPictures.size())
        return {};
    return RecolourStamp(document.brushPictures[size_t(record.brushIndex)], record.colour);
}

void EnsureBrushPictures(CollageDocument& document) {
    if (!document.brushPictures.empty())
        return;
    const bool hasStamps = std::any_of(document.objects.begin(), document.objects.end(),
                                       [](const CanvasObject& o) { return o.Stamp() != nullptr; });
    if (hasStamps)
        document.brushPictures = ReadPictureList(DataFile(QStringLiteral("brushs")));
}

} // namespace mosaiq
