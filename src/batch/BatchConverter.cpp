#include "batch/BatchConverter.h"

#include "core/files/FileInTheWay.h"
#include "imaging/decode/PictureDecoder.h"
#include "imaging/files/PictureJob.h"
#include "imaging/encode/PictureSaving.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>
#include <QStandardPaths>
#include <QTemporaryFile>
#include <QThread>

#include <algorithm>
#include <condition_variable>
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

QString NumberedOutputPath(const QString& plain, int n) {
    const QFileInfo info(plain);
    const QString suffix = info.suffix();
    QString stem = info.fileName();
    if (!suffix.isEmpty())
        stem.chop(suffix.size() + 1);
    QString name = QStringLiteral("%1 (%2)").arg(stem).arg(n);
    if (!suffix.isEmpty())
        name += QLatin1Char('.') + suffix;
    return plain.left(plain.size() - info.fileName().size()) + name;
}

// The run's file list, which may grow while workers take files from it.
struct BatchConverter::Queue {
    std::mutex lock;
    std::condition_variable wake;
    QStringList files;
    QStringList outputs;
    std::vector<bool> renamed;
    QSet<QString> taken;  // outputs of this run, as comparable paths
    QSet<QString> inputs; // inputs of this run, as comparable paths
    int next = 0;         // the first file no worker has taken
    int active = 0;       // workers converting or reporting a file
    bool closed = false;  // the run has ended: nothing more is added
    bool stop = false;
};

BatchConverter::BatchConverter(BatchSettings settings)
    : m_settings(std::move(settings)), m_queue(std::make_unique<Queue>()) {
    const QStringList files = m_settings.files;
    m_settings.files.clear();
    AddFiles(files);
}

BatchConverter::~BatchConverter() = default;

bool BatchConverter::AddFiles(const QStringList& files) {
    const auto& formats = BatchFormats();
    const QString extension = m_settings.format >= 0 && m_settings.format < int(formats.size())
                                  ? QLatin1String(formats[size_t(m_settings.format)].extension)
                                  : QString();
    Queue& q = *m_queue;
    std::lock_guard<std::mutex> guard(q.lock);
    if (q.closed || q.stop)
        return false;
    for (const QString& file : files) {
        // In list order, a name another file of the run took first gets the next free number.
        const QString plain = BatchOutputPath(m_settings.outputDir, file, extension);
        QString output = plain;
        for (int n = 2; q.taken.contains(ComparablePath(output)); ++n)
            output = NumberedOutputPath(plain, n);
        q.taken.insert(ComparablePath(output));
        q.inputs.insert(ComparablePath(file));
        q.files << file;
        q.outputs << output;
        q.renamed.push_back(output != plain);
    }
    q.wake.notify_all();
    return true;
}

int BatchConverter::FileCount() const {
    std::lock_guard<std::mutex> guard(m_queue->lock);
    return int(m_queue->files.size());
}

void BatchConverter::RequestStop() {
    std::lock_guard<std::mutex> guard(m_queue->lock);
    m_queue->stop = true;
    m_queue->wake.notify_all();
}

BatchSummary BatchConverter::Run(const std::function<void(const BatchFileResult&)>& progress) {
    BatchSummary summary;
    Queue& q = *m_queue;
    const auto refuse = [&](const QString& error) {
        std::lock_guard<std::mutex> guard(q.lock);
        q.closed = true;
        summary.error = error;
        return summary;
    };
    const auto& formats = BatchFormats();
    if (m_settings.format < 0 || m_settings.format >= int(formats.size()))
        return refuse(QStringLiteral("no output format chosen"));
    if (!QDir().mkpath(m_settings.outputDir))
        return refuse(
            FileInTheWay(m_settings.outputDir).isEmpty()
                ? QStringLiteral("cannot create the output directory %1").arg(m_settings.outputDir)
                : QStringLiteral("cannot create the output directory %1: %2")
                      .arg(m_settings.outputDir, FileInTheWayText(m_settings.outputDir)));
    QString error;
    if (!CanWriteInto(m_settings.outputDir, &error))
        return refuse(error);
    const QString extension = QLatin1String(formats[size_t(m_settings.format)].extension);

    std::mutex reportMutex;
    const auto convert = [&](int index) {
        BatchFileResult result;
        {
            std::lock_guard<std::mutex> guard(q.lock);
            result.index = index;
            result.input = q.files.at(index);
            result.output = q.outputs.at(index);
            result.renamed = q.renamed[size_t(index)];
            // An output that would replace one of the inputs is never written: the user's
            // original would be lost (converting a folder's JPEGs to JPEG into the same folder).
            if (q.inputs.contains(ComparablePath(result.output)))
                result.reason =
                    QStringLiteral("the output %1 would replace an input file").arg(result.output);
        }
        if (result.reason.isEmpty()) {
            const ScopedPictureJob job; // a writer leaves the other workers their cores
            result.converted =
                ConvertPictureFile(result.input, result.output, extension, &result.reason);
        }
        std::lock_guard<std::mutex> lock(reportMutex);
        ++(result.converted ? summary.converted : summary.skipped);
        if (progress)
            progress(result);
    };
    // Workers take files in list order until none is left and none is being converted (a
    // file added meanwhile is still taken), or until a stop.
    const auto work = [&] {
        std::unique_lock<std::mutex> lock(q.lock);
        for (;;) {
            if (q.stop)
                break;
            if (q.next < q.files.size()) {
                const int index = q.next++;
                ++q.active;
                lock.unlock();
                convert(index);
                lock.lock();
                --q.active;
                q.wake.notify_all();
                continue;
            }
            if (q.active == 0)
                break;
            q.wake.wait(lock);
        }
        q.closed = true;
        q.wake.notify_all();
    };
    const int threads =
        std::max(1, m_settings.threads > 0 ? m_settings.threads : QThread::idealThreadCount());
    std::vector<std::thread> workers;
    for (int i = 1; i < threads; ++i)
        workers.emplace_back(work);
    work();
    for (std::thread& t : workers)
        t.join();
    std::lock_guard<std::mutex> guard(q.lock);
    summary.stopped = q.stop;
    summary.notStarted = int(q.files.size()) - q.next;
    return summary;
}

} // namespace mosaiq
