// Photo library commands: the source photo list ("srcmedia.cfg") read when the window is built and
// written when it closes (never over a list that exists but could not be read), the photo browser
// in its area, Import (a worker prepares the photos while the progress window shows each one),
// Remove, Add to Canvas, the browser's context menu and dragging photos onto the canvas.
#include "canvas/layout/LivingLayout.h"
#include "canvas/widgets/CCollageCanvas.h"
#include "core/data/DataPath.h"
#include "core/Notifier.h"
#include "imaging/files/PictureFileEntry.h"
#include "library/photos/PhotoImportRun.h"
#include "library/photos/PhotoList.h"
#include "library/widgets/photos/CPhotoBrowser.h"
#include "library/widgets/photos/CScanProgressWindow.h"
#include "shell/widgets/access/CStatusLine.h"
#include "shell/widgets/CMainDialog.h"
#include "shell/widgets/CommandGroup.h"
#include "shell/widgets/CommandGroups.h"
#include "shell/widgets/CommandIds.h"
#include "ui/widgets/DialogProvider.h"

#include <QDateTime>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QSet>

namespace mosaiq {
namespace {

// The extensions the import dialog offers; files handed over by name are imported when they
// end in one of them.
const char* const kPictureExtensions[] = {"jpg", "jpeg", "heic", "heif", "hif", "avif",
                                          "webp", "gif", "bmp",  "png",  "wmf", "emf",
                                          "pcx", "pnm",  "tif",  "tiff"};
// Photos dropped together are placed this many window pixels apart.
constexpr int kDropCascade = 20;

QString ImportFilter() {
    QStringList all;
    QStringList each;
    for (const char* ext : kPictureExtensions) {
        all << QStringLiteral("*.%1").arg(QLatin1String(ext));
        each << QStringLiteral("(*.%1) (*.%1)").arg(QLatin1String(ext));
    }
    return QStringLiteral("(all picture files) (%1);;").arg(all.join(QLatin1Char(' '))) +
           each.join(QStringLiteral(";;"));
}

bool IsPictureName(const QString& path) {
    const QString suffix = QFileInfo(path).suffix().toLower();
    for (const char* ext : kPictureExtensions)
        if (suffix == QLatin1String(ext))
            return true;
    return false;
}

class PhotoCommands : public CommandGroup {
public:
    explicit PhotoCommands(CMainDialog& window)
        : CommandGroup(window), m_path(DataFile(QStringLiteral("srcmedia.cfg"))), m_run(m_list) {
        LoadList();
        WatchList();
        m_browser = new CPhotoBrowser(&window);
        m_browser->SetList(&m_list);
        m_browser->SetDropTarget(&window.Canvas());
        window.InstallArea(SideArea::PhotoBrowser, m_browser);
        QObject::connect(m_browser, &CPhotoBrowser::addRequested, this, [this] { AddSelected(); });
        QObject::connect(m_browser, &CPhotoBrowser::selectionChanged, this,
                         [this] { Window().UpdateToolbarState(); });
        QObject::connect(
            m_browser, &CPhotoBrowser::contextMenuRequested, this,
            [this](const QPoint& at) { Window().ShowContextMenu(MenuId::PhotoListContext, at); });
        QObject::connect(m_browser, &CPhotoBrowser::photosDropped, this,
                         [this](const QPoint& at) { DropSelected(at); });
        QObject::connect(&window, &CMainDialog::photosRelinked, this,
                         [this](const std::vector<std::pair<QString, QString>>& moved) {
                             Relink(moved);
                         });

        m_progress = new CScanProgressWindow(&window);
        QObject::connect(m_progress, &CScanProgressWindow::stopRequested, this,
                         [this] { StopImport(); });
        QObject::connect(&m_run, &PhotoImportRun::fileHandled, this,
                         [this](const QString& path, AddPhotoResult result, int index, int done,
                                int total) {
                             m_progress->SetCount(done, total);
                             OnFileHandled(path, result, index);
                         });
        QObject::connect(&m_run, &PhotoImportRun::fileMissing, this,
                         [this](const QString& path, int done, int total) {
                             m_progress->SetCount(done, total);
                             m_progress->SetPath(path);
                         });
        QObject::connect(&m_run, &PhotoImportRun::finished, this,
                         [this](const PhotoImportSummary& summary) { OnFinished(summary); });
        QObject::connect(&window, &CMainDialog::closing, this, [this] {
            m_closing = true;
            StopImport();
        });
    }

    ~PhotoCommands() override {
        // The workers end with the run; nothing they produce is added any more.
        m_run.RequestStop();
    }

    bool Handles(int id) const override {
        switch (id) {
        case cmd::kImportPhotos:
        case cmd::kMenuImportPhotos:
        case cmd::kImportPhotosMenu:
        case cmd::kRemovePhotos:
        case cmd::kRemovePhotosButton:
        case cmd::kAddPhotoToCanvas:
            return true;
        default:
            return false;
        }
    }

