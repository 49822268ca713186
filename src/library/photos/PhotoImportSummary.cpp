#include "library/photos/PhotoImportSummary.h"

#include <QCoreApplication>
#include <QFileInfo>

namespace mosaiq {
namespace {

// Names shown per group in the message; the rest are counted.
constexpr int kNamesShown = 5;

QString Tr(const char* text) {
    return QCoreApplication::translate("PhotoImport", text);
}

void AppendGroup(QString& out, const QString& heading, const QStringList& lines) {
    if (lines.isEmpty())
        return;
    out += QStringLiteral("\n\n") + heading.arg(lines.size());
    for (int i = 0; i < lines.size() && i < kNamesShown; ++i)
        out += QStringLiteral("\n  ") + lines[i];
    if (lines.size() > kNamesShown)
        out += QStringLiteral("\n  ") + Tr("... and %1 more").arg(lines.size() - kNamesShown);
}

QStringList Names(const QStringList& paths) {
    QStringList out;
    for (const QString& p : paths)
        out << QFileInfo(p).fileName();
    return out;
}

QStringList NamesWithReasons(const std::vector<std::pair<QString, QString>>& items) {
    QStringList out;
    for (const auto& [path, reason] : items)
        out << QStringLiteral("%1: %2").arg(QFileInfo(path).fileName(), reason);
    return out;
}

} // namespace

QString PhotoImportSummary::Text() const {
    QString out = added == 1 ? Tr("1 photo was added to the library.")
                             : Tr("%1 photos were added to the library.").arg(added);
    if (Skipped() > 0)
        out += QStringLiteral(" ") + (Skipped() == 1 ? Tr("1 file was skipped.")
                                                     : Tr("%1 files were skipped.").arg(Skipped()));
    if (stopped)
        out += QStringLiteral(" ") +
               Tr("The import was stopped; %1 files were not imported.").arg(notReached);
    AppendGroup(out, Tr("Already in the library (%1):"), Names(duplicates));
    AppendGroup(out, Tr("Not found (%1):"), Names(missing));
    AppendGroup(out, Tr("Not readable as pictures (%1):"), NamesWithReasons(unreadable));
    AppendGroup(out, Tr("Too small, 5 pixels or less on a side (%1):"), Names([this] {
                    QStringList paths;
                    for (const auto& item : tooSmall)
                        paths << item.first;
                    return paths;
                }()));
    return out;
}

} // namespace mosaiq
