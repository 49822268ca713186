#include "imaging/subject/SubjectFinder.h"

#include "imaging/decode/PictureDecoder.h"
#include "imaging/decode/PictureLoaders.h"
#include "imaging/subject/SubjectSaliency.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>
#include <opencv2/objdetect.hpp>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cmath>
#include <cstdio>
#include <memory>
#include <mutex>

namespace mosaiq {
namespace {

constexpr int kReducedLongMin = 640;
constexpr int kReducedLongMax = 1280;
constexpr int kReducedShortMin = 480; // a stored HEIF thumbnail must be at least this on its short side
constexpr int kDetectLong = 640;       // frontal faces are looked for at this long side
constexpr int kProfileLong = 400;      // the slower profile detector at this one
constexpr double kFrontalStep = 1.1;   // scale steps between detector passes
constexpr double kProfileStep = 1.15;
constexpr double kMinFaceShare = 0.06; // of the short side: smaller hits are dropped

const char* const kFrontalFile = "haarcascades/haarcascade_frontalface_alt2.xml";
const char* const kProfileFile = "haarcascades/haarcascade_profileface.xml";
const char* const kEyeFile = "haarcascades/haarcascade_eye.xml";

std::mutex g_folderMutex;
QString g_folder = QStringLiteral("/usr/share/opencv4");
std::atomic<int> g_generation{0};
std::atomic<bool> g_reported{false};

QString Folder() {
    std::lock_guard<std::mutex> lock(g_folderMutex);
    return g_folder;
}

// The detectors of one thread: a cascade classifier keeps working buffers of its own, so
// threads do not share one.
struct Detectors {
    int generation = -1;
    bool ok = false;
    cv::CascadeClassifier frontal;
    cv::CascadeClassifier profile;
    cv::CascadeClassifier eye;
};

bool LoadCascade(cv::CascadeClassifier& cascade, const QString& folder, const char* name) {
    const QString path = QDir(folder).filePath(QString::fromLatin1(name));
    if (!QFileInfo(path).isFile())
        return false;
    try {
        return cascade.load(QFile::encodeName(path).toStdString()) && !cascade.empty();
    } catch (const cv::Exception&) {
        return false;
    }
}

Detectors& ThreadDetectors() {
    // One thread per photo: subjects are found for several photos at once on separate threads,
    // and the pictures are small, so OpenCV's own thread pool would only add waiting.
    static std::once_flag serial;
    std::call_once(serial, [] { cv::setNumThreads(1); });
    thread_local Detectors detectors;
    const int generation = g_generation.load();
    if (detectors.generation != generation) {
        detectors = Detectors();
        detectors.generation = generation;
        const QString folder = Folder();
        detectors.ok = LoadCascade(detectors.frontal, folder, kFrontalFile) &&
                       LoadCascade(detectors.profile, folder, kProfileFile) &&
                       LoadCascade(detectors.eye, folder, kEyeFile);
        if (!detectors.ok && !g_reported.exchange(true))
            std::fprintf(stderr,
                         "mosaiq: face detectors not found in %s (install opencv-data); crops "
                         "stay centred\n",
                         qPrintable(folder));
    }
    return detectors;
}

cv::Mat GreyOf(const QImage& image) {
    const QImage grey = image.convertToFormat(QImage::Format_Grayscale8);
    cv::Mat view(grey.height(), grey.width(), CV_8UC1, const_cast<uchar*>(grey.constBits()),
                 size_t(grey.bytesPerLine()));
    return view.clone();
}

// True when the picture has next to no colour (a black-and-white photo): its faces must then
// show an eye, since grey textures give the face detectors more false hits.
bool IsGrey(const QImage& image) {
    double sum = 0.0;
    const int step = std::max(1, image.height() / 64);
    int count = 0;
    for (int y = 0; y < image.height(); y += step) {
        const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); x += step) {
            const QRgb p = row[x];
            sum += std::max({qRed(p), qGreen(p), qBlue(p)}) - std::min({qRed(p), qGreen(p), qBlue(p)});
            ++count;
        }
    }
    return count == 0 || sum / count < 6.0;
}

