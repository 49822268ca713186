// Feeds arbitrary bytes to the framed-block reader of project files; whatever it accepts must
// frame again to the same bytes (less a rest too short for a header) and read back the same.
#include "canvas/project/ProjectBlocks.h"

#include <QBuffer>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    std::vector<mosaiq::ProjectBlock> blocks;
    QString error;
    if (!mosaiq::ReadProjectBlocks(buffer, blocks, &error))
        return error.isEmpty() ? (std::abort(), 0) : 0;
    QByteArray again;
    for (const mosaiq::ProjectBlock& block : blocks)
        if (!mosaiq::AppendProjectBlock(again, block))
            std::abort();
    if (again != bytes.left(again.size()) || bytes.size() - again.size() >= 12)
        std::abort();
    return 0;
}
