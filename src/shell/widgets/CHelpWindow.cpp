#include "shell/widgets/CHelpWindow.h"

#include "shell/widgets/HelpPages.h"

#include <QBoxLayout>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QScreen>
#include <QScrollBar>
#include <QSplitter>
#include <QTextBrowser>
#include <QTimer>
#include <QToolButton>
#include <QUrl>

#include <algorithm>

namespace mosaiq {
namespace {

constexpr int kFileRole = Qt::UserRole;

QToolButton* MakeButton(const QString& text, QWidget* parent) {
    auto* button = new QToolButton(parent);
    button->setText(text);
    button->setToolButtonStyle(Qt::ToolButtonTextOnly);
    return button;
}

} // namespace

CHelpWindow::CHelpWindow(const QString& manualFolder, QWidget* parent)
    : QWidget(parent, Qt::Window), m_folder(manualFolder), m_pages(ReadManualPages(manualFolder)) {
    setWindowTitle(tr("Mosaiq Photo Editor Help"));
    setObjectName(QStringLiteral("HelpWindow"));
    resize(980, 720);

    m_back = MakeButton(tr("Back"), this);
    m_forward = MakeButton(tr("Forward"), this);
    m_home = MakeButton(tr("Contents"), this);
    m_search = new QLineEdit(this);
    m_search->setPlaceholderText(tr("Search the manual"));
    m_search->setClearButtonEnabled(true);
    auto* bar = new QHBoxLayout;
    bar->addWidget(m_back);
    bar->addWidget(m_forward);
    bar->addWidget(m_home);
    bar->addStretch(1);
    bar->addWidget(m_search, 2);

    auto* side = new QWidget(this);
    auto* sideLayout = new QVBoxLayout(side);
    sideLayout->setContentsMargins(0, 0, 0, 0);
    m_listTitle = new QLabel(side);
    m_list = new QListWidget(side);
    m_list->setWordWrap(true);
    sideLayout->addWidget(m_listTitle);
    sideLayout->addWidget(m_list);

    m_browser = new QTextBrowser(this);
    m_browser->setSearchPaths({m_folder});
    m_browser->setOpenExternalLinks(true);

    auto* split = new QSplitter(this);
    split->addWidget(side);
    split->addWidget(m_browser);
    split->setStretchFactor(1, 1);
    split->setSizes({240, 740});

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(bar);
    layout->addWidget(split, 1);

    connect(m_back, &QToolButton::clicked, m_browser, &QTextBrowser::backward);
    connect(m_forward, &QToolButton::clicked, m_browser, &QTextBrowser::forward);
    connect(m_home, &QToolButton::clicked, this, [this] { ShowPage(QStringLiteral("index.html")); });
    connect(m_browser, &QTextBrowser::backwardAvailable, m_back, &QWidget::setEnabled);
    connect(m_browser, &QTextBrowser::forwardAvailable, m_forward, &QWidget::setEnabled);
    connect(m_browser, &QTextBrowser::sourceChanged, this, &CHelpWindow::SourceChanged);
    connect(m_search, &QLineEdit::returnPressed, this, [this] { Search(m_search->text()); });
    connect(m_search, &QLineEdit::textChanged, this, [this](const QString& text) {
        if (text.trimmed().isEmpty())
            ListPages();
    });
    connect(m_list, &QListWidget::itemActivated, this, &CHelpWindow::ItemActivated);
    connect(m_list, &QListWidget::itemClicked, this, &CHelpWindow::ItemActivated);

    m_back->setEnabled(false);
    m_forward->setEnabled(false);
    ListPages();
    ShowPage(QStringLiteral("index.html"));
}

void CHelpWindow::ShowPage(const QString& page) {
    const qsizetype hash = page.indexOf(u'#');
    QUrl url = QUrl::fromLocalFile(m_folder + u'/' + (hash < 0 ? page : page.left(hash)));
    if (hash >= 0)
        url.setFragment(page.mid(hash + 1));
    m_browser->setSource(url);
}

QString CHelpWindow::CurrentPage() const {
    return QFileInfo(m_browser->source().toLocalFile()).fileName();
}

void CHelpWindow::ListPages() {
    m_lastQuery.clear();
    m_listTitle->setText(tr("Contents"));
    m_list->clear();
    for (const ManualPage& page : m_pages) {
        auto* item = new QListWidgetItem(page.title, m_list);
        item->setData(kFileRole, page.file);
    }
}

void CHelpWindow::Search(const QString& query) {
    if (m_search->text() != query)
        m_search->setText(query);
    if (query.trimmed().isEmpty()) {
        ListPages();
        return;
    }
    m_lastQuery = query.trimmed();
    const std::vector<ManualHit> hits = SearchManual(m_pages, query);
    m_list->clear();
    const QString found = hits.size() == 1 ? tr("1 page for \"%1\"")
                                           : tr("%1 pages for \"%2\"").arg(hits.size());
    m_listTitle->setText(hits.empty() ? tr("Nothing found for \"%1\"").arg(m_lastQuery)
                                      : found.arg(m_lastQuery));
    for (const ManualHit& hit : hits) {
        auto* item = new QListWidgetItem(hit.title + u'\n' + hit.excerpt, m_list);
        item->setData(kFileRole, hit.file);
        item->setToolTip(hit.excerpt);
    }
    if (!hits.empty()) {
        m_list->setCurrentRow(0);
        ItemActivated(m_list->item(0));
    }
}

void CHelpWindow::ItemActivated(QListWidgetItem* item) {
    if (!item)
        return;
    ShowPage(item->data(kFileRole).toString());
    if (m_lastQuery.isEmpty())
        return;
    // Mark the first place of the first word on the page, so the reader sees why it was found.
    const QString word = m_lastQuery.section(u' ', 0, 0, QString::SectionSkipEmpty);
    m_browser->moveCursor(QTextCursor::Start);
    if (m_browser->find(word)) {
        CentreOnCursor();
        // Once the page is laid out in full, again: its height may have grown.
        QTimer::singleShot(0, this, &CHelpWindow::CentreOnCursor);
    }
}

void CHelpWindow::CentreOnCursor() {
    // The hit in the middle of the view, with what comes before and after it.
    QScrollBar* bar = m_browser->verticalScrollBar();
    const int middle = m_browser->viewport()->height() / 2;
    bar->setValue(bar->value() + m_browser->cursorRect().center().y() - middle);
}

void CHelpWindow::SourceChanged() {
    const QString page = CurrentPage();
    if (!m_lastQuery.isEmpty())
        return; // the results stay listed while the reader goes through them
    for (int row = 0; row < m_list->count(); ++row) {
        if (m_list->item(row)->data(kFileRole).toString() == page) {
            const QSignalBlocker block(m_list);
            m_list->setCurrentRow(row);
            break;
        }
    }
}

QRect CentredOn(const QRect& owner, QSize size, const QRect& screen) {
    QRect placed(QPoint(0, 0), size);
    placed.moveCenter(owner.center());
    if (screen.isValid()) {
        placed.moveLeft(std::clamp(placed.left(), screen.left(),
                                   std::max(screen.left(), screen.right() + 1 - placed.width())));
        placed.moveTop(std::clamp(placed.top(), screen.top(),
                                  std::max(screen.top(), screen.bottom() + 1 - placed.height())));
    }
    return placed;
}

bool ShowHelpWindow(QWidget* owner) {
    static QPointer<CHelpWindow> window;
    const QString folder = UserManualFolder();
    if (folder.isEmpty())
        return false;
    if (!window) {
        window = new CHelpWindow(folder, owner);
        window->setAttribute(Qt::WA_DeleteOnClose);
        // Opened over the main window, centred on it, and never larger than its screen.
        if (owner) {
            const QRect screen = owner->screen() ? owner->screen()->availableGeometry() : QRect();
            if (screen.isValid())
                window->resize(window->size().boundedTo(screen.size() * 9 / 10));
            window->move(CentredOn(owner->frameGeometry(), window->size(), screen).topLeft());
        }
    }
    window->show();
    window->raise();
    window->activateWindow();
    return true;
}

} // namespace mosaiq
