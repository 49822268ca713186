// Resource pack import and the batch converter.
#include "core/Notifier.h"
#include "shell/widgets/CMainDialog.h"
#include "shell/widgets/CommandGroup.h"
#include "shell/widgets/CommandGroups.h"
#include "shell/widgets/CommandIds.h"
#include "batch/widgets/CBatchConvertDialog.h"
#include "library/packs/PackImport.h"
#include "library/packs/ResourcePack.h"
#include "ui/widgets/DialogProvider.h"

#include <QDir>
#include <QFileInfo>

namespace mosaiq {
namespace {

class PackCommands : public CommandGroup {
public:
    explicit PackCommands(CMainDialog& window) : CommandGroup(window) {}

    bool Handles(int id) const override {
        return id == cmd::kImportPack || id == cmd::kBatchConverter;
    }

    void Run(int id) override {
        if (id == cmd::kImportPack)
            ChooseAndImport();
        else if (id == cmd::kBatchConverter)
            RunConverter();
    }

    // Packs named on the command line or handed over by a second start: the user confirms each.
    QStringList OpenPaths(const QStringList& paths) override {
        QStringList taken;
        for (const QString& path : paths) {
            if (!path.endsWith(QLatin1String(".irs"), Qt::CaseInsensitive))
                continue;
            taken << path;
            const QString question = tr("Import the resource pack %1 into the library?")
                                         .arg(QFileInfo(path).fileName());
            if (Dialogs().Ask(&Window(), question, false) == Answer::Yes)
                Import(path);
        }
        return taken;
    }

private:
    void ChooseAndImport() {
        const QString path = Dialogs().OpenFileName(&Window(), tr("Import Resource Pack"),
                                                     m_lastFolder, QStringLiteral("(*.irs) (*.irs)"));
        if (path.isEmpty())
            return;
        m_lastFolder = QFileInfo(path).absolutePath();
        Import(path);
    }

    void Import(const QString& path) {
        const PackImportResult result = ImportResourcePack(path);
        switch (result.status) {
        case PackImportStatus::AlreadyImported:
            Inform(result.Message(path));
            return;
        case PackImportStatus::Refused:
        case PackImportStatus::WriteFailed:
            Warn(result.Message(path));
            return;
        case PackImportStatus::Imported:
            break;
        }
        // The panels reload their files; the one showing the new items comes to the front.
        emit Window().librariesChanged();
        switch (PackKind(result.type)) {
        case PackKind::Frames:
            Window().ShowPanel(PanelSlot::Frame);
            break;
        case PackKind::Masks:
            Window().ShowPanel(PanelSlot::Mask);
            break;
        case PackKind::Cliparts:
            Window().ShowPanel(PanelSlot::Clipart);
            break;
        case PackKind::Decorations:
            emit Window().decorationsImported();
            break;
        case PackKind::Brushes:
            break;
        }
    }

    void RunConverter() {
        CBatchConvertDialog dialog(&Window());
        dialog.exec();
    }

    QString m_lastFolder = QDir::homePath();
};

} // namespace

std::unique_ptr<CommandGroup> MakePackCommands(CMainDialog& window) {
    return std::make_unique<PackCommands>(window);
}

} // namespace mosaiq
