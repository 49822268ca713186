// Project commands: new, open, save, save as, collage setting, export (Save Collage), recent
// projects, adding photos from files (menu and file-manager drops), finding missing photos, and
// the save prompt before anything would discard a modified collage.
#include "core/text/FixedText.h"
#include "core/Notifier.h"
#include "core/settings/RecentProjects.h"
#include "shell/widgets/CMainDialog.h"
#include "shell/widgets/CQorMenu.h"
#include "shell/widgets/CommandGroup.h"
#include "shell/widgets/CommandGroups.h"
#include "shell/widgets/CommandIds.h"
#include "shell/widgets/commands/SaveCollage.h"
#include "canvas/document/CollageDocument.h"
#include "canvas/document/PhotoFiles.h"
#include "canvas/document/PhotoRelink.h"
#include "canvas/project/ProjectFile.h"
#include "canvas/layout/LivingLayout.h"
#include "canvas/widgets/CCollageCanvas.h"
#include "canvas/widgets/export/ExportRun.h"
#include "imaging/widgets/CNewCollageDialog.h"
#include "ui/widgets/DialogProvider.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QDropEvent>
#include <QFileInfo>
#include <QMimeData>

namespace mosaiq {
namespace {

QString Tr(const char* text) {
    return QCoreApplication::translate("ProjectCommands", text);
}

QString NewPrompt() {
    return Tr("Project has been modified, Do you want to save it?");
}
QString OpenPrompt() {
    return Tr("Current project has been modified, Do you want to save it?");
}

constexpr int kMaxRecentShown = 8;
constexpr int kMaxNamesListed = 10; // missing photos named in one message
constexpr int kNewPhotoOffset = 20; // canvas pixels from the visible top-left corner

bool IsProjectPath(const QString& path) {
    return QFileInfo(path).suffix().compare(QLatin1String("dcf"), Qt::CaseInsensitive) == 0;
}

// The paths of local files a drag carries.
QStringList LocalFiles(const QMimeData* mime) {
    QStringList paths;
    if (!mime || !mime->hasUrls())
        return paths;
    for (const QUrl& url : mime->urls())
        if (url.isLocalFile())
            paths << url.toLocalFile();
    return paths;
}

class ProjectCommands : public CommandGroup {
public:
    explicit ProjectCommands(CMainDialog& window)
        : CommandGroup(window), m_path(window.Canvas().Document().projectPath) {
        CollageDocument& doc = Document();
        connect(&doc, &CollageDocument::changed, this, [this] { UpdateTitle(); });
        connect(&doc, &CollageDocument::historyChanged, this, [this] { UpdateTitle(); });
        // Files dropped from a file manager: projects open, pictures become photos.
        Window().Canvas().setAcceptDrops(true);
        Window().Canvas().installEventFilter(this);
        UpdateTitle();
    }

    bool Handles(int id) const override {
        switch (id) {
        case cmd::kNewProject:
        case cmd::kMenuNewProject:
        case cmd::kOpenProject:
        case cmd::kMenuOpenProject:
        case cmd::kSaveProjectAs:
        case cmd::kMenuSaveProjectAs:
        case cmd::kSaveProject:
        case cmd::kSetting:
        case cmd::kMenuSetting:
        case cmd::kSaveCollage:
        case cmd::kMenuSaveCollage:
        case cmd::kFindMissingPhotos:
        case cmd::kAddPhotoFile:
            return true;
        default:
            return id >= cmd::kRecentProject0 && id < cmd::kRecentProject0 + kMaxRecentShown;
        }
    }

    bool IsEnabled(int id) const override {
        if (id >= cmd::kRecentProject0 && id < cmd::kRecentProject0 + kMaxRecentShown)
            return id - cmd::kRecentProject0 < RecentProjects().size();
        return true;
    }

    void Run(int id) override {
        switch (id) {
        case cmd::kNewProject:
        case cmd::kMenuNewProject:
            NewProject();
            break;
        case cmd::kOpenProject:
        case cmd::kMenuOpenProject:
            OpenProject();
            break;
        case cmd::kSaveProjectAs:
        case cmd::kMenuSaveProjectAs:
            SaveProjectAs();
            break;
        case cmd::kSaveProject:
            Save();
            break;
        case cmd::kSetting:
        case cmd::kMenuSetting:
            CollageSetting();
            break;
        case cmd::kSaveCollage:
        case cmd::kMenuSaveCollage:
            RunSaveCollage(Window(), Folder());
            break;
        case cmd::kFindMissingPhotos:
            FindMissingPhotosCommand();
            break;
        case cmd::kAddPhotoFile:
            AddPhotoFromFiles();
            break;
        default:
            OpenRecent(id - cmd::kRecentProject0);
            break;
        }
    }

