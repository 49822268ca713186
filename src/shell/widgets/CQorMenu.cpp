#include "shell/widgets/CQorMenu.h"

#include "shell/widgets/CMainDialog.h"
#include "ui/widgets/Skin.h"

#include <QApplication>
#include <QKeySequence>
#include <QPainter>
#include <QProxyStyle>
#include <QStyleOptionMenuItem>

namespace mosaiq {
namespace {

constexpr QColor kItemBackground{234, 234, 237};

// A tick in the item's text colour, so it shows on the light item background as the text does.
void DrawCheckMark(QPainter& painter, const QRect& box, const QColor& colour) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setPen(QPen(colour, std::max(2.0, box.width() / 5.0), Qt::SolidLine, Qt::RoundCap,
                        Qt::RoundJoin));
    const QPointF points[3] = {
        QPointF(box.left() + box.width() * 0.1, box.top() + box.height() * 0.55),
        QPointF(box.left() + box.width() * 0.4, box.top() + box.height() * 0.85),
        QPointF(box.left() + box.width() * 0.9, box.top() + box.height() * 0.2)};
    painter.drawPolyline(points, 3);
    painter.restore();
}

// Measures and draws the menu's items by the program's own rules.
class QorMenuStyle : public QProxyStyle {
public:
    QorMenuStyle() : QProxyStyle(QStringLiteral("fusion")) {}

    QSize sizeFromContents(ContentsType type, const QStyleOption* option, const QSize& size,
                           const QWidget* widget) const override {
        const auto* item = qstyleoption_cast<const QStyleOptionMenuItem*>(option);
        if (type != CT_MenuItem || !item)
            return QProxyStyle::sizeFromContents(type, option, size, widget);
        const int checkWidth = pixelMetric(PM_IndicatorWidth, option, widget);
        const int checkHeight = pixelMetric(PM_IndicatorHeight, option, widget);
        if (item->menuItemType == QStyleOptionMenuItem::Separator)
            return {1, std::max(4, checkHeight / 2)};
        QFont bold = item->font;
        bold.setWeight(QFont::Bold);
        const QFontMetrics metrics(bold);
        const QString text = QString(item->text).replace(QLatin1Char('\t'), QLatin1String("    "));
        const int icon = CQorMenu::kIconSize;
        const int height = std::max(icon + 4, metrics.height());
        // Twice the icon (the column and its gap), the text and 12 pixels, plus one, less the
        // check mark the menu adds by itself.
        const int width = 2 * icon + metrics.horizontalAdvance(text) + 12 + 1 - checkWidth;
        return {std::max(width, 2 * icon), height};
    }

    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget) const override {
        const auto* item = qstyleoption_cast<const QStyleOptionMenuItem*>(option);
        if (element != CE_MenuItem || !item) {
            QProxyStyle::drawControl(element, option, painter, widget);
            return;
        }
        const QRect r = item->rect;
        const QPalette& pal = item->palette;
        const bool selected = item->state & State_Selected;
        const bool enabled = item->state & State_Enabled;
        painter->save();
        painter->fillRect(r, selected && enabled ? pal.color(QPalette::Highlight) : kItemBackground);
        if (item->menuItemType == QStyleOptionMenuItem::Separator) {
            // An etched line at half height.
            const int y = r.top() + r.height() / 2;
            painter->setPen(QColor(160, 160, 160));
            painter->drawLine(r.left() + 2, y, r.right() - 2, y);
            painter->setPen(Qt::white);
            painter->drawLine(r.left() + 2, y + 1, r.right() - 2, y + 1);
            painter->restore();
            return;
        }
        const QRect column(r.left(), r.top(), r.height(), r.height());
        QColor textColour = pal.color(QPalette::WindowText);
        if (!enabled)
            textColour = pal.color(QPalette::Disabled, QPalette::WindowText);
        else if (selected)
            textColour = pal.color(QPalette::HighlightedText);
        if (item->checked) {
            DrawCheckMark(*painter, column.adjusted(4, 4, -4, -4), textColour);
        } else if (!item->icon.isNull()) {
            const QIcon::Mode mode = enabled ? QIcon::Normal : QIcon::Disabled;
            const QPixmap pixmap = item->icon.pixmap(QSize(CQorMenu::kIconSize, CQorMenu::kIconSize),
                                                     painter->device()->devicePixelRatioF(), mode);
            const QRect iconRect(0, 0, CQorMenu::kIconSize, CQorMenu::kIconSize);
            painter->drawPixmap(QRect(iconRect.translated(column.center() - iconRect.center())),
                                pixmap);
        }
        painter->setPen(textColour);
        painter->setFont(item->font);
        const QRect textRect = r.adjusted(column.width() + 4, 0, -8, 0);
        const int tab = item->text.indexOf(QLatin1Char('\t'));
        const int flags = Qt::TextShowMnemonic | Qt::TextSingleLine | Qt::AlignVCenter;
        painter->drawText(textRect, flags | Qt::AlignLeft, item->text.left(tab));
        if (tab >= 0)
            painter->drawText(textRect, flags | Qt::AlignRight, item->text.mid(tab + 1));
        if (item->menuItemType == QStyleOptionMenuItem::SubMenu) {
            QStyleOption arrow = *option;
            arrow.rect = QRect(r.right() - 10, r.top() + (r.height() - 8) / 2, 6, 8);
            arrow.palette.setColor(QPalette::ButtonText, textColour);
            proxy()->drawPrimitive(PE_IndicatorArrowRight, &arrow, painter, widget);
        }
        painter->restore();
    }

    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget) const override {
        if (element == PE_PanelMenu || element == PE_FrameMenu) {
            painter->fillRect(option->rect, kItemBackground);
            painter->setPen(QColor(150, 150, 155));
            painter->drawRect(option->rect.adjusted(0, 0, -1, -1));
            return;
        }
        QProxyStyle::drawPrimitive(element, option, painter, widget);
    }
};

