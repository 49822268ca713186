#include "PhonePictures.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryFile>

#include <cmath>

namespace mosaiq::test {

namespace {

const char kOrientedScript[] = R"(
import sys
from PIL import Image
T = Image.Transpose
out, w, h = sys.argv[1], int(sys.argv[2]), int(sys.argv[3])
up = Image.new('RGB', (w, h))
colours = [(220, 30, 30), (30, 200, 40), (40, 60, 230), (240, 220, 30)]
for y in range(h):
    for x in range(w):
        up.putpixel((x, y), colours[(1 if x >= w // 2 else 0) + (2 if y >= h // 2 else 0)])
up.save(out + '/upright.png')
inverse = {1: None, 2: T.FLIP_LEFT_RIGHT, 3: T.ROTATE_180, 4: T.FLIP_TOP_BOTTOM,
           5: T.TRANSPOSE, 6: T.ROTATE_90, 7: T.TRANSVERSE, 8: T.ROTATE_270}
for o in range(1, 9):
    stored = up if inverse[o] is None else up.transpose(inverse[o])
    exif = Image.Exif()
    exif[0x0112] = o
    data = exif.tobytes()
    stored.save(f'{out}/o{o}.jpg', quality=95, exif=data)
    stored.save(f'{out}/o{o}.png', exif=data)
    stored.save(f'{out}/o{o}.webp', lossless=True, exif=data)
    stored.save(f'{out}/o{o}.tif', tiffinfo={274: o})
)";

} // namespace

bool RunTool(const QString& program, const QStringList& args, QString* log) {
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, args);
    const bool finished = process.waitForStarted(10000) && process.waitForFinished(120000);
    const QString output = QString::fromLocal8Bit(process.readAll());
    if (log)
        *log = output;
    return finished && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

bool HaveTool(const QString& program) {
    if (QDir::isAbsolutePath(program))
        return QFile::exists(program);
    return !QStandardPaths::findExecutable(program).isEmpty();
}

QString PillowPython() {
    return QStringLiteral("/usr/bin/python3");
}

bool RunPillow(const QString& script, const QStringList& args, QString* log) {
    QTemporaryFile file(QDir::tempPath() + QStringLiteral("/mosaiq-pillow-XXXXXX.py"));
    if (!file.open())
        return false;
    file.write(script.toUtf8());
    file.flush();
    return RunTool(PillowPython(), QStringList{file.fileName()} + args, log);
}

bool MakeOrientedPictures(const QString& dir, int w, int h, QString* log) {
    return RunPillow(QString::fromLatin1(kOrientedScript),
                     {dir, QString::number(w), QString::number(h)}, log);
}

bool QuadrantsMatch(const QImage& image, const QImage& reference, int tolerance) {
    if (image.isNull() || reference.isNull())
        return false;
    for (int qy = 0; qy < 2; ++qy) {
        for (int qx = 0; qx < 2; ++qx) {
            const QRgb a =
                image.pixel((2 * qx + 1) * image.width() / 4, (2 * qy + 1) * image.height() / 4);
            const QRgb b = reference.pixel((2 * qx + 1) * reference.width() / 4,
                                           (2 * qy + 1) * reference.height() / 4);
            if (std::abs(qRed(a) - qRed(b)) > tolerance ||
                std::abs(qGreen(a) - qGreen(b)) > tolerance ||
                std::abs(qBlue(a) - qBlue(b)) > tolerance)
                return false;
        }
    }
    return true;
}

double Psnr(const QImage& a, const QImage& b) {
    if (a.size() != b.size() || a.isNull())
        return 0;
    const QImage x = a.convertToFormat(QImage::Format_RGB32);
    const QImage y = b.convertToFormat(QImage::Format_RGB32);
    double sum = 0;
    for (int row = 0; row < x.height(); ++row) {
        const auto* p = reinterpret_cast<const QRgb*>(x.constScanLine(row));
        const auto* q = reinterpret_cast<const QRgb*>(y.constScanLine(row));
        for (int col = 0; col < x.width(); ++col) {
            const int dr = qRed(p[col]) - qRed(q[col]);
            const int dg = qGreen(p[col]) - qGreen(q[col]);
            const int db = qBlue(p[col]) - qBlue(q[col]);
            sum += dr * dr + dg * dg + db * db;
        }
    }
    const double mse = sum / (3.0 * x.width() * x.height());
    return mse == 0 ? 100.0 : 10.0 * std::log10(255.0 * 255.0 / mse);
}

} // namespace mosaiq::test
