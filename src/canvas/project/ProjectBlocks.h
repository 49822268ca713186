#pragma once

// The framed blocks of a project file. After the last object (and after the pasted-picture block
// "MQPX", which keeps its own older layout and always comes first), a project may carry blocks of
// the form: 4-byte tag, uint32 version, uint32 length L (little-endian), then L bytes. A reader
// steps over a tag it does not know by its length, so newer blocks never stop an older reader.
// A project with nothing to say in any block writes none, so its bytes stay as they were.

#include <QByteArray>
#include <QString>

#include <array>
#include <cstdint>
#include <vector>

class QIODevice;

namespace mosaiq {

using ProjectBlockTag = std::array<char, 4>;

// Makes a tag from four characters: MakeBlockTag("UPRT").
constexpr ProjectBlockTag MakeBlockTag(const char (&text)[5]) {
    return {text[0], text[1], text[2], text[3]};
}

struct ProjectBlock {
    ProjectBlockTag tag{};
    std::uint32_t version = 0;
    QByteArray payload;
};

constexpr qint64 kProjectBlockHeaderSize = 12;

// Appends one framed block to out. False (out unchanged) when the payload does not fit a uint32
// length.
bool AppendProjectBlock(QByteArray& out, const ProjectBlock& block);

// Reads framed blocks from the device's position to its end into blocks, in file order. A rest
// shorter than a block header is ignored, as bytes after the last object always were; a block
// whose length runs past the end of the device fails with a reason. Each length is checked
// against the bytes left before anything is allocated.
bool ReadProjectBlocks(QIODevice& device, std::vector<ProjectBlock>& blocks, QString* error);

// The tag as text for messages: printable ASCII as it is, other bytes as \xNN.
QString BlockTagText(const ProjectBlockTag& tag);

} // namespace mosaiq
