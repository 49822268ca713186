// Builds the built-in mask library pair from the shapes in MaskShapes.cpp:
//   mosaiq-maskgen OUT_DIR          writes OUT_DIR/mask.cfg and OUT_DIR/tbmask.cfg
//   mosaiq-maskgen --sheet OUT.png  writes a contact sheet of every mask and its thumbnail
//
// "mask.cfg": int32 count, then per mask int32 w, int32 h, int32 L, the 16-byte key and L bytes
// of a grey PNG (black keeps the photo, white removes it).
// "tbmask.cfg": int32 count, then per mask int32 w, int32 h and w*h*4 bytes B, G, R, A.
// The output depends on nothing but this code, so every build makes the same bytes.
#include "MaskShapes.h"

#include <QBuffer>
#include <QFile>
#include <QPainter>

#include <cmath>
#include <cstdio>

namespace {

constexpr int kThumbWidth = 120;
// Thumbnails show the shape in dark slate on white: the panel's cells are light grey, so the
// shape reads at a glance, and the thumbnail is the mask itself scaled down, so soft edges and
// vignettes look in the panel as they will on the photo.
constexpr QRgb kThumbShape = qRgb(58, 68, 84);
constexpr QRgb kThumbClear = qRgb(255, 255, 255);

void AppendInt32(QByteArray& out, qint32 value) {
    const auto v = quint32(value);
    for (int i = 0; i < 4; ++i)
        out.append(char((v >> (8 * i)) & 0xFF));
}

QByteArray EncodePng(const QImage& image) {
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return png;
}

// Halving steps, then one smooth step to the final size, for clean small pictures.
QImage ScaleDown(QImage image, int width, int height) {
    while (image.width() >= 2 * width && image.height() >= 2 * height)
        image = image.scaled(image.width() / 2, image.height() / 2, Qt::IgnoreAspectRatio,
                             Qt::SmoothTransformation);
    return image.scaled(width, height, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

QImage Thumbnail(const QImage& grey) {
    const int height = int(std::lround(double(kThumbWidth) * grey.height() / grey.width()));
    const QImage small = ScaleDown(grey, kThumbWidth, height);
    QImage thumb(kThumbWidth, height, QImage::Format_ARGB32);
    for (int y = 0; y < height; ++y) {
        const uchar* src = small.constScanLine(y);
        auto* dst = reinterpret_cast<QRgb*>(thumb.scanLine(y));
        for (int x = 0; x < kThumbWidth; ++x) {
            const int v = src[x];
            auto mix = [v](int shape, int clear) {
                return (shape * (255 - v) + clear * v + 127) / 255;
            };
            dst[x] = qRgb(mix(qRed(kThumbShape), qRed(kThumbClear)),
                          mix(qGreen(kThumbShape), qGreen(kThumbClear)),
                          mix(qBlue(kThumbShape), qBlue(kThumbClear)));
        }
    }
    return thumb;
}

QByteArray RawEntry(const QImage& argb) {
    QByteArray out;
    AppendInt32(out, argb.width());
    AppendInt32(out, argb.height());
    for (int y = 0; y < argb.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(argb.constScanLine(y));
        for (int x = 0; x < argb.width(); ++x) {
            const char px[4] = {char(qBlue(row[x])), char(qGreen(row[x])), char(qRed(row[x])),
                                char(qAlpha(row[x]))};
            out.append(px, 4);
        }
    }
    return out;
}

bool WriteFile(const QString& path, const QByteArray& data) {
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(data) != data.size()) {
        std::fprintf(stderr, "mosaiq-maskgen: cannot write %s\n", qPrintable(path));
        return false;
    }
    return true;
}

int WriteLibraries(const QString& dir) {
    const auto& shapes = maskgen::BuiltinMaskShapes();
    QByteArray masks;
    QByteArray thumbs;
    AppendInt32(masks, qint32(shapes.size()));
    AppendInt32(thumbs, qint32(shapes.size()));
    for (const maskgen::MaskShape& shape : shapes) {
        const QImage grey = maskgen::DrawMask(shape);
        const QByteArray png = EncodePng(grey);
        AppendInt32(masks, grey.width());
        AppendInt32(masks, grey.height());
        AppendInt32(masks, qint32(png.size()));
        masks += maskgen::KeyBytes(shape);
        masks += png;
        thumbs += RawEntry(Thumbnail(grey));
    }
    return WriteFile(dir + QStringLiteral("/mask.cfg"), masks) &&
                   WriteFile(dir + QStringLiteral("/tbmask.cfg"), thumbs)
               ? 0
               : 1;
}

// Four columns of cells: the mask fitted into 190 x 190 on the left, the thumbnail at its own
// size on the right, on the panel's light grey.
int WriteSheet(const QString& path) {
    const auto& shapes = maskgen::BuiltinMaskShapes();
    constexpr int kCellW = 340, kCellH = 210, kColumns = 4;
    const int rows = int((shapes.size() + kColumns - 1) / kColumns);
    QImage sheet(kCellW * kColumns, kCellH * rows, QImage::Format_RGB32);
    sheet.fill(qRgb(240, 240, 240));
    QPainter painter(&sheet);
    for (size_t i = 0; i < shapes.size(); ++i) {
        const QImage grey = maskgen::DrawMask(shapes[i]);
        const QImage fitted = grey.scaled(190, 190, Qt::KeepAspectRatio, Qt::SmoothTransformation);
        const int x = int(i % kColumns) * kCellW;
        const int y = int(i / kColumns) * kCellH;
        painter.drawImage(x + 10, y + 10, fitted);
        painter.drawImage(x + 210, y + 10, Thumbnail(grey));
    }
    painter.end();
    return sheet.save(path) ? 0 : 1;
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 3 && QByteArray(argv[1]) == "--sheet")
        return WriteSheet(QString::fromLocal8Bit(argv[2]));
    if (argc == 2 && argv[1][0] != '-')
        return WriteLibraries(QString::fromLocal8Bit(argv[1]));
    std::fprintf(stderr, "usage: mosaiq-maskgen OUT_DIR | mosaiq-maskgen --sheet OUT.png\n");
    return 2;
}
