// mosaiq-libgen OUTDIR: draws the starter libraries and writes one bundle per library file into
// OUTDIR ("clipart.cfg.bundle", the six decoration bundles, "brushs.bundle", "frame.cfg.bundle").
// The executable embeds the bundles; the start-up write-out expands them to the library files.
#include "Libraries.h"

#include "library/packs/StarterBundle.h"

#include <QDir>
#include <QFile>

#include <cstdio>

namespace {

using mosaiq::StarterItem;

std::vector<StarterItem> PictureItems(const std::vector<QImage>& pictures) {
    std::vector<StarterItem> items;
    for (const QImage& picture : pictures) {
        StarterItem item;
        item.picturePng = mosaiq::EncodeStarterPng(picture);
        items.push_back(item);
    }
    return items;
}

std::vector<StarterItem> FrameItems(const std::vector<mosaiq::libgen::FrameArt>& frames) {
    std::vector<StarterItem> items;
    for (const mosaiq::libgen::FrameArt& frame : frames) {
        StarterItem item;
        item.window = frame.window;
        item.picturePng = mosaiq::EncodeStarterPng(frame.picture);
        item.thumbnailPng = mosaiq::EncodeStarterPng(frame.thumbnail);
        items.push_back(item);
    }
    return items;
}

bool WriteBundle(const QString& dir, const QString& libraryFile,
                 const std::vector<StarterItem>& items) {
    const QString path = dir + QLatin1Char('/') + libraryFile + QStringLiteral(".bundle");
    const QByteArray bytes = mosaiq::EncodeStarterBundle(items);
    QFile out(path);
    if (!out.open(QIODevice::WriteOnly) || out.write(bytes) != bytes.size() || !out.flush()) {
        std::fprintf(stderr, "mosaiq-libgen: cannot write %s\n", qPrintable(path));
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: mosaiq-libgen OUTDIR\n");
        return 2;
    }
    const QString dir = QString::fromLocal8Bit(argv[1]);
    if (!QDir().mkpath(dir)) {
        std::fprintf(stderr, "mosaiq-libgen: cannot create %s\n", argv[1]);
        return 1;
    }
    using namespace mosaiq::libgen;
    bool ok = WriteBundle(dir, QStringLiteral("clipart.cfg"), PictureItems(DrawCliparts()));
    for (DecorationFamily family : kDecorationFamilies)
        ok = ok &&
             WriteBundle(dir, DecorationFileName(family), PictureItems(DrawDecorations(family)));
    ok = ok && WriteBundle(dir, QStringLiteral("brushs"), PictureItems(DrawBrushes()));
    ok = ok && WriteBundle(dir, QStringLiteral("frame.cfg"), FrameItems(DrawFrames()));
    return ok ? 0 : 1;
}
