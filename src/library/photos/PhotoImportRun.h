#pragma once

// One photo import into a photo list, headless: the files are prepared on worker threads
// (PhotoImporter) and added to the list in the chosen order on the owner's thread, which is the
// only thread that touches the list. Every file is tried; the summary says what was added and why
// the others were left out. The editor's import window and `mosaiq-cli import-photos` both use it.

#include "library/photos/PhotoImport.h"
#include "library/photos/PhotoImportSummary.h"
#include "library/photos/PhotoList.h"

#include <QObject>
#include <QStringList>

namespace mosaiq {

class PhotoImportRun : public QObject {
    Q_OBJECT
public:
    // list must outlive the run.
    explicit PhotoImportRun(PhotoList& list, QObject* parent = nullptr);

    // Starts importing paths (threads 0: every core); false while a run is under way or when
    // paths is empty.
    bool Start(const QStringList& paths, int threads = 0);
    // Stops after the files being prepared now; nothing is added after this call.
    void RequestStop();
    bool IsRunning() const { return m_importer.IsRunning(); }
    // Whether the photos a run added are handed to the subject workers when it ends (on by
    // default; a command-line import that exits at once leaves them to their first use).
    void SetFindSubjects(bool on) { m_findSubjects = on; }
    const PhotoImportSummary& Summary() const { return m_summary; }
    int Total() const { return int(m_paths.size()); }

Q_SIGNALS:
    // A file was handled (done of total so far): result says whether it was added. recordIndex is
    // the list index of the added photo, or of the photo already listed for a duplicate; −1
    // otherwise.
    void fileHandled(const QString& path, mosaiq::AddPhotoResult result, int recordIndex, int done,
                     int total);
    // A file was not found (it counts as done).
    void fileMissing(const QString& path, int done, int total);
    void finished(const mosaiq::PhotoImportSummary& summary);

private:
    void OnPrepared(const PreparedPhoto& photo);
    void OnMissing(const QString& path);
    void OnFinished(bool stopped);
    int IndexOfVisiblePath(const PictureFileEntry& entry) const;

    PhotoList& m_list;
    PhotoImporter m_importer;
    PhotoImportSummary m_summary;
    QStringList m_paths;
    QStringList m_added;
    int m_done = 0;
    bool m_findSubjects = true;
};

} // namespace mosaiq
