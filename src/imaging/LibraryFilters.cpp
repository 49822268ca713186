// The filters of the image library: neighbourhood, noise, jitter and kernel filters on the 24-bit
// rows. Each builds its result in a new buffer, checking the escape flag once per row, and
// replaces the picture only when it ran to the end.
#include "imaging/ImageLibrary.h"

#include <algorithm>
#include <array>
#include <random>

namespace mosaiq {

template <typename Op> bool LibraryImage::NeighbourhoodFilter(int ksize, Op op) {
    if (!IsValid() || ksize < 1 || ksize > 15)
        return false;
    const int w = GetWidth(), h = GetHeight();
    const int before = ksize / 2, after = ksize - before; // window [x - before, x + after)
    QImage out(m_pixels.size(), QImage::Format_BGR888);
    if (out.isNull())
        return false;
    std::vector<unsigned char> window(size_t(ksize) * size_t(ksize));
    for (int y = 0; y < h; ++y) {
        if (GetEscape())
            return false;
        uchar* dst = out.scanLine(y);
        for (int x = 0; x < w; ++x) {
            for (int c = 0; c < 3; ++c) {
                size_t n = 0;
                for (int j = y - before; j < y + after; ++j) {
                    const uchar* row = m_pixels.constScanLine(std::clamp(j, 0, h - 1));
                    for (int i = x - before; i < x + after; ++i)
                        window[n++] = row[3 * std::clamp(i, 0, w - 1) + c];
                }
                dst[3 * x + c] = op(window.data(), n);
            }
        }
    }
    return ReplacePixels(std::move(out));
}

namespace {
unsigned char MinOf(unsigned char* v, size_t n) {
    return *std::min_element(v, v + n);
}
unsigned char MaxOf(unsigned char* v, size_t n) {
    return *std::max_element(v, v + n);
}
} // namespace

bool LibraryImage::Erode(int ksize) {
    return NeighbourhoodFilter(ksize, MinOf);
}

bool LibraryImage::Dilate(int ksize) {
    return NeighbourhoodFilter(ksize, MaxOf);
}

bool LibraryImage::Edge(int ksize) {
    return NeighbourhoodFilter(ksize, [](unsigned char* v, size_t n) {
        return static_cast<unsigned char>(MaxOf(v, n) - MinOf(v, n));
    });
}

bool LibraryImage::Median(int ksize) {
    return NeighbourhoodFilter(ksize, [](unsigned char* v, size_t n) {
        std::nth_element(v, v + n / 2, v + n);
        return v[n / 2];
    });
}

bool LibraryImage::Contour() {
    return NeighbourhoodFilter(3, [](unsigned char* v, size_t n) {
        return static_cast<unsigned char>(255 - (MaxOf(v, n) - MinOf(v, n)));
    });
}

bool LibraryImage::Noise(int level) {
    if (!IsValid())
        return false;
    QImage out = m_pixels.copy();
    std::minstd_rand random(0x4d51u ^ unsigned(level));
    std::uniform_real_distribution<double> offset(-0.5, 0.5);
    for (int y = 0; y < out.height(); ++y) {
        if (GetEscape())
            return false;
        uchar* row = out.scanLine(y);
        for (int x = 0; x < out.width(); ++x) {
            const int n = int(offset(random) * level);
            for (int c = 0; c < 3; ++c)
                row[3 * x + c] = static_cast<uchar>(std::clamp(row[3 * x + c] + n, 0, 255));
        }
    }
    return ReplacePixels(std::move(out));
}

bool LibraryImage::Jitter(int radius) {
    if (!IsValid() || radius < 0)
        return false;
    const int w = GetWidth(), h = GetHeight();
    QImage out = m_pixels.copy();
    std::minstd_rand random(0x6a17u ^ unsigned(radius));
    std::uniform_int_distribution<int> step(-radius, radius);
    for (int y = 0; y < h; ++y) {
        if (GetEscape())
            return false;
        uchar* dst = out.scanLine(y);
        for (int x = 0; x < w; ++x) {
            const int sx = x + step(random), sy = y + step(random);
            if (sx < 0 || sy < 0 || sx >= w || sy >= h)
                continue; // a neighbour outside the picture leaves the pixel as it was
            const uchar* src = m_pixels.constScanLine(sy) + 3 * sx;
            std::copy(src, src + 3, dst + 3 * x);
        }
    }
    return ReplacePixels(std::move(out));
}

bool LibraryImage::Filter(const int* kernel, int ksize, int divisor, int offset) {
    if (!IsValid() || !kernel || (ksize != 3 && ksize != 5))
        return false;
    if (divisor == 0)
        divisor = 1;
    const int w = GetWidth(), h = GetHeight(), half = ksize / 2;
    QImage out(m_pixels.size(), QImage::Format_BGR888);
    if (out.isNull())
        return false;
    for (int y = 0; y < h; ++y) {
        if (GetEscape())
            return false;
        uchar* dst = out.scanLine(y);
        for (int x = 0; x < w; ++x) {
            std::array<long, 3> sum{0, 0, 0};
            for (int j = 0; j < ksize; ++j) {
                const uchar* row = m_pixels.constScanLine(std::clamp(y + j - half, 0, h - 1));
                for (int i = 0; i < ksize; ++i) {
                    const uchar* p = row + 3 * std::clamp(x + i - half, 0, w - 1);
                    const int k = kernel[j * ksize + i];
                    for (int c = 0; c < 3; ++c)
                        sum[size_t(c)] += long(k) * p[c];
                }
            }
            for (int c = 0; c < 3; ++c)
                dst[3 * x + c] =
                    static_cast<uchar>(std::clamp(sum[size_t(c)] / divisor + offset, 0L, 255L));
        }
    }
    return ReplacePixels(std::move(out));
}

} // namespace mosaiq
