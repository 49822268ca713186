#include "ui/widgets/DialogProvider.h"

#include <QColorDialog>

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

DialogProvider& Dialogs() {
    static QtDialogProvider qtDialogs;
    return g_installed ? *g_installed : qtDialogs;
}

void SetDialogProvider(DialogProvider* provider) {
    g_installed = provider;
}

} // namespace mosaiq
