#pragma once

// Pixel budgets of the decoding paths whose pictures are not photos. Photos and backgrounds are
// held to the picture limits (imaging/PictureLimits.h); an effect's picture, a resource pack's
// item and the pictures a project carries get budgets of their own, smaller, because each of
// their pixels costs several times more memory on its way through (the image library's working
// copies, the pack held whole in memory) and a few hundred kilobytes of file can claim them.
// A picture is measured from its header before it is decoded, so a refusal costs nothing.

#include <QByteArray>
#include <QSize>
#include <QString>

#include <cstdint>

namespace mosaiq {

struct DecodeBudget {
    const char* name;    // how a refusal names the budget
    std::int64_t pixels; // the most pixels one picture (or all of them together) may hold
};

// The picture an effect works on (the effect command and the editor's effect worker).
inline constexpr DecodeBudget kEffectBudget{"an effect's picture", 64'000'000};
// One item's full picture (and thumbnail) in a resource pack; make-pack's inputs alike.
inline constexpr DecodeBudget kPackItemBudget{"a pack item's picture", 16'000'000};
// A HEIF or AVIF picture decoded whole (libheif 1.15 decodes every tile of a grid into one picture
// at several times its pixels in memory, never one tile at a time), and a WebP picture coded in far
// fewer bytes than its size (one colour, which the byte ratio of PictureLimits.h cannot tell
// from a bomb): these formats are bounded by their decoders' own limits, the picture limits and
// this budget instead.
inline constexpr DecodeBudget kWholePictureBudget{"a phone picture decoded whole", 64'000'000};
// The pasted pictures one project carries, together.
inline constexpr DecodeBudget kPastedBudget{"the pasted pictures of a project together",
                                            64'000'000};

// True when pixels fit budget; otherwise false with a one-line reason naming the budget.
bool WithinBudget(std::int64_t pixels, const DecodeBudget& budget, QString* reason);
inline bool WithinBudget(QSize size, const DecodeBudget& budget, QString* reason) {
    return WithinBudget(std::int64_t(size.width()) * size.height(), budget, reason);
}

// The size the picture at path announces (by the two-decoder rule, header only) fits budget.
// False with a reason when it does not, or when the size cannot be read.
bool PictureFileWithinBudget(const QString& path, const DecodeBudget& budget, QString* reason);

} // namespace mosaiq