    void ExtendMenu(MenuId menu, CQorMenu& popup) override {
        if (menu == MenuId::CanvasContext && !FindMissingPhotos(Document()).empty()) {
            popup.AppendMenuSeparator();
            popup.AppendMenuItem(cmd::kFindMissingPhotos, Tr("Find Missing Photos..."));
        }
        if (menu != MenuId::File)
            return;
        popup.AppendMenuSeparator();
        popup.AppendMenuItem(cmd::kSaveProject, Tr("Save Project"), 195, 0,
                             QStringLiteral("Ctrl+S"));
        popup.AppendMenuItem(cmd::kAddPhotoFile, Tr("Add Photo from File..."), 423);
        popup.AppendMenuItem(cmd::kFindMissingPhotos, Tr("Find Missing Photos..."));
        const QStringList recent = RecentProjects();
        if (recent.isEmpty())
            return;
        popup.AppendMenuSeparator();
        for (int n = 0; n < recent.size() && n < kMaxRecentShown; ++n)
            popup.AppendMenuItem(
                cmd::kRecentProject0 + n,
                QStringLiteral("&%1 %2").arg(n + 1).arg(QDir::toNativeSeparators(recent[n])));
    }

    bool CanClose() override { return ConfirmDiscard(NewPrompt()); }

    QStringList OpenPaths(const QStringList& paths) override {
        QStringList taken;
        for (const QString& path : paths)
            if (IsProjectPath(path))
                taken << path;
        // One collage at a time: the last project named is the one opened.
        if (!taken.isEmpty() && ConfirmDiscard(OpenPrompt()))
            OpenProjectFile(taken.last());
        return taken;
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched != &Window().Canvas())
            return false;
        switch (event->type()) {
        case QEvent::DragEnter:
        case QEvent::DragMove: {
            auto* drag = static_cast<QDropEvent*>(event);
            if (LocalFiles(drag->mimeData()).isEmpty())
                return false;
            drag->acceptProposedAction();
            return true;
        }
        case QEvent::Drop: {
            auto* drop = static_cast<QDropEvent*>(event);
            const QStringList files = LocalFiles(drop->mimeData());
            if (files.isEmpty())
                return false;
            drop->acceptProposedAction();
            DropFiles(files, drop->position().toPoint());
            return true;
        }
        default:
            return false;
        }
    }

private:
    CollageDocument& Document() const { return Window().Canvas().Document(); }

    void UpdateTitle() {
        const QString name = m_path.isEmpty() ? Tr("Untitled") : QFileInfo(m_path).fileName();
        Window().SetTitleDetail(Document().modified ? name + QStringLiteral(" *") : name);
    }

    void Refresh() {
        UpdateTitle();
        Window().UpdateToolbarState();
    }

    // Asks whether to save a modified collage first. True when the command may go on: the
    // collage was not modified, the user said No, or it was saved. Cancel, a cancelled save
    // dialog or a failed save stop the command.
    bool ConfirmDiscard(const QString& prompt) {
        if (!Document().modified)
            return true;
        switch (Dialogs().Ask(&Window(), prompt, true)) {
        case Answer::Yes:
            return Save();
        case Answer::No:
            return true;
        case Answer::Cancel:
            break;
        }
        return false;
    }

    // --- new, open

    void NewProject() {
        if (!ConfirmDiscard(NewPrompt()))
            return;
        CNewCollageDialog dialog(CollageSettings(), &Window());
        if (!dialog.Run())
            return;
        const CollageSettings& s = dialog.Settings();
        CollageDocument& doc = Document();
        doc.Clear();
        doc.backgroundPathField.clear();
        doc.backgroundColour = s.backgroundColour;
        doc.backgroundMode = BackgroundMode(s.placement);
        doc.backgroundPath = s.backgroundPath;
        doc.backgroundUpright = true;
        doc.SetCanvasSize(s.width, s.height);
        const QString reason = doc.ReloadBackground();
        doc.modified = false;
        m_path.clear();
        Refresh();
        WarnBackground(reason);
    }

    void OpenProject() {
        if (!ConfirmDiscard(OpenPrompt()))
            return;
        const QString path = Dialogs().OpenFileName(&Window(), Tr("Open Project"), Folder(),
                                                    Tr("collage files (*.dcf)"));
        if (!path.isEmpty())
            OpenProjectFile(path);
    }

