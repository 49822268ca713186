#include "batch/BatchConverter.h"

#include "imaging/PictureDecoder.h"
#include "imaging/PictureJob.h"
#include "imaging/PictureSaving.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
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

bool ConvertPictureFile(const QString& input, const QString& output, const QString& extension,
                        QString* reason) {
    const DecodedPicture picture = DecodePicture(input);
    if (!picture.Ok()) {
        if (reason)
            *reason = picture.error;
        return false;
    }
    // Output pictures are 24-bit: transparency is dropped, colour values kept.
    QImage image = picture.image;
    if (image.hasAlphaChannel())
        image = image.convertToFormat(QImage::Format_ARGB32).convertToFormat(QImage::Format_RGB32);
    return SavePictureByExtension(image, output, extension, reason);
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
                const ScopedPictureJob job; // a writer leaves the other workers their cores
                result.converted =
                    ConvertPictureFile(result.input, result.output, extension, &result.reason);
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
