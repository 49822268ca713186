#include "ui/widgets/DialogProvider.h"

#include <QColorDialog>
#include <QFileDialog>
#include <QFontMetrics>
#include <QGridLayout>
#include <QMessageBox>
#include <QSpacerItem>

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

QString QtDialogProvider::SaveFileNameAndType(QWidget* parent, const QString& caption,
                                              const QString& dir, const QString& filter,
                                              QString* chosenFilter) {
    return QFileDialog::getSaveFileName(parent, caption, dir, filter, chosenFilter);
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
    QMessageBox box(QMessageBox::Information, MessageCaption(), text, buttons, parent);
    FitMessageBoxToCaption(box);
    box.setDefaultButton(QMessageBox::Yes);
    box.setEscapeButton(withCancel ? QMessageBox::Cancel : QMessageBox::No);
    const auto reply = box.exec();
    if (reply == QMessageBox::Yes)
        return Answer::Yes;
    if (reply == QMessageBox::No)
        return Answer::No;
    return withCancel ? Answer::Cancel : Answer::No;
}

QString MessageCaption() {
    return QStringLiteral("Mosaiq Photo Editor");
}

void FitMessageBoxToCaption(QMessageBox& box) {
    // Room for the caption in the title font plus the window manager's buttons at its right.
    constexpr int kTitleButtons = 120;
    QFont title = box.font();
    title.setBold(true);
    const int wanted = QFontMetrics(title).horizontalAdvance(box.windowTitle()) + kTitleButtons;
    auto* grid = qobject_cast<QGridLayout*>(box.layout());
    if (!grid)
        return;
    // QMessageBox sizes itself from its layout: a spacer as wide as the caption sets the floor.
    grid->addItem(new QSpacerItem(wanted, 0, QSizePolicy::Minimum, QSizePolicy::Fixed),
                  grid->rowCount(), 0, 1, grid->columnCount());
}

void ShowMessageBox(QWidget* parent, const QString& text, bool warning) {
    QMessageBox box(warning ? QMessageBox::Warning : QMessageBox::Information, MessageCaption(),
                    text, QMessageBox::Ok, parent);
    FitMessageBoxToCaption(box);
    box.exec();
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
    FitMessageBoxToCaption(box);
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