struct Hit {
    cv::Rect rect;
    bool frontal = true;
};

double Overlap(const cv::Rect& a, const cv::Rect& b) {
    const double inter = double((a & b).area());
    const double smaller = double(std::min(a.area(), b.area()));
    return smaller > 0.0 ? inter / smaller : 0.0;
}

std::vector<cv::Rect> DetectFaces(Detectors& d, const cv::Mat& grey, bool greyPicture) {
    const int shortSide = std::min(grey.cols, grey.rows);
    const int minFace = std::max(20, int(std::ceil(kMinFaceShare * shortSide)));
    const cv::Size minSize(minFace, minFace);
    cv::Mat equalised;
    cv::equalizeHist(grey, equalised);

    std::vector<Hit> hits;
    std::vector<cv::Rect> found;
    d.frontal.detectMultiScale(equalised, found, kFrontalStep, 4, 0, minSize);
    for (const cv::Rect& r : found)
        hits.push_back({r, true});
    // The profile detector is the slower one: it looks at a smaller copy, still large enough
    // for faces of 8 % of the short side. It finds faces turned to one side; the mirrored
    // copy gives the other.
    cv::Mat profileGrey = equalised;
    double ps = 1.0;
    if (std::max(grey.cols, grey.rows) > kProfileLong) {
        ps = double(kProfileLong) / std::max(grey.cols, grey.rows);
        cv::resize(equalised, profileGrey, cv::Size(), ps, ps, cv::INTER_AREA);
    }
    const int minProfile = std::max(
        20, int(std::ceil(kMinFaceShare * std::min(profileGrey.cols, profileGrey.rows))));
    cv::Mat mirrored;
    cv::flip(profileGrey, mirrored, 1);
    for (const cv::Mat* picture : {&profileGrey, &mirrored}) {
        found.clear();
        d.profile.detectMultiScale(*picture, found, kProfileStep, 4, 0,
                                   cv::Size(minProfile, minProfile));
        for (cv::Rect r : found) {
            if (picture == &mirrored)
                r.x = profileGrey.cols - r.x - r.width;
            hits.push_back({cv::Rect(int(r.x / ps), int(r.y / ps), int(r.width / ps),
                                     int(r.height / ps)),
                            false});
        }
    }

    // Frontal hits first, then larger first; a hit mostly inside one kept is the same face.
    std::stable_sort(hits.begin(), hits.end(), [](const Hit& a, const Hit& b) {
        if (a.frontal != b.frontal)
            return a.frontal;
        return a.rect.area() > b.rect.area();
    });
    std::vector<cv::Rect> faces;
    for (const Hit& h : hits) {
        if (h.rect.width < minFace)
            continue;
        bool same = false;
        for (const cv::Rect& kept : faces)
            same = same || Overlap(kept, h.rect) > 0.4;
        if (same)
            continue;
        if (greyPicture) {
            // The eyes sit in the upper part of a face.
            const cv::Rect upper(h.rect.x, h.rect.y, h.rect.width, h.rect.height * 6 / 10);
            std::vector<cv::Rect> eyes;
            const int minEye = std::max(6, h.rect.width / 8);
            d.eye.detectMultiScale(equalised(upper & cv::Rect(0, 0, grey.cols, grey.rows)), eyes,
                                   1.1, 3, 0, cv::Size(minEye, minEye));
            if (eyes.empty())
                continue;
        }
        faces.push_back(h.rect);
    }
    std::sort(faces.begin(), faces.end(),
              [](const cv::Rect& a, const cv::Rect& b) { return a.area() > b.area(); });
    return faces;
}

// A face with room for the head above it and the chin below.
QRectF WithHeadRoom(const QRectF& face) {
    return face.adjusted(-0.2 * face.width(), -0.45 * face.height(), 0.2 * face.width(),
                         0.25 * face.height());
}

} // namespace

void SetSubjectDetectorFolder(const QString& folder) {
    {
        std::lock_guard<std::mutex> lock(g_folderMutex);
        g_folder = folder;
    }
    g_reported = false;
    ++g_generation;
}

QString SubjectDetectorFolder() {
    return Folder();
}

