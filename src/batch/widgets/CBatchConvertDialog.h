#pragma once

// The batch converter window: a skinned modal dialog with the list of picture files, the eight
// output formats, the output directory with Browse..., Convert, and a progress bar with a status
// line. The conversion (BatchConverter) runs on a worker thread using every core; the dialog only
// shows its progress, so the window stays responsive. During a run Convert becomes Stop (the run
// stops before its next file and the summary says what was and was not converted); Add Picture
// File stays enabled and the files added join the run; Remove and Clear (the file list's context
// menu, the Delete key) wait for the run to end. Closing while a run is going on asks "Are you
// sure to stop converting?" (caption "Confirm"); on Yes the run stops and the dialog closes when
// it has.

#include "ui/widgets/CSkinDialog.h"

#include <QString>
#include <QStringList>

#include <memory>
#include <thread>

class QMenu;

namespace mosaiq {

class BatchConverter;
class CBitmapButton;
class CScrolledListBox;
struct BatchFileResult;
struct BatchSummary;

class CBatchConvertDialog : public CSkinDialog {
    Q_OBJECT
public:
    static constexpr int kAddFilesId = 10750;
    static constexpr int kConvertId = 10751;
    static constexpr int kBrowseId = 10752;

    explicit CBatchConvertDialog(QWidget* parent = nullptr);
    ~CBatchConvertDialog() override;

    // --- the operations the buttons run (tests call them directly)
    // Asks for picture files (several at once) and appends them to the list.
    void AddPictureFiles();
    // Appends paths to the file list (duplicates allowed, in the order given).
    void AddFiles(const QStringList& paths);
    // Asks for the output directory.
    void BrowseOutputDirectory();
    // Starts a run over the whole list; nothing while a run is going on, with no format chosen
    // or with an empty list.
    void StartConversion();
    // Stops the run before its next file (the Stop button); nothing when idle.
    void StopConversion();
    // Removes one file of the list / every file; nothing during a run.
    void RemoveFile(int row);
    void ClearFiles();
    // The file list's context menu for a click on row (-1: below the rows): Remove and Clear,
    // enabled when they can act. The caller owns it.
    QMenu* CreateFileListMenu(int row);
    CBitmapButton* ConvertButton() const { return m_convertButton; }

    const QStringList& Files() const { return m_files; }
    QString OutputDirectory() const { return m_outputDir; }
    void SetOutputDirectory(const QString& dir);
    // The position of the chosen format in the format list (-1: none).
    int FormatIndex() const;
    void SetFormatIndex(int index);
    bool Busy() const { return m_busy; }
    // Files finished in the current run (converted or skipped) and the run's size.
    int DoneCount() const { return m_done; }
    int RunTotal() const { return m_runTotal; }
    // The width in pixels of the progress bar's filled part.
    int ProgressWidth() const;
    QString StatusText() const { return m_status; }

    CScrolledListBox* FileList() const { return m_fileList; }
    CScrolledListBox* FormatList() const { return m_formatList; }

    // The open dialog's filter for picture files.
    static QString PictureFilter();

public Q_SLOTS:
    // Closes at once when idle; while converting, asks first (see the class comment).
    void reject() override;

Q_SIGNALS:
    // A run ended (finished, failed to start, or stopped).
    void runFinished();

protected:
    void paintEvent(QPaintEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void OnFileDone(const BatchFileResult& result);
    void OnRunEnded(const BatchSummary& summary);
    QString SummaryText(const BatchSummary& summary) const;
    void ShowFiles(int current);
    void JoinWorker();

    CBitmapButton* m_addButton;
    CBitmapButton* m_convertButton;
    CBitmapButton* m_browseButton;
    CScrolledListBox* m_fileList;
    CScrolledListBox* m_formatList;
    QStringList m_files;
    QString m_outputDir;
    QString m_lastFolder;
    QString m_status;
    bool m_busy = false;
    bool m_closeWhenStopped = false;
    bool m_stopping = false;
    int m_done = 0;
    int m_runTotal = 0;
    QStringList m_skipped; // "name: reason" of the current run
    QStringList m_renamed; // "name -> output name" of the current run
    std::unique_ptr<BatchConverter> m_converter;
    std::thread m_worker;
};

} // namespace mosaiq
