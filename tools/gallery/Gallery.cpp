// mosaiq-gallery [--screenshot FILE.png]
// Shows the owner-drawn controls and the skin; with --screenshot it saves the window as a PNG and
// exits (exit status 1 when the file cannot be written).
#include "Gallery.h"

#include "ui/widgets/Skin.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QHBoxLayout>
#include <QPixmap>
#include <QTimer>
#include <QWidget>

#include <cstdio>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("mosaiq-gallery"));
    QCommandLineParser parser;
    parser.addHelpOption();
    QCommandLineOption screenshot(QStringLiteral("screenshot"),
                                  QStringLiteral("Save the window as a PNG and exit."),
                                  QStringLiteral("file"));
    parser.addOption(screenshot);
    parser.process(app);

    QWidget window;
    window.setWindowTitle(QStringLiteral("Mosaiq control gallery"));
    window.setWindowIcon(mosaiq::SkinIcon(128));
    window.setAutoFillBackground(true);
    QPalette palette = window.palette();
    palette.setColor(QPalette::Window, QColor(240, 240, 240));
    window.setPalette(palette);
    auto* layout = new QHBoxLayout(&window);
    layout->addWidget(mosaiq::gallery::MakeControlsPage(), 0, Qt::AlignTop);
    layout->addWidget(mosaiq::gallery::MakeSkinPage(), 1, Qt::AlignTop);
    window.show();

    if (!parser.isSet(screenshot))
        return app.exec();
    int status = 0;
    QTimer::singleShot(300, &window, [&] {
        const QString path = parser.value(screenshot);
        if (!window.grab().save(path)) {
            std::fprintf(stderr, "mosaiq-gallery: cannot write %s\n", qPrintable(path));
            status = 1;
        }
        app.quit();
    });
    app.exec();
    return status;
}
