// mosaiq [FILE...]: the editor. Keeps to one running copy (a second start hands its files to the
// first), writes the built-in data files, loads the UI texts, shows the main window and offers
// the collage an unclean exit left behind.
#include "core/data/BuiltinData.h"
#include "core/settings/CommandLine.h"
#include "core/data/DataPath.h"
#include "core/Notifier.h"
#include "core/settings/Translations.h"
#include "core/text/UiText.h"
#include "shell/widgets/CMainDialog.h"
#include "shell/widgets/CommandIds.h"
#include "library/packs/StarterLibraries.h"
#include "platform/SingleInstance.h"
#include "ui/widgets/DialogProvider.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QMessageBox>

#include <cstdio>

namespace {

// Message boxes for what the engine tells the user.
class MessageBoxNotifier : public mosaiq::Notifier {
public:
    void Inform(const QString& text) override {
        mosaiq::ShowMessageBox(QApplication::activeWindow(), text, false);
    }
    void Warn(const QString& text) override {
        mosaiq::ShowMessageBox(QApplication::activeWindow(), text, true);
    }
};

// The files named on the command line, made absolute so another copy can open them.
QStringList FileArguments() {
    QStringList paths;
    for (const QString& file : mosaiq::FileArgumentsOf(QApplication::arguments()))
        paths << QFileInfo(file).absoluteFilePath();
    return paths;
}

// With MOSAIQ_STARTUP_REPORT set, says on standard error how long the start took until the main
// window first painted (scripts/startup-time.sh uses it).
class FirstPaintReporter : public QObject {
public:
    explicit FirstPaintReporter(const QElapsedTimer& sinceStart) : m_sinceStart(sinceStart) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && !m_reported) {
            m_reported = true;
            std::fprintf(stderr, "mosaiq: first paint %lld ms after start\n",
                         static_cast<long long>(m_sinceStart.elapsed()));
        }
        return QObject::eventFilter(watched, event);
    }

private:
    const QElapsedTimer& m_sinceStart;
    bool m_reported = false;
};

} // namespace

int main(int argc, char** argv) {
    QElapsedTimer sinceStart;
    sinceStart.start();
    if (mosaiq::AnswerInformationOptions(mosaiq::ArgumentList(argc, argv)))
        return 0;
    QApplication app(argc, argv);
    // Qt has taken its own options (-platform, -style ...) out of argv: what is left and looks
    // like an option is one the editor does not know.
    const QString unknown = mosaiq::UnknownOption(mosaiq::ArgumentList(argc, argv));
    if (!unknown.isEmpty()) {
        std::fprintf(stderr, "mosaiq: unknown option '%s' (try 'mosaiq --help')\n",
                     unknown.toLocal8Bit().constData());
        return 2;
    }
    QApplication::setApplicationName(QStringLiteral("mosaiq"));
    // No display name: Qt would append it to the window title, which already starts with it.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.mosaiq.PhotoEditor"));
    mosaiq::InstallTranslations(app, QLocale(),
                                mosaiq::TranslationDirs(QApplication::applicationDirPath()));

    const QStringList files = FileArguments();
    mosaiq::SingleInstanceGuard guard;
    if (!guard.TryBecomePrimary(files))
        return 0;

    MessageBoxNotifier notifier;
    mosaiq::ScopedNotifier scopedNotifier(&notifier);

    // Qt carries paths as Unicode text: a data folder named with bytes that are not UTF-8 would
    // silently become another folder. Refuse it instead of writing the libraries elsewhere.
    const QByteArray dataOverride = qgetenv("MOSAIQ_DATA_DIR");
    if (!dataOverride.isEmpty() && QString::fromUtf8(dataOverride).toUtf8() != dataOverride) {
        notifier.Warn(QObject::tr("MOSAIQ_DATA_DIR names a folder that is not valid UTF-8 text; "
                                  "choose a folder whose name is."));
        return 1;
    }

    const QString dataDir = mosaiq::DataPath();
    mosaiq::WriteOutReport written = mosaiq::WriteBuiltinDataFiles(dataDir);
    mosaiq::WriteStarterLibraries(dataDir, written);
    mosaiq::LoadUiTexts(dataDir);

    mosaiq::CMainDialog window;
    QObject::connect(&guard, &mosaiq::SingleInstanceGuard::activationRequested, &window, [&window] {
        window.setWindowState((window.windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
        window.show();
        window.raise();
        window.activateWindow();
    });
    QObject::connect(&guard, &mosaiq::SingleInstanceGuard::filesRequested, &window,
                     [&window](const QStringList& paths) { window.OpenPaths(paths); });
    FirstPaintReporter reporter(sinceStart);
    if (qEnvironmentVariableIsSet("MOSAIQ_STARTUP_REPORT"))
        window.installEventFilter(&reporter);
    window.show();
    // A collage left by an editor that did not close is offered before any file is opened.
    window.RunCommand(mosaiq::cmd::kStartRecovery);
    if (!files.isEmpty())
        window.OpenPaths(files);
    return app.exec();
}
