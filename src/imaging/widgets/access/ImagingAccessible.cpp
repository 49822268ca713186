#include "imaging/widgets/access/ImagingAccessible.h"

#include "imaging/widgets/CPlacementButton.h"
#include "ui/widgets/access/AccessibleItems.h"
#include "ui/widgets/access/UiAccessible.h"

namespace mosaiq {
namespace {

class PlacementAccessible : public QAccessibleWidget {
public:
    explicit PlacementAccessible(CPlacementButton* b)
        : QAccessibleWidget(b, QAccessible::RadioButton) {}
    CPlacementButton* Button() const { return static_cast<CPlacementButton*>(widget()); }
    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Name)
            return ControlName(Button(), Button()->Caption());
        return QAccessibleWidget::text(t);
    }
    QAccessible::State state() const override {
        QAccessible::State s = QAccessibleWidget::state();
        s.checkable = true;
        s.checked = Button()->IsOn();
        return s;
    }
    QStringList actionNames() const override {
        return QStringList{pressAction()} + QAccessibleWidget::actionNames();
    }
    void doAction(const QString& action) override {
        if (action == pressAction())
            Q_EMIT Button()->commandIssued(Button()->CommandId());
        else
            QAccessibleWidget::doAction(action);
    }
};

QAccessibleInterface* ImagingFactory(const QString&, QObject* object) {
    if (auto* b = qobject_cast<CPlacementButton*>(object))
        return new PlacementAccessible(b);
    return nullptr;
}

} // namespace

void InstallImagingAccessibility() {
    InstallUiAccessibility();
    static bool installed = false;
    if (installed)
        return;
    installed = true;
    QAccessible::installFactory(ImagingFactory);
}

} // namespace mosaiq
