#pragma once

#include <QLocale>
#include <QString>
#include <QStringList>

class QCoreApplication;

namespace mosaiq {

// Folders searched for the catalogues "mosaiq_<lang>.qm", first match wins: "translations" beside
// the executable (a build) and "../share/mosaiq/translations" (an install).
QStringList TranslationDirs(const QString& applicationDir);

// Loads the catalogue of the window texts for `locale` (and Qt's own for its standard dialogs)
// and installs it in the application. Returns the file loaded, or an empty string when no
// catalogue for that language is installed, in which case the texts stay as written.
QString InstallTranslations(QCoreApplication& app, const QLocale& locale, const QStringList& dirs);

} // namespace mosaiq
