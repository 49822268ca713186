#include "canvas/project/LayoutBlock.h"

#include "canvas/document/CollageDocument.h"

#include <QtEndian>

#include <cmath>
#include <cstring>
#include <vector>

namespace mosaiq {
namespace {

// Larger than any canvas side; a rectangle beyond it is damage.
constexpr double kLargestCoordinate = 1.0e6;

void PutInt32(QByteArray& out, std::int32_t v) {
    char b[4];
    qToLittleEndian(v, b);
    out.append(b, 4);
}

void PutUint32(QByteArray& out, std::uint32_t v) {
    char b[4];
    qToLittleEndian(v, b);
    out.append(b, 4);
}

void PutDouble(QByteArray& out, double v) {
    std::uint64_t bits = 0;
    std::memcpy(&bits, &v, 8);
    char b[8];
    qToLittleEndian(bits, b);
    out.append(b, 8);
}

class Reader {
public:
    explicit Reader(const QByteArray& bytes) : m_bytes(bytes) {}
    std::int32_t Int32() { return qFromLittleEndian<std::int32_t>(Take(4)); }
    std::uint32_t Uint32() { return qFromLittleEndian<std::uint32_t>(Take(4)); }
    double Double() {
        const std::uint64_t bits = qFromLittleEndian<std::uint64_t>(Take(8));
        double v = 0.0;
        std::memcpy(&v, &bits, 8);
        return v;
    }

private:
    // The caller checked the size before reading.
    const char* Take(qsizetype n) {
        const char* at = m_bytes.constData() + m_pos;
        m_pos += n;
        return at;
    }
    const QByteArray& m_bytes;
    qsizetype m_pos = 0;
};

bool Reasonable(double v, double low) {
    return std::isfinite(v) && v >= low && v <= kLargestCoordinate;
}

} // namespace

bool EncodeLayoutBlock(const CollageDocument& document, QByteArray& payload) {
    const CollageLayout& layout = document.layout;
    if (!layout.Active())
        return false;
    std::vector<std::int64_t> owner(layout.cells.size(), -1);
    for (size_t i = 0; i < document.objects.size(); ++i) {
        const int cell = document.objects[i].layoutCell;
        if (cell >= 0 && size_t(cell) < owner.size() && document.objects[i].Photo() &&
            owner[size_t(cell)] < 0)
            owner[size_t(cell)] = std::int64_t(i);
    }
    // Only cells that hold a photo are written (the layout keeps none without one).
    std::uint32_t count = 0;
    for (std::int64_t o : owner)
        count += o >= 0 ? 1 : 0;
    if (count == 0)
        return false;
    QByteArray out;
    out.reserve(kLayoutBlockHeaderSize + qsizetype(count) * kLayoutCellSize);
    PutInt32(out, layout.family);
    PutDouble(out, layout.spacing);
    PutDouble(out, layout.margin);
    PutDouble(out, layout.cornerRadius);
    PutInt32(out, layout.fill ? 1 : 0);
    PutUint32(out, count);
    for (size_t c = 0; c < layout.cells.size(); ++c) {
        if (owner[c] < 0)
            continue;
        const QRectF& r = layout.cells[c];
        PutDouble(out, r.x());
        PutDouble(out, r.y());
        PutDouble(out, r.width());
        PutDouble(out, r.height());
        PutUint32(out, std::uint32_t(owner[c]));
        PutUint32(out, layout.UserCrop(int(c)) ? 1u : 0u);
    }
    payload = out;
    return true;
}

bool ApplyLayoutBlock(std::uint32_t version, const QByteArray& payload, CollageDocument& document,
                      QString* reason) {
    const auto damaged = [reason](const QString& why) {
        if (reason)
            *reason = QStringLiteral("The project's layout is damaged: %1.").arg(why);
        return false;
    };
    if (version != kLayoutBlockVersion)
        return damaged(QStringLiteral("version %1 is not known").arg(version));
    if (payload.size() < kLayoutBlockHeaderSize)
        return damaged(QStringLiteral("it is too short"));
    Reader in(payload);
    CollageLayout layout;
    layout.family = in.Int32();
    layout.spacing = in.Double();
    layout.margin = in.Double();
    layout.cornerRadius = in.Double();
    const std::int32_t fill = in.Int32();
    const std::uint32_t count = in.Uint32();
    if (layout.family < 0 || layout.family > 2)
        return damaged(QStringLiteral("family %1 is not known").arg(layout.family));
    if (!Reasonable(layout.spacing, 0.0) || !Reasonable(layout.margin, 0.0) ||
        !Reasonable(layout.cornerRadius, 0.0) || (fill != 0 && fill != 1))
        return damaged(QStringLiteral("a setting is out of range"));
    layout.fill = fill == 1;
    if (count == 0 || std::uint64_t(payload.size() - kLayoutBlockHeaderSize) !=
                          std::uint64_t(count) * std::uint64_t(kLayoutCellSize))
        return damaged(QStringLiteral("its size does not match its count of %1").arg(count));
    std::vector<int> tags(document.objects.size(), -1);
    layout.cells.reserve(count);
    layout.userCrop.reserve(count);
    for (std::uint32_t c = 0; c < count; ++c) {
        const double x = in.Double();
        const double y = in.Double();
        const double w = in.Double();
        const double h = in.Double();
        const std::uint32_t object = in.Uint32();
        const std::uint32_t flags = in.Uint32();
        if (!std::isfinite(x) || !std::isfinite(y) || std::abs(x) > kLargestCoordinate ||
            std::abs(y) > kLargestCoordinate || !Reasonable(w, 0.0) || !Reasonable(h, 0.0) ||
            !(w > 0.0) || !(h > 0.0))
            return damaged(QStringLiteral("cell %1 has no usable rectangle").arg(c));
        if (object >= document.objects.size() || !document.objects[object].Photo())
            return damaged(QStringLiteral("cell %1 does not hold a photo").arg(c));
        if (tags[object] >= 0)
            return damaged(QStringLiteral("object %1 is in two cells").arg(object));
        tags[object] = int(c);
        layout.cells.emplace_back(x, y, w, h);
        layout.userCrop.push_back((flags & 1u) ? 1 : 0);
    }
    for (size_t i = 0; i < tags.size(); ++i)
        document.objects[i].layoutCell = tags[i];
    document.layout = std::move(layout);
    return true;
}

} // namespace mosaiq
