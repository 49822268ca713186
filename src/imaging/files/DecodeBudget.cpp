#include "imaging/files/DecodeBudget.h"

#include "core/files/RegularFile.h"
#include "imaging/decode/PictureDecoder.h"

#include <QFile>
#include <QImageReader>

namespace mosaiq {

bool WithinBudget(std::int64_t pixels, const DecodeBudget& budget, QString* reason) {
    if (pixels >= 0 && pixels <= budget.pixels)
        return true;
    if (reason)
        *reason = QStringLiteral("%1 megapixels are more than %2 may hold (%3 megapixels)")
                      .arg(double(pixels) / 1e6, 0, 'f', 1)
                      .arg(QLatin1String(budget.name))
                      .arg(budget.pixels / 1'000'000);
    return false;
}

bool PictureFileWithinBudget(const QString& path, const DecodeBudget& budget, QString* reason) {
    QSize size;
    // The header's own claim first: a picture past the budget is refused before any check that
    // reads its data (a 250 KB PNG can take seconds to inflate).
    QFile file;
    if (OpenRegularFile(file, path) == OpenFailure::None) {
        QImageReader header(&file);
        size = header.size();
    }
    if (!size.isValid() && !ReadPictureSize(path, &size, reason))
        return false;
    if (!WithinBudget(size, budget, reason)) {
        if (reason)
            *reason = QStringLiteral("the picture is %1 x %2 pixels: %3")
                          .arg(size.width())
                          .arg(size.height())
                          .arg(*reason);
        return false;
    }
    return true;
}

} // namespace mosaiq
