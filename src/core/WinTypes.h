#pragma once

// Plain value types that records and library files store: colours in the 0x00BBGGRR order
// (red in the low byte), rectangles of four int32, and 16-byte keys in the GUID layout.

#include <QUuid>

#include <array>
#include <cstdint>
#include <cstring>

namespace mosaiq {

using Colorref = std::uint32_t; // 0x00BBGGRR

constexpr Colorref MakeColorref(int r, int g, int b) {
    return Colorref(r & 0xFF) | (Colorref(g & 0xFF) << 8) | (Colorref(b & 0xFF) << 16);
}
constexpr int ColorrefRed(Colorref c) { return int(c & 0xFF); }
constexpr int ColorrefGreen(Colorref c) { return int((c >> 8) & 0xFF); }
constexpr int ColorrefBlue(Colorref c) { return int((c >> 16) & 0xFF); }

#pragma pack(push, 1)
struct Rect32 {
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t right = 0;
    std::int32_t bottom = 0;
};
static_assert(sizeof(Rect32) == 16);

// A 16-byte key in the Windows GUID layout: Data1 (uint32), Data2, Data3 (uint16) little-endian,
// then Data4 (8 bytes).
struct Guid {
    std::array<std::uint8_t, 16> bytes{};

    bool IsNull() const {
        for (auto b : bytes)
            if (b)
                return false;
        return true;
    }
    friend bool operator==(const Guid&, const Guid&) = default;

    // A new random key.
    static Guid Create();
    static Guid FromUuid(const QUuid& uuid);
    QUuid ToUuid() const;
    // "{xxxxxxxx-xxxx-xxxx-xxxx-xxxxxxxxxxxx}", upper case, as keys are shown to people.
    QString ToText() const;
};
static_assert(sizeof(Guid) == 16);
#pragma pack(pop)

inline Guid Guid::FromUuid(const QUuid& u) {
    Guid g;
    const std::uint32_t d1 = u.data1;
    for (int i = 0; i < 4; ++i)
        g.bytes[size_t(i)] = std::uint8_t(d1 >> (8 * i));
    g.bytes[4] = std::uint8_t(u.data2);
    g.bytes[5] = std::uint8_t(u.data2 >> 8);
    g.bytes[6] = std::uint8_t(u.data3);
    g.bytes[7] = std::uint8_t(u.data3 >> 8);
    std::memcpy(&g.bytes[8], u.data4, 8);
    return g;
}

inline QUuid Guid::ToUuid() const {
    const std::uint32_t d1 = std::uint32_t(bytes[0]) | (std::uint32_t(bytes[1]) << 8) |
                             (std::uint32_t(bytes[2]) << 16) | (std::uint32_t(bytes[3]) << 24);
    const std::uint16_t d2 = std::uint16_t(bytes[4] | (bytes[5] << 8));
    const std::uint16_t d3 = std::uint16_t(bytes[6] | (bytes[7] << 8));
    return QUuid(d1, d2, d3, bytes[8], bytes[9], bytes[10], bytes[11], bytes[12], bytes[13],
                 bytes[14], bytes[15]);
}

inline Guid Guid::Create() { return FromUuid(QUuid::createUuid()); }

inline QString Guid::ToText() const { return ToUuid().toString(QUuid::WithBraces).toUpper(); }

} // namespace mosaiq