    void OpenRecent(int n) {
        const QString path = RecentProjects().value(n);
        if (path.isEmpty() || !ConfirmDiscard(OpenPrompt()))
            return;
        if (!QFileInfo(path).isFile()) {
            Warn(Tr("The project %1 no longer exists; it was taken off the recent projects.")
                     .arg(QDir::toNativeSeparators(path)));
            RemoveRecentProject(path);
            return;
        }
        OpenProjectFile(path);
    }

    // Opens path in place of the current collage; a project that cannot be read leaves the
    // current collage as it was and says why.
    bool OpenProjectFile(const QString& path) {
        CollageDocument& doc = Document();
        const ProjectResult result = LoadProject(doc, path);
        if (!result.ok) {
            Warn(Tr("The project %1 could not be opened: %2")
                     .arg(QDir::toNativeSeparators(path), result.error));
            return false;
        }
        m_path = QFileInfo(path).absoluteFilePath();
        AddRecentProject(m_path);
        Refresh();
        for (const CanvasObject& object : doc.objects)
            if (const PhotoRecord* photo = object.Photo(); photo && photo->customMask) {
                Q_EMIT Window().librariesChanged(); // the carried masks joined the library
                break;
            }
        if (!result.notice.isEmpty())
            Warn(result.notice);
        OfferRelink(true);
        return true;
    }

    // --- saving

    // Saves to the project's own path, or asks for one. True when the collage was saved.
    bool Save() {
        if (m_path.isEmpty())
            return SaveProjectAs();
        return SaveTo(m_path);
    }

    bool SaveProjectAs() {
        const QString start = m_path.isEmpty() ? InFolder(QStringLiteral("untitled.dcf")) : m_path;
        QString path =
            Dialogs().SaveFileName(&Window(), Tr("Save Project As"), start, Tr("(*.dcf)"));
        if (path.isEmpty())
            return false;
        if (!IsProjectPath(path)) {
            path += QStringLiteral(".dcf");
            if (!ConfirmReplaceFile(&Window(), path))
                return false;
        }
        return SaveTo(path);
    }

    bool SaveTo(const QString& path) {
        const ProjectResult result = SaveProject(Document(), path);
        if (!result.ok) {
            // The modified flag stays: nothing the user made is taken as saved.
            Warn(result.error);
            UpdateTitle();
            return false;
        }
        m_path = QFileInfo(path).absoluteFilePath();
        AddRecentProject(m_path);
        UpdateTitle();
        return true;
    }

    // --- collage setting

    void CollageSetting() {
        CollageDocument& doc = Document();
        CollageSettings current;
        current.title = Tr("Collage Setting");
        current.width = doc.width;
        current.height = doc.height;
        current.backgroundColour = doc.backgroundColour & 0x00FFFFFFu;
        current.backgroundPath = doc.backgroundPath;
        current.placement = int(doc.backgroundMode);
        CNewCollageDialog dialog(current, &Window());
        if (!dialog.Run())
            return;
        const CollageSettings& s = dialog.Settings();
        doc.SetCanvasSize(s.width, s.height);
        // A colour the user did not change keeps the bytes the project held.
        if (s.backgroundColour != current.backgroundColour)
            doc.backgroundColour = s.backgroundColour;
        doc.backgroundMode = BackgroundMode(s.placement);
        // A picture chosen now is shown upright; a kept one keeps its mark.
        if (s.backgroundPath != doc.backgroundPath)
            doc.backgroundUpright = true;
        doc.backgroundPath = s.backgroundPath;
        const QString reason = doc.ReloadBackground();
        doc.DropAllCaches();
        doc.MarkModified();
        Refresh();
        WarnBackground(reason);
    }

    void WarnBackground(const QString& reason) {
        if (!reason.isEmpty())
            Warn(Tr("The background picture %1 could not be read: %2")
                     .arg(QDir::toNativeSeparators(Document().backgroundPath), reason));
    }

    // --- photos

    void AddPhotoFromFiles() {
        const QStringList paths = Dialogs().OpenFileNames(
            &Window(), Tr("Add Photo"), Folder(),
            Tr("Pictures (*.jpg *.jpeg *.heic *.heif *.hif *.avif *.webp *.png *.bmp *.gif *.tif "
               "*.tiff *.pcx *.pnm *.pgm *.ppm *.tga *.ico *.wbmp *.ras *.jp2 *.j2k *.jpc *.j2c "
               "*.pgx *.wmf);;All files (*)"));
        if (!paths.isEmpty())
            AddPhotos(paths, Document().view.WindowToCanvas(0, 0) +
                                 QPoint(kNewPhotoOffset, kNewPhotoOffset));
    }

