#include "shell/widgets/CAboutBox.h"

#include "ui/widgets/CBitmapButton.h"
#include "ui/widgets/CSkinDialog.h"
#include "ui/widgets/Skin.h"

#include <QCoreApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

namespace mosaiq {
namespace {

QString Tr(const char* text) {
    return QCoreApplication::translate("CAboutBox", text);
}

QString VersionLine() {
    return Tr("Version %1").arg(QStringLiteral(MOSAIQ_VERSION));
}

} // namespace

void ShowAboutBox(QWidget* parent) {
    CSkinDialog box(parent);
    box.setWindowTitle(Tr("About"));
    box.resize(380, 210);
    auto* layout = new QVBoxLayout(&box);
    layout->setContentsMargins(28, 40, 28, 24);
    auto* icon = new QLabel(&box);
    icon->setPixmap(SkinIcon(128).pixmap(48, 48));
    icon->setAlignment(Qt::AlignCenter);
    layout->addWidget(icon);
    auto* text = new QLabel(QStringLiteral("<b>Mosaiq Photo Editor</b><br>%1<br>%2")
                                .arg(VersionLine(),
                                     Tr("Photo collages: photos, frames, masks, cliparts and text.")),
                            &box);
    text->setAlignment(Qt::AlignCenter);
    layout->addWidget(text);
    box.CloseButton()->setGeometry(box.width() - 43, 8, 24, 14);
    if (parent)
        box.move(parent->geometry().center() - box.rect().center());
    box.exec();
}

void ShowPlainAbout(QWidget* parent) {
    QMessageBox box(parent);
    box.setWindowTitle(Tr("About Mosaiq Photo Editor"));
    box.setIconPixmap(SkinIcon(128).pixmap(32, 32));
    box.setText(QStringLiteral("Mosaiq Photo Editor, %1").arg(VersionLine()));
    box.setInformativeText(Tr("A photo-collage editor."));
    box.setStandardButtons(QMessageBox::Ok);
    box.exec();
}

} // namespace mosaiq
