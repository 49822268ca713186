#include "canvas/widgets/export/ExportMemory.h"

#include "canvas/document/CollageDocument.h"
#include "core/data/DataPath.h"
#include "core/settings/SettingsFile.h"

#include <QPageLayout>
#include <QPageSize>
#include <QPrinter>
#include <QPrinterInfo>

namespace mosaiq {
namespace {

QString SettingsPath() {
    return DataFile(QStringLiteral("settings.ini"));
}

bool Write(const std::vector<std::pair<QString, QVariant>>& values,
           const QStringList& remove = {}) {
    SettingsFile settings(SettingsPath());
    return settings.Write(values, remove);
}

const QString kSizeBy = QStringLiteral("Export/sizeBy");
const QString kScale = QStringLiteral("Export/scale");
const QString kPaper = QStringLiteral("Export/paper");
const QString kDpi = QStringLiteral("Export/dpi");
const QString kSaveType = QStringLiteral("SaveCollage/type");
const QString kSaveFolder = QStringLiteral("SaveCollage/folder");
const QString kPrinter = QStringLiteral("Print/printer");
const QString kPrintPaper = QStringLiteral("Print/paper");
const QString kPrintColour = QStringLiteral("Print/colour");

} // namespace

ExportSettings RememberedExportSize() {
    SettingsFile settings(SettingsPath());
    ExportSettings s;
    bool ok = false;
    const double scale = settings.Text(kScale).toDouble(&ok);
    if (ok && scale >= kMinExportScale && scale <= kMaxExportScale)
        s.scale = scale;
    const int dpi = settings.Text(kDpi).toInt(&ok);
    if (ok && dpi >= kMinExportDpi && dpi <= kMaxExportDpi)
        s.dpi = dpi;
    if (settings.Text(kSizeBy) == QLatin1String("paper"))
        s.paper = PaperByName(settings.Text(kPaper));
    return s;
}

bool RememberExportSize(const ExportSettings& settings) {
    std::vector<std::pair<QString, QVariant>> values = {
        {kSizeBy, settings.paper ? QStringLiteral("paper") : QStringLiteral("scale")},
        {kScale, QString::number(settings.scale, 'g', 6)},
        {kDpi, QString::number(settings.dpi)}};
    if (settings.paper)
        values.emplace_back(kPaper, settings.paper->name);
    return Write(values);
}

SaveCollageChoice RememberedSaveCollage() {
    SettingsFile settings(SettingsPath());
    return {settings.Text(kSaveType).toLower(), settings.Text(kSaveFolder)};
}

bool RememberSaveCollage(const SaveCollageChoice& choice) {
    return Write({{kSaveType, choice.type.toLower()}, {kSaveFolder, choice.folder}});
}

void PreparePrinter(QPrinter& printer, const CollageDocument& document) {
    SettingsFile settings(SettingsPath());
    const QString name = settings.Text(kPrinter);
    if (!name.isEmpty() && QPrinterInfo::availablePrinterNames().contains(name))
        printer.setPrinterName(name);
    bool ok = false;
    const int paper = settings.Text(kPrintPaper).toInt(&ok);
    if (ok && paper >= 0 && paper <= int(QPageSize::LastPageSize) &&
        paper != int(QPageSize::Custom))
        printer.setPageSize(QPageSize(QPageSize::PageSizeId(paper)));
    const QString colour = settings.Text(kPrintColour);
    if (colour == QLatin1String("grey"))
        printer.setColorMode(QPrinter::GrayScale);
    else if (colour == QLatin1String("colour"))
        printer.setColorMode(QPrinter::Color);
    printer.setPageOrientation(document.width > document.height ? QPageLayout::Landscape
                                                                : QPageLayout::Portrait);
}

bool RememberPrinter(const QPrinter& printer) {
    return Write({{kPrinter, printer.printerName()},
                  {kPrintPaper, QString::number(int(printer.pageLayout().pageSize().id()))},
                  {kPrintColour, printer.colorMode() == QPrinter::GrayScale
                                     ? QStringLiteral("grey")
                                     : QStringLiteral("colour")}});
}

} // namespace mosaiq