    void AddPhotos(const QStringList& paths, QPoint start) {
        Window().Canvas().SetPaintMode(false);
        QApplication::setOverrideCursor(Qt::WaitCursor);
        const PhotoFilesResult result = AddPhotoFiles(Document(), paths, start);
        QApplication::restoreOverrideCursor();
        Refresh();
        if (!result.refused.isEmpty())
            Warn(Tr("These pictures could not be added:\n%1")
                     .arg(result.refused.join(QLatin1Char('\n'))));
    }

    void DropFiles(const QStringList& files, QPoint windowPos) {
        QStringList pictures;
        QString project;
        for (const QString& path : files) {
            if (IsProjectPath(path))
                project = path;
            else
                pictures << path;
        }
        if (!pictures.isEmpty()) {
            const QPoint at = Document().view.WindowToCanvas(windowPos.x(), windowPos.y());
            const size_t before = Document().objects.size();
            AddPhotos(pictures, at);
            // One photo dropped on the layout takes a cell (or a new one in a gap).
            if (pictures.size() == 1 && Document().objects.size() == before + 1 &&
                PlaceDroppedPhoto(Document(), int(before), QPointF(at)))
                Refresh();
        } else if (!project.isEmpty() && ConfirmDiscard(OpenPrompt()))
            OpenProjectFile(project);
    }

    void FindMissingPhotosCommand() {
        if (!OfferRelink(false))
            Inform(Tr("Every photo of the collage has its picture file."));
    }

    // Names the photos whose files are gone and offers to look for them in a folder. False when
    // none is missing. afterOpen words the question for a project just opened.
    bool OfferRelink(bool afterOpen) {
        const std::vector<MissingPhoto> missing = FindMissingPhotos(Document());
        if (missing.empty())
            return false;
        QStringList names;
        for (size_t i = 0; i < missing.size() && i < size_t(kMaxNamesListed); ++i)
            names << QDir::toNativeSeparators(missing[i].path);
        if (missing.size() > size_t(kMaxNamesListed))
            names << Tr("... and %1 more").arg(missing.size() - size_t(kMaxNamesListed));
        const int count = int(missing.size());
        const QString text =
            (afterOpen ? (count == 1 ? Tr("1 photo of this project cannot be found:\n%2\n\n")
                                     : Tr("%1 photos of this project cannot be found:\n%2\n\n"))
                       : (count == 1 ? Tr("1 photo of the collage cannot be found:\n%2\n\n")
                                     : Tr("%1 photos of the collage cannot be found:\n%2\n\n")))
                .arg(count)
                .arg(names.join(QLatin1Char('\n'))) +
            Tr("Do you want to look for them in a folder?");
        if (Dialogs().Ask(&Window(), text, false) != Answer::Yes)
            return true;
        const QString folder =
            Dialogs().ExistingDirectory(&Window(), Tr("Find Missing Photos"), Folder());
        if (folder.isEmpty())
            return true;
        const RelinkResult result = RelinkMissingPhotos(Document(), folder);
        Refresh();
        // The photo library's entries of the same files are mended too.
        if (!result.moved.empty())
            Q_EMIT Window().photosRelinked(result.moved);
        QString summary = result.relinked == 1
                              ? Tr("1 photo found and linked again.")
                              : Tr("%1 photos found and linked again.").arg(result.relinked);
        const int still = int(result.notFound.size());
        if (still > 0)
            summary += QLatin1Char('\n') + (still == 1 ? Tr("1 photo is still missing.")
                                                       : Tr("%1 photos are still missing.").arg(still));
        Inform(summary);
        return true;
    }

    // The folder file dialogs start in: the current project's.
    QString Folder() const {
        return m_path.isEmpty() ? QString() : QFileInfo(m_path).absolutePath();
    }

    // A file name in that folder (the name alone while there is no project file yet).
    QString InFolder(const QString& name) const {
        return m_path.isEmpty() ? name : QDir(Folder()).filePath(name);
    }

    QString& m_path; // the document's project file; empty until it was opened or saved
};

} // namespace

std::unique_ptr<CommandGroup> MakeProjectCommands(CMainDialog& window) {
    return std::make_unique<ProjectCommands>(window);
}

} // namespace mosaiq
