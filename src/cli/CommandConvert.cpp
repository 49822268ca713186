// mosaiq-cli convert --format F --output DIR FILE...: the batch converter's engine.
#include "cli/CliCommand.h"

#include "batch/BatchConverter.h"

#include <QFileInfo>

#include <cstdio>
#include <map>

namespace mosaiq::cli {
namespace {

int RunConvert(const QStringList& args) {
    BatchSettings settings;
    settings.format = -1;
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args.at(i);
        if ((a == QLatin1String("--format") || a == QLatin1String("--output")) &&
            i + 1 < args.size()) {
            const QString value = args.at(++i);
            if (a == QLatin1String("--format")) {
                settings.format = BatchFormatIndex(value);
                if (settings.format < 0) {
                    PrintError(
                        QStringLiteral(
                            "unknown format \"%1\" (JPG, BMP, GIF, PNG, PNM, TGA, TIF or PCX)")
                            .arg(value));
                    return kExitUsage;
                }
            } else {
                settings.outputDir = value;
            }
        } else if (a.startsWith(QLatin1String("--"))) {
            PrintError(QStringLiteral("unknown option %1").arg(a));
            return kExitUsage;
        } else {
            settings.files << a;
        }
    }
    if (settings.format < 0 || settings.outputDir.isEmpty() || settings.files.isEmpty()) {
        PrintError(QStringLiteral("usage: convert --format F --output DIR FILE..."));
        return kExitUsage;
    }
    const bool showProgress = ErrorStreamIsTerminal();
    const int total = int(settings.files.size());
    int done = 0;
    // Files finish in any order on the workers; their lines are printed in the order of the
    // inputs, each as soon as every earlier file has been printed.
    std::map<int, BatchFileResult> waiting;
    int nextLine = 0;
    const auto printLine = [&](const BatchFileResult& r) {
        if (r.converted) {
            QString line = QStringLiteral("converted %1 -> %2").arg(r.input, r.output);
            if (r.renamed)
                line += QStringLiteral(" (an earlier input of this run took %1)")
                            .arg(QFileInfo(BatchOutputPath(settings.outputDir, r.input,
                                                           QFileInfo(r.output).suffix()))
                                     .fileName());
            PrintLine(line);
        } else {
            if (showProgress)
                std::fprintf(ErrorStream(), "\n");
            PrintError(QStringLiteral("skipped %1: %2").arg(r.input, r.reason));
        }
    };
    BatchConverter converter(settings);
    const BatchSummary summary = converter.Run([&](const BatchFileResult& r) {
        ++done;
        if (showProgress)
            std::fprintf(ErrorStream(), "\r%d/%d ", done, total);
        waiting.emplace(r.index, r);
        for (auto it = waiting.find(nextLine); it != waiting.end(); it = waiting.find(nextLine)) {
            printLine(it->second);
            waiting.erase(it);
            ++nextLine;
        }
    });
    if (showProgress)
        std::fprintf(ErrorStream(), "\n");
    if (!summary.error.isEmpty()) {
        PrintError(summary.error);
        return kExitFailed;
    }
    PrintLine(
        QStringLiteral("converted %1, skipped %2").arg(summary.converted).arg(summary.skipped));
    // Every input left out was named on standard error as it was skipped; the run still fails.
    if (summary.converted == 0 || summary.skipped > 0)
        return kExitFailed;
    return kExitOk;
}

const CliCommandRegistration kRegistration{{QStringLiteral("convert"),
                                            QStringLiteral("--format F --output DIR FILE..."),
                                            false, &RunConvert}};

} // namespace
} // namespace mosaiq::cli
