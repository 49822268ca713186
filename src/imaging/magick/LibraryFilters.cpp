// The filters of the image library: neighbourhood, noise, jitter and kernel filters on the 24-bit
// rows. Each builds its result in a new buffer on every core (ParallelRows), checking the escape
// flag once per row, and replaces the picture only when it ran to the end.
//
// Windows: a neighbourhood of k x k pixels around (x, y) covers columns [x - k/2, x - k/2 + k)
// and the same rows; samples outside the picture take the nearest edge pixel (edges replicate).
#include "imaging/magick/ImageLibrary.h"
#include "imaging/ParallelRows.h"

#include <algorithm>
#include <array>
#include <random>
#include <vector>

namespace mosaiq {
namespace {

// Per-channel minimum and maximum over every k x k window of src (BGR888). Separable: first
// along each row, then down the columns; replicated edges add no new values, so a window cut at
// the edge gives the same extremes. Null outputs are not wanted.
bool WindowExtremes(const QImage& src, int ksize, QImage* minOut, QImage* maxOut,
                    const std::atomic<int>& escape) {
    const int w = src.width(), h = src.height();
    const int before = ksize / 2, after = ksize - before;
    QImage hMin, hMax;
    if (minOut) {
        hMin = QImage(w, h, QImage::Format_BGR888);
        *minOut = QImage(w, h, QImage::Format_BGR888);
        if (hMin.isNull() || minOut->isNull())
            return false;
    }
    if (maxOut) {
        hMax = QImage(w, h, QImage::Format_BGR888);
        *maxOut = QImage(w, h, QImage::Format_BGR888);
        if (hMax.isNull() || maxOut->isNull())
            return false;
    }
    const bool rowsDone = ParallelRows(h, escape, [&](int y) {
        const uchar* s = src.constScanLine(y);
        uchar* lo = minOut ? hMin.scanLine(y) : nullptr;
        uchar* hi = maxOut ? hMax.scanLine(y) : nullptr;
        for (int x = 0; x < w; ++x) {
            const int first = std::max(x - before, 0), last = std::min(x + after, w);
            for (int c = 0; c < 3; ++c) {
                uchar mn = s[3 * first + c], mx = mn;
                for (int i = first + 1; i < last; ++i) {
                    mn = std::min(mn, s[3 * i + c]);
                    mx = std::max(mx, s[3 * i + c]);
                }
                if (lo)
                    lo[3 * x + c] = mn;
                if (hi)
                    hi[3 * x + c] = mx;
            }
        }
    });
    if (!rowsDone)
        return false;
    const size_t bytes = size_t(w) * 3;
    return ParallelRows(h, escape, [&](int y) {
        const int first = std::max(y - before, 0), last = std::min(y + after, h);
        if (minOut) {
            uchar* d = minOut->scanLine(y);
            std::copy_n(hMin.constScanLine(first), bytes, d);
            for (int j = first + 1; j < last; ++j) {
                const uchar* r = hMin.constScanLine(j);
                for (size_t b = 0; b < bytes; ++b)
                    d[b] = std::min(d[b], r[b]);
            }
        }
        if (maxOut) {
            uchar* d = maxOut->scanLine(y);
            std::copy_n(hMax.constScanLine(first), bytes, d);
            for (int j = first + 1; j < last; ++j) {
                const uchar* r = hMax.constScanLine(j);
                for (size_t b = 0; b < bytes; ++b)
                    d[b] = std::max(d[b], r[b]);
            }
        }
    });
}

// Swaps a and b into ascending order.
inline void Order(uchar& a, uchar& b) {
    const uchar lo = std::min(a, b);
    b = std::max(a, b);
    a = lo;
}

// The median of nine values by a sorting network that only orders what the middle needs.
inline uchar MedianOfNine(std::array<uchar, 9>& p) {
    Order(p[1], p[2]), Order(p[4], p[5]), Order(p[7], p[8]);
    Order(p[0], p[1]), Order(p[3], p[4]), Order(p[6], p[7]);
    Order(p[1], p[2]), Order(p[4], p[5]), Order(p[7], p[8]);
    Order(p[0], p[3]), Order(p[5], p[8]), Order(p[4], p[7]);
    Order(p[3], p[6]), Order(p[1], p[4]), Order(p[2], p[5]);
    Order(p[4], p[7]), Order(p[4], p[2]), Order(p[6], p[4]);
    Order(p[4], p[2]);
    return p[4];
}

// Seeds the random generator of one row, so noise and jitter give the same picture however the
// rows are shared between threads.
std::minstd_rand RowRandom(unsigned salt, unsigned parameter, int y) {
    return std::minstd_rand((salt ^ parameter) + unsigned(y) * 2654435761u + 1u);
}

} // namespace

bool LibraryImage::Erode(int ksize) {
    if (!IsValid() || ksize < 1 || ksize > 15)
        return false;
    QImage out;
    return WindowExtremes(m_pixels, ksize, &out, nullptr, m_escape) && ReplacePixels(out);
}

bool LibraryImage::Dilate(int ksize) {
    if (!IsValid() || ksize < 1 || ksize > 15)
        return false;
    QImage out;
    return WindowExtremes(m_pixels, ksize, nullptr, &out, m_escape) && ReplacePixels(out);
}

bool LibraryImage::Edge(int ksize) {
    return RangeFilter(ksize, false);
}

bool LibraryImage::Contour() {
    return RangeFilter(3, true);
}

bool LibraryImage::RangeFilter(int ksize, bool invert) {
    if (!IsValid() || ksize < 1 || ksize > 15)
        return false;
    QImage lo, hi;
    if (!WindowExtremes(m_pixels, ksize, &lo, &hi, m_escape))
        return false;
    const size_t bytes = size_t(GetWidth()) * 3;
    const bool done = ParallelRows(GetHeight(), m_escape, [&](int y) {
        uchar* d = hi.scanLine(y);
        const uchar* l = lo.constScanLine(y);
        for (size_t b = 0; b < bytes; ++b)
            d[b] = invert ? uchar(255 - (d[b] - l[b])) : uchar(d[b] - l[b]);
    });
    return done && ReplacePixels(hi);
}

bool LibraryImage::Median(int ksize) {
    if (!IsValid() || ksize < 1 || ksize > 15)
        return false;
    const int w = GetWidth(), h = GetHeight();
    const int before = ksize / 2, after = ksize - before;
    QImage out(w, h, QImage::Format_BGR888);
    if (out.isNull())
        return false;
    const auto row = [&](int j) { return m_pixels.constScanLine(std::clamp(j, 0, h - 1)); };
    bool done = false;
    if (ksize == 3) {
        done = ParallelRows(h, m_escape, [&](int y) {
            const uchar* r[3] = {row(y - 1), row(y), row(y + 1)};
            uchar* d = out.scanLine(y);
            std::array<uchar, 9> p;
            for (int x = 0; x < w; ++x) {
                const int xs[3] = {3 * std::max(x - 1, 0), 3 * x, 3 * std::min(x + 1, w - 1)};
                for (int c = 0; c < 3; ++c) {
                    for (int j = 0; j < 3; ++j)
                        for (int i = 0; i < 3; ++i)
                            p[size_t(3 * j + i)] = r[j][xs[i] + c];
                    d[3 * x + c] = MedianOfNine(p);
                }
            }
        });
    } else {
        done = ParallelRows(h, m_escape, [&](int y) {
            std::vector<uchar> window(size_t(ksize) * size_t(ksize));
            uchar* d = out.scanLine(y);
            for (int x = 0; x < w; ++x)
                for (int c = 0; c < 3; ++c) {
                    size_t n = 0;
                    for (int j = y - before; j < y + after; ++j)
                        for (int i = x - before; i < x + after; ++i)
                            window[n++] = row(j)[3 * std::clamp(i, 0, w - 1) + c];
                    std::nth_element(window.begin(), window.begin() + long(n / 2), window.end());
                    d[3 * x + c] = window[n / 2];
                }
        });
    }
    return done && ReplacePixels(std::move(out));
}

bool LibraryImage::Noise(int level) {
    if (!IsValid())
        return false;
    QImage out = m_pixels.copy();
    if (out.isNull())
        return false;
    const bool done = ParallelRows(out.height(), m_escape, [&](int y) {
        std::minstd_rand random = RowRandom(0x4d51u, unsigned(level), y);
        std::uniform_real_distribution<double> offset(-0.5, 0.5);
        uchar* row = out.scanLine(y);
        for (int x = 0; x < out.width(); ++x) {
            const int n = int(offset(random) * level);
            for (int c = 0; c < 3; ++c)
                row[3 * x + c] = static_cast<uchar>(std::clamp(row[3 * x + c] + n, 0, 255));
        }
    });
    return done && ReplacePixels(std::move(out));
}

bool LibraryImage::Jitter(int radius) {
    if (!IsValid() || radius < 0)
        return false;
    const int w = GetWidth(), h = GetHeight();
    QImage out = m_pixels.copy();
    if (out.isNull())
        return false;
    const bool done = ParallelRows(h, m_escape, [&](int y) {
        std::minstd_rand random = RowRandom(0x6a17u, unsigned(radius), y);
        std::uniform_int_distribution<int> step(-radius, radius);
        uchar* dst = out.scanLine(y);
        for (int x = 0; x < w; ++x) {
            const int sx = x + step(random), sy = y + step(random);
            if (sx < 0 || sy < 0 || sx >= w || sy >= h)
                continue; // a neighbour outside the picture leaves the pixel as it was
            const uchar* src = m_pixels.constScanLine(sy) + 3 * sx;
            std::copy(src, src + 3, dst + 3 * x);
        }
    });
    return done && ReplacePixels(std::move(out));
}

// Kernel rows are given in the library's row order, counted from the bottom: the first kernel
// row weights the row below on screen, the last the row above. A divisor of 0 counts as 1; the
// sum is divided with truncation toward zero, then offset and clamped to 0..255. Edges replicate.
bool LibraryImage::Filter(const int* kernel, int ksize, int divisor, int offset) {
    if (!IsValid() || !kernel || (ksize != 3 && ksize != 5))
        return false;
    if (divisor == 0)
        divisor = 1;
    const int w = GetWidth(), h = GetHeight(), half = ksize / 2;
    QImage out(m_pixels.size(), QImage::Format_BGR888);
    if (out.isNull())
        return false;
    const bool done = ParallelRows(h, m_escape, [&](int y) {
        // Top-first row y is bottom-up row h - 1 - y; kernel row j reads bottom-up row
        // (h - 1 - y) + j - half, which is top-first row y - j + half.
        std::array<const uchar*, 5> rows{};
        for (int j = 0; j < ksize; ++j)
            rows[size_t(j)] = m_pixels.constScanLine(std::clamp(y - j + half, 0, h - 1));
        uchar* dst = out.scanLine(y);
        for (int x = 0; x < w; ++x) {
            int s0 = 0, s1 = 0, s2 = 0;
            const bool inside = x >= half && x + half < w;
            for (int j = 0; j < ksize; ++j) {
                const int* k = kernel + j * ksize;
                const uchar* r = rows[size_t(j)];
                for (int i = 0; i < ksize; ++i) {
                    const uchar* p = r + 3 * (inside ? x + i - half : std::clamp(x + i - half, 0, w - 1));
                    s0 += k[i] * p[0];
                    s1 += k[i] * p[1];
                    s2 += k[i] * p[2];
                }
            }
            dst[3 * x] = uchar(std::clamp(s0 / divisor + offset, 0, 255));
            dst[3 * x + 1] = uchar(std::clamp(s1 / divisor + offset, 0, 255));
            dst[3 * x + 2] = uchar(std::clamp(s2 / divisor + offset, 0, 255));
        }
    });
    return done && ReplacePixels(std::move(out));
}

} // namespace mosaiq
