// The user manual as shipped: every link reaches a page and anchor that exist, every picture
// exists, every mosaiq-cli command has its section, and the search finds what a reader asks for.
#include "shell/ManualPages.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>

#include <gtest/gtest.h>

namespace mosaiq {
namespace {

const QString kManual = QStringLiteral(MOSAIQ_MANUAL_DIR);

const ManualPage* Find(const std::vector<ManualPage>& pages, const QString& file) {
    for (const ManualPage& page : pages)
        if (page.file == file)
            return &page;
    return nullptr;
}

TEST(Manual, HasAContentsPageThatReachesEveryOtherPage) {
    const std::vector<ManualPage> pages = ReadManualPages(kManual);
    ASSERT_GE(pages.size(), 10u);
    ASSERT_EQ(pages.front().file, QStringLiteral("index.html"));
    const QStringList links = ManualLinkTargets(pages.front().html);
    // The help window lists the pages in the order of the contents.
    EXPECT_EQ(pages[1].file, links.front());
    for (const ManualPage& page : pages) {
        EXPECT_FALSE(page.title.isEmpty()) << page.file.toStdString();
        if (page.file != QStringLiteral("index.html")) {
            EXPECT_TRUE(links.contains(page.file)) << page.file.toStdString() << " is not in the contents";
        }
    }
}

TEST(Manual, EveryLinkAndPictureResolves) {
    const std::vector<ManualPage> pages = ReadManualPages(kManual);
    int checked = 0;
    for (const ManualPage& page : pages) {
        for (const QString& link : ManualLinkTargets(page.html)) {
            if (link.startsWith(QStringLiteral("http:")) || link.startsWith(QStringLiteral("https:")) ||
                link.startsWith(QStringLiteral("mailto:"))) {
                ADD_FAILURE() << page.file.toStdString() << " links outside the manual: " << link.toStdString();
                continue;
            }
            const qsizetype hash = link.indexOf(u'#');
            const QString file = hash < 0 ? link : link.left(hash);
            const QString anchor = hash < 0 ? QString() : link.mid(hash + 1);
            const ManualPage* target = file.isEmpty() ? &page : Find(pages, file);
            ASSERT_NE(target, nullptr) << page.file.toStdString() << " links to a missing page "
                                       << link.toStdString();
            if (!anchor.isEmpty()) {
                EXPECT_TRUE(ManualAnchors(target->html).contains(anchor))
                    << page.file.toStdString() << " links to a missing anchor " << link.toStdString();
            }
            ++checked;
        }
        for (const QString& picture : ManualPictureSources(page.html)) {
            EXPECT_TRUE(QFileInfo(QDir(kManual).filePath(picture)).isFile())
                << page.file.toStdString() << " shows a missing picture " << picture.toStdString();
            ++checked;
        }
    }
    EXPECT_GT(checked, 50);
}

TEST(Manual, EveryCommandLineCommandHasItsSection) {
    QProcess cli;
    cli.start(QStringLiteral(MOSAIQ_CLI_PATH), {QStringLiteral("--help")});
    ASSERT_TRUE(cli.waitForFinished(30000));
    const QString usage = QString::fromUtf8(cli.readAllStandardOutput());
    static const QRegularExpression command(QStringLiteral("^  ([a-z][a-z-]*)"),
                                            QRegularExpression::MultilineOption);
    QStringList names;
    for (auto it = command.globalMatch(usage); it.hasNext();)
        names << it.next().captured(1);
    ASSERT_GE(names.size(), 10) << usage.toStdString();
    const std::vector<ManualPage> pages = ReadManualPages(kManual);
    const ManualPage* cliPage = Find(pages, QStringLiteral("cli.html"));
    ASSERT_NE(cliPage, nullptr);
    const QStringList anchors = ManualAnchors(cliPage->html);
    for (const QString& name : names)
        EXPECT_TRUE(anchors.contains(QStringLiteral("cli-") + name))
            << "mosaiq-cli " << name.toStdString() << " has no section in cli.html";
}

TEST(ManualText, DropsMarkupAndDecodesEntities) {
    EXPECT_EQ(ManualPlainText(QStringLiteral(
                  "<html><head><title>T</title><style>p{color:red}</style></head>"
                  "<body><p class=\"nav\"><a href=\"index.html\">Contents</a></p>"
                  "<p>Masks &amp; frames&nbsp;&#8594; <b>here</b>&lt;</p></body></html>")),
              QStringLiteral("Masks & frames \u2192 here<"));
}

TEST(ManualSearch, FindsPagesWithEveryWordTitlesFirst) {
    std::vector<ManualPage> pages(3);
    pages[0] = {QStringLiteral("a.html"), QStringLiteral("Frames"), QStringLiteral("a mask here and a frame"), {}};
    pages[1] = {QStringLiteral("b.html"), QStringLiteral("Masks"), QStringLiteral("make your own mask"), {}};
    pages[2] = {QStringLiteral("c.html"), QStringLiteral("Text"), QStringLiteral("styles and fonts"), {}};
    std::vector<ManualHit> hits = SearchManual(pages, QStringLiteral("MASK"));
    ASSERT_EQ(hits.size(), 2u);
    EXPECT_EQ(hits[0].file, QStringLiteral("b.html")); // the title counts most
    EXPECT_TRUE(hits[0].excerpt.contains(QStringLiteral("mask")));
    hits = SearchManual(pages, QStringLiteral("mask frame"));
    ASSERT_EQ(hits.size(), 1u);
    EXPECT_EQ(hits[0].file, QStringLiteral("a.html"));
    EXPECT_TRUE(SearchManual(pages, QStringLiteral("  ")).empty());
    EXPECT_TRUE(SearchManual(pages, QStringLiteral("wallpaper")).empty());
}

TEST(ManualSearch, TheRealManualAnswersCommonQuestions) {
    const std::vector<ManualPage> pages = ReadManualPages(kManual);
    for (const char* query : {"mask", "frame", "undo", "convert", "calendar", "wallpaper", "pack",
                              "missing photos", "data folder", "keyboard"}) {
        EXPECT_FALSE(SearchManual(pages, QString::fromLatin1(query)).empty()) << query;
    }
}

} // namespace
} // namespace mosaiq
