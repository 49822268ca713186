// mosaiq [PROJECT.dcf]: the editor. Keeps to one running copy, writes the built-in data files, loads the UI
// texts and shows the main window.
#include "app/BuiltinData.h"
#include "app/DataPath.h"
#include "app/Notifier.h"
#include "app/UiText.h"
#include "app/widgets/CEditorWindow.h"
#include "library/StarterLibraries.h"
#include "platform/SingleInstance.h"

#include <QApplication>
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

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("mosaiq"));
    QApplication::setApplicationDisplayName(QStringLiteral("Mosaiq Photo Editor"));

    mosaiq::SingleInstanceGuard guard;
    if (!guard.TryBecomePrimary())
        return 0;

    MessageBoxNotifier notifier;
    mosaiq::ScopedNotifier scopedNotifier(&notifier);

    const QString dataDir = mosaiq::DataPath();
    mosaiq::WriteOutReport written = mosaiq::WriteBuiltinDataFiles(dataDir);
    mosaiq::WriteStarterLibraries(dataDir, written);
    mosaiq::LoadUiTexts(dataDir);

    mosaiq::CEditorWindow window;
    window.resize(1024, 768);
    QObject::connect(&guard, &mosaiq::SingleInstanceGuard::activationRequested, &window, [&window] {
        window.setWindowState((window.windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
        window.show();
        window.raise();
        window.activateWindow();
    });
    window.show();
    // "mosaiq PROJECT.dcf" opens a project at start.
    const QStringList arguments = QApplication::arguments();
    if (arguments.size() > 1)
        window.OpenProjectFile(arguments.at(1));
    return app.exec();
}
