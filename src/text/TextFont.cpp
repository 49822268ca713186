#include "text/TextFont.h"

#include "core/text/FixedText.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QHash>
#include <QImage>
#include <QMutex>
#include <QMutexLocker>

#include <cmath>
#include <cstdlib>

namespace mosaiq {

namespace {

// Weight words that Windows face names carry and fontconfig does not substitute.
struct WeightSuffix {
    const char* word;
    QFont::Weight weight;
};
constexpr WeightSuffix kWeightSuffixes[] = {
    {" Black", QFont::Black},          {" Heavy", QFont::Black},
    {" Extra Bold", QFont::ExtraBold}, {" ExtraBold", QFont::ExtraBold},
    {" Semibold", QFont::DemiBold},    {" Bold", QFont::Bold},
};

bool IsInstalled(const QString& family) {
    return QFontDatabase::hasFamily(family);
}

QString FontconfigFamily(const QString& face) {
    QFont probe(face);
    probe.setPixelSize(16);
    return QFontInfo(probe).family();
}

ResolvedFace ResolveUncached(const QString& face) {
    const QString name = face.trimmed();
    if (name.isEmpty())
        return {FontconfigFamily(QStringLiteral("sans-serif")), QFont::Normal};
    if (IsInstalled(name))
        return {name, QFont::Normal};
    // "Arial Black" has no stand-in of its own: use the stand-in of "Arial" at that weight.
    for (const WeightSuffix& suffix : kWeightSuffixes) {
        const QString word = QString::fromLatin1(suffix.word);
        if (name.size() > word.size() && name.endsWith(word, Qt::CaseInsensitive)) {
            ResolvedFace base = ResolveUncached(name.left(name.size() - word.size()));
            base.weight = std::max(base.weight, suffix.weight);
            return base;
        }
    }
    QString family = FontconfigFamily(name);
    if (family.isEmpty())
        family = FontconfigFamily(QStringLiteral("sans-serif"));
    return {family, QFont::Normal};
}

QFont BaseFont(const ResolvedFace& face) {
    QFont font(face.family);
    font.setHintingPreference(QFont::PreferNoHinting);
    font.setStyleStrategy(QFont::PreferAntialias);
    // Widths are measured without pair kerning, as the widths stored in existing projects were.
    font.setKerning(false);
    font.setWeight(face.weight);
    return font;
}

} // namespace

ResolvedFace ResolveFace(const QString& faceName) {
    static QMutex mutex;
    static QHash<QString, ResolvedFace> cache;
    QMutexLocker lock(&mutex);
    auto it = cache.constFind(faceName);
    if (it != cache.constEnd())
        return *it;
    ResolvedFace resolved = ResolveUncached(faceName);
    cache.insert(faceName, resolved);
    return resolved;
}

QString FaceName(const LogFontA& font) {
    return ReadFixedText(font.lfFaceName);
}

int FontHeight(const LogFontA& font) {
    const long long h = std::llabs(static_cast<long long>(font.lfHeight));
    return static_cast<int>(std::min<long long>(h, kMaxFontHeight));
}

QFont MeasuringFont(const LogFontA& font, double* emPixels) {
    const int points = FontHeight(font) * 15 / 20;
    QFont result = BaseFont({ResolveFace(FaceName(font)).family, QFont::Normal});
    result.setWeight(QFont::Normal);
    result.setPointSizeF(points > 0 ? points : 1);
    if (emPixels)
        *emPixels = points * 4.0 / 3.0;
    return result;
}

QFontMetricsF MetricsAt96Dpi(const QFont& font) {
    // 3780 dots per metre is 96 dpi as QImage rounds it.
    static const QImage reference = [] {
        QImage image(1, 1, QImage::Format_ARGB32_Premultiplied);
        image.setDotsPerMeterX(3780);
        image.setDotsPerMeterY(3780);
        return image;
    }();
    return QFontMetricsF(font, &reference);
}

QFont LogicalFont(const LogFontA& font, int* emPixels) {
    ResolvedFace face = ResolveFace(FaceName(font));
    if (font.lfWeight > 0)
        face.weight = static_cast<QFont::Weight>(std::clamp<int>(font.lfWeight, 1, 1000));
    QFont result = BaseFont(face);
    result.setItalic(font.lfItalic != 0);
    result.setUnderline(font.lfUnderline != 0);
    result.setStrikeOut(font.lfStrikeOut != 0);

    int em = FontHeight(font);
    if (font.lfHeight > 0 && em > 0) {
        // A positive height is the cell height: scale it by the face's em-to-cell ratio.
        QFont probe = result;
        probe.setPixelSize(256);
        const QFontMetricsF metrics(probe);
        const double cell = metrics.ascent() + metrics.descent();
        if (cell > 0)
            em = static_cast<int>(std::lround(em * 256.0 / cell));
    }
    result.setPixelSize(std::max(em, 1));
    if (emPixels)
        *emPixels = em;
    return result;
}

QFont PathFont(const LogFontA& font, int emPixels) {
    const ResolvedFace face = ResolveFace(FaceName(font));
    QFont result = BaseFont({face.family, std::max(face.weight, QFont::Bold)});
    result.setPixelSize(std::max(emPixels, 1));
    return result;
}

} // namespace mosaiq
