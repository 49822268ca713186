#include "text/widgets/access/TextAccessible.h"

#include "text/widgets/CTextStyleList.h"
#include "ui/widgets/access/AccessibleItems.h"
#include "ui/widgets/access/UiAccessible.h"

namespace mosaiq {
namespace {

class StyleListAccessible : public AccessibleItemView {
public:
    explicit StyleListAccessible(CTextStyleList* l)
        : AccessibleItemView(l, QAccessible::List, QAccessible::ListItem) {}
    CTextStyleList* List() const { return static_cast<CTextStyleList*>(widget()); }
    int ItemCount() const override { return CTextStyleList::kRowCount; }
    QString ItemName(int item) const override {
        return CTextStyleList::tr("Style %1").arg(item + 1);
    }
    QRect ItemRect(int item) const override { return List()->RowRect(item); }
    bool ItemSelected(int item) const override { return List()->CurrentRow() == item; }
    int CurrentItem() const override { return List()->CurrentRow(); }
    void SelectItem(int item) override { List()->ChooseRow(item); }
    void PressItem(int item) override { List()->ChooseRow(item); }
};

QAccessibleInterface* TextFactory(const QString&, QObject* object) {
    if (auto* l = qobject_cast<CTextStyleList*>(object))
        return new StyleListAccessible(l);
    return nullptr;
}

} // namespace

void InstallTextAccessibility() {
    InstallUiAccessibility();
    static bool installed = false;
    if (installed)
        return;
    installed = true;
    QAccessible::installFactory(TextFactory);
}

} // namespace mosaiq
