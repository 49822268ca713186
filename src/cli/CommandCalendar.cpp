// mosaiq-cli calendar YEAR MONTH OUT.png: the 260 x 260 transparent month calendar the calendar
// command places on the canvas, written by the output's extension.
#include "cli/CliCommand.h"

#include "canvas/edits/CalendarSheet.h"
#include "imaging/magick/ImageLibrary.h"
#include "imaging/files/PictureType.h"
#include "imaging/files/ReplacingFile.h"

#include <QDir>

namespace mosaiq::cli {
namespace {

int RunCalendar(const QStringList& args) {
    bool yearOk = false, monthOk = false;
    const int year = args.size() == 3 ? args[0].toInt(&yearOk) : 0;
    const int month = args.size() == 3 ? args[1].toInt(&monthOk) : 0;
    if (args.size() != 3 || !yearOk || !monthOk || year < kCalendarFirstYear ||
        year > kCalendarLastYear || month < 1 || month > 12) {
        PrintError(QStringLiteral("usage: calendar YEAR MONTH OUT.png (YEAR 1-9999, MONTH 1-12)"));
        return kExitUsage;
    }
    const QString& out = args[2];
    const int type = PictureTypeFromExtension(PictureExtension(out));
    if (type == kPictureUnknown) {
        PrintError(
            QStringLiteral("%1: unknown picture extension").arg(QDir::toNativeSeparators(out)));
        return kExitFailed;
    }
    const CalendarSheet sheet(year, month);
    const QImage picture = CalendarPicture(
        sheet.Render(QSize(CalendarControlWidth(kCalendarPictureSide), kCalendarPictureSide)));
    QString error;
    const QByteArray bytes = EncodePicture(picture, type, &error);
    if (bytes.isEmpty() || !WritePictureFile(out, bytes, &error)) {
        PrintError(QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(out), error));
        return kExitFailed;
    }
    PrintLine(QStringLiteral("wrote %1 (%2)").arg(QDir::toNativeSeparators(out), sheet.Title()));
    return kExitOk;
}

const CliCommandRegistration kRegistration{
    {QStringLiteral("calendar"), QStringLiteral("YEAR MONTH OUT.png"), true, &RunCalendar}};

} // namespace
} // namespace mosaiq::cli
