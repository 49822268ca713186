#include "imaging/subject/SubjectSaliency.h"

#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <cmath>

namespace mosaiq {
namespace {

constexpr int kSaliencyLong = 96; // the saliency map's long side: coarse on purpose, the
                                  // residual marks objects, not their texture

// Spectral residual saliency of one plane: the log amplitude spectrum less its local mean,
// brought back with the original phase; the squared result, smoothed, marks what stands out
// from the picture's own statistics.
cv::Mat SpectralResidual(const cv::Mat& plane, double sigma) {
    cv::Mat parts[] = {plane.clone(), cv::Mat::zeros(plane.size(), CV_32F)};
    cv::Mat spectrum;
    cv::merge(parts, 2, spectrum);
    cv::dft(spectrum, spectrum);
    cv::split(spectrum, parts);
    cv::Mat amplitude, phase;
    cv::cartToPolar(parts[0], parts[1], amplitude, phase);
    cv::Mat logAmplitude;
    cv::log(amplitude + 1e-6f, logAmplitude);
    cv::Mat local;
    cv::blur(logAmplitude, local, cv::Size(3, 3), cv::Point(-1, -1), cv::BORDER_REPLICATE);
    cv::Mat residual;
    cv::exp(logAmplitude - local, residual);
    cv::polarToCart(residual, phase, parts[0], parts[1]);
    cv::merge(parts, 2, spectrum);
    cv::idft(spectrum, spectrum, cv::DFT_SCALE);
    cv::split(spectrum, parts);
    cv::Mat power;
    cv::magnitude(parts[0], parts[1], power);
    power = power.mul(power);
    cv::GaussianBlur(power, power, cv::Size(0, 0), sigma);
    return power;
}

// Scales a non-negative map to 0..1 (all zero stays zero).
cv::Mat Normalised(const cv::Mat& map, double floor = 0.0) {
    double low = 0.0, high = 0.0;
    cv::minMaxLoc(map, &low, &high);
    high = std::max(high, floor);
    if (high <= 0.0)
        return cv::Mat::zeros(map.size(), CV_32F);
    return map / high;
}

} // namespace

std::optional<QRectF> SalientRegion(const QImage& image) {
    if (image.isNull() || image.width() < 8 || image.height() < 8)
        return std::nullopt;
    const QImage small = image.convertToFormat(QImage::Format_RGB888)
                             .scaled(kSaliencyLong, kSaliencyLong, Qt::KeepAspectRatio,
                                     Qt::SmoothTransformation);
    if (small.width() < 8 || small.height() < 8)
        return std::nullopt;
    const cv::Mat rgb(small.height(), small.width(), CV_8UC3, const_cast<uchar*>(small.constBits()),
                      size_t(small.bytesPerLine()));
    cv::Mat rgbFloat;
    rgb.convertTo(rgbFloat, CV_32FC3, 1.0 / 255.0);
    cv::Mat lab;
    cv::cvtColor(rgbFloat, lab, cv::COLOR_RGB2Lab);
    cv::Mat planes[3];
    cv::split(lab, planes);

    const double sigma = 0.035 * std::max(small.width(), small.height());
    cv::Mat residual = cv::Mat::zeros(lab.size(), CV_32F);
    for (const cv::Mat& p : planes)
        residual += Normalised(SpectralResidual(p, sigma));

    // Distance from the ground: the mean colour of a strip along the border.
    const int bx = std::max(1, small.width() / 16);
    const int by = std::max(1, small.height() / 16);
    cv::Mat borderMask(lab.size(), CV_8U, cv::Scalar(255));
    borderMask(cv::Rect(bx, by, small.width() - 2 * bx, small.height() - 2 * by)).setTo(0);
    const cv::Scalar ground = cv::mean(lab, borderMask);
    cv::Mat distance = cv::Mat::zeros(lab.size(), CV_32F);
    for (int c = 0; c < 3; ++c) {
        cv::Mat d = planes[c] - float(ground[c]);
        distance += d.mul(d);
    }
    cv::sqrt(distance, distance);
    cv::GaussianBlur(distance, distance, cv::Size(0, 0), sigma / 2);
    // A distance of 25 (in Lab) is a clearly different colour; below it the map is scaled down.
    distance = Normalised(distance, 25.0);

    cv::Mat chroma;
    cv::magnitude(planes[1], planes[2], chroma);
    chroma = Normalised(chroma, 30.0);

    cv::Mat sharp;
    cv::Laplacian(planes[0], sharp, CV_32F);
    sharp = cv::abs(sharp);
    cv::GaussianBlur(sharp, sharp, cv::Size(0, 0), sigma);
    sharp = Normalised(sharp);

    cv::Mat weight = (0.2 + 0.8 * distance).mul(0.7 + 0.3 * chroma);
    weight = weight.mul(0.7 + 0.3 * sharp);
    cv::Mat saliency = Normalised(residual.mul(weight));

    const double mean = cv::mean(saliency)[0];
    const double threshold = std::max(2.0 * mean, 0.3);
    cv::Mat mask = saliency > threshold;
    cv::dilate(mask, mask, cv::getStructuringElement(cv::MORPH_ELLIPSE, cv::Size(5, 5)));
    cv::Mat labels, stats, centroids;
    const int count = cv::connectedComponentsWithStats(mask, labels, stats, centroids, 8, CV_32S);
    if (count <= 1)
        return std::nullopt;
    std::vector<double> strength(size_t(count), 0.0);
    for (int y = 0; y < labels.rows; ++y) {
        const int* row = labels.ptr<int>(y);
        const float* s = saliency.ptr<float>(y);
        for (int x = 0; x < labels.cols; ++x)
            if (row[x] > 0)
                strength[size_t(row[x])] += s[x];
    }
    const int best = int(std::max_element(strength.begin() + 1, strength.end()) - strength.begin());
    const int left = stats.at<int>(best, cv::CC_STAT_LEFT);
    const int top = stats.at<int>(best, cv::CC_STAT_TOP);
    const int width = stats.at<int>(best, cv::CC_STAT_WIDTH);
    const int height = stats.at<int>(best, cv::CC_STAT_HEIGHT);
    // A region that is nearly the whole picture marks no subject.
    if (double(width) * height > 0.85 * double(small.width()) * small.height())
        return std::nullopt;
    const double sx = double(image.width()) / small.width();
    const double sy = double(image.height()) / small.height();
    return QRectF(left * sx, top * sy, width * sx, height * sy);
}

} // namespace mosaiq
