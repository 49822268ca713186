#pragma once

// The image library: decoding of the formats the first decoder does not read, metafile
// rasterising, resampling, saving by type code and the filters of the photo effects. It is our
// own class over Magick++; the pixels are held in memory as 24-bit rows plus an optional alpha
// plane, so the library is only involved when a picture is decoded or encoded.

#include <QByteArray>
#include <QImage>
#include <QString>

#include <atomic>
#include <functional>

namespace Magick {
class Image;
}

namespace mosaiq {

// Prepares the image library once per process (safe to call from any thread, any number of
// times): writes the program's policy to a private directory, points MAGICK_CONFIGURE_PATH at
// it and starts the library. Every LibraryImage operation calls it first.
void EnsureImageLibrary();

// Encodes image as the picture type (the image library's Save without a LibraryImage): pnm, tga
// and pcx (and png, PngWriter.h) by writers of our own, TIFF (uncompressed) by Qt's libtiff
// writer, the other types by Magick. An empty array, with a reason, when the type has no writer
// here.
QByteArray EncodePicture(const QImage& image, int type, QString* error = nullptr);

class LibraryImage {
public:
    LibraryImage() = default;
    // Decodes the file at path. type is a picture type code; 0 lets the library decide by content.
    LibraryImage(const QString& path, int type);
    // Decodes an encoded picture held in memory; type as above (ico, tga and wbmp need it).
    LibraryImage(const QByteArray& data, int type);
    // A picture holding a copy of image's pixels (alpha kept when image has an alpha channel).
    static LibraryImage FromImage(const QImage& image, int type = 0);

    LibraryImage(const LibraryImage& other);
    LibraryImage& operator=(const LibraryImage& other);

    bool IsValid() const { return !m_pixels.isNull(); }
    // The format code the picture was decoded from (or made for).
    int GetType() const { return m_type; }
    int GetWidth() const { return m_pixels.width(); }
    int GetHeight() const { return m_pixels.height(); }
    // Always 24: pictures are brought to 24 bits (palette and grey formats too) when decoded.
    int GetBpp() const { return IsValid() ? 24 : 0; }
    // Why the last decode, resample or save failed (one line), empty after success.
    QString ErrorString() const { return m_error; }

    // Row number row counted from the bottom: 3 * width bytes, B, G, R per pixel; null when the
    // row does not exist.
    unsigned char* GetBits(int row);
    const unsigned char* GetBits(int row) const;
    bool HasAlpha() const { return !m_alpha.isNull(); }
    // Alpha at (x, y), y counted from the bottom; 255 without an alpha plane or outside.
    int AlphaGet(int x, int y) const;

    // Replaces the picture by one of the given size (mode is accepted for every caller; all modes
    // give a smooth, area-averaged result). False on an invalid size or an escape request.
    bool Resample(int width, int height, int mode = 1);
    bool IncreaseBpp(int bits) { return IsValid() && bits <= 24; }

    // Encodes the picture as type and writes it to path through a temporary file that replaces
    // the target only when complete. False (with ErrorString) when the type has no writer here.
    bool Save(const QString& path, int type);
    // The encoded bytes, or an empty array on failure.
    QByteArray Encode(int type);

    // 1 asks a running filter or resample of this picture to stop early (it then leaves the
    // picture unchanged); 0 lets operations run to their end. Safe from another thread.
    void SetEscape(int escape) { m_escape.store(escape); }
    int GetEscape() const { return m_escape.load(); }
    void SetProgress(int progress) { m_progress = progress; }
    int GetProgress() const { return m_progress; }
    void Destroy();

    // Filters of the photo effects; each works in place on the colour rows, keeps alpha and runs
    // on every core. Neighbourhoods of ksize x ksize pixels cover [x - ksize/2, x - ksize/2 +
    // ksize) and the same rows; samples outside the picture take the nearest edge pixel.
    bool Erode(int ksize = 2);  // darkest value per channel
    bool Dilate(int ksize = 2); // brightest value per channel
    bool Edge(int ksize = 2);   // brightest minus darkest per channel
    bool Median(int ksize = 3);
    bool Contour();        // dark outlines on white: 255 - (brightest - darkest) over 3 x 3
    bool Noise(int level); // adds one random offset in [-level/2, level/2] to the three channels
    bool Jitter(int radius = 2); // each pixel takes a random pixel within radius
    // Convolution with a ksize x ksize kernel (3 or 5), sum / divisor + offset, clamped.
    bool Filter(const int* kernel, int ksize, int divisor, int offset);

    // Transforms and tone calls of the image library. Each replaces the picture (alpha kept),
    // and is false, leaving the picture as it was, when it is not valid or the library fails.
    bool Negative();                     // every colour channel v -> 255 - v
    bool GrayScale();                    // luminance (Rec. 601 weights) in all three channels
    bool Mirror();                       // left and right swapped
    bool Flip();                         // top and bottom swapped
    bool RotateLeft();                   // a quarter turn counter-clockwise
    bool RotateRight();                  // a quarter turn clockwise
    // Turns by angle degrees clockwise; the picture grows to hold the turned corners, which are
    // black (transparent when the picture has alpha).
    bool Rotate2(float angle);
    // Shears: each row moves right by xgain pixels per row, each column down by ygain pixels per
    // column; the picture grows to hold the result.
    bool Skew(float xgain, float ygain);
    // Resizes with method 0 nearest neighbour, 1 bilinear, 2 bicubic.
    bool Resample2(int width, int height, int method = 1);
    bool Threshold(int level);           // luminance above level white, else black
    // Blends every pixel toward the colour of hue and saturation (0..255) at middle lightness:
    // blend 0 leaves the picture, 1 gives the colour.
    bool Colorize(int hue, int saturation, float blend = 1.0f);
    bool ShiftRGB(int red, int green, int blue); // offsets added per channel, clamped
    // v -> (v - 128) * (100 + contrast) / 100 + 128 + brightness, clamped.
    bool Light(int brightness, int contrast = 0);
    bool Gamma(float gamma);             // v -> 255 * (v / 255)^(1 / gamma)
    // type 0 swirls by amount degrees at the centre; type 1 pinches (amount > 0) or bulges.
    bool CircleTransform(int type, float amount);
    // Black and white: method 0 error diffusion, 1 ordered 8 x 8.
    bool Dither(int method = 0);
    bool HistogramStretch();             // darkest..brightest per channel to 0..255
    bool HistogramNormalize();           // the same, ignoring the outer 2% and 1% of pixels
    bool HistogramEqualize();            // flattened histogram
    bool HistogramRoot();                // v -> 255 * sqrt(v / 255)
    bool HistogramLog();                 // v -> 255 * log(1 + v) / log(256)

    // The picture as a QImage: Format_ARGB32 with alpha, Format_RGB32 without.
    QImage ToImage() const;

private:
    bool Decode(const QByteArray& data, int type);
    bool ReplacePixels(QImage pixels);
    // Brightest minus darkest per channel over ksize x ksize, or 255 minus that when invert.
    bool RangeFilter(int ksize, bool invert);
    // Runs op on the image library's copy of the picture and takes its result back; geometry
    // tells that pixels move (the alpha plane then comes back from the library too).
    bool ThroughLibrary(const std::function<void(Magick::Image&)>& op, bool geometry);
    // Maps every colour value through a 256-entry table.
    bool MapValues(const std::function<int(int)>& f);

    QImage m_pixels; // Format_BGR888, top row first in memory
    QImage m_alpha;  // Format_Alpha8 or null
    int m_type = 0;
    QString m_error;
    std::atomic<int> m_escape{0};
    int m_progress = 0;
};

} // namespace mosaiq
