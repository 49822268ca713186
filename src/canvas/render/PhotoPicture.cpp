#include "canvas/render/PhotoPicture.h"

#include "canvas/project/CarriedMasks.h"
#include "canvas/render/DisplayScaling.h"
#include "canvas/project/EffectPictures.h"
#include "core/text/FixedText.h"
#include "imaging/decode/PictureDecoder.h"
#include "library/items/FrameLibrary.h"
#include "library/items/MaskLibrary.h"

#include <QDateTime>
#include <QFileInfo>
#include <QPainter>

#include <algorithm>
#include <cstdint>
#include <list>
#include <mutex>

namespace mosaiq {
namespace {

// The smallest decode whose crop still covers the displayed size, judged from the size the
// record measured when the photo was added; invalid (decode in full) when the display is as wide
// as the crop or the record's sizes cannot be trusted.
QSize DecodeMinimum(const PhotoRecord& record, QSize displayed) {
    PhotoRecord probe = record;
    const QSize recorded(record.pictureWidth, record.pictureHeight);
    if (recorded.isEmpty())
        return {};
    ClampCrop(probe, recorded);
    const std::int64_t cw = probe.cropRight - probe.cropLeft;
    const std::int64_t ch = probe.cropBottom - probe.cropTop;
    if (cw <= 0 || ch <= 0 || displayed.width() >= cw)
        return {};
    const auto need = [](std::int64_t shown, std::int64_t full, std::int64_t crop) {
        return int(std::min<std::int64_t>(full, (shown * full + crop - 1) / crop));
    };
    return {need(displayed.width(), recorded.width(), cw),
            need(displayed.height(), recorded.height(), ch)};
}

// The record's crop (in the picture's own pixels) on a decode of decodedSize.
QRect CropOnDecoded(const PhotoRecord& r, QSize fullSize, QSize decodedSize) {
    const std::int64_t fw = fullSize.width(), fh = fullSize.height();
    const std::int64_t iw = decodedSize.width(), ih = decodedSize.height();
    const int left = int(r.cropLeft * iw / fw);
    const int top = int(r.cropTop * ih / fh);
    const int right = int(std::min<std::int64_t>(iw, (r.cropRight * iw + fw - 1) / fw));
    const int bottom = int(std::min<std::int64_t>(ih, (r.cropBottom * ih + fh - 1) / fh));
    return QRect(QPoint(left, top),
                 QPoint(std::max(left + 1, right) - 1, std::max(top + 1, bottom) - 1));
}

// The last few decodes of photo files, so that a crop that keeps moving over the same picture
// (panning in a cell, a swap, a gap drag's release) is cut from memory instead of decoding the
// file again. Keyed by the file's path, size and time and the turn; any thread may ask.
class DecodedPhotos {
public:
    bool Find(const QString& path, bool upright, QSize minimum, QImage* image, QSize* fullSize) {
        const QFileInfo info(path);
        std::lock_guard<std::mutex> lock(m_mutex);
        for (auto it = m_entries.begin(); it != m_entries.end(); ++it) {
            if (it->path != path || it->upright != upright || it->bytes != info.size() ||
                it->modified != info.lastModified())
                continue;
            // A decode of at least the size wanted (all of it when no size is given).
            const bool enough = minimum.isValid()
                                    ? it->image.width() >= minimum.width() &&
                                          it->image.height() >= minimum.height()
                                    : it->image.size() == it->fullSize;
            if (!enough)
                continue;
            *image = it->image;
            *fullSize = it->fullSize;
            m_entries.splice(m_entries.begin(), m_entries, it);
            return true;
        }
        return false;
    }

