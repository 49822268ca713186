#include "core/text/FixedText.h"

#include <QStringDecoder>

#include <cstring>

namespace mosaiq {
namespace {

// Windows-1252 bytes 0x80..0x9F; the rest of the range maps to the same Unicode code point.
constexpr char16_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

QString FromCp1252(const char* bytes, std::size_t len) {
    QString out;
    out.reserve(qsizetype(len));
    for (std::size_t i = 0; i < len; ++i) {
        const unsigned char b = static_cast<unsigned char>(bytes[i]);
        out.append(QChar(b >= 0x80 && b < 0xA0 ? kCp1252High[b - 0x80] : char16_t(b)));
    }
    return out;
}

} // namespace

QString ReadFixedText(const char* field, std::size_t size) {
    if (size == 0)
        return {};
    const std::size_t len = strnlen(field, size);
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(QByteArrayView(field, qsizetype(len)));
    if (utf8.hasError())
        return FromCp1252(field, len);
    return text;
}

bool WriteFixedText(char* field, std::size_t size, const QString& text) {
    std::memset(field, 0, size);
    if (size == 0)
        return text.isEmpty();
    const QByteArray bytes = text.toUtf8();
    if (std::size_t(bytes.size()) <= size - 1) {
        std::memcpy(field, bytes.constData(), size_t(bytes.size()));
        return true;
    }
    // Too long: keep whole characters only (never a lead byte without its continuation bytes).
    std::size_t cut = size - 1;
    while (cut > 0 && (static_cast<unsigned char>(bytes[qsizetype(cut)]) & 0xC0) == 0x80)
        --cut;
    std::memcpy(field, bytes.constData(), cut);
    return false;
}

bool FitsFixedText(const QString& text, std::size_t size) {
    return size > 0 && std::size_t(text.toUtf8().size()) <= size - 1;
}

} // namespace mosaiq
