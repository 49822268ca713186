#include "imaging/decode/HeifReader.h"

#include "imaging/colour/ColourProfile.h"
#include "imaging/files/PictureLimits.h"

#include <libheif/heif.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>
#include <memory>

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
    return QStringLiteral("the HEIF picture cannot be read (%1)")
        .arg(QString::fromUtf8(error.message ? error.message : "unknown error"));
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

struct NclxFree {
    void operator()(heif_color_profile_nclx* p) const { heif_nclx_color_profile_free(p); }
};

// The ICC profile standing for the file's "nclx" colour box, if it has one that describes
// colours other than sRGB's.
QByteArray NclxProfile(const heif_image_handle* handle) {
    heif_color_profile_nclx* raw = nullptr;
    const heif_error error = heif_image_handle_get_nclx_color_profile(handle, &raw);
    // libheif may hand back the profile it began filling in along with an error (an unknown
    // primaries code, say): it is ours to release either way.
    const std::unique_ptr<heif_color_profile_nclx, NclxFree> nclx(raw);
    if (error.code != heif_error_Ok || !nclx)
        return {};
    CodedColour colour;
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
    return ProfileFromCodedColour(colour);
}

// The colour profile of the picture: its embedded ICC profile, or one made from its "nclx"
// colour description (phones that write wide-gamut pictures without an ICC profile), or none.
QByteArray HandleProfile(const heif_image_handle* handle) {
    const heif_color_profile_type type = heif_image_handle_get_color_profile_type(handle);
    if (type == heif_color_profile_type_nclx)
        return NclxProfile(handle);
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
    // libheif refuses larger claims itself before allocating; our own limit follows below.
    heif_context_set_maximum_image_size_limit(context.get(), kMaxPictureSide);
    heif_error error = heif_context_read_from_memory_without_copy(context.get(), data.constData(),
                                                                  size_t(data.size()), nullptr);
    if (error.code != heif_error_Ok) {
        result.error = ErrorText(error);
        return result;
    }
    heif_image_handle* primary = nullptr;
    error = heif_context_get_primary_image_handle(context.get(), &primary);
    if (error.code != heif_error_Ok) {
        result.error = ErrorText(error);
        return result;
    }
    Handle owned(primary);
    result.fullSize =
        QSize(heif_image_handle_get_width(primary), heif_image_handle_get_height(primary));
    if (!PictureSizeAllowed(result.fullSize, &result.error) ||
        !PictureDataPlausible(result.fullSize, data.size(), &result.error)) {
        result.fullSize = QSize();
        return result;
    }
    if (sizeOnly)
        return result;
    result.colourProfile = HandleProfile(primary);
    const Handle thumbnail = UsableThumbnail(primary, minimum);
    result.image = DecodeHandle(thumbnail ? thumbnail.get() : primary, minimum, &result.error);
    if (result.image.isNull())
        result.fullSize = QSize();
    return result;
}

} // namespace mosaiq
