#pragma once

// The user manual as the help window sees it: its pages (HTML files in one folder), their titles
// and plain text for searching, and the links and pictures each page names.

#include <QString>
#include <QStringList>

#include <vector>

namespace mosaiq {

struct ManualPage {
    QString file;  // the file name inside the manual's folder, e.g. "masks.html"
    QString title; // the page's <title>
    QString text;  // the visible text: markup, styles and scripts removed, entities decoded
    QString html;  // the page as stored
};

// Every "*.html" page of folder: the contents page ("index.html") first, then the pages in the
// order it links them, then the rest by file name. Pages
// larger than 1 MiB are not read (the manual's pages are a few kilobytes).
std::vector<ManualPage> ReadManualPages(const QString& folder);

// The visible text of an HTML page.
QString ManualPlainText(const QString& html);

struct ManualHit {
    QString file;
    QString title;
    int count = 0;     // how often the query's words occur on the page
    QString excerpt;   // a line of text around the first occurrence
};

// The pages that hold every word of query (case-insensitive, words of two letters or more),
// most occurrences first; title matches count ten times. Empty for an empty query.
std::vector<ManualHit> SearchManual(const std::vector<ManualPage>& pages, const QString& query);

// What a page links to: every href (other pages, "#anchors", "page.html#anchor") and every
// picture's src, in page order.
QStringList ManualLinkTargets(const QString& html);
QStringList ManualPictureSources(const QString& html);
// The anchors a page defines (id="…" and name="…").
QStringList ManualAnchors(const QString& html);

} // namespace mosaiq
