#include "core/settings/CommandLine.h"

#include <cstdio>

namespace mosaiq {

QStringList ArgumentList(int argc, char** argv) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    return arguments;
}

bool AnswerInformationOptions(const QStringList& arguments) {
    for (int i = 1; i < arguments.size(); ++i) {
        const QString& a = arguments.at(i);
        if (a == QLatin1String("--"))
            return false;
        if (a == QLatin1String("--help") || a == QLatin1String("-h")) {
            std::fputs(
                "usage: mosaiq [FILE...]\n"
                "Opens collage projects (.dcf), offers resource packs (.irs) for import and\n"
                "imports pictures into the photo library. A running copy receives the files.\n"
                "  --help     print this text\n"
                "  --version  print the version\n",
                stdout);
            return true;
        }
        if (a == QLatin1String("--version")) {
            std::fputs("mosaiq " MOSAIQ_VERSION "\n", stdout);
            return true;
        }
    }
    return false;
}

QString UnknownOption(const QStringList& arguments) {
    for (int i = 1; i < arguments.size(); ++i) {
        const QString& a = arguments.at(i);
        if (a == QLatin1String("--"))
            break;
        if (!a.startsWith(QLatin1Char('-')))
            continue;
        if (a != QLatin1String("--help") && a != QLatin1String("-h") &&
            a != QLatin1String("--version"))
            return a;
    }
    return {};
}

QStringList FileArgumentsOf(const QStringList& arguments) {
    QStringList files;
    bool optionsEnded = false;
    for (int i = 1; i < arguments.size(); ++i) {
        const QString& a = arguments.at(i);
        if (!optionsEnded && a == QLatin1String("--")) {
            optionsEnded = true;
            continue;
        }
        // Options of Qt itself (-platform, -style …) are taken by QApplication before this runs.
        if (!optionsEnded && a.startsWith(QLatin1Char('-')))
            continue;
        files << a;
    }
    return files;
}

} // namespace mosaiq
