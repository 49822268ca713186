#pragma once

// The size of an export past the canvas: a scale of the canvas size, or a paper format the
// collage is fitted to, at a resolution in dots per inch; the rules that refuse a size before
// anything is written, and the photos such a size would enlarge past their own resolution.

#include <QSize>
#include <QSizeF>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace mosaiq {

class CollageDocument;

constexpr double kMinExportScale = 0.1;
constexpr double kMaxExportScale = 8.0;
constexpr int kMinExportDpi = 10;
constexpr int kMaxExportDpi = 2400;
// The resolution written when a size is asked for without one.
constexpr int kDefaultExportDpi = 300;

struct PaperFormat {
    QString name;  // as the command line takes it: "A4", "A4L", "10x15L"
    QString title; // as the editor shows it: "A4 portrait", "10 × 15 cm landscape"
    QSizeF millimetres;
    bool landscape = false;
};

// Every paper format, each in portrait and then landscape: A5, A4, A3, Letter, 10 × 15 cm,
// 13 × 18 cm.
const std::vector<PaperFormat>& PaperFormats();
// The format of a name (any case); none for an unknown name.
std::optional<PaperFormat> PaperByName(const QString& name);
// The names, for messages and help: "A5, A5L, A4, …".
QString PaperNames();

struct ExportSettings {
    double scale = 1.0;               // of the canvas size; not used with a paper format
    int dpi = 0;                      // 0: none asked (kDefaultExportDpi where one is needed)
    std::optional<PaperFormat> paper; // the collage fitted to this paper at the dpi
};

// The dpi written: the one asked for, else kDefaultExportDpi.
int ExportDpi(const ExportSettings& settings);
// The paper's size in pixels at dpi (rounded).
QSize PaperPixels(const PaperFormat& paper, int dpi);
// The scale the output is rendered at: settings.scale, or the largest scale at which the canvas
// fits the paper at the dpi.
double ExportScale(const CollageDocument& document, const ExportSettings& settings);
// The rendered picture's size in pixels.
QSize ExportPixelSize(const CollageDocument& document, const ExportSettings& settings);

// Empty when the settings may be written to a file of this extension; else one line saying why
// not: a scale outside 0.1–8, a dpi outside 10–2400, a size past the picture limits (WebP: 16383
// a side) or one of no pixels.
QString CheckExportSettings(const CollageDocument& document, const ExportSettings& settings,
                            const QString& extension);

struct EnlargedPhoto {
    QString fileName; // the photo file's name without its folder
    int dpi = 0;      // the resolution its own pixels give it on the output
};

// The photos whose own pixels are fewer than the output gives their box at the export scale,
// with the resolution they will have at the settings' dpi, in drawing order.
std::vector<EnlargedPhoto> EnlargedPhotos(const CollageDocument& document,
                                          const ExportSettings& settings);
// "photo_012.jpg will print at 140 dpi"
QString EnlargedPhotoLine(const EnlargedPhoto& photo);

} // namespace mosaiq
