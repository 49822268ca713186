#include "HeifGridFile.h"

#include <QImage>
#include <QtEndian>

#include <libheif/heif.h>

#include <cstring>

namespace mosaiq::test {

namespace {

heif_error Append(heif_context*, const void* data, size_t size, void* target) {
    static_cast<QByteArray*>(target)->append(static_cast<const char*>(data), qsizetype(size));
    return heif_error{heif_error_Ok, heif_suberror_Unspecified, "ok"};
}

// A one-picture HEIC of a side x side tile (no thumbnail), as libheif writes it.
QByteArray TileHeic(int side) {
    heif_image* image = nullptr;
    heif_image_create(side, side, heif_colorspace_RGB, heif_chroma_interleaved_RGB, &image);
    heif_image_add_plane(image, heif_channel_interleaved, side, side, 8);
    int stride = 0;
    uint8_t* plane = heif_image_get_plane(image, heif_channel_interleaved, &stride);
    // Noise, so the tile costs as many bytes as a detailed photo's (a grid claiming a huge
    // picture from a tiny file is refused by the byte ratio already).
    quint32 seed = 12345;
    for (int y = 0; y < side; ++y)
        for (int x = 0; x < side * 3; ++x) {
            seed = seed * 1664525u + 1013904223u;
            plane[y * stride + x] = uint8_t(seed >> 24);
        }
    heif_context* context = heif_context_alloc();
    heif_encoder* encoder = nullptr;
    heif_context_get_encoder_for_format(context, heif_compression_HEVC, &encoder);
    heif_encoder_set_lossy_quality(encoder, 80);
    heif_image_handle* handle = nullptr;
    heif_context_encode_image(context, image, encoder, nullptr, &handle);
    QByteArray bytes;
    heif_writer writer{1, &Append};
    heif_context_write(context, &writer, &bytes);
    heif_image_handle_release(handle);
    heif_encoder_release(encoder);
    heif_image_release(image);
    heif_context_free(context);
    return bytes;
}

// The body of the first box of type in data[from, to), or empty.
QByteArray BoxBody(const QByteArray& data, const char* type, bool whole = false) {
    const qsizetype at = data.indexOf(type);
    if (at < 4)
        return {};
    const quint32 size = qFromBigEndian<quint32>(data.constData() + at - 4);
    return whole ? data.mid(at - 4, size) : data.mid(at + 4, size - 8);
}

QByteArray Box(const char* type, const QByteArray& body) {
    QByteArray box(4, '\0');
    qToBigEndian<quint32>(quint32(8 + body.size()), box.data());
    return box + QByteArray(type, 4) + body;
}

QByteArray FullBox(const char* type, int version, int flags, const QByteArray& body) {
    QByteArray head(4, '\0');
    head[0] = char(version);
    head[1] = char(flags >> 16);
    head[2] = char(flags >> 8);
    head[3] = char(flags);
    return Box(type, head + body);
}

QByteArray U16(int v) {
    QByteArray b(2, '\0');
    qToBigEndian<quint16>(quint16(v), b.data());
    return b;
}
QByteArray U32(quint32 v) {
    QByteArray b(4, '\0');
    qToBigEndian<quint32>(v, b.data());
    return b;
}

QByteArray Infe(int id, const char* type, int flags) {
    return FullBox("infe", 2, flags, U16(id) + U16(0) + QByteArray(type, 4) + QByteArray(1, '\0'));
}

} // namespace

QByteArray RepeatedTileGrid(QSize picture, int tileSide, bool withThumbnail) {
    const QByteArray tileFile = TileHeic(tileSide);
    const QByteArray hvcC = BoxBody(tileFile, "hvcC", true);
    const QByteArray tile = BoxBody(tileFile, "mdat");
    const int columns = (picture.width() + tileSide - 1) / tileSide;
    const int rows = (picture.height() + tileSide - 1) / tileSide;
    QByteArray gridData = QByteArray(2, '\0') + QByteArray(1, char(rows - 1)) +
                          QByteArray(1, char(columns - 1)) + U16(picture.width()) +
                          U16(picture.height());
    const QByteArray ftyp = Box("ftyp", QByteArray("heic") + U32(0) + "mif1heic");

    // Built twice: the item locations depend on the size of the meta box before them.
    QByteArray meta;
    quint32 dataStart = 0;
    for (int pass = 0; pass < 2; ++pass) {
        const quint32 gridAt = dataStart, tileAt = dataStart + quint32(gridData.size());
        QByteArray iloc =
            QByteArray(1, char(0x44)) + QByteArray(1, '\0'); // 4-byte offsets, lengths
        const int items = withThumbnail ? 3 : 2;
        iloc += U16(items);
        iloc += U16(1) + U16(0) + U16(1) + U32(gridAt) + U32(quint32(gridData.size()));
        iloc += U16(2) + U16(0) + U16(1) + U32(tileAt) + U32(quint32(tile.size()));
        if (withThumbnail)
            iloc += U16(3) + U16(0) + U16(1) + U32(tileAt) + U32(quint32(tile.size()));
        QByteArray iinf = U16(items) + Infe(1, "grid", 0) + Infe(2, "hvc1", 1);
        if (withThumbnail)
            iinf += Infe(3, "hvc1", 0);
        QByteArray dimg = U16(1) + U16(rows * columns);
        for (int i = 0; i < rows * columns; ++i)
            dimg += U16(2);
        QByteArray iref = Box("dimg", dimg);
        if (withThumbnail)
            iref += Box("thmb", U16(3) + U16(1) + U16(1));
        const QByteArray ispeTile =
            FullBox("ispe", 0, 0, U32(quint32(tileSide)) + U32(quint32(tileSide)));
        const QByteArray ispeGrid =
            FullBox("ispe", 0, 0, U32(quint32(picture.width())) + U32(quint32(picture.height())));
        const QByteArray ipco = Box("ipco", hvcC + ispeTile + ispeGrid);
        QByteArray ipma = U32(quint32(items));
        ipma += U16(1) + QByteArray(1, char(1)) + QByteArray(1, char(3));
        ipma +=
            U16(2) + QByteArray(1, char(2)) + QByteArray(1, char(0x81)) + QByteArray(1, char(2));
        if (withThumbnail)
            ipma += U16(3) + QByteArray(1, char(2)) + QByteArray(1, char(0x81)) +
                    QByteArray(1, char(2));
        const QByteArray iprp = Box("iprp", ipco + FullBox("ipma", 0, 0, ipma));
        const QByteArray hdlr = FullBox(
            "hdlr", 0, 0, U32(0) + QByteArray("pict") + QByteArray(12, '\0') + QByteArray(1, '\0'));
        meta = FullBox("meta", 0, 0,
                       hdlr + FullBox("pitm", 0, 0, U16(1)) + FullBox("iloc", 0, 0, iloc) +
                           FullBox("iinf", 0, 0, iinf) + FullBox("iref", 0, 0, iref) + iprp);
        dataStart = quint32(ftyp.size() + meta.size() + 8);
    }
    return ftyp + meta + Box("mdat", gridData + tile);
}

} // namespace mosaiq::test
