// What each command does, for "mosaiq-cli COMMAND --help" (the manual page says the same).
#include "cli/CommandHelp.h"

#include <QHash>

namespace mosaiq::cli {

QString CommandSummary(const QString& name) {
    static const QHash<QString, QString> summaries{
        {QStringLiteral("init"),
         QStringLiteral("Write the built-in data files as the editor does at its start.")},
        {QStringLiteral("render"),
         QStringLiteral("Load a project and export the collage at full size; the picture format "
                        "follows the extension.")},
        {QStringLiteral("dump"), QStringLiteral("Print the project as JSON. Changes no file.")},
        {QStringLiteral("resave"), QStringLiteral("Load a project and save it again.")},
        {QStringLiteral("convert"),
         QStringLiteral("Convert pictures to format F into DIR (created when missing).")},
        {QStringLiteral("import-photos"), QStringLiteral("Add pictures to the photo library.")},
        {QStringLiteral("import-pack"),
         QStringLiteral("Import a resource pack into the libraries.")},
        {QStringLiteral("make-pack"),
         QStringLiteral("Build a resource pack of frames, masks, cliparts, decorations or "
                        "brushes.")},
        {QStringLiteral("effect"), QStringLiteral("Apply one photo effect to a picture file.")},
        {QStringLiteral("calendar"), QStringLiteral("Draw a transparent month calendar.")},
        {QStringLiteral("subject"),
         QStringLiteral("Print, one JSON line per photo, its size, the faces found and the "
                        "subject box that fill crops keep.")},
        {QStringLiteral("wallpaper"),
         QStringLiteral("set: render the collage and make it the desktop wallpaper; restore: put "
                        "back the wallpaper that was set before.")},
    };
    return summaries.value(name);
}

} // namespace mosaiq::cli