QStyle* MenuStyle() {
    static QorMenuStyle* style = [] {
        auto* s = new QorMenuStyle;
        s->setParent(qApp);
        return s;
    }();
    return style;
}

QIcon ItemIcon(int icon, int disabledIcon) {
    if (icon == 0)
        return {};
    QIcon result;
    const QPixmap normal = SkinIconPixmap(icon);
    result.addPixmap(normal, QIcon::Normal);
    result.addPixmap(disabledIcon ? SkinIconPixmap(disabledIcon)
                                  : SkinIcon(icon).pixmap(16, QIcon::Disabled),
                     QIcon::Disabled);
    return result;
}

} // namespace

CQorMenu::CQorMenu(CMainDialog* window, QWidget* parent) : QMenu(parent), m_window(window) {
    setStyle(MenuStyle());
    setAttribute(Qt::WA_DeleteOnClose, false);
}

CQorMenu::~CQorMenu() = default;

QAction* CQorMenu::AppendMenuItem(int id, const QString& text, int icon, int disabledIcon,
                                  const QString& accelerator) {
    QString label = text;
    if (!accelerator.isEmpty())
        label += QLatin1Char('\t') + accelerator;
    QAction* action = addAction(ItemIcon(icon, disabledIcon), label);
    action->setData(id);
    action->setIconVisibleInMenu(true);
    const bool enabled = m_window ? m_window->IsCommandEnabled(id) : true;
    action->setEnabled(enabled);
    if (m_window && m_window->IsCommandChecked(id)) {
        action->setCheckable(true);
        action->setChecked(true);
    }
    CMainDialog* window = m_window;
    connect(action, &QAction::triggered, this, [window, id] {
        if (window)
            window->RunCommand(id);
    });
    return action;
}

QAction* CQorMenu::AppendAction(const QString& text, std::function<void()> run, bool enabled) {
    QAction* action = addAction(text);
    action->setEnabled(enabled);
    connect(action, &QAction::triggered, this, [run = std::move(run)] { run(); });
    return action;
}

void CQorMenu::AppendMenuSeparator() {
    addSeparator();
}

CQorMenu* CQorMenu::AppendSubmenu(const QString& text, int icon) {
    auto* sub = new CQorMenu(m_window, this);
    sub->setTitle(text);
    if (icon)
        sub->setIcon(ItemIcon(icon, 0));
    addMenu(sub);
    return sub;
}

QString AcceleratorKeyName(const AcceleratorEntry& entry) {
    QString name;
    if (entry.ctrl)
        name += QStringLiteral("Ctrl+");
    if (entry.shift)
        name += QStringLiteral("Shift+");
    if (entry.alt)
        name += QStringLiteral("Alt+");
    if (entry.virtualKey)
        name += QKeySequence(entry.key).toString(QKeySequence::NativeText);
    else if (entry.key != 27)
        name += QChar(entry.key);
    return name;
}

} // namespace mosaiq
