// Writing pictures by type code: our own writers for PNG, GIF, PNM, TGA and PCX (speed), TIFF
// through Qt, and the image library for the other types, always from memory.
#include "imaging/magick/ImageLibrary.h"

#include "core/text/DisplayText.h"
#include "imaging/encode/GifWriter.h"
#include "imaging/encode/PngWriter.h"
#include "imaging/files/PictureType.h"
#include "imaging/magick/MagickCoders.h"

#include <QBuffer>
#include <QImageWriter>

#include <Magick++.h>

#include <algorithm>
#include <cstring>

namespace mosaiq {
namespace {

// An opaque picture as GIF: the library chooses 256 colours from a reduced copy (choosing them
// from every pixel of a photo costs seconds), the pixels are mapped with error diffusion.
QByteArray EncodeOpaqueGif(const QImage& image, QString* error) {
    try {
        const QImage small =
            image.width() * std::int64_t(image.height()) > 512 * 512
                ? image.scaled(512, 512, Qt::KeepAspectRatio, Qt::SmoothTransformation)
                : image;
        const QImage rows = small.convertToFormat(QImage::Format_RGB32);
        Magick::Image img(size_t(rows.width()), size_t(rows.height()), "BGRP", Magick::CharPixel,
                          rows.constBits());
        img.quantizeColors(256);
        img.quantizeDither(false);
        img.quantize();
        QVector<QRgb> palette;
        for (size_t i = 0; i < img.colorMapSize() && i < 256; ++i) {
            const Magick::ColorRGB c = img.colorMap(i);
            palette << qRgb(qRound(c.red() * 255), qRound(c.green() * 255), qRound(c.blue() * 255));
        }
        const QByteArray out = EncodeGifWithPalette(image, palette);
        if (out.isEmpty())
            *error = QStringLiteral("the picture cannot be written as GIF");
        return out;
    } catch (const std::exception& e) {
        *error = magick::Message(e);
        return QByteArray();
    }
}

// The picture by Magick, from 32-bit rows without copying them.
QByteArray EncodeByMagick(const QImage& image, int type, QString* error) {
    const std::string coder = magick::WriteCoder(type);
    try {
        if (!Magick::CoderInfo(coder).isWritable()) {
            *error = QStringLiteral("the image library cannot write %1")
                         .arg(QString::fromStdString(coder));
            return QByteArray();
        }
        const bool alpha = image.hasAlphaChannel();
        const QImage rows =
            image.convertToFormat(alpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
        Magick::Image img(size_t(rows.width()), size_t(rows.height()), alpha ? "BGRA" : "BGRP",
                          Magick::CharPixel, rows.constBits());
        img.magick(coder);
        if (type == kPictureJpeg)
            img.quality(90);
        Magick::Blob blob;
        img.write(&blob);
        if (blob.length() == 0) {
            *error = QStringLiteral("the image library wrote nothing");
            return QByteArray();
        }
        return QByteArray(static_cast<const char*>(blob.data()), qsizetype(blob.length()));
    } catch (const std::exception& e) {
        *error = magick::Message(e);
        return QByteArray();
    }
}

void PutLe16(QByteArray& out, int at, int value) {
    out[at] = char(value & 0xFF);
    out[at + 1] = char((value >> 8) & 0xFF);
}

// Binary PPM (P6).
QByteArray EncodePnm(const QImage& image) {
    const QImage rgb = image.convertToFormat(QImage::Format_RGB888);
    const QByteArray header =
        QStringLiteral("P6\n%1 %2\n255\n").arg(rgb.width()).arg(rgb.height()).toLatin1();
    const qsizetype rowBytes = qsizetype(rgb.width()) * 3;
    QByteArray out(header.size() + rowBytes * rgb.height(), Qt::Uninitialized);
    std::memcpy(out.data(), header.constData(), size_t(header.size()));
    for (int y = 0; y < rgb.height(); ++y)
        std::memcpy(out.data() + header.size() + rowBytes * y, rgb.constScanLine(y),
                    size_t(rowBytes));
    return out;
}

// Uncompressed true-colour TGA, bottom row first: 24-bit BGR, or 32-bit BGRA with transparency.
QByteArray EncodeTga(const QImage& image) {
    const bool alpha = image.hasAlphaChannel();
    const QImage rows =
        image.convertToFormat(alpha ? QImage::Format_ARGB32 : QImage::Format_BGR888);
    const int w = rows.width(), h = rows.height(), bytes = alpha ? 4 : 3;
    const qsizetype rowBytes = qsizetype(w) * bytes;
    QByteArray out(18 + rowBytes * h, '\0');
    out[2] = 2; // uncompressed true colour
    PutLe16(out, 12, w);
    PutLe16(out, 14, h);
    out[16] = char(bytes * 8);
    out[17] = char(alpha ? 8 : 0); // alpha bits; origin at the lower left
    for (int y = 0; y < h; ++y)
        std::memcpy(out.data() + 18 + rowBytes * (h - 1 - y), rows.constScanLine(y),
                    size_t(rowBytes));
    return out;
}

// 24-bit PCX: each line as three planes (red, green, blue) of run-length coded bytes.
QByteArray EncodePcx(const QImage& image) {
    const QImage rgb = image.convertToFormat(QImage::Format_RGB888);
    const int w = rgb.width(), h = rgb.height();
    const int bytesPerLine = (w + 1) & ~1;
    // At worst every byte takes two: the buffer is sized for that and cut to length at the end.
    QByteArray out(128 + qsizetype(bytesPerLine) * 3 * h * 2, Qt::Uninitialized);
    std::memset(out.data(), 0, 128);
    out[0] = 10;
    out[1] = 5;
    out[2] = 1;
    out[3] = 8;
    PutLe16(out, 8, w - 1);
    PutLe16(out, 10, h - 1);
    PutLe16(out, 12, 72);
    PutLe16(out, 14, 72);
    out[65] = 3;
    PutLe16(out, 66, bytesPerLine);
    PutLe16(out, 68, 1);
    auto* dst = reinterpret_cast<unsigned char*>(out.data()) + 128;
    std::vector<unsigned char> plane(static_cast<size_t>(bytesPerLine), 0);
    for (int y = 0; y < h; ++y) {
        const uchar* line = rgb.constScanLine(y);
        for (int c = 0; c < 3; ++c) {
            for (int x = 0; x < w; ++x)
                plane[size_t(x)] = line[3 * x + c];
            const unsigned char* p = plane.data();
            for (int x = 0; x < bytesPerLine;) {
                const unsigned char v = p[x];
                int run = 1;
                while (x + run < bytesPerLine && run < 63 && p[x + run] == v)
                    ++run;
                if (run > 1 || v >= 0xC0)
                    *dst++ = static_cast<unsigned char>(0xC0 | run);
                *dst++ = v;
                x += run;
            }
        }
    }
    out.truncate(dst - reinterpret_cast<unsigned char*>(out.data()));
    return out;
}

QByteArray EncodeTiff(const QImage& image, QString* error) {
    QByteArray out;
    QBuffer buffer(&out);
    buffer.open(QIODevice::WriteOnly);
    // Written uncompressed: LZW would triple the time of a batch conversion. (The first writer,
    // CPictureEncoder, writes its TIFF files with LZW.)
    QImageWriter writer(&buffer, "tiff");
    writer.setCompression(0);
    if (!writer.write(image.hasAlphaChannel() ? image
                                              : image.convertToFormat(QImage::Format_RGB32))) {
        *error = LibraryMessage(writer.errorString());
        return QByteArray();
    }
    return out;
}

} // namespace

QByteArray EncodePicture(const QImage& image, int type, QString* error) {
    EnsureImageLibrary();
    QString reason;
    QByteArray out;
    if (image.isNull()) {
        reason = QStringLiteral("there is no picture to save");
    } else if (type == kPictureMetafile) {
        reason = QStringLiteral("WMF and EMF pictures cannot be written");
    } else if (magick::WriteCoder(type).empty()) {
        reason = type == kPictureHeif || type == kPictureAvif
                     ? QStringLiteral("HEIF and AVIF pictures are read, not written")
                     : QStringLiteral("no writer for picture type %1").arg(type);
    } else if (type == kPicturePnm) {
        out = EncodePnm(image);
    } else if (type == kPictureTga) {
        out = EncodeTga(image);
    } else if (type == kPicturePcx) {
        out = EncodePcx(image);
    } else if (type == kPictureTiff) {
        out = EncodeTiff(image, &reason);
    } else if (type == kPicturePng) {
        out = EncodePng(image, {}, &reason);
    } else if (type == kPictureGif && !image.hasAlphaChannel()) {
        out = EncodeOpaqueGif(image, &reason);
    } else {
        out = EncodeByMagick(image, type, &reason);
    }
    if (error)
        *error = out.isEmpty() ? reason : QString();
    return out;
}

} // namespace mosaiq
