#pragma once

// The batch converter's engine: converts a list of picture files into one output format, writing
// into one output directory. Files are decoded by the two-decoder rule and written by the writer
// their extension calls for (PictureSaving). Usable by the dialog and by mosaiq-cli alike.

#include <QString>
#include <QStringList>

#include <array>
#include <atomic>
#include <functional>
#include <memory>

namespace mosaiq {

struct BatchFormat {
    const char* text;      // as the format list shows it
    const char* extension; // written extension: the text in lower case
    int type;              // the image library's type code (used for the non-first-writer formats)
};

// The eight output formats, in list order.
const std::array<BatchFormat, 8>& BatchFormats();
// The position of a format by its text or extension, any case ("jpg", "TIF"), or -1.
int BatchFormatIndex(const QString& name);

// The output path of input: outputDir + the input's file name without its last extension + "." +
// extension (photo.final.png -> outputDir/photo.final.jpg). outputDir may lack the final '/'.
QString BatchOutputPath(const QString& outputDir, const QString& input, const QString& extension);

// The output directory the converter offers first: the user's documents folder +
// "Vitrine Studio/Convert/" (ending in '/'). Not created here.
QString DefaultBatchOutputDir();

struct BatchSettings {
    QStringList files;
    int format = 0;    // index into BatchFormats()
    QString outputDir; // created when missing
    int threads = 0;   // 0: one per core
};

struct BatchFileResult {
    int index = 0; // position in the run's file list
    QString input;
    QString output;
    bool converted = false;
    bool renamed = false; // another file of the run took the plain output name first
    QString reason;       // why a file was skipped
};

struct BatchSummary {
    int converted = 0;
    int skipped = 0;
    int notStarted = 0; // files of the run a stop left unconverted
    bool stopped = false;
    QString error; // the run could not start (no such format, output directory not creatable)
};

// The output name "dir/r (2).png" for the n-th file of a run whose plain output is
// "dir/r.png" (n >= 2).
QString NumberedOutputPath(const QString& plain, int n);

class BatchConverter {
public:
    explicit BatchConverter(BatchSettings settings);
    ~BatchConverter();

    // Converts every file and returns when done or stopped; blocks the calling thread (the dialog
    // runs it on a worker). Files run in parallel; progress is called after each file, one call
    // at a time, from a worker thread. Within one run no output replaces another: a file whose
    // output name an earlier file of the run took is written as "name (2).ext", "name (3).ext"
    // and so on, in list order; files already in the folder are replaced. An output that would
    // replace one of the input files is not written: that file is skipped with the reason.
    BatchSummary Run(const std::function<void(const BatchFileResult&)>& progress = {});

    // Adds files to the run, before Run or while it runs: they are converted in it, after the
    // files already listed. False (nothing added) once the run has ended or stopped. Thread-safe.
    bool AddFiles(const QStringList& files);
    // The number of files in the run so far. Thread-safe.
    int FileCount() const;

    // Asks the run to stop: files already started finish, no other file is started. Thread-safe.
    void RequestStop();

private:
    struct Queue;
    BatchSettings m_settings;
    std::unique_ptr<Queue> m_queue;
};

// True for the output extensions that hold transparency (png, tif, tiff, tga, gif).
bool FormatKeepsTransparency(const QString& extension);

// Converts one file: decode by the two-decoder rule, write as extension at output. Transparency
// is kept where the format holds it; other formats get every pixel's colour, opaque.
bool ConvertPictureFile(const QString& input, const QString& output, const QString& extension,
                        QString* reason = nullptr);

} // namespace mosaiq
