// mosaiq [FILE...]: the editor. Keeps to one running copy (a second start hands its files to the
// first), writes the built-in data files, loads the UI texts and shows the main window.
#include "app/BuiltinData.h"
#include "app/DataPath.h"
#include "app/Notifier.h"
#include "app/UiText.h"
#include "app/widgets/CMainDialog.h"
#include "library/StarterLibraries.h"
#include "platform/SingleInstance.h"

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
        QMessageBox::information(QApplication::activeWindow(), Caption(), text);
    }
    void Warn(const QString& text) override {
        QMessageBox::warning(QApplication::activeWindow(), Caption(), text);
    }

private:
    static QString Caption() { return QStringLiteral("Mosaiq Photo Editor"); }
};

// The files named on the command line, made absolute so another copy can open them.
QStringList FileArguments() {
    QStringList paths;
    const QStringList arguments = QApplication::arguments();
    for (int i = 1; i < arguments.size(); ++i)
        paths << QFileInfo(arguments.at(i)).absoluteFilePath();
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
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("mosaiq"));
    QApplication::setApplicationDisplayName(QStringLiteral("Mosaiq Photo Editor"));

    const QStringList files = FileArguments();
    mosaiq::SingleInstanceGuard guard;
    if (!guard.TryBecomePrimary(files))
        return 0;

    MessageBoxNotifier notifier;
    mosaiq::ScopedNotifier scopedNotifier(&notifier);

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
    if (!files.isEmpty())
        window.OpenPaths(files);
    return app.exec();
}
