#include "imaging/decode/HeifReader.h"

#include "core/text/DisplayText.h"
#include "imaging/colour/CodedSamples.h"
#include "imaging/colour/ColourProfile.h"
#include "imaging/decode/AvifSequence.h"
#include "imaging/decode/HeifBoxes.h"
#include "imaging/files/DecodeBudget.h"
#include "imaging/files/PictureLimits.h"

#include <libheif/heif.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>
#include <optional>
#include <vector>

namespace mosaiq {

namespace {

struct ContextFree {
    void operator()(heif_context* c) const { heif_context_free(c); }
};
struct HandleRelease {
    void operator()(heif_image_handle* h) const { heif_image_handle_release(h); }
};
struct ImageRelease {
    void operator()(heif_image* i) const { heif_image_release(i); }
};
struct OptionsFree {
    void operator()(heif_decoding_options* o) const { heif_decoding_options_free(o); }
};
using Handle = std::unique_ptr<heif_image_handle, HandleRelease>;

QString ErrorText(const heif_error& error) {
    // libheif's messages may end in a newline: quoted, they stay on this line.
    const QString message = LibraryMessage(error.message);
    return QStringLiteral("the HEIF picture cannot be read (%1)")
        .arg(message.isEmpty() ? QStringLiteral("unknown error") : message);
}

// A thumbnail of the primary picture at least minimum in both sides, or nothing.
Handle UsableThumbnail(heif_image_handle* primary, QSize minimum) {
    const int count = heif_image_handle_get_number_of_thumbnails(primary);
    if (!minimum.isValid() || count <= 0 || count > 16)
        return nullptr;
    heif_item_id ids[16];
    const int listed = heif_image_handle_get_list_of_thumbnail_IDs(primary, ids, count);
    for (int i = 0; i < listed; ++i) {
        heif_image_handle* thumb = nullptr;
        if (heif_image_handle_get_thumbnail(primary, ids[i], &thumb).code != heif_error_Ok)
            continue;
        Handle owned(thumb);
        if (heif_image_handle_get_width(thumb) >= minimum.width() &&
            heif_image_handle_get_height(thumb) >= minimum.height())
            return owned;
    }
    return nullptr;
}

// The largest thumbnail of the primary picture, or nothing: what a reduced decode shows when the
// picture itself is too large to decode whole.
Handle LargestThumbnail(heif_image_handle* primary) {
    const int count = heif_image_handle_get_number_of_thumbnails(primary);
    if (count <= 0 || count > 16)
        return nullptr;
    heif_item_id ids[16];
    const int listed = heif_image_handle_get_list_of_thumbnail_IDs(primary, ids, count);
    Handle best;
    for (int i = 0; i < listed; ++i) {
        heif_image_handle* thumb = nullptr;
        if (heif_image_handle_get_thumbnail(primary, ids[i], &thumb).code != heif_error_Ok)
            continue;
        Handle owned(thumb);
        if (!best ||
            std::int64_t(heif_image_handle_get_width(thumb)) * heif_image_handle_get_height(thumb) >
                std::int64_t(heif_image_handle_get_width(best.get())) *
                    heif_image_handle_get_height(best.get()))
            best = std::move(owned);
    }
    return best;
}

struct NclxFree {
    void operator()(heif_color_profile_nclx* p) const { heif_nclx_color_profile_free(p); }
};

// The file's "nclx" colour box, if it has one: its coded colours and whether its samples use the
// full range.
struct Nclx {
    CodedColour colour;
    bool fullRange = true;
};
std::optional<Nclx> ReadNclx(const heif_image_handle* handle) {
    heif_color_profile_nclx* raw = nullptr;
    const heif_error error = heif_image_handle_get_nclx_color_profile(handle, &raw);
    // libheif may hand back the profile it began filling in along with an error (an unknown
    // primaries code, say): it is ours to release either way.
    const std::unique_ptr<heif_color_profile_nclx, NclxFree> nclx(raw);
    if (error.code != heif_error_Ok || !nclx)
        return std::nullopt;
    Nclx read;
    CodedColour& colour = read.colour;
    colour.primaries = int(nclx->color_primaries);
    colour.transfer = int(nclx->transfer_characteristics);
    colour.red[0] = nclx->color_primary_red_x;
    colour.red[1] = nclx->color_primary_red_y;
    colour.green[0] = nclx->color_primary_green_x;
    colour.green[1] = nclx->color_primary_green_y;
    colour.blue[0] = nclx->color_primary_blue_x;
    colour.blue[1] = nclx->color_primary_blue_y;
    colour.white[0] = nclx->color_primary_white_x;
    colour.white[1] = nclx->color_primary_white_y;
    read.fullRange = nclx->full_range_flag != 0;
    return read;
}

// The colour profile of the picture: its embedded ICC profile, or one made from its "nclx"
// colour description (phones that write wide-gamut pictures without an ICC profile), or none.
QByteArray HandleProfile(const heif_image_handle* handle) {
    const heif_color_profile_type type = heif_image_handle_get_color_profile_type(handle);
    if (type == heif_color_profile_type_nclx) {
        const std::optional<Nclx> nclx = ReadNclx(handle);
        return nclx ? ProfileFromCodedColour(nclx->colour) : QByteArray();
    }
    if (type != heif_color_profile_type_prof && type != heif_color_profile_type_rICC)
        return {};
    const size_t size = heif_image_handle_get_raw_color_profile_size(handle);
    if (size == 0 || size > size_t(8 << 20))
        return {};
    QByteArray bytes(qsizetype(size), Qt::Uninitialized);
    if (heif_image_handle_get_raw_color_profile(handle, bytes.data()).code != heif_error_Ok)
        return {};
    return bytes;
}

// The interleaved plane (channels 3 or 4 bytes a pixel) reduced by d in both directions, each
// pixel the rounded mean of its d x d block: a caller that needs a small picture gets one in a
// single pass instead of a full-size copy scaled down in steps. Rows and columns past the last
// whole block are left out.
QImage BoxReduced(const uint8_t* plane, int stride, int width, int height, int channels, int d) {
    const int ow = width / d, oh = height / d;
    QImage out(ow, oh, channels == 4 ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    if (out.isNull())
        return out;
    std::vector<std::uint32_t> sums(size_t(ow) * size_t(channels));
    const std::uint32_t n = std::uint32_t(d) * std::uint32_t(d);
    for (int oy = 0; oy < oh; ++oy) {
        std::fill(sums.begin(), sums.end(), 0u);
        for (int dy = 0; dy < d; ++dy) {
            const uint8_t* row = plane + size_t(oy * d + dy) * size_t(stride);
            for (int ox = 0; ox < ow; ++ox) {
                std::uint32_t* sum = sums.data() + size_t(ox) * size_t(channels);
                const uint8_t* p = row + size_t(ox) * size_t(d) * size_t(channels);
                for (int dx = 0; dx < d; ++dx, p += channels)
                    for (int c = 0; c < channels; ++c)
                        sum[c] += p[c];
            }
        }
        auto* line = reinterpret_cast<QRgb*>(out.scanLine(oy));
        for (int ox = 0; ox < ow; ++ox) {
            const std::uint32_t* sum = sums.data() + size_t(ox) * size_t(channels);
            const auto mean = [&](int c) { return int((sum[c] + n / 2) / n); };
            line[ox] = qRgba(mean(0), mean(1), mean(2), channels == 4 ? mean(3) : 255);
        }
    }
    return out;
}

// Decodes handle to interleaved 8-bit RGB(A), turned by its transform boxes, into a QImage that
// owns its pixels: reduced by a whole factor (box filter) when a valid minimum allows it.
QImage DecodeHandle(heif_image_handle* handle, QSize minimum, QString* error) {
    const bool alpha = heif_image_handle_has_alpha_channel(handle) != 0;
    std::unique_ptr<heif_decoding_options, OptionsFree> options(heif_decoding_options_alloc());
    options->ignore_transformations = 0;
    options->convert_hdr_to_8bit = 1;
    heif_image* raw = nullptr;
    const heif_error decoded = heif_decode_image(
        handle, &raw, heif_colorspace_RGB,
        alpha ? heif_chroma_interleaved_RGBA : heif_chroma_interleaved_RGB, options.get());
    std::unique_ptr<heif_image, ImageRelease> image(raw);
    if (decoded.code != heif_error_Ok || !raw) {
        *error = ErrorText(decoded);
        return {};
    }
    const int width = heif_image_get_width(raw, heif_channel_interleaved);
    const int height = heif_image_get_height(raw, heif_channel_interleaved);
    int stride = 0;
    const uint8_t* plane = heif_image_get_plane_readonly(raw, heif_channel_interleaved, &stride);
    if (!plane || width <= 0 || height <= 0 || stride < width * (alpha ? 4 : 3)) {
        *error = QStringLiteral("the HEIF picture decoded to nothing");
        return {};
    }
    // Sums of a d x d block stay within 32 bits up to d = 256.
    const int d = minimum.isValid() ? std::min({width / std::max(1, minimum.width()),
                                                height / std::max(1, minimum.height()), 256})
                                    : 1;
    if (d >= 2)
        return BoxReduced(plane, stride, width, height, alpha ? 4 : 3, d);
    const QImage view(plane, width, height, stride,
                      alpha ? QImage::Format_RGBA8888 : QImage::Format_RGB888);
    // The conversion copies the pixels out of libheif's buffer, which is released on return.
    return view.convertToFormat(alpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
}

// How a picture is decoded: through libheif's 8-bit RGB, or at its coded depth (CodedSamples) when
// 8 bits would lose what the curve needs (10 or 12 bits under PQ or HLG) or libheif would leave
// the samples wrong (grey pictures in video range, which it passes on unexpanded).
struct DeepDecode {
    bool grey = false;
    bool limitedRange = false;
    CodedColour colour;
};

// Decodes handle at its coded depth and turns it into sRGB in one step: a grey picture as its one
// plane (and alpha), a colour one as 16-bit RGB(A); reduced by a whole factor when a valid minimum
// allows it.
QImage DecodeDeep(heif_image_handle* handle, QSize minimum, const DeepDecode& how, QString* error) {
    const bool alpha = heif_image_handle_has_alpha_channel(handle) != 0;
    std::unique_ptr<heif_decoding_options, OptionsFree> options(heif_decoding_options_alloc());
    options->ignore_transformations = 0;
    options->convert_hdr_to_8bit = 0;
    heif_image* raw = nullptr;
    const heif_error decoded =
        heif_decode_image(handle, &raw, how.grey ? heif_colorspace_monochrome : heif_colorspace_RGB,
                          how.grey ? heif_chroma_monochrome
                                   : (alpha ? heif_chroma_interleaved_RRGGBBAA_LE
                                            : heif_chroma_interleaved_RRGGBB_LE),
                          options.get());
    std::unique_ptr<heif_image, ImageRelease> image(raw);
    if (decoded.code != heif_error_Ok || !raw) {
        *error = ErrorText(decoded);
        return {};
    }
    const heif_channel channel = how.grey ? heif_channel_Y : heif_channel_interleaved;
    CodedSamples samples;
    int stride = 0;
    samples.data = heif_image_get_plane_readonly(raw, channel, &stride);
    samples.stride = stride;
    samples.width = heif_image_get_width(raw, channel);
    samples.height = heif_image_get_height(raw, channel);
    samples.bits = heif_image_get_bits_per_pixel_range(raw, channel);
    samples.channels = how.grey ? 1 : (alpha ? 4 : 3);
    samples.limitedRange = how.grey && how.limitedRange;
    if (how.grey && alpha && heif_image_has_channel(raw, heif_channel_Alpha)) {
        int alphaStride = 0;
        samples.alpha = heif_image_get_plane_readonly(raw, heif_channel_Alpha, &alphaStride);
        samples.alphaStride = alphaStride;
        samples.alphaBits = heif_image_get_bits_per_pixel_range(raw, heif_channel_Alpha);
        if (heif_image_get_width(raw, heif_channel_Alpha) != samples.width ||
            heif_image_get_height(raw, heif_channel_Alpha) != samples.height)
            samples.alpha = nullptr;
    }
    QImage out = CodedSamplesToSrgb(samples, how.colour);
    if (out.isNull()) {
        *error = QStringLiteral("the HEIF picture decoded to nothing");
        return {};
    }
    const int d = minimum.isValid() ? std::min(out.width() / std::max(1, minimum.width()),
                                               out.height() / std::max(1, minimum.height()))
                                    : 1;
    if (d >= 2)
        out = out.scaled(out.width() / d, out.height() / d, Qt::IgnoreAspectRatio,
                         Qt::SmoothTransformation);
    return out;
}

// The size the picture is drawn at: the "ispe" size libheif reports, unless an AV1 picture's own
// sequence header gives larger frames (a layered picture, or a wrong box), turned as the handle
// is.
QSize DrawnSize(QSize reported, const HeifPrimaryCoding& coding) {
    const QSize coded = coding.codedSize;
    if (!coded.isValid())
        return reported;
    if (coded.width() > reported.width() && coded.height() > reported.height())
        return coded;
    if (coded.height() > reported.width() && coded.width() > reported.height())
        return coded.transposed();
    return reported;
}

} // namespace

bool LooksLikeHeif(const QByteArray& data) {
    if (data.size() < 16 || std::memcmp(data.constData() + 4, "ftyp", 4) != 0)
        return false;
    static const char* const kBrands[] = {"heic", "heix", "heim", "heis", "hevc",
                                          "hevx", "mif1", "msf1", "avif", "avis"};
    // The major brand at 8, the minor version at 12, compatible brands from 16 to the box's end.
    const quint32 box = (quint32(uchar(data[0])) << 24) | (quint32(uchar(data[1])) << 16) |
                        (quint32(uchar(data[2])) << 8) | quint32(uchar(data[3]));
    const qsizetype end = std::min<qsizetype>(data.size(), box < 16 ? 16 : qsizetype(box));
    for (qsizetype at = 8; at + 4 <= end; at += at == 8 ? 8 : 4) {
        for (const char* brand : kBrands)
            if (std::memcmp(data.constData() + at, brand, 4) == 0)
                return true;
    }
    return false;
}

HeifPicture ReadHeif(const QByteArray& data, QSize minimum, bool sizeOnly) {
    HeifPicture result;
    std::unique_ptr<heif_context, ContextFree> context(heif_context_alloc());
    if (!context) {
        result.error = QStringLiteral("the HEIF reader cannot start");
        return result;
    }
    // libheif refuses larger claims itself before allocating; our own limits follow below. No
    // ratio of pixels to bytes applies: AV1 and HEVC code a plain picture of millions of pixels
    // in a few hundred bytes.
    heif_context_set_maximum_image_size_limit(context.get(), kMaxPictureSide);
    heif_error error = heif_context_read_from_memory_without_copy(context.get(), data.constData(),
                                                                  size_t(data.size()), nullptr);
    heif_image_handle* primary = nullptr;
    if (error.code == heif_error_Ok)
        error = heif_context_get_primary_image_handle(context.get(), &primary);
    if (error.code != heif_error_Ok) {
        // An AVIF of a sequence alone has no still picture for libheif: its first frame is.
        if (LooksLikeAvifSequence(data))
            return ReadAvifSequence(data, sizeOnly);
        result.error = ErrorText(error);
        return result;
    }
    Handle owned(primary);
    const HeifPrimaryCoding coding = ReadHeifPrimaryCoding(data);
    const QSize reported(heif_image_handle_get_width(primary),
                         heif_image_handle_get_height(primary));
    result.fullSize = DrawnSize(reported, coding);
    if (!PictureSizeAllowed(result.fullSize, &result.error)) {
        result.fullSize = QSize();
        return result;
    }
    if (sizeOnly)
        return result;
    // A picture too large to decode whole (a grid: libheif 1.15 decodes all its tiles into one
    // picture) is shown from its thumbnail when a reduced picture will do, and refused otherwise.
    QString tooLarge;
    const bool whole = WithinBudget(result.fullSize, kWholePictureBudget, &tooLarge);
    Handle thumbnail = UsableThumbnail(primary, minimum);
    if (!thumbnail && !whole && minimum.isValid())
        thumbnail = LargestThumbnail(primary);
    if (!thumbnail && !whole) {
        result.error = QStringLiteral("the picture is %1 x %2 pixels: %3")
                           .arg(result.fullSize.width())
                           .arg(result.fullSize.height())
                           .arg(tooLarge);
        result.fullSize = QSize();
        return result;
    }
    heif_image_handle* source = thumbnail ? thumbnail.get() : primary;
    const std::optional<Nclx> nclx = ReadNclx(source);
    DeepDecode deep;
    deep.grey = !thumbnail && coding.found && coding.monochrome;
    deep.limitedRange = nclx && !nclx->fullRange;
    if (nclx)
        deep.colour = nclx->colour;
    const bool hdr = nclx && IsHighDynamicRangeTransfer(nclx->colour.transfer) &&
                     heif_image_handle_get_luma_bits_per_pixel(source) > 8;
    if ((deep.grey && deep.limitedRange) || hdr) {
        if (!hdr)
            deep.colour = CodedColour(); // grey in video range: only the range is expanded
        result.image = DecodeDeep(source, minimum, deep, &result.error);
        if (!hdr)
            result.colourProfile = HandleProfile(source);
    } else {
        result.colourProfile = HandleProfile(primary);
        result.image = DecodeHandle(source, minimum, &result.error);
    }
    if (result.image.isNull()) {
        result.fullSize = QSize();
        result.colourProfile.clear();
    } else if (!thumbnail && !minimum.isValid()) {
        // The picture as decoded is the one drawn, whatever its boxes claimed.
        result.fullSize = result.image.size();
    }
    return result;
}

} // namespace mosaiq
