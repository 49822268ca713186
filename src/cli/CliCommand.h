#pragma once

#include <QString>
#include <QStringList>

#include <cstdio>
#include <functional>
#include <optional>
#include <vector>

namespace mosaiq::cli {

// Exit statuses of every command: done, failed (one clear line on standard error), usage error.
enum ExitStatus { kExitOk = 0, kExitFailed = 1, kExitUsage = 2 };

struct CliCommand {
    QString name;
    QString usage; // arguments, as printed by the help
    bool needsGui; // true for commands that draw (fonts need a QGuiApplication)
    std::function<int(const QStringList& args)> run;
    // True for commands that take a list of files: a name among them that is not UTF-8 reaches
    // run as a stand-in (see UnusableName), to be named and skipped like any unreadable file.
    // Other commands are refused as a whole when a name is not UTF-8.
    bool takesFileList = false;
};

// Qt carries file names as Unicode text, and bytes that are not UTF-8 would lead to another
// file. Such an argument is handed to a command as a stand-in no real argument can be (it starts
// with a NUL); this gives the stand-in's original bytes, escaped, and nothing for any other text.
std::optional<QString> UnusableName(const QString& arg);
// The reason such a name is refused.
QString UnusableNameReason();

// The command table; each Command*.cpp adds its command with a static CliCommandRegistration.
std::vector<CliCommand>& CliCommands();

struct CliCommandRegistration {
    explicit CliCommandRegistration(CliCommand command) {
        CliCommands().push_back(std::move(command));
    }
};

// The program's own standard error. Libraries write their chatter to file descriptor 2, which
// main() points at the debug log (MOSAIQ_DEBUG_LOG) or nowhere; the user's lines and progress go
// here. Unbuffered, like standard error.
FILE* ErrorStream();
// True when ErrorStream() is a terminal (progress is shown only then).
bool ErrorStreamIsTerminal();

// One line on standard error, as every failing command reports.
void PrintError(const QString& line);
// A line on standard output.
void PrintLine(const QString& line);

} // namespace mosaiq::cli
