// mosaiq-cli [--data DIR] COMMAND [ARGS]
#include "cli/CliCommand.h"
#include "cli/CommandHelp.h"

#include "app/DataPath.h"

#include <QCoreApplication>
#include <QGuiApplication>

#include <algorithm>
#include <cstdio>
#include <memory>

namespace mosaiq::cli {

std::vector<CliCommand>& CliCommands() {
    static std::vector<CliCommand> commands;
    return commands;
}

void PrintError(const QString& line) {
    std::fprintf(stderr, "mosaiq-cli: %s\n", line.toLocal8Bit().constData());
}

void PrintLine(const QString& line) {
    std::fprintf(stdout, "%s\n", line.toLocal8Bit().constData());
}

namespace {

void PrintUsage(std::FILE* out = stderr) {
    std::vector<CliCommand> sorted = CliCommands();
    std::sort(sorted.begin(), sorted.end(),
              [](const CliCommand& a, const CliCommand& b) { return a.name < b.name; });
    std::fprintf(out, "usage: mosaiq-cli [--data DIR] COMMAND [ARGS]\ncommands:\n");
    for (const CliCommand& c : sorted)
        std::fprintf(out, "  %s %s\n", qPrintable(c.name), qPrintable(c.usage));
}

std::unique_ptr<QCoreApplication> MakeApplication(int& argc, char** argv, bool gui) {
    if (!gui)
        return std::make_unique<QCoreApplication>(argc, argv);
    // Drawing needs fonts, which need a GUI application; without a display use offscreen.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY") &&
        qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    return std::make_unique<QGuiApplication>(argc, argv);
}

} // namespace
} // namespace mosaiq::cli

int main(int argc, char** argv) {
    using namespace mosaiq::cli;
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);

    QString dataDir;
    if (!args.isEmpty() && args.front() == QLatin1String("--data")) {
        if (args.size() < 2) {
            PrintUsage();
            return kExitUsage;
        }
        dataDir = args.at(1);
        args = args.mid(2);
    }
    if (args.isEmpty() || args.front() == QLatin1String("--help") ||
        args.front() == QLatin1String("help")) {
        PrintUsage(args.isEmpty() ? stderr : stdout);
        return args.isEmpty() ? kExitUsage : kExitOk;
    }
    const QString name = args.takeFirst();
    const auto& commands = CliCommands();
    const auto it = std::find_if(commands.begin(), commands.end(),
                                 [&](const CliCommand& c) { return c.name == name; });
    if (it == commands.end()) {
        PrintError(QStringLiteral("unknown command \"%1\"").arg(name));
        PrintUsage();
        return kExitUsage;
    }
    if (args.size() == 1 && args.front() == QLatin1String("--help")) {
        std::printf("usage: mosaiq-cli [--data DIR] %s %s\n", qPrintable(it->name),
                    qPrintable(it->usage));
        const QString summary = CommandSummary(it->name);
        if (!summary.isEmpty())
            std::printf("%s\n", qPrintable(summary));
        return kExitOk;
    }
    auto app = MakeApplication(argc, argv, it->needsGui);
    QCoreApplication::setApplicationName(QStringLiteral("mosaiq"));
    if (!dataDir.isEmpty())
        mosaiq::SetDataPathOverride(dataDir);
    return it->run(args);
}
