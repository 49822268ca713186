// mosaiq-cli dump PROJECT.dcf: the document as JSON (reads only, changes no file).
// mosaiq-cli resave IN.dcf OUT.dcf: load a project and save it again.
#include "cli/CliCommand.h"

#include "canvas/document/CollageDocument.h"
#include "canvas/project/ProjectFile.h"
#include "core/text/FixedText.h"
#include "core/files/RegularFile.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>
#include <vector>

namespace mosaiq::cli {
namespace {

QString ColourText(Colorref c) {
    return QStringLiteral("#%1%2%3")
        .arg(ColorrefRed(c), 2, 16, QLatin1Char('0'))
        .arg(ColorrefGreen(c), 2, 16, QLatin1Char('0'))
        .arg(ColorrefBlue(c), 2, 16, QLatin1Char('0'))
        .toUpper();
}

// A stored float as the shortest decimal that reads back as the same float (0.95, not
// 0.949999988079071).
double Num(float value) {
    for (int digits = 6; digits < 9; ++digits) {
        const double shortest = QString::number(static_cast<double>(value), 'g', digits).toDouble();
        if (float(shortest) == value)
            return shortest;
    }
    return QString::number(static_cast<double>(value), 'g', 9).toDouble();
}

QJsonObject TuningJson(const TuningBlock& t) {
    return {{"active", t.active},
            {"contrast", Num(t.contrast)},
            {"brightness", Num(t.brightness)},
            {"saturation", Num(t.saturation)},
            {"hue", Num(t.hue)},
            {"colour", Num(t.colour)},
            {"gamma", Num(t.gamma)}};
}

QJsonObject Json(const ClipartRecord& r) {
    return {{"angle", Num(r.angle)},
            {"sourceId", r.sourceId},
            {"width", r.width},
            {"height", r.height},
            {"opacity", Num(r.opacity)},
            {"selected", r.selected},
            {"pasted", r.pasted},
            {"scale", Num(r.scale)},
            {"regionScale", Num(r.regionScale)},
            {"x", r.x},
            {"y", r.y},
            {"regionIndex", r.regionIndex},
            {"isPreset", r.isPreset},
            {"presetColour", ColourText(r.presetColour)},
            {"tuning", TuningJson(r.tuning)}};
}

QJsonObject Json(const StampRecord& r) {
    return {{"angle", Num(r.angle)},
            {"brushIndex", r.brushIndex},
            {"width", r.width},
            {"height", r.height},
            {"opacity", Num(r.opacity)},
            {"selected", r.selected},
            {"scale", Num(r.scale)},
            {"regionScale", Num(r.regionScale)},
            {"x", r.x},
            {"y", r.y},
            {"colour", ColourText(r.colour)},
            {"regionIndex", r.regionIndex},
            {"tuning", TuningJson(r.tuning)}};
}

QJsonObject Json(const TextRecord& r) {
    const QJsonObject font{
        {"lfHeight", r.font.lfHeight},   {"lfWidth", r.font.lfWidth},
        {"lfWeight", r.font.lfWeight},   {"lfItalic", r.font.lfItalic},
        {"lfCharSet", r.font.lfCharSet}, {"lfFaceName", ReadFixedText(r.font.lfFaceName)}};
    const QJsonObject box{{"left", r.screenBox.left},
                          {"top", r.screenBox.top},
                          {"right", r.screenBox.right},
                          {"bottom", r.screenBox.bottom}};
    return {{"font", font},
            {"text", ReadFixedText(r.text)},
            {"style", r.style},
            {"sequence", r.sequence},
            {"angle", Num(r.angle)},
            {"textWidth", r.textWidth},
            {"textHeight", r.textHeight},
            {"scale", Num(r.scale)},
            {"firstColour", ColourText(r.firstColour)},
            {"secondColour", ColourText(r.secondColour)},
            {"selected", r.selected},
            {"screenBox", box},
            {"transparency", Num(r.transparency)},
            {"x", r.x},
            {"y", r.y},
            {"regionIndex", r.regionIndex}};
}

QJsonObject Json(const PhotoRecord& r) {
    const QJsonObject window{{"left", Num(r.frameWindow.left)},
                             {"top", Num(r.frameWindow.top)},
                             {"right", Num(r.frameWindow.right)},
                             {"bottom", Num(r.frameWindow.bottom)}};
    return {{"sequence", r.sequence},
            {"opacity", Num(r.opacity)},
            {"frameId", r.frameId},
            {"frameWindow", window},
            {"cropLeft", r.cropLeft},
            {"cropTop", r.cropTop},
            {"cropRight", r.cropRight},
            {"cropBottom", r.cropBottom},
            {"maskId", r.maskId},
            {"customMask", r.customMask},
            {"maskKey", r.maskKey.ToText()},
            {"auxPath", ReadFixedText(r.auxPath)},
            {"selected", r.selected},
            {"angle", Num(r.angle)},
            {"pictureWidth", r.pictureWidth},
            {"pictureHeight", r.pictureHeight},
            {"boxWidth", r.boxWidth},
            {"boxHeight", r.boxHeight},
            {"scale", Num(r.scale)},
            {"regionScale", Num(r.regionScale)},
            {"x", r.x},
            {"y", r.y},
            {"path", ReadFixedText(r.path)},
            {"regionIndex", r.regionIndex},
            {"tuning", TuningJson(r.tuning)}};
}

const char* ModeName(BackgroundMode mode) {
    switch (mode) {
    case BackgroundMode::Tile:
        return "Tile";
    case BackgroundMode::Stretch:
        return "Stretch";
    case BackgroundMode::Center:
        return "Center";
    }
    return "None"; // a stored value outside 0-2: kept, and no picture is drawn

}

// The living layout: its settings and each cell with the index of the photo it holds.
QJsonObject LayoutJson(const CollageDocument& doc) {
    static const char* const kFamilies[] = {"rows", "grid", "tree"};
    const CollageLayout& layout = doc.layout;
    std::vector<int> owner(layout.cells.size(), -1);
    for (size_t i = 0; i < doc.objects.size(); ++i) {
        const int cell = doc.objects[i].layoutCell;
        if (cell >= 0 && size_t(cell) < owner.size() && owner[size_t(cell)] < 0)
            owner[size_t(cell)] = int(i);
    }
    QJsonArray cells;
    for (size_t c = 0; c < layout.cells.size(); ++c) {
        const QRectF& r = layout.cells[c];
        cells.append(QJsonObject{{"x", r.x()},
                                 {"y", r.y()},
                                 {"width", r.width()},
                                 {"height", r.height()},
                                 {"object", owner[c]}});
    }
    const int family = std::clamp(int(layout.family), 0, 2);
    return QJsonObject{{"family", QLatin1String(kFamilies[family])},
                       {"spacing", layout.spacing},
                       {"margin", layout.margin},
                       {"cornerRadius", layout.cornerRadius},
                       {"fill", layout.fill},
                       {"cells", cells}};
}

int RunDump(const QStringList& args) {
    if (args.size() != 1) {
        PrintError(QStringLiteral("usage: dump PROJECT.dcf"));
        return kExitUsage;
    }
    QFile file;
    QString reason;
    if (OpenRegularFile(file, args[0], &reason) != OpenFailure::None) {
        PrintError(reason);
        return kExitFailed;
    }
    // Parsing alone: the custom masks a project carries are not added to any library.
    CollageDocument doc;
    const ProjectResult result = ParseProject(file, doc, nullptr);
    if (!result.ok) {
        PrintError(QStringLiteral("%1: %2").arg(args[0], result.error));
        return kExitFailed;
    }
    QJsonArray objects;
    for (const CanvasObject& o : doc.objects) {
        QJsonObject entry = std::visit([](const auto& r) { return Json(r); }, o.record);
        entry.insert(QStringLiteral("kind"), QLatin1String(KindName(o.Kind())));
        objects.append(entry);
    }
    // The effect pictures the project carries, by name (their bytes are not printed).
    QJsonArray effects;
    for (const CarriedEffectPicture& picture : doc.carriedEffectPictures)
        effects.append(picture.name);
    QJsonObject root{{"width", doc.width},
                     {"height", doc.height},
                     {"backgroundPath", doc.backgroundPath},
                     {"backgroundColour", ColourText(doc.backgroundColour)},
                     {"backgroundMode", QLatin1String(ModeName(doc.backgroundMode))},
                     {"objects", objects}};
    if (!effects.isEmpty())
        root.insert(QStringLiteral("effectPictures"), effects);
    if (doc.layout.Active())
        root.insert(QStringLiteral("layout"), LayoutJson(doc));
    std::fputs(QJsonDocument(root).toJson(QJsonDocument::Indented).constData(), stdout);
    return kExitOk;
}

int RunResave(const QStringList& args) {
    if (args.size() != 2) {
        PrintError(QStringLiteral("usage: resave IN.dcf OUT.dcf"));
        return kExitUsage;
    }
    CollageDocument doc;
    // The carried masks stay in memory: a headless tool changes nothing in the data directory.
    const ProjectResult loaded = LoadProject(doc, args[0], QString(), CarriedMaskUse::KeepInMemory);
    if (!loaded.ok) {
        PrintError(QStringLiteral("%1: %2").arg(args[0], loaded.error));
        return kExitFailed;
    }
    const ProjectResult saved = SaveProject(doc, args[1]);
    if (!saved.ok) {
        PrintError(saved.error);
        return kExitFailed;
    }
    PrintLine(QStringLiteral("saved %1 (%2 objects)").arg(args[1]).arg(doc.objects.size()));
    return kExitOk;
}

const CliCommandRegistration kDump{
    {QStringLiteral("dump"), QStringLiteral("PROJECT.dcf"), false, &RunDump}};
const CliCommandRegistration kResave{
    {QStringLiteral("resave"), QStringLiteral("IN.dcf OUT.dcf"), false, &RunResave}};

} // namespace
} // namespace mosaiq::cli
