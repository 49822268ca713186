#include "shell/ManualPages.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>

#include <algorithm>

namespace mosaiq {
namespace {

constexpr qint64 kLargestPage = 1 << 20;

QString DecodeEntities(QString text) {
    static const QRegularExpression numeric(QStringLiteral("&#(x?)([0-9A-Fa-f]+);"));
    QString out;
    qsizetype last = 0;
    for (auto it = numeric.globalMatch(text); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        out += text.mid(last, m.capturedStart() - last);
        bool ok = false;
        const uint code = m.captured(2).toUInt(&ok, m.captured(1).isEmpty() ? 10 : 16);
        if (ok && code > 0 && code <= 0x10FFFF)
            out += QString::fromUcs4(reinterpret_cast<const char32_t*>(&code), 1);
        last = m.capturedEnd();
    }
    out += text.mid(last);
    out.replace(QStringLiteral("&nbsp;"), QStringLiteral(" "));
    out.replace(QStringLiteral("&lt;"), QStringLiteral("<"));
    out.replace(QStringLiteral("&gt;"), QStringLiteral(">"));
    out.replace(QStringLiteral("&quot;"), QStringLiteral("\""));
    out.replace(QStringLiteral("&amp;"), QStringLiteral("&"));
    return out;
}

QStringList Captures(const QString& html, const QRegularExpression& pattern) {
    QStringList found;
    for (auto it = pattern.globalMatch(html); it.hasNext();)
        found << DecodeEntities(it.next().captured(1));
    return found;
}

QStringList Words(const QString& query) {
    QStringList words;
    for (const QString& word : query.toLower().split(QRegularExpression(QStringLiteral("\\W+")),
                                                     Qt::SkipEmptyParts))
        if (word.size() >= 2)
            words << word;
    return words;
}

QString Excerpt(const QString& text, qsizetype at) {
    const qsizetype start = std::max<qsizetype>(0, at - 40);
    QString line = text.mid(start, 110).simplified();
    if (start > 0)
        line.prepend(QStringLiteral("…"));
    return line;
}

} // namespace

QString ManualPlainText(const QString& html) {
    static const QRegularExpression hidden(QStringLiteral("<(style|script|head)\\b.*?</\\1>"),
                                           QRegularExpression::CaseInsensitiveOption |
                                               QRegularExpression::DotMatchesEverythingOption);
    // Block elements part words; inline ones (b, i, code, a, kbd) sit inside a word's run.
    static const QRegularExpression block(
        QStringLiteral("</?(p|br|li|ol|ul|h[1-6]|td|th|tr|table|div|pre|dt|dd|dl)\\b[^>]*>"),
        QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression tag(QStringLiteral("<[^>]*>"));
    // The line of links back to the contents at the top of each page is not part of its text.
    static const QRegularExpression nav(QStringLiteral("<p class=\"nav\">.*?</p>"),
                                        QRegularExpression::DotMatchesEverythingOption);
    QString text = html;
    text.remove(hidden);
    text.remove(nav);
    text.replace(block, QStringLiteral(" "));
    text.remove(tag);
    return DecodeEntities(text).simplified();
}

std::vector<ManualPage> ReadManualPages(const QString& folder) {
    static const QRegularExpression title(QStringLiteral("<title>(.*?)</title>"),
                                          QRegularExpression::CaseInsensitiveOption |
                                              QRegularExpression::DotMatchesEverythingOption);
    std::vector<ManualPage> pages;
    // The contents page first, then the pages in the order it lists them, then any others.
    QStringList names = QDir(folder).entryList({QStringLiteral("*.html")}, QDir::Files, QDir::Name);
    QStringList ordered;
    if (names.removeOne(QStringLiteral("index.html"))) {
        ordered << QStringLiteral("index.html");
        QFile index(QDir(folder).filePath(ordered.front()));
        if (index.size() <= kLargestPage && index.open(QIODevice::ReadOnly)) {
            for (const QString& link : ManualLinkTargets(QString::fromUtf8(index.readAll()))) {
                const QString file = link.section(u'#', 0, 0);
                if (names.removeOne(file))
                    ordered << file;
            }
        }
    }
    names = ordered + names;
    for (const QString& name : names) {
        QFile file(QDir(folder).filePath(name));
        if (file.size() > kLargestPage || !file.open(QIODevice::ReadOnly))
            continue;
        ManualPage page;
        page.file = name;
        page.html = QString::fromUtf8(file.readAll());
        const QRegularExpressionMatch m = title.match(page.html);
        page.title = m.hasMatch() ? DecodeEntities(m.captured(1)).simplified() : name;
        page.text = ManualPlainText(page.html);
        pages.push_back(std::move(page));
    }
    return pages;
}

std::vector<ManualHit> SearchManual(const std::vector<ManualPage>& pages, const QString& query) {
    const QStringList words = Words(query);
    std::vector<ManualHit> hits;
    if (words.isEmpty())
        return hits;
    for (const ManualPage& page : pages) {
        const QString text = page.text.toLower();
        const QString title = page.title.toLower();
        ManualHit hit{page.file, page.title, 0, {}};
        qsizetype first = -1;
        bool every = true;
        for (const QString& word : words) {
            const int inText = int(text.count(word));
            const int inTitle = int(title.count(word));
            if (inText + inTitle == 0) {
                every = false;
                break;
            }
            hit.count += inText + 10 * inTitle;
            const qsizetype at = text.indexOf(word);
            if (at >= 0 && (first < 0 || at < first))
                first = at;
        }
        if (!every)
            continue;
        hit.excerpt = first >= 0 ? Excerpt(page.text, first) : QString();
        hits.push_back(std::move(hit));
    }
    std::stable_sort(hits.begin(), hits.end(),
                     [](const ManualHit& a, const ManualHit& b) { return a.count > b.count; });
    return hits;
}

QStringList ManualLinkTargets(const QString& html) {
    static const QRegularExpression href(QStringLiteral("<a\\b[^>]*\\bhref=\"([^\"]*)\""),
                                         QRegularExpression::CaseInsensitiveOption);
    return Captures(html, href);
}

QStringList ManualPictureSources(const QString& html) {
    static const QRegularExpression src(QStringLiteral("<img\\b[^>]*\\bsrc=\"([^\"]*)\""),
                                        QRegularExpression::CaseInsensitiveOption);
    return Captures(html, src);
}

QStringList ManualAnchors(const QString& html) {
    static const QRegularExpression anchor(QStringLiteral("\\b(?:id|name)=\"([^\"]*)\""),
                                           QRegularExpression::CaseInsensitiveOption);
    return Captures(html, anchor);
}

} // namespace mosaiq
