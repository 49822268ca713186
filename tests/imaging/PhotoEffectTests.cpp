// The photo effects' filters against references computed here from their rules.
#include "imaging/magick/ImageLibrary.h"
#include "imaging/magick/PhotoEffect.h"

#include <QImage>
#include <QRandomGenerator>

#include <algorithm>
#include <functional>

#include <gtest/gtest.h>

using namespace mosaiq;

namespace {

// Random pixels, tall enough (70 rows) that the filters share the rows between threads.
QImage NoisyPicture(int w = 23, int h = 70) {
    QImage image(w, h, QImage::Format_RGB32);
    QRandomGenerator random(5);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            image.setPixel(x, y, random.generate() | 0xFF000000u);
    return image;
}

// Channel c (0 blue, 1 green, 2 red) of pixel (x, y), y counted from the top; edges replicate.
int Sample(const QImage& image, int x, int y, int c) {
    const QRgb p = image.pixel(std::clamp(x, 0, image.width() - 1), std::clamp(y, 0, image.height() - 1));
    return c == 0 ? qBlue(p) : c == 1 ? qGreen(p) : qRed(p);
}

// The picture made by computing every channel of every pixel with f(x, y, c).
QImage Reference(const QImage& source, const std::function<int(int, int, int)>& f) {
    QImage out(source.size(), QImage::Format_RGB32);
    for (int y = 0; y < out.height(); ++y)
        for (int x = 0; x < out.width(); ++x)
            out.setPixel(x, y, qRgb(f(x, y, 2), f(x, y, 1), f(x, y, 0)));
    return out;
}

QImage Applied(const QImage& source, PhotoEffect effect) {
    LibraryImage picture = LibraryImage::FromImage(source);
    EXPECT_TRUE(ApplyPhotoEffect(picture, effect));
    return picture.ToImage();
}

// First (x, y) where two pictures differ, for the failure message.
std::string FirstDifference(const QImage& a, const QImage& b) {
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if (a.pixel(x, y) != b.pixel(x, y))
                return "at " + std::to_string(x) + "," + std::to_string(y);
    return "none";
}

} // namespace

TEST(PhotoEffects, TableIsInCommandOrderWithTheirCodes) {
    const std::vector<int> codes = {32817, 32818, 32865, 32901, 32864, 32898, 32812,
                                    32914, 32815, 32897, 32896, 32813, 32814};
    ASSERT_EQ(PhotoEffects().size(), codes.size());
    for (size_t i = 0; i < codes.size(); ++i) {
        EXPECT_EQ(PhotoEffects()[i].code, codes[i]);
        EXPECT_EQ(PhotoEffects()[i].effect, PhotoEffect(i));
        EXPECT_EQ(PhotoEffectFromName(QString::fromLatin1(PhotoEffects()[i].name).toUpper()), PhotoEffect(i));
    }
    EXPECT_FALSE(PhotoEffectFromName(QStringLiteral("sepia")));
}

// Every kernel effect: the sum over the kernel, whose rows are in the library's bottom-up order
// (the first kernel row weights the row below on screen), divided with truncation (a divisor of
// 0 counts as 1), offset and clamped. Edges replicate, so border pixels follow the same rule.
TEST(PhotoEffects, KernelFiltersMatchTheirConvolution) {
    const QImage source = NoisyPicture();
    for (PhotoEffect effect : {PhotoEffect::Emboss, PhotoEffect::Sharpen, PhotoEffect::Blur,
                               PhotoEffect::Soften, PhotoEffect::Mean, PhotoEffect::Smooth}) {
        EffectKernel k;
        ASSERT_TRUE(PhotoEffectKernel(effect, &k));
        const int half = k.size / 2, divisor = k.divisor == 0 ? 1 : k.divisor;
        const QImage expected = Reference(source, [&](int x, int y, int c) {
            int sum = 0;
            for (int j = 0; j < k.size; ++j)
                for (int i = 0; i < k.size; ++i)
                    sum += k.values[size_t(j * k.size + i)] * Sample(source, x + i - half, y + half - j, c);
            return std::clamp(sum / divisor + k.offset, 0, 255);
        });
        const QImage actual = Applied(source, effect);
        EXPECT_EQ(actual, expected) << PhotoEffectDetails(effect).name << " differs "
                                    << FirstDifference(actual, expected);
    }
}

TEST(PhotoEffects, EmbossIsLitFromTheUpperLeft) {
    // A bright upper-left half over a dark lower-right: the edge between them stands out light
    // where the upper-left neighbour is brighter than the lower-right one.
    QImage step(8, 8, QImage::Format_RGB32);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            step.setPixel(x, y, x + y < 8 ? qRgb(200, 200, 200) : qRgb(50, 50, 50));
    const QImage out = Applied(step, PhotoEffect::Emboss);
    EXPECT_EQ(qRed(out.pixel(4, 4)), std::min(255, 200 - 50 + 127));
    EXPECT_EQ(qRed(out.pixel(1, 1)), 127); // flat areas sit at the offset
}

