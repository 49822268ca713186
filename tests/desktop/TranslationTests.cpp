#include "core/settings/Translations.h"

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>
#include <QTranslator>

#include <gtest/gtest.h>

namespace mosaiq {
namespace {

// Removes what a test installed, so the next test starts with the texts as written.
void RemoveInstalledTranslators() {
    for (QTranslator* t : QCoreApplication::instance()->findChildren<QTranslator*>()) {
        QCoreApplication::removeTranslator(t);
        delete t;
    }
}

QString Probe() {
    return QCoreApplication::translate("mosaiq::TranslationProbe", "Open Project");
}

TEST(Translations, BuildFolderComesBeforeTheInstalledShare) {
    EXPECT_EQ(TranslationDirs(QStringLiteral("/usr/bin")),
              (QStringList{QStringLiteral("/usr/bin/translations"),
                           QStringLiteral("/usr/share/mosaiq/translations")}));
    EXPECT_EQ(TranslationDirs(QStringLiteral("/opt/m/bin")).last(),
              QStringLiteral("/opt/m/share/mosaiq/translations"));
}

TEST(Translations, WithoutACatalogueTheTextsStayAsWritten) {
    QTemporaryDir empty;
    const QString loaded = InstallTranslations(*QCoreApplication::instance(),
                                               QLocale(QLocale::German), {empty.path()});
    EXPECT_TRUE(loaded.isEmpty());
    EXPECT_EQ(Probe(), QStringLiteral("Open Project"));
    RemoveInstalledTranslators();
}

#ifdef MOSAIQ_TEST_CATALOGUE_DIR
TEST(Translations, LoadsTheCatalogueOfTheUsersLanguageFromTheFirstFolderHoldingIt) {
    QTemporaryDir empty;
    const QString dir = QStringLiteral(MOSAIQ_TEST_CATALOGUE_DIR);
    // A regional locale falls back to its language's catalogue.
    const QString loaded =
        InstallTranslations(*QCoreApplication::instance(),
                            QLocale(QLocale::German, QLocale::Austria), {empty.path(), dir});
    EXPECT_EQ(QDir::cleanPath(loaded), QDir::cleanPath(dir + QStringLiteral("/mosaiq_de.qm")));
    EXPECT_EQ(Probe(), QString::fromUtf8("Projekt öffnen"));
    RemoveInstalledTranslators();

    // Another language without a catalogue loads nothing, even with the German one present.
    EXPECT_TRUE(InstallTranslations(*QCoreApplication::instance(), QLocale(QLocale::French), {dir})
                    .isEmpty());
    EXPECT_EQ(Probe(), QStringLiteral("Open Project"));
    RemoveInstalledTranslators();
}
#endif

} // namespace
} // namespace mosaiq
