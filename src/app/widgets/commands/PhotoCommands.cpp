// Photo library commands: the source photo list ("srcmedia.cfg") is read when the window is
// built and written when it closes, never over a list that exists but could not be read.
#include "app/DataPath.h"
#include "app/Notifier.h"
#include "app/widgets/CMainDialog.h"
#include "app/widgets/CommandGroup.h"
#include "app/widgets/CommandGroups.h"
#include "library/PhotoList.h"

#include <QFileInfo>

namespace mosaiq {
namespace {

class PhotoCommands : public CommandGroup {
public:
    explicit PhotoCommands(CMainDialog& window)
        : CommandGroup(window), m_path(DataFile(QStringLiteral("srcmedia.cfg"))) {
        LoadList();
    }

    bool Handles(int id) const override {
        (void)id;
        return false;
    }
    void Run(int id) override { (void)id; }

    void OnClose() override {
        if (!m_listUsable)
            return;
        QString error;
        if (!m_list.Save(m_path, &error))
            Warn(QObject::tr("The photo library could not be saved: %1").arg(error));
    }

private:
    void LoadList() {
        const QFileInfo info(m_path);
        if (info.exists() && !info.isReadable()) {
            // A list that exists but cannot be read is never replaced by a shorter one.
            m_listUsable = false;
            Warn(QObject::tr("The photo library \"%1\" cannot be read; it is left as it is.")
                     .arg(m_path));
            return;
        }
        m_list.Load(m_path);
    }

    QString m_path;
    PhotoList m_list;
    bool m_listUsable = true;
};

} // namespace

std::unique_ptr<CommandGroup> MakePhotoCommands(CMainDialog& window) {
    return std::make_unique<PhotoCommands>(window);
}

} // namespace mosaiq
