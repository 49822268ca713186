#include "ui/widgets/DialogProvider.h"

#include <QColorDialog>
#include <QFileDialog>
#include <QMessageBox>

namespace mosaiq {

namespace {
DialogProvider* g_installed = nullptr;
}

std::optional<QColor> QtDialogProvider::ChooseColour(QWidget* parent, const QColor& initial) {
    const QColor colour = QColorDialog::getColor(initial, parent);
    if (!colour.isValid())
        return std::nullopt;
    return colour;
}

QString QtDialogProvider::OpenFileName(QWidget* parent, const QString& caption, const QString& dir,
                                       const QString& filter) {
    return QFileDialog::getOpenFileName(parent, caption, dir, filter);
}

QStringList QtDialogProvider::OpenFileNames(QWidget* parent, const QString& caption,
                                            const QString& dir, const QString& filter) {
    return QFileDialog::getOpenFileNames(parent, caption, dir, filter);
}

QString QtDialogProvider::SaveFileName(QWidget* parent, const QString& caption, const QString& dir,
                                       const QString& filter) {
    return QFileDialog::getSaveFileName(parent, caption, dir, filter);
}

QString QtDialogProvider::ExistingDirectory(QWidget* parent, const QString& caption,
                                            const QString& dir) {
    return QFileDialog::getExistingDirectory(parent, caption, dir);
}

Answer QtDialogProvider::Ask(QWidget* parent, const QString& text, bool withCancel) {
    QMessageBox::StandardButtons buttons = QMessageBox::Yes | QMessageBox::No;
    if (withCancel)
        buttons |= QMessageBox::Cancel;
    // The program's questions carry the information icon, as its other messages do.
    QMessageBox box(QMessageBox::Information, QStringLiteral("Mosaiq Photo Editor"), text, buttons,
                    parent);
    box.setDefaultButton(QMessageBox::Yes);
    box.setEscapeButton(withCancel ? QMessageBox::Cancel : QMessageBox::No);
    const auto reply = box.exec();
    if (reply == QMessageBox::Yes)
        return Answer::Yes;
    if (reply == QMessageBox::No)
        return Answer::No;
    return withCancel ? Answer::Cancel : Answer::No;
}

Answer QtDialogProvider::AskQuestion(QWidget* parent, const Question& question) {
    const QMessageBox::StandardButtons buttons = question.okCancel
                                                     ? QMessageBox::Ok | QMessageBox::Cancel
                                                     : QMessageBox::Yes | QMessageBox::No;
    const QString caption =
        question.caption.isEmpty() ? QStringLiteral("Mosaiq Photo Editor") : question.caption;
    QMessageBox box(question.warning ? QMessageBox::Warning : QMessageBox::Information, caption,
                    question.text, buttons, parent);
    box.setDefaultButton(question.okCancel ? QMessageBox::Ok : QMessageBox::Yes);
    box.setEscapeButton(question.okCancel ? QMessageBox::Cancel : QMessageBox::No);
    const auto reply = box.exec();
    if (reply == QMessageBox::Yes || reply == QMessageBox::Ok)
        return Answer::Yes;
    return question.okCancel ? Answer::Cancel : Answer::No;
}

DialogProvider& Dialogs() {
    static QtDialogProvider qtDialogs;
    return g_installed ? *g_installed : qtDialogs;
}

void SetDialogProvider(DialogProvider* provider) {
    g_installed = provider;
}

} // namespace mosaiq