TEST(PhotoEffects, NeighbourhoodFiltersMatchTheirWindows) {
    const QImage source = NoisyPicture();
    // Windows of two pixels cover x - 1 .. x and y - 1 .. y; of three, x - 1 .. x + 1.
    const auto window = [&](int x, int y, int c, int size, auto pick) {
        std::vector<int> v;
        const int before = size / 2;
        for (int j = y - before; j < y - before + size; ++j)
            for (int i = x - before; i < x - before + size; ++i)
                v.push_back(Sample(source, i, j, c));
        return pick(v);
    };
    const auto lowest = [](std::vector<int>& v) { return *std::min_element(v.begin(), v.end()); };
    const auto highest = [](std::vector<int>& v) { return *std::max_element(v.begin(), v.end()); };
    const auto middle = [](std::vector<int>& v) {
        std::sort(v.begin(), v.end());
        return v[v.size() / 2];
    };
    struct Case {
        PhotoEffect effect;
        std::function<int(int, int, int)> rule;
    };
    const Case cases[] = {
        {PhotoEffect::Erode, [&](int x, int y, int c) { return window(x, y, c, 2, lowest); }},
        {PhotoEffect::Dilate, [&](int x, int y, int c) { return window(x, y, c, 2, highest); }},
        {PhotoEffect::Median, [&](int x, int y, int c) { return window(x, y, c, 3, middle); }},
        {PhotoEffect::Edge,
         [&](int x, int y, int c) { return window(x, y, c, 2, highest) - window(x, y, c, 2, lowest); }},
        {PhotoEffect::Contour,
         [&](int x, int y, int c) {
             return 255 - (window(x, y, c, 3, highest) - window(x, y, c, 3, lowest));
         }},
    };
    for (const Case& test : cases) {
        const QImage expected = Reference(source, test.rule);
        const QImage actual = Applied(source, test.effect);
        EXPECT_EQ(actual, expected) << PhotoEffectDetails(test.effect).name << " differs "
                                    << FirstDifference(actual, expected);
    }
}

TEST(PhotoEffects, KnownAnswersOnADot) {
    QImage dot(6, 6, QImage::Format_RGB32);
    dot.fill(Qt::black);
    dot.setPixel(2, 2, qRgb(255, 255, 255));
    const auto whites = [](const QImage& image) {
        int n = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                n += image.pixel(x, y) == qRgb(255, 255, 255);
        return n;
    };
    const QImage dilated = Applied(dot, PhotoEffect::Dilate); // grows right and down
    EXPECT_EQ(whites(dilated), 4);
    EXPECT_EQ(dilated.pixel(3, 3), qRgb(255, 255, 255));
    EXPECT_EQ(dilated.pixel(1, 1), qRgb(0, 0, 0));
    EXPECT_EQ(whites(Applied(dot, PhotoEffect::Erode)), 0);
    EXPECT_EQ(whites(Applied(dot, PhotoEffect::Median)), 0);
}

TEST(PhotoEffects, NoiseAndJitterAreRepeatableAndBounded) {
    const QImage source = NoisyPicture(40, 90);
    const QImage noisy = Applied(source, PhotoEffect::Noise);
    EXPECT_EQ(noisy, Applied(source, PhotoEffect::Noise)); // same picture however rows are shared
    EXPECT_NE(noisy, source);
    for (int y = 0; y < source.height(); ++y)
        for (int x = 0; x < source.width(); ++x) {
            // One offset of at most 25 for the three channels (clamped at 0 and 255).
            const QRgb a = source.pixel(x, y), b = noisy.pixel(x, y);
            ASSERT_LE(std::abs(qRed(a) - qRed(b)), 25);
            ASSERT_LE(std::abs(qBlue(a) - qBlue(b)), 25);
        }
    const QImage jittered = Applied(source, PhotoEffect::Jitter);
    EXPECT_EQ(jittered, Applied(source, PhotoEffect::Jitter));
    EXPECT_NE(jittered, source);
    for (int y = 0; y < source.height(); ++y)
        for (int x = 0; x < source.width(); ++x) {
            bool found = false; // every pixel comes from within two pixels
            for (int j = -2; j <= 2 && !found; ++j)
                for (int i = -2; i <= 2 && !found; ++i)
                    found = source.valid(x + i, y + j) && source.pixel(x + i, y + j) == jittered.pixel(x, y);
            ASSERT_TRUE(found) << x << "," << y;
        }
}

TEST(PhotoEffects, AlphaIsKeptAndEscapeLeavesThePicture) {
    QImage clear(10, 80, QImage::Format_ARGB32);
    clear.fill(qRgba(100, 150, 200, 90));
    LibraryImage picture = LibraryImage::FromImage(clear);
    ASSERT_TRUE(ApplyPhotoEffect(picture, PhotoEffect::Blur));
    EXPECT_EQ(picture.AlphaGet(3, 3), 90);
    EXPECT_EQ(picture.GetProgress(), 100);

    LibraryImage stopped = LibraryImage::FromImage(NoisyPicture());
    stopped.SetEscape(1);
    for (const PhotoEffectInfo& info : PhotoEffects()) {
        EXPECT_FALSE(ApplyPhotoEffect(stopped, info.effect)) << info.name;
        EXPECT_EQ(stopped.ToImage(), NoisyPicture()) << info.name;
    }
    LibraryImage empty;
    EXPECT_FALSE(ApplyPhotoEffect(empty, PhotoEffect::Mean));
}