    void Keep(const QString& path, bool upright, const QImage& image, QSize fullSize) {
        const qint64 pixels = qint64(image.width()) * image.height();
        if (image.isNull() || pixels > kBudget / 2)
            return;
        const QFileInfo info(path);
        std::lock_guard<std::mutex> lock(m_mutex);
        m_entries.push_front({path, upright, info.size(), info.lastModified(), image, fullSize});
        m_pixels += pixels;
        while (m_pixels > kBudget || m_entries.size() > kEntries) {
            const QImage& last = m_entries.back().image;
            m_pixels -= qint64(last.width()) * last.height();
            m_entries.pop_back();
        }
    }

private:
    static constexpr qint64 kBudget = 24'000'000; // pixels kept in all
    static constexpr size_t kEntries = 6;
    struct Entry {
        QString path;
        bool upright;
        qint64 bytes;
        QDateTime modified;
        QImage image;
        QSize fullSize;
    };
    std::mutex m_mutex;
    std::list<Entry> m_entries; // most recent first
    qint64 m_pixels = 0;
};

DecodedPhotos& RecentDecodes() {
    static DecodedPhotos decodes;
    return decodes;
}

} // namespace

bool ClampCrop(PhotoRecord& r, QSize pictureSize) {
    const PhotoRecord before = r;
    const int w = pictureSize.width();
    const int h = pictureSize.height();
    if (r.cropLeft < 0 || r.cropLeft > w)
        r.cropLeft = 0;
    if (r.cropTop < 0 || r.cropTop > h)
        r.cropTop = 0;
    if (r.cropRight < 0 || r.cropRight > w)
        r.cropRight = w;
    if (r.cropBottom < 0 || r.cropBottom > h)
        r.cropBottom = h;
    if (r.cropRight <= r.cropLeft) {
        r.cropLeft = 0;
        r.cropRight = w;
    }
    if (r.cropBottom <= r.cropTop) {
        r.cropTop = 0;
        r.cropBottom = h;
    }
    return r.cropLeft != before.cropLeft || r.cropTop != before.cropTop ||
           r.cropRight != before.cropRight || r.cropBottom != before.cropBottom;
}

PhotoPictureResult BuildPhotoPicture(PhotoRecord& record, QSize displayed, bool upright) {
    PhotoPictureResult result;
    const QString path = ReadFixedText(record.path);
    if (!PhotoSourceAvailable(path)) {
        result.fileMissing = true;
        return result;
    }
    QSize fullSize;
    QImage decoded;
    if (QFileInfo(path).isFile()) {
        const QSize minimum = DecodeMinimum(record, displayed);
        if (!RecentDecodes().Find(path, upright, minimum, &decoded, &fullSize)) {
            decoded = DecodePictureAtLeast(path, minimum, &fullSize, &result.error,
                                           upright ? PictureTurn::Upright : PictureTurn::AsStored);
            if (!decoded.isNull() && !fullSize.isEmpty())
                RecentDecodes().Keep(path, upright, decoded, fullSize);
        }
    } else if (const std::optional<QByteArray> carried = FindCarriedEffectPicture(path)) {
        // An effect picture the project carried, read by a headless tool: drawn from memory.
        const DecodedPicture picture =
            DecodePictureData(*carried, QStringLiteral("png"), DecodeMinimum(record, displayed));
        result.error = picture.error;
        fullSize = picture.fullSize;
        decoded = picture.image;
    }
    if (decoded.isNull() || fullSize.isEmpty())
        return result;
    ClampCrop(record, fullSize);
    const std::int64_t cropWidth = record.cropRight - record.cropLeft;
    QImage picture = decoded.copy(CropOnDecoded(record, fullSize, decoded.size()));
    if (displayed.width() < cropWidth && !displayed.isEmpty())
        picture = ScaleForDisplay(picture, displayed);
    if (picture.format() != QImage::Format_ARGB32_Premultiplied)
        picture = picture.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    if (record.maskId > 0) {
        const QImage mask = PhotoMask(record);
        if (!mask.isNull())
            ApplyMaskAlpha(picture, mask);
        else
            result.maskMissing = true;
    }
    result.picture = picture;
    return result;
}

QImage MaskOnWhite(const QImage& mask) {
    QImage flat(mask.size(), QImage::Format_RGB32);
    flat.fill(Qt::white);
    QPainter painter(&flat);
    painter.drawImage(0, 0, mask);
    painter.end();
    return flat;
}

void ApplyMaskAlpha(QImage& picture, const QImage& mask) {
    if (picture.isNull() || mask.isNull())
        return;
    // A mask drawn on transparency (a dark shape on a clear background) is read as if laid on
    // white, so its transparent parts hide the photo; an opaque mask is read as it is.
    QImage source = mask;
    if (mask.hasAlphaChannel())
        source = MaskOnWhite(mask);
    // Straight colours, so the blue byte is the mask's own value.
    const QImage scaled =
        source.convertToFormat(QImage::Format_ARGB32)
            .scaled(picture.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
            .convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < picture.height(); ++y) {
        auto* line = reinterpret_cast<std::uint32_t*>(picture.scanLine(y));
        const auto* m = reinterpret_cast<const std::uint32_t*>(scaled.constScanLine(y));
        for (int x = 0; x < picture.width(); ++x) {
            const std::uint32_t p = line[x];
            const std::uint32_t oldAlpha = p >> 24;
            const std::uint32_t alpha = 255 - (m[x] & 0xFF);
            if (oldAlpha == 0) {
                line[x] = 0;
                continue;
            }
            std::uint32_t out = alpha << 24;
            for (int shift = 0; shift < 24; shift += 8) {
                // straight = c * 255 / oldAlpha, then times the new alpha.
                const std::uint32_t c = (p >> shift) & 0xFF;
                const std::uint32_t v = (c * alpha + oldAlpha / 2) / oldAlpha;
                out |= std::min<std::uint32_t>(v, alpha) << shift;
            }
            line[x] = out;
        }
    }
}

QImage PhotoMask(const PhotoRecord& record) {
    if (record.maskId <= 0)
        return {};
    const std::optional<MaskPicture> mask =
        record.customMask ? FindCustomMask(record.maskKey) : ReadMask(record.maskId - 1);
    if (!mask && record.customMask)
        return FindCarriedMask(record.maskKey); // carried by a project read without the library
    return mask ? mask->image : QImage();
}

QImage BuildFramePicture(int frameId, QSize displayed) {
    if (frameId < 1 || displayed.isEmpty())
        return {};
    const std::optional<QImage> frame = ReadFrame(frameId - 1);
    if (!frame || frame->isNull())
        return {};
    return ScaleForDisplay(*frame, displayed);
}

} // namespace mosaiq
