#include "canvas/project/ProjectBlocks.h"

#include <QIODevice>

#include <cstring>
#include <limits>

namespace mosaiq {
namespace {

void PutUint32(QByteArray& out, std::uint32_t value) {
    const char bytes[4] = {char(value & 0xFF), char((value >> 8) & 0xFF),
                           char((value >> 16) & 0xFF), char((value >> 24) & 0xFF)};
    out.append(bytes, 4);
}

std::uint32_t GetUint32(const char* bytes) {
    const auto* b = reinterpret_cast<const unsigned char*>(bytes);
    return std::uint32_t(b[0]) | (std::uint32_t(b[1]) << 8) | (std::uint32_t(b[2]) << 16) |
           (std::uint32_t(b[3]) << 24);
}

} // namespace

bool AppendProjectBlock(QByteArray& out, const ProjectBlock& block) {
    if (qint64(block.payload.size()) > qint64(std::numeric_limits<std::uint32_t>::max()))
        return false;
    out.append(block.tag.data(), 4);
    PutUint32(out, block.version);
    PutUint32(out, std::uint32_t(block.payload.size()));
    out.append(block.payload);
    return true;
}

bool ReadProjectBlocks(QIODevice& device, std::vector<ProjectBlock>& blocks, QString* error) {
    for (;;) {
        const qint64 left = device.size() - device.pos();
        if (left < kProjectBlockHeaderSize)
            return true;
        char header[kProjectBlockHeaderSize];
        if (device.read(header, kProjectBlockHeaderSize) != kProjectBlockHeaderSize) {
            if (error)
                *error = QStringLiteral("The project file ends too early.");
            return false;
        }
        ProjectBlock block;
        std::memcpy(block.tag.data(), header, 4);
        block.version = GetUint32(header + 4);
        const std::uint32_t length = GetUint32(header + 8);
        if (qint64(length) > left - kProjectBlockHeaderSize) {
            if (error)
                *error = QStringLiteral("The project file ends inside its block \"%1\".")
                             .arg(BlockTagText(block.tag));
            return false;
        }
        block.payload = device.read(qint64(length));
        if (block.payload.size() != qsizetype(length)) {
            if (error)
                *error = QStringLiteral("The project file ends too early.");
            return false;
        }
        blocks.push_back(std::move(block));
    }
}

QString BlockTagText(const ProjectBlockTag& tag) {
    QString text;
    for (char c : tag) {
        const auto u = static_cast<unsigned char>(c);
        if (u >= 0x20 && u < 0x7F && u != '\\')
            text += QChar(u);
        else
            text += QStringLiteral("\\x%1").arg(u, 2, 16, QChar('0'));
    }
    return text;
}

} // namespace mosaiq
