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
#include <QFileInfo>
#include <QMessageBox>

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

} // namespace

int main(int argc, char** argv) {
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
    window.show();
    if (!files.isEmpty())
        window.OpenPaths(files);
    return app.exec();
}