    bool IsEnabled(int id) const override {
        switch (id) {
        case cmd::kImportPhotos:
        case cmd::kMenuImportPhotos:
        case cmd::kImportPhotosMenu:
            return !m_run.IsRunning();
        case cmd::kRemovePhotos:
        case cmd::kRemovePhotosButton:
            return !m_browser->Selection().SelectedRecords().empty();
        default:
            return true;
        }
    }

    void Run(int id) override {
        switch (id) {
        case cmd::kImportPhotos:
        case cmd::kMenuImportPhotos:
        case cmd::kImportPhotosMenu:
            ChooseAndImport();
            break;
        case cmd::kRemovePhotos:
        case cmd::kRemovePhotosButton:
            if (m_browser->HideSelected() > 0)
                Q_EMIT Window().photoListChanged();
            break;
        case cmd::kAddPhotoToCanvas:
            AddSelected();
            break;
        default:
            break;
        }
    }

    QStringList OpenPaths(const QStringList& paths) override {
        QStringList taken;
        for (const QString& path : paths)
            if (IsPictureName(path))
                taken << QFileInfo(path).absoluteFilePath();
        if (taken.isEmpty())
            return {};
        // Photos named at start (or by a second start) go into the library and onto the canvas.
        for (const QString& path : taken)
            m_addToCanvas.insert(path);
        m_queued += taken;
        StartQueued();
        QStringList handled;
        for (const QString& path : paths)
            if (IsPictureName(path))
                handled << path;
        return handled;
    }

    void OnClose() override {
        m_closing = true;
        StopImport();
        SaveList();
    }

private:
    void LoadList() {
        QString message;
        switch (m_list.Load(m_path, &message)) {
        case PhotoList::LoadStatus::Loaded:
            break;
        case PhotoList::LoadStatus::Damaged:
            // The damaged file was put aside; what could be recovered is shown and saved.
            Warn(QObject::tr("The photo library was damaged: %1").arg(message));
            break;
        case PhotoList::LoadStatus::Unreadable:
            // A list that exists but cannot be read is never replaced by a shorter one.
            m_listUsable = false;
            Warn(QObject::tr("The photo library \"%1\" cannot be read; it is left as it is.\n%2")
                     .arg(m_path, message));
            break;
        }
    }

    // The list file is watched (and its folder, for a file made or replaced by a rename), so
    // photos another program adds while the window is open show up in the browser.
    void WatchList() {
        m_watcher = new QFileSystemWatcher(this);
        m_watcher->addPath(QFileInfo(m_path).absolutePath());
        if (QFileInfo::exists(m_path))
            m_watcher->addPath(m_path);
        const auto changed = [this] { MergeChangedList(); };
        QObject::connect(m_watcher, &QFileSystemWatcher::fileChanged, this, changed);
        QObject::connect(m_watcher, &QFileSystemWatcher::directoryChanged, this, changed);
        m_listStamp = ListStamp();
    }

    QString ListStamp() const {
        const QFileInfo info(m_path);
        return QStringLiteral("%1/%2/%3")
            .arg(info.size())
            .arg(info.lastModified().toMSecsSinceEpoch())
            .arg(info.exists());
    }

    void MergeChangedList() {
        if (QFileInfo::exists(m_path) && !m_watcher->files().contains(m_path))
            m_watcher->addPath(m_path);
        const QString stamp = ListStamp();
        if (stamp == m_listStamp || !m_listUsable || m_run.IsRunning() || m_closing)
            return; // an import of ours merges when it saves
        m_listStamp = stamp;
        if (m_list.MergeFromFile(m_path) > 0 && m_browser) {
            m_browser->ListChanged();
            Q_EMIT Window().photoListChanged();
        }
    }

    void SaveList() {
        if (!m_listUsable)
            return;
        // Photos another program (mosaiq-cli import-photos) added meanwhile are merged first.
        QString error;
        int merged = 0;
        const bool saved = m_list.SaveMerging(m_path, &error, &merged);
        if (merged > 0 && !m_closing) {
            m_browser->ListChanged();
            Q_EMIT Window().photoListChanged();
        }
        if (!saved)
            Warn(QObject::tr("The photo library could not be saved: %1").arg(error));
        else
            m_listStamp = ListStamp();
    }

    // Photos of the collage found again in another folder: the library's entries of the same
    // files follow, so the browser stops showing them missing.
    void Relink(const std::vector<std::pair<QString, QString>>& moved) {
        int changed = 0;
        for (const auto& [from, to] : moved)
            changed += m_list.RelinkPath(from, to);
        if (changed == 0)
            return;
        m_browser->ListChanged();
        Q_EMIT Window().photoListChanged();
        SaveList();
    }

    // --- import

