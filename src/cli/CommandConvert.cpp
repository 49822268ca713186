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
    QStringList unusable; // names that are not UTF-8, escaped
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
                if (const std::optional<QString> name = UnusableName(value)) {
                    PrintError(QStringLiteral("the output folder \"%1\": %2")
                                   .arg(*name, UnusableNameReason()));
                    return kExitFailed;
                }
                settings.outputDir = value;
            }
        } else if (a.startsWith(QLatin1String("--"))) {
            PrintError(QStringLiteral("unknown option %1").arg(a));
            return kExitUsage;
        } else if (const std::optional<QString> name = UnusableName(a)) {
            unusable << *name;
        } else {
            settings.files << a;
        }
    }
    if (settings.format < 0 || settings.outputDir.isEmpty() ||
        (settings.files.isEmpty() && unusable.isEmpty())) {
        PrintError(QStringLiteral("usage: convert --format F --output DIR FILE..."));
        return kExitUsage;
    }
    // A name that is not UTF-8 is skipped like any file that cannot be read; the rest go on.
    for (const QString& name : unusable)
        PrintError(QStringLiteral("skipped %1: %2").arg(name, UnusableNameReason()));
    if (settings.files.isEmpty()) {
        PrintLine(QStringLiteral("converted 0, skipped %1").arg(unusable.size()));
        return kExitFailed;
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
    PrintLine(QStringLiteral("converted %1, skipped %2")
                  .arg(summary.converted)
                  .arg(summary.skipped + unusable.size()));
    // Every input left out was named on standard error as it was skipped; the run still fails.
    if (summary.converted == 0 || summary.skipped > 0 || !unusable.isEmpty())
        return kExitFailed;
    return kExitOk;
}

const CliCommandRegistration kRegistration{{QStringLiteral("convert"),
                                            QStringLiteral("--format F --output DIR FILE..."),
                                            false, &RunConvert, true}};

} // namespace
} // namespace mosaiq::cli