bool SubjectDetectorsAvailable() {
    return ThreadDetectors().ok;
}

SubjectPicture LoadSubjectPicture(const QString& path) {
    SubjectPicture result;
    QSize full;
    if (!ReadPictureSize(path, &full, &result.error) || full.isEmpty()) {
        if (result.error.isEmpty())
            result.error = QStringLiteral("the picture has no size");
        return result;
    }
    // Ask the decoder for at least 640 on the long side and 480 on the short one (the
    // picture's own sides when smaller); JPEG then decodes at 1/2 to 1/8, HEIF a thumbnail.
    const bool wide = full.width() >= full.height();
    const int longSide = wide ? full.width() : full.height();
    const int shortSide = wide ? full.height() : full.width();
    const int wantShort = std::min(
        shortSide, std::max(kReducedShortMin, int(std::int64_t(shortSide) * kReducedLongMin /
                                                  std::max(1, longSide))));
    const int wantLong = std::min(longSide, kReducedLongMin);
    const QSize minimum = wide ? QSize(wantLong, wantShort) : QSize(wantShort, wantLong);
    DecodedPicture picture = DecodePicture(path, minimum);
    if (!picture.Ok()) {
        result.error = picture.error;
        return result;
    }
    result.fullSize = picture.fullSize;
    result.orientation = picture.orientation;
    QImage image = std::move(picture.image);
    const int reducedLong = std::max(image.width(), image.height());
    QSize target = image.size();
    if (reducedLong > kReducedLongMax)
        target = image.size().scaled(kReducedLongMax, kReducedLongMax, Qt::KeepAspectRatio);
    result.image = StretchOnWhite(image, target.expandedTo(QSize(1, 1)));
    return result;
}

std::optional<PictureSubject> FindSubject(const QImage& reduced, QSize fullSize) {
    if (reduced.isNull() || fullSize.isEmpty())
        return std::nullopt;
    Detectors& detectors = ThreadDetectors();
    if (!detectors.ok)
        return std::nullopt;
    QImage image = reduced.convertToFormat(QImage::Format_RGB32);
    QImage detect = image;
    if (std::max(image.width(), image.height()) > kDetectLong)
        detect = image.scaled(kDetectLong, kDetectLong, Qt::KeepAspectRatio,
                              Qt::SmoothTransformation);

    PictureSubject subject;
    subject.picture = fullSize;
    const double sx = double(fullSize.width()) / double(detect.width());
    const double sy = double(fullSize.height()) / double(detect.height());
    const QRectF bounds(QPointF(0, 0), QSizeF(fullSize));
    std::vector<cv::Rect> faces;
    try {
        faces = DetectFaces(detectors, GreyOf(detect), IsGrey(detect));
    } catch (const cv::Exception&) {
        faces.clear();
    }
    for (const cv::Rect& r : faces)
        subject.faces.push_back(
            QRectF(r.x * sx, r.y * sy, r.width * sx, r.height * sy).intersected(bounds));
    if (!subject.faces.empty()) {
        QRectF box;
        for (const QRectF& f : subject.faces)
            box = box.united(WithHeadRoom(f));
        subject.box = box.intersected(bounds);
        return subject;
    }
    const std::optional<QRectF> salient = SalientRegion(detect);
    if (salient) {
        const QRectF r = *salient;
        subject.box = QRectF(r.x() * sx, r.y() * sy, r.width() * sx, r.height() * sy)
                          .intersected(bounds);
    } else {
        subject.box = QRectF(bounds.center(), QSizeF(0, 0));
    }
    return subject;
}

std::optional<PictureSubject> FindSubjectOfFile(const QString& path, int* orientation,
                                                QString* error) {
    const SubjectPicture picture = LoadSubjectPicture(path);
    if (picture.image.isNull()) {
        if (error)
            *error = picture.error;
        return std::nullopt;
    }
    if (orientation)
        *orientation = picture.orientation;
    std::optional<PictureSubject> subject = FindSubject(picture.image, picture.fullSize);
    if (!subject && error)
        *error = QStringLiteral("the face detectors are missing");
    return subject;
}

} // namespace mosaiq