    void ChooseAndImport() {
        if (m_run.IsRunning() || !Window().isVisible())
            return;
        const QStringList paths = Dialogs().OpenFileNames(
            &Window(), QObject::tr("Import Photo to Library"), m_lastDir, ImportFilter());
        if (paths.isEmpty())
            return;
        m_lastDir = QFileInfo(paths.first()).absolutePath();
        m_queued += paths;
        StartQueued();
    }

    void StartQueued() {
        if (m_run.IsRunning() || m_queued.isEmpty())
            return;
        const QStringList paths = m_queued;
        m_queued.clear();
        if (!m_run.Start(paths))
            return;
        m_progress->SetPath(paths.first());
        m_progress->SetCount(1, int(paths.size()));
        if (Window().isVisible())
            m_progress->ShowCentred();
        Window().UpdateToolbarState();
    }

    void OnFileHandled(const QString& path, AddPhotoResult result, int index) {
        m_progress->SetPath(path);
        if (result == AddPhotoResult::Added) {
            m_browser->ListChanged();
            Q_EMIT Window().photoListChanged();
        }
        if (m_addToCanvas.remove(path) && index >= 0)
            AddRecordToCanvas(index, OneFifthOfCanvas());
    }

    void OnFinished(const PhotoImportSummary& summary) {
        m_progress->hide();
        m_addToCanvas.clear();
        Window().UpdateToolbarState();
        // Keep what was imported even if the program does not get to close normally.
        if (summary.added > 0)
            SaveList();
        if (!m_closing) {
            AnnounceStatus(&Window(), summary.Text());
            Inform(summary.Text());
        }
        StartQueued();
    }

    void StopImport() {
        m_queued.clear();
        m_run.RequestStop();
        m_progress->hide();
    }

    // --- onto the canvas

    QPoint OneFifthOfCanvas() const {
        const CCollageCanvas& canvas = Window().Canvas();
        return QPoint(canvas.width() / 5, canvas.height() / 5);
    }

    // Adds list record index at a window point of the canvas; false when its file has gone.
    bool AddRecordToCanvas(int index, QPoint at) {
        // An old record's size is of the picture as stored: measure it upright first.
        if (m_list.RemeasureOldRecord(index))
            m_browser->update();
        const PictureFileEntry& e = m_list.Records()[size_t(index)];
        const QString path = EntryPath(e);
        if (!QFileInfo::exists(path)) {
            Inform(QObject::tr("The photo's file no longer exists:\n%1").arg(path));
            return false;
        }
        CCollageCanvas& canvas = Window().Canvas();
        if (!canvas.Document().AddPhoto(path, int(e.width), int(e.height), at.x(), at.y()))
            return false;
        canvas.Redraw();
        Window().UpdateToolbarState();
        return true;
    }

    // Add to Canvas: every selected photo, the first at one fifth of the canvas window and
    // each next one 20 pixels further down and right, as one undo step.
    void AddSelected() {
        if (SelectedRecords().empty()) {
            Inform(QStringLiteral("Please select a photo to add. "));
            return;
        }
        DropSelected(OneFifthOfCanvas(), false);
    }

    // The browser's selected records in list order; the anchor alone when none is selected.
    std::vector<int> SelectedRecords() const {
        std::vector<int> records = m_browser->Selection().SelectedRecords();
        if (records.empty() && m_browser->Anchor() >= 0)
            records.push_back(m_browser->Anchor());
        return records;
    }

    // Adds the selected photos at the window point at (cascaded, one undo step). Dropped from
    // the browser, one photo over the layout takes the cell under it (or a new one in a gap).
    void DropSelected(QPoint at, bool dropped = true) {
        CollageDocument& doc = Window().Canvas().Document();
        {
            CollageDocument::ChangeGroup step(doc);
            const std::vector<int> records = SelectedRecords();
            const size_t before = doc.objects.size();
            int offset = 0;
            for (int record : records)
                if (AddRecordToCanvas(record, at + QPoint(offset, offset)))
                    offset += kDropCascade;
            if (dropped && records.size() == 1 && doc.objects.size() == before + 1 &&
                PlaceDroppedPhoto(doc, int(before),
                                  QPointF(doc.view.WindowToCanvas(at.x(), at.y()))))
                Window().Canvas().Redraw();
        }
        Window().UpdateToolbarState();
    }

    QString m_path;
    PhotoList m_list;
    PhotoImportRun m_run;
    bool m_listUsable = true;
    QFileSystemWatcher* m_watcher = nullptr;
    QString m_listStamp; // size and time of the list file when this window last read or wrote it
    bool m_closing = false;
    CPhotoBrowser* m_browser = nullptr;
    CScanProgressWindow* m_progress = nullptr;
    QStringList m_queued;
    QSet<QString> m_addToCanvas; // files handed over by name: added to the canvas once imported
    QString m_lastDir;
};

} // namespace

std::unique_ptr<CommandGroup> MakePhotoCommands(CMainDialog& window) {
    return std::make_unique<PhotoCommands>(window);
}

} // namespace mosaiq
