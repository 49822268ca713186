#include "batch/BatchConverter.h"

#include "imaging/PictureDecoder.h"
#include "imaging/PictureJob.h"
#include "imaging/PictureSaving.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QSet>
#include <QStandardPaths>
#include <QTemporaryFile>
#include <QThread>

#include <algorithm>
#include <mutex>
#include <thread>
#include <vector>

namespace mosaiq {

const std::array<BatchFormat, 8>& BatchFormats() {
    static const std::array<BatchFormat, 8> kFormats{{
        {"JPG", "jpg", 3},
        {"BMP", "bmp", 1},
        {"GIF", "gif", 2},
        {"PNG", "png", 4},
        {"PNM", "pnm", 14},
        {"TGA", "tga", 7},
        {"TIF", "tif", 6},
        {"PCX", "pcx", 8},
    }};
    return kFormats;
}

int BatchFormatIndex(const QString& name) {
    const auto& formats = BatchFormats();
    for (size_t i = 0; i < formats.size(); ++i)
        if (name.compare(QLatin1String(formats[i].text), Qt::CaseInsensitive) == 0)
            return int(i);
    return -1;
}

QString BatchOutputPath(const QString& outputDir, const QString& input, const QString& extension) {
    QString name = QFileInfo(input).fileName();
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    if (dot >= 0)
        name.truncate(dot);
    QString dir = outputDir;
    if (!dir.endsWith(QLatin1Char('/')))
        dir += QLatin1Char('/');
    return dir + name + QLatin1Char('.') + extension;
}

namespace {

// True when some pixel is not fully opaque (a picture in an alpha format may still be opaque).
bool HasTransparency(const QImage& image) {
    if (!image.hasAlphaChannel())
        return false;
    const QImage argb = image.format() == QImage::Format_ARGB32
                            ? image
                            : image.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < argb.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(argb.constScanLine(y));
        for (int x = 0; x < argb.width(); ++x)
            if (qAlpha(line[x]) != 255)
                return true;
    }
    return false;
}

// The opaque picture: every pixel's own colour values with the alpha set to 255 (the colour
// under a transparent pixel is kept, not blended with black).
QImage WithoutAlpha(const QImage& straight) {
    QImage image = straight.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x)
            line[x] |= 0xFF000000u;
    }
    return image.convertToFormat(QImage::Format_RGB32);
}

// The path a file is known by, for telling whether an output would replace an input: symbolic
// links resolved where the file or its folder exists.
QString ComparablePath(const QString& path) {
    const QFileInfo info(path);
    const QString canonical = info.canonicalFilePath();
    if (!canonical.isEmpty())
        return canonical;
    const QString dir = QFileInfo(info.absolutePath()).canonicalFilePath();
    return dir.isEmpty() ? info.absoluteFilePath() : dir + QLatin1Char('/') + info.fileName();
}

// Whether a file can be made in dir (a read-only folder or a full disk fails here, before any
// picture is decoded).
bool CanWriteInto(const QString& dir, QString* reason) {
    QTemporaryFile probe(QDir(dir).filePath(QStringLiteral(".mosaiq-probe-XXXXXX")));
    if (probe.open())
        return true;
    *reason = QStringLiteral("cannot write into the output directory %1: %2")
                  .arg(dir, probe.errorString());
    return false;
}

} // namespace

bool FormatKeepsTransparency(const QString& extension) {
    const QString e = extension.toLower();
    return e == QLatin1String("png") || e == QLatin1String("tif") || e == QLatin1String("tiff") ||
           e == QLatin1String("tga") || e == QLatin1String("gif");
}

bool ConvertPictureFile(const QString& input, const QString& output, const QString& extension,
                        QString* reason) {
    const DecodedPicture picture = DecodePictureStraight(input);
    if (!picture.Ok()) {
        if (reason)
            *reason = picture.error;
        return false;
    }
    // Transparency goes to the formats that hold it (GIF as one transparent colour); the others
    // get the colour values of every pixel, those under transparent pixels included.
    QImage image = picture.image;
    if (HasTransparency(image)) {
        if (!FormatKeepsTransparency(extension))
            image = WithoutAlpha(image);
    } else if (image.hasAlphaChannel()) {
        image = image.convertToFormat(QImage::Format_RGB32);
    }
    return SavePictureByExtension(image, output, extension, reason);
}

QString DefaultBatchOutputDir() {
    QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (documents.isEmpty())
        documents = QDir::homePath();
    return QDir(documents).filePath(QStringLiteral("Vitrine Studio/Convert/"));
}

BatchSummary BatchConverter::Run(const std::function<void(const BatchFileResult&)>& progress) {
    BatchSummary summary;
    const auto& formats = BatchFormats();
    if (m_settings.format < 0 || m_settings.format >= int(formats.size())) {
        summary.error = QStringLiteral("no output format chosen");
        return summary;
    }
    if (!QDir().mkpath(m_settings.outputDir)) {
        summary.error =
            QStringLiteral("cannot create the output directory %1").arg(m_settings.outputDir);
        return summary;
    }
    if (!CanWriteInto(m_settings.outputDir, &summary.error))
        return summary;
    // An output that would replace one of the inputs is never written: the user's original
    // would be lost (converting a folder's JPEGs to JPEG into the same folder).
    QSet<QString> inputs;
    for (const QString& file : m_settings.files)
        inputs.insert(ComparablePath(file));
    const QString extension = QLatin1String(formats[size_t(m_settings.format)].extension);

    // Files with the same output name form one group, converted in list order by one worker.
    std::vector<std::vector<int>> groups;
    QHash<QString, size_t> groupOf;
    QStringList outputs;
    for (int i = 0; i < m_settings.files.size(); ++i) {
        outputs << BatchOutputPath(m_settings.outputDir, m_settings.files.at(i), extension);
        const auto it = groupOf.constFind(outputs.back());
        if (it != groupOf.cend()) {
            groups[*it].push_back(i);
        } else {
            groupOf.insert(outputs.back(), groups.size());
            groups.push_back({i});
        }
    }

    std::atomic<size_t> nextGroup{0};
    std::mutex reportMutex;
    const auto work = [&] {
        for (;;) {
            const size_t g = nextGroup.fetch_add(1);
            if (g >= groups.size())
                return;
            for (int index : groups[g]) {
                if (m_stop)
                    return;
                BatchFileResult result;
                result.index = index;
                result.input = m_settings.files.at(index);
                result.output = outputs.at(index);
                if (inputs.contains(ComparablePath(result.output))) {
                    result.reason =
                        QStringLiteral("the output %1 would replace an input file").arg(result.output);
                } else {
                    const ScopedPictureJob job; // a writer leaves the other workers their cores
                    result.converted =
                        ConvertPictureFile(result.input, result.output, extension, &result.reason);
                }
                std::lock_guard<std::mutex> lock(reportMutex);
                ++(result.converted ? summary.converted : summary.skipped);
                if (progress)
                    progress(result);
            }
        }
    };
    const int threads =
        std::clamp(m_settings.threads > 0 ? m_settings.threads : QThread::idealThreadCount(), 1,
                   std::max(1, int(groups.size())));
    std::vector<std::thread> workers;
    for (int i = 1; i < threads; ++i)
        workers.emplace_back(work);
    work();
    for (std::thread& t : workers)
        t.join();
    summary.stopped = m_stop;
    return summary;
}

} // namespace mosaiq
