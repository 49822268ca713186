// The image library's transforms and tone calls: geometry and the histogram and colour calls go
// through Magick on a copy of the pixels; plain per-value mappings are one table pass.
#include "core/text/DisplayText.h"
#include "imaging/files/PictureLimits.h"
#include "imaging/magick/ImageLibrary.h"

#include <QColor>

#include <Magick++.h>

#include <array>
#include <cmath>

namespace mosaiq {

using MagickCore::Quantum; // for QuantumRange

bool LibraryImage::ThroughLibrary(const std::function<void(Magick::Image&)>& op, bool geometry) {
    if (!IsValid())
        return false;
    EnsureImageLibrary();
    const bool alpha = HasAlpha();
    try {
        const QImage rows = ToImage().convertToFormat(alpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
        Magick::Image img(size_t(rows.width()), size_t(rows.height()), alpha ? "BGRA" : "BGRP",
                          Magick::CharPixel, rows.constBits());
        img.backgroundColor(Magick::Color(alpha ? "none" : "black"));
        op(img);
        const QSize size(int(img.columns()), int(img.rows()));
        if (!PictureSizeAllowed(size, &m_error))
            return false;
        QImage out(size, QImage::Format_ARGB32);
        if (out.isNull())
            return false;
        for (int y = 0; y < size.height(); ++y)
            img.write(0, y, size_t(size.width()), 1, "BGRA", Magick::CharPixel, out.scanLine(y));
        if (GetEscape())
            return false;
        if (alpha && geometry)
            m_alpha = out.convertToFormat(QImage::Format_Alpha8);
        m_pixels = out.convertToFormat(QImage::Format_RGB32).convertToFormat(QImage::Format_BGR888);
        return true;
    } catch (const std::exception& e) {
        m_error = LibraryMessage(QString::fromLocal8Bit(e.what()));
        return false;
    }
}

bool LibraryImage::MapValues(const std::function<int(int)>& f) {
    if (!IsValid())
        return false;
    std::array<uchar, 256> table{};
    for (int v = 0; v < 256; ++v)
        table[size_t(v)] = uchar(std::clamp(f(v), 0, 255));
    QImage out = m_pixels.copy();
    if (out.isNull())
        return false;
    for (int y = 0; y < out.height(); ++y) {
        uchar* row = out.scanLine(y);
        for (int i = 0; i < 3 * out.width(); ++i)
            row[i] = table[row[i]];
    }
    return ReplacePixels(std::move(out));
}

bool LibraryImage::Negative() {
    return ThroughLibrary([](Magick::Image& img) { img.negate(false); }, false);
}

bool LibraryImage::GrayScale() {
    return ThroughLibrary([](Magick::Image& img) { img.grayscale(MagickCore::Rec601LumaPixelIntensityMethod); },
                          false);
}

bool LibraryImage::Mirror() {
    return ThroughLibrary([](Magick::Image& img) { img.flop(); }, true);
}

bool LibraryImage::Flip() {
    return ThroughLibrary([](Magick::Image& img) { img.flip(); }, true);
}

bool LibraryImage::RotateLeft() {
    return ThroughLibrary([](Magick::Image& img) { img.rotate(-90); }, true);
}

bool LibraryImage::RotateRight() {
    return ThroughLibrary([](Magick::Image& img) { img.rotate(90); }, true);
}

bool LibraryImage::Rotate2(float angle) {
    return ThroughLibrary([angle](Magick::Image& img) { img.rotate(angle); }, true);
}

bool LibraryImage::Skew(float xgain, float ygain) {
    constexpr double kDegrees = 180.0 / 3.14159265358979323846;
    return ThroughLibrary(
        [=](Magick::Image& img) { img.shear(std::atan(xgain) * kDegrees, std::atan(ygain) * kDegrees); },
        true);
}

bool LibraryImage::Resample2(int width, int height, int method) {
    if (width <= 0 || height <= 0 || !PictureSizeAllowed(QSize(width, height), &m_error))
        return false;
    return ThroughLibrary(
        [=](Magick::Image& img) {
            img.filterType(method == 0   ? Magick::PointFilter
                           : method == 2 ? Magick::CatromFilter
                                         : Magick::TriangleFilter);
            Magick::Geometry size{size_t(width), size_t(height)};
            size.aspect(true); // exactly this size
            img.resize(size);
        },
        true);
}

bool LibraryImage::Threshold(int level) {
    return ThroughLibrary(
        [level](Magick::Image& img) {
            img.grayscale(MagickCore::Rec601LumaPixelIntensityMethod);
            img.threshold(double(level) * QuantumRange / 255.0 + 0.5);
        },
        false);
}

bool LibraryImage::Colorize(int hue, int saturation, float blend) {
    const QColor colour = QColor::fromHsl(std::clamp(hue, 0, 255) * 359 / 255, std::clamp(saturation, 0, 255), 128);
    const unsigned percent = unsigned(std::lround(std::clamp(blend, 0.0f, 1.0f) * 100.0f));
    return ThroughLibrary(
        [&](Magick::Image& img) {
            img.colorize(percent, Magick::ColorRGB(colour.redF(), colour.greenF(), colour.blueF()));
        },
        false);
}

bool LibraryImage::ShiftRGB(int red, int green, int blue) {
    return ThroughLibrary(
        [=](Magick::Image& img) {
            const double step = QuantumRange / 255.0;
            img.quantumOperator(Magick::RedChannel, Magick::AddEvaluateOperator, red * step);
            img.quantumOperator(Magick::GreenChannel, Magick::AddEvaluateOperator, green * step);
            img.quantumOperator(Magick::BlueChannel, Magick::AddEvaluateOperator, blue * step);
        },
        false);
}

bool LibraryImage::Light(int brightness, int contrast) {
    return MapValues([=](int v) { return (v - 128) * (100 + contrast) / 100 + 128 + brightness; });
}

bool LibraryImage::Gamma(float gamma) {
    if (!(gamma > 0.0f))
        return false;
    return ThroughLibrary([gamma](Magick::Image& img) { img.gamma(gamma); }, false);
}

bool LibraryImage::CircleTransform(int type, float amount) {
    return ThroughLibrary(
        [=](Magick::Image& img) {
            if (type == 0)
                img.swirl(amount);
            else
                img.implode(amount);
        },
        true);
}

bool LibraryImage::Dither(int method) {
    return ThroughLibrary(
        [method](Magick::Image& img) {
            img.grayscale(MagickCore::Rec601LumaPixelIntensityMethod);
            if (method == 1) {
                img.orderedDither("o8x8");
            } else {
                // Error diffusion onto a palette of black and white.
                Magick::Image palette(Magick::Geometry(2, 1), Magick::Color("black"));
                palette.pixelColor(1, 0, Magick::Color("white"));
                img.quantizeDitherMethod(MagickCore::FloydSteinbergDitherMethod);
                img.map(palette, true);
            }
        },
        false);
}

bool LibraryImage::HistogramStretch() {
    return ThroughLibrary([](Magick::Image& img) { img.autoLevel(); }, false);
}

bool LibraryImage::HistogramNormalize() {
    return ThroughLibrary([](Magick::Image& img) { img.normalize(); }, false);
}

bool LibraryImage::HistogramEqualize() {
    return ThroughLibrary([](Magick::Image& img) { img.equalize(); }, false);
}

bool LibraryImage::HistogramRoot() {
    return MapValues([](int v) { return int(std::lround(255.0 * std::sqrt(v / 255.0))); });
}

bool LibraryImage::HistogramLog() {
    return MapValues([](int v) { return int(std::lround(255.0 * std::log1p(v) / std::log(256.0))); });
}

} // namespace mosaiq
