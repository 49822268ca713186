// Recovery: at start, the collage left by an editor that ended without closing (a crash, a kill,
// a power cut) is offered back; afterwards a copy of the changed collage is kept in the data
// directory's "Recovery/" folder, and a clean exit removes it. The folder's lock keeps each
// editor to its own data directory's copy: an editor that finds the lock held by another running
// editor keeps no copies and offers none.
#include "canvas/document/CollageDocument.h"
#include "canvas/project/ProjectFile.h"
#include "canvas/project/RecoveryKeeper.h"
#include "canvas/widgets/CCollageCanvas.h"
#include "core/data/DataPath.h"
#include "core/Notifier.h"
#include "core/data/RecoveryFolder.h"
#include "core/files/RegularFile.h"
#include "shell/widgets/CMainDialog.h"
#include "shell/widgets/CommandGroup.h"
#include "shell/widgets/CommandGroups.h"
#include "shell/widgets/CommandIds.h"
#include "ui/widgets/DialogProvider.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>

#include <memory>

namespace mosaiq {
namespace {

QString Tr(const char* text) {
    return QCoreApplication::translate("RecoveryCommands", text);
}

// True when the project file at path reads in full (nothing is changed: no library, no document).
bool CopyReads(const QString& path, QString* reason) {
    QFile file;
    if (OpenRegularFile(file, path, reason) != OpenFailure::None)
        return false;
    CollageDocument scratch;
    const ProjectResult result = ParseProject(file, scratch, nullptr);
    if (!result.ok)
        *reason = result.error;
    return result.ok;
}

class RecoveryCommands : public CommandGroup {
public:
    explicit RecoveryCommands(CMainDialog& window) : CommandGroup(window) {}

    ~RecoveryCommands() override {
        // The copy stays: only a clean exit (OnClose) removes it.
        m_keeper.reset();
        m_folder.reset();
    }

    bool Handles(int id) const override { return id == cmd::kStartRecovery; }

    void Run(int id) override {
        if (id == cmd::kStartRecovery)
            Start();
    }

    // Files handed over while the start-up question is open are opened once it is answered.
    QStringList OpenPaths(const QStringList& paths) override {
        if (!m_asking)
            return {};
        m_heldBack += paths;
        return paths;
    }

    void OnClose() override {
        if (m_keeper)
            m_keeper->RemoveCopy();
        else if (m_folder && m_folder->Claimed())
            m_folder->Remove(Document().projectPath);
        m_keeper.reset();
        m_folder.reset(); // releases the lock: this editor ended cleanly
    }

private:
    CollageDocument& Document() const { return Window().Canvas().Document(); }

    void Start() {
        if (m_started)
            return;
        m_started = true;
        const QString dataDir = DataPath();
        m_folder = std::make_unique<RecoveryFolder>(dataDir);
        if (!m_folder->Claim()) {
            // Another running editor keeps its copy here (a second instance name on the same
            // data directory), or the folder cannot be written: this one leaves it alone.
            qWarning("mosaiq: %s", qPrintable(m_folder->ClaimError()));
            m_folder.reset();
            return;
        }
        m_asking = true;
        OfferCopy();
        m_asking = false;
        const int interval = RecoveryIntervalMsFromSettings(dataDir);
        if (interval > 0) {
            // A child of the window, so a test finds it; this group deletes it first.
            m_keeper = std::make_unique<RecoveryKeeper>(Document(), *m_folder, interval, &Window());
            m_keeper->SetCommitBursts([this] { Window().CommitPendingBursts(); });
        } else {
            // No copies are kept, but a recovered copy still goes once the collage is saved.
            connect(&Document(), &CollageDocument::saved, this, [this] {
                if (m_folder)
                    m_folder->Remove(Document().projectPath);
            });
        }
        if (!m_heldBack.isEmpty())
            Window().OpenPaths(std::exchange(m_heldBack, {}));
    }

    // Asks whether to recover the copy left behind, if there is one. Yes opens it marked
    // modified with its project path; No removes it; a copy that cannot be read is set aside.
    void OfferCopy() {
        if (!m_folder->HasCopy()) {
            m_folder->Remove(); // a note without its copy
            return;
        }
        const std::optional<RecoveryNote> note = m_folder->ReadNote();
        const QString project = note ? note->projectPath : QString();
        // A copy that is the user's own project (saved into the folder) is not a copy to offer.
        if (m_folder->IsCopy(project)) {
            m_folder->Remove(project);
            return;
        }
        QString reason;
        if (!CopyReads(m_folder->CopyPath(), &reason)) {
            SetAside(reason);
            return;
        }
        const QDateTime time =
            note ? note->time : QFileInfo(m_folder->CopyPath()).lastModified().toUTC();
        const QString name = project.isEmpty() ? Tr("Untitled") : QFileInfo(project).fileName();
        const QString question =
            Tr("Mosaiq Photo Editor did not close properly last time. A recovery copy of the "
               "collage \"%1\" was kept (%2).\n\nDo you want to recover it?")
                .arg(name, QLocale().toString(time.toLocalTime(), QLocale::ShortFormat));
        if (Dialogs().Ask(&Window(), question, false) != Answer::Yes) {
            m_folder->Remove();
            return;
        }
        Recover(project);
    }

    void Recover(const QString& project) {
        CollageDocument& doc = Document();
        const ProjectResult result = LoadProject(doc, m_folder->CopyPath());
        if (!result.ok) {
            SetAside(result.error);
            return;
        }
        // Save goes where the collage came from; the copy stays until a save or a clean exit.
        doc.projectPath = project.isEmpty() ? QString() : QFileInfo(project).absoluteFilePath();
        doc.MarkModified();
        Q_EMIT Window().librariesChanged(); // masks the copy carried joined the library
        Window().UpdateToolbarState();
        if (!result.notice.isEmpty())
            Warn(result.notice);
    }

    void SetAside(const QString& reason) {
        const QString kept = m_folder->SetAside();
        const QString where =
            QDir::toNativeSeparators(kept.isEmpty() ? m_folder->CopyPath() : kept);
        Warn(Tr("The recovery copy of the last collage could not be read (%1). It was kept as %2.")
                 .arg(reason, where));
    }

    std::unique_ptr<RecoveryFolder> m_folder; // claimed at start; none when another editor has it
    std::unique_ptr<RecoveryKeeper> m_keeper;
    QStringList m_heldBack;
    bool m_started = false;
    bool m_asking = false;
};

} // namespace

std::unique_ptr<CommandGroup> MakeRecoveryCommands(CMainDialog& window) {
    return std::make_unique<RecoveryCommands>(window);
}

} // namespace mosaiq
