#pragma once

// The help window: the user manual shown by the editor itself, so it works with no web browser.
// Contents on the left (the manual's pages, then search results), the page on the right, Back,
// Forward and Contents above it, and a search field that finds pages holding every word.

#include "shell/ManualPages.h"

#include <QWidget>

class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QTextBrowser;
class QToolButton;
class QLabel;

namespace mosaiq {

class CHelpWindow : public QWidget {
    Q_OBJECT
public:
    // manualFolder holds the pages; the contents page "index.html" is shown first.
    explicit CHelpWindow(const QString& manualFolder, QWidget* parent = nullptr);

    // Shows page (a file name of the manual, optionally with "#anchor").
    void ShowPage(const QString& page);
    // Runs a search as if typed into the search field; the results replace the page list.
    void Search(const QString& query);

    QTextBrowser* Browser() const { return m_browser; }
    QListWidget* Contents() const { return m_list; }
    QLineEdit* SearchField() const { return m_search; }
    QToolButton* BackButton() const { return m_back; }
    QToolButton* ForwardButton() const { return m_forward; }
    // The file name of the page shown ("index.html").
    QString CurrentPage() const;

private:
    void ListPages();
    void ItemActivated(QListWidgetItem* item);
    void SourceChanged();
    void CentreOnCursor();

    QString m_folder;
    std::vector<ManualPage> m_pages;
    QString m_lastQuery;
    QTextBrowser* m_browser;
    QListWidget* m_list;
    QLineEdit* m_search;
    QLabel* m_listTitle;
    QToolButton* m_back;
    QToolButton* m_forward;
    QToolButton* m_home;
};

// A window of size centred on owner, moved inside screen where it would reach past it.
QRect CentredOn(const QRect& owner, QSize size, const QRect& screen);

// The one help window of the editor, made on first use and brought to the front afterwards;
// false (and nothing shown) when the manual cannot be found.
bool ShowHelpWindow(QWidget* owner);

} // namespace mosaiq
