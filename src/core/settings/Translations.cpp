#include "core/settings/Translations.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QTranslator>

namespace mosaiq {

QStringList TranslationDirs(const QString& applicationDir) {
    return {QDir::cleanPath(applicationDir + QStringLiteral("/translations")),
            QDir::cleanPath(applicationDir + QStringLiteral("/../share/mosaiq/translations"))};
}

QString InstallTranslations(QCoreApplication& app, const QLocale& locale, const QStringList& dirs) {
    // Qt's own texts (standard buttons of the system dialogs) when the system has them.
    auto* qtCatalogue = new QTranslator(&app);
    if (qtCatalogue->load(locale, QStringLiteral("qtbase"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(qtCatalogue);
    else
        delete qtCatalogue;

    for (const QString& dir : dirs) {
        auto* catalogue = new QTranslator(&app);
        // QTranslator tries "mosaiq_de_AT", then "mosaiq_de", for each of the locale's languages.
        if (catalogue->load(locale, QStringLiteral("mosaiq"), QStringLiteral("_"), dir)) {
            QCoreApplication::installTranslator(catalogue);
            return catalogue->filePath();
        }
        delete catalogue;
    }
    return {};
}

} // namespace mosaiq
