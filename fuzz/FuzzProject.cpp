// Feeds arbitrary bytes to the project reader and saves what it accepted again.
#include "canvas/document/CollageDocument.h"
#include "canvas/project/ProjectFile.h"

#include <QBuffer>
#include <QCoreApplication>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static int argc = 1;
    static char name[] = "fuzz_project";
    static char* argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);

    QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    mosaiq::CollageDocument doc;
    std::vector<mosaiq::EmbeddedMask> masks;
    const mosaiq::ProjectResult result = mosaiq::ParseProject(buffer, doc, &masks);
    if (result.ok) {
        QByteArray again;
        // An empty custom mask library path would reach the data directory; use a name that
        // does not exist so no file is touched.
        mosaiq::EncodeProject(doc, again, QStringLiteral("/nonexistent/cusmask.cfg"));
    }
    return 0;
}
