// mosaiq-cli [--data DIR] COMMAND [ARGS]
#include "cli/CliCommand.h"
#include "cli/CommandHelp.h"

#include "core/Notifier.h"
#include "core/data/DataPath.h"
#include "core/files/FileInTheWay.h"
#include "core/text/DisplayText.h"

#include <QCoreApplication>
#include <QGuiApplication>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <memory>
#include <unistd.h>
#include <vector>

namespace mosaiq::cli {

std::vector<CliCommand>& CliCommands() {
    static std::vector<CliCommand> commands;
    return commands;
}

namespace {
FILE* g_errorStream = nullptr;
} // namespace

FILE* ErrorStream() {
    return g_errorStream ? g_errorStream : stderr;
}

bool ErrorStreamIsTerminal() {
    return isatty(fileno(ErrorStream())) != 0;
}

void PrintError(const QString& line) {
    // One failure, one line: a message that still ends in a library's newline loses it, and any
    // other control character is shown escaped.
    QString text = line;
    while (!text.isEmpty() &&
           (text.back().isSpace() || text.back().category() == QChar::Other_Control))
        text.chop(1);
    std::fprintf(ErrorStream(), "mosaiq-cli: %s\n", EscapedForLine(text).toLocal8Bit().constData());
}

void PrintLine(const QString& line) {
    std::fprintf(stdout, "%s\n", line.toLocal8Bit().constData());
}

namespace {

// The usage: on standard output when asked for (--help), else on the program's own standard
// error (descriptor 2 is the libraries' log by then). The manual page lists the same.
void PrintUsage(std::FILE* stream) {
    std::vector<CliCommand> sorted = CliCommands();
    std::sort(sorted.begin(), sorted.end(),
              [](const CliCommand& a, const CliCommand& b) { return a.name < b.name; });
    std::fprintf(stream, "usage: mosaiq-cli [--data DIR] COMMAND [ARGS]\n"
                         "       mosaiq-cli COMMAND --help\n"
                         "       mosaiq-cli --help | --version\n"
                         "options:\n"
                         "  --data DIR    use DIR as the data directory\n"
                         "  -h, --help    print this help and exit\n"
                         "  --version     print the version and exit\n"
                         "commands:\n");
    for (const CliCommand& c : sorted)
        std::fprintf(stream, "  %s%s%s\n", qPrintable(c.name), c.usage.isEmpty() ? "" : " ",
                     qPrintable(c.usage));
}

void PrintUsage() {
    PrintUsage(ErrorStream());
}

bool IsHelpOption(const QString& arg) {
    return arg == QLatin1String("--help") || arg == QLatin1String("-h");
}

// Qt carries file names as Unicode text: bytes that are not UTF-8 would be replaced and the name
// would lead to another file. Such arguments are refused; the bytes are shown escaped.
bool IsUtf8(const QByteArray& bytes) {
    return QString::fromUtf8(bytes).toUtf8() == bytes;
}

// The escaped bytes of every argument that was not UTF-8, by the number in its stand-in.
std::vector<QString>& UnusableNames() {
    static std::vector<QString> names;
    return names;
}

QString StandIn(int index) {
    return QChar(0) + QString::number(index);
}

QString Escaped(const QByteArray& bytes) {
    QString out;
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        out += b >= 0x20 && b < 0x7F ? QString(QChar(b)) : QString::asprintf("\\x%02X", b);
    }
    return out;
}

// Decoders report damaged pictures on standard error in their own words ("libpng error: ...",
// "TIFFReadDirectory: ...", Qt's "QBuffer::seek: ..."); the command's own line already says what
// failed. The program keeps the real standard error for itself and points descriptor 2 at the
// file named by MOSAIQ_DEBUG_LOG, or at /dev/null.
void SeparateLibraryMessages() {
    const int own = ::dup(STDERR_FILENO);
    if (own < 0)
        return;
    FILE* stream = ::fdopen(own, "w");
    if (!stream) {
        ::close(own);
        return;
    }
    std::setvbuf(stream, nullptr, _IONBF, 0);
    const QByteArray log = qgetenv("MOSAIQ_DEBUG_LOG");
    const int sink = log.isEmpty()
                         ? ::open("/dev/null", O_WRONLY | O_CLOEXEC)
                         : ::open(log.constData(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    if (sink < 0) {
        std::fclose(stream);
        return;
    }
    ::dup2(sink, STDERR_FILENO);
    ::close(sink);
    g_errorStream = stream;
}

// What the engine tells the user goes to the program's own standard error, not to the log.
class CliNotifier : public mosaiq::Notifier {
public:
    void Inform(const QString& text) override { PrintError(text); }
    void Warn(const QString& text) override { PrintError(text); }
};

// Qt's warnings join the libraries' messages on descriptor 2; a fatal one is also told the user.
void LibraryMessageHandler(QtMsgType type, const QMessageLogContext&, const QString& message) {
    std::fprintf(stderr, "%s\n", message.toLocal8Bit().constData());
    if (type == QtFatalMsg) {
        PrintError(message);
        std::abort();
    }
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

std::optional<QString> UnusableName(const QString& arg) {
    if (!arg.startsWith(QChar(0)))
        return std::nullopt;
    bool ok = false;
    const int index = arg.mid(1).toInt(&ok);
    if (!ok || index < 0 || size_t(index) >= UnusableNames().size())
        return std::nullopt;
    return UnusableNames()[size_t(index)];
}

QString UnusableNameReason() {
    return QStringLiteral("the name is not valid UTF-8; names like it cannot be used here (rename "
                          "the file or folder)");
}

} // namespace mosaiq::cli

int main(int argc, char** argv) {
    using namespace mosaiq::cli;
    SeparateLibraryMessages();
    qInstallMessageHandler(&LibraryMessageHandler);
    CliNotifier notifier;
    mosaiq::ScopedNotifier scopedNotifier(&notifier);
    QStringList args;
    for (int i = 1; i < argc; ++i) {
        const QByteArray arg(argv[i]);
        if (IsUtf8(arg)) {
            args << QString::fromUtf8(arg);
            continue;
        }
        args << StandIn(int(UnusableNames().size()));
        UnusableNames().push_back(Escaped(arg));
    }
    // A name that is not UTF-8 refuses the command, unless it is one of a command's files.
    const auto refuseUnusable = [](const QStringList& list) {
        for (const QString& arg : list)
            if (const std::optional<QString> name = UnusableName(arg)) {
                PrintError(QStringLiteral("the name \"%1\" is not valid UTF-8; names like it "
                                          "cannot be used here (rename the file or folder)")
                               .arg(*name));
                return true;
            }
        return false;
    };
    if (const QByteArray data = qgetenv("MOSAIQ_DATA_DIR"); !IsUtf8(data)) {
        PrintError(QStringLiteral("MOSAIQ_DATA_DIR \"%1\" is not valid UTF-8; names like it cannot "
                                  "be used here")
                       .arg(Escaped(data)));
        return kExitFailed;
    }

    QString dataDir;
    if (!args.isEmpty() && args.front() == QLatin1String("--data")) {
        if (args.size() < 2) {
            PrintUsage();
            return kExitUsage;
        }
        if (refuseUnusable({args.at(1)}))
            return kExitFailed;
        dataDir = args.at(1);
        args = args.mid(2);
    }
    if (!args.isEmpty() && refuseUnusable({args.front()}))
        return kExitFailed;
    if (args.isEmpty()) {
        PrintUsage();
        return kExitUsage;
    }
    if (IsHelpOption(args.front()) || args.front() == QLatin1String("help")) {
        PrintUsage(stdout);
        return kExitOk;
    }
    if (args.front() == QLatin1String("--version")) {
        std::printf("mosaiq-cli %s\n", MOSAIQ_VERSION);
        return kExitOk;
    }
    if (!dataDir.isEmpty()) {
        // A data folder that runs through a file cannot be made; say so before any command.
        const QString inTheWay = mosaiq::FileInTheWayText(dataDir + QStringLiteral("/x"));
        if (!inTheWay.isEmpty()) {
            PrintError(QStringLiteral("cannot use the data folder %1: %2").arg(dataDir, inTheWay));
            return kExitFailed;
        }
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
    if (!it->takesFileList && refuseUnusable(args))
        return kExitFailed;
    if (args.size() == 1 && IsHelpOption(args.front())) {
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
