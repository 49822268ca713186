// The resource pack reader on arbitrary bytes. A pack that reads back whole must encode to the
// same bytes (cliparts and brushes drop their full data, so only the other kinds are compared).
#include "library/ResourcePack.h"

#include <QBuffer>

#include <cstdlib>

using namespace mosaiq;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QString reason;
    const std::optional<ResourcePack> pack = ParseResourcePack(buffer, &reason);
    if (!pack) {
        if (reason.isEmpty())
            std::abort();
        return 0;
    }
    if (pack->type < 0 || pack->type >= kPackKindCount)
        std::abort();
    const bool keepsData = pack->type != int(PackKind::Cliparts) &&
                           pack->type != int(PackKind::Brushes);
    if (keepsData && EncodeResourcePack(*pack) != bytes)
        std::abort();
    return 0;
}
