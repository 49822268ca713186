// The resource pack reader (with its full decode of every kept picture) on arbitrary bytes. A pack
// that reads must encode to bytes that read again to the same pack: the reader's own repairs
// (bytes after the last item dropped, an empty thumbnail stored 0 x 0, the picture's own size
// kept) are made once. Kinds that keep their data never grow.
#include "library/packs/ResourcePack.h"

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
    QByteArray encoded = EncodeResourcePack(*pack);
    if (keepsData && encoded.size() > bytes.size())
        std::abort();
    QBuffer again(&encoded);
    again.open(QIODevice::ReadOnly);
    const std::optional<ResourcePack> reread = ParseResourcePack(again, &reason);
    if (!reread || EncodeResourcePack(*reread) != encoded)
        std::abort();
    return 0;
}
