#include "text/TextDraw.h"
#include "text/TextFont.h"

#include "TextTestSupport.h"

#include <QFontDatabase>

#include <gtest/gtest.h>

#include <climits>

using namespace mosaiq;
using mosaiq::test::MakeTextRecord;

namespace {

LogFontA Font(int height, const char* face = "Arial") {
    LogFontA f;
    f.lfHeight = height;
    WriteFixedText(f.lfFaceName, QString::fromLatin1(face));
    return f;
}

TEST(MeasureText, SameFontAndTextGiveTheSameSize) {
    const QSize a = MeasureText(Font(48), QStringLiteral("Hello world"));
    const QSize b = MeasureText(Font(48), QStringLiteral("Hello world"));
    EXPECT_EQ(a, b);
    EXPECT_FALSE(a.isEmpty());
    EXPECT_EQ(MeasureText(MakeTextRecord(QStringLiteral("Hello world"))), a);
}

TEST(MeasureText, HeightIsOneLineOfTheEmSizeInNinetySixDpiPoints) {
    // lfHeight 48 -> 36 pt -> 48 px em; a line of a sans face is a little over one em.
    const QSize size = MeasureText(Font(48), QStringLiteral("Ag"));
    EXPECT_GE(size.height(), 52);
    EXPECT_LE(size.height(), 60);
    // Integer arithmetic: 41 * 15 / 20 = 30 pt, the same as lfHeight 40 (30 pt).
    EXPECT_EQ(MeasureText(Font(41), QStringLiteral("Ag")),
              MeasureText(Font(40), QStringLiteral("Ag")));
    EXPECT_NE(MeasureText(Font(42), QStringLiteral("Ag")),
              MeasureText(Font(40), QStringLiteral("Ag")));
}

TEST(MeasureText, NegativeHeightMeasuresLikeItsAbsoluteValue) {
    EXPECT_EQ(MeasureText(Font(-48), QStringLiteral("Sign")),
              MeasureText(Font(48), QStringLiteral("Sign")));
}

TEST(MeasureText, LongerTextIsWiderAndMoreLinesAreTaller) {
    const QSize one = MeasureText(Font(48), QStringLiteral("Text"));
    const QSize two = MeasureText(Font(48), QStringLiteral("Text Text"));
    EXPECT_GT(two.width(), one.width());
    EXPECT_EQ(two.height(), one.height());
    const QSize lines = MeasureText(Font(48), QStringLiteral("Text\nText Text"));
    EXPECT_EQ(lines.width(), two.width());
    EXPECT_NEAR(lines.height(), 2 * one.height(), 1);
    EXPECT_EQ(MeasureText(Font(48), QStringLiteral("Text\r\nText Text")), lines);
}

TEST(MeasureText, TrailingSpacesDoNotWidenTheBox) {
    EXPECT_EQ(MeasureText(Font(48), QStringLiteral("Text   ")),
              MeasureText(Font(48), QStringLiteral("Text")));
}

TEST(MeasureText, LongTextsAreMeasuredWhole) {
    // Every character adds its advance: no cut at 259 characters or anywhere else.
    auto width = [](int n) { return MeasureText(Font(24), QString(n, QLatin1Char('x'))).width(); };
    const double advance = (width(600) - width(259)) / 341.0;
    EXPECT_GT(advance, 5.0);
    EXPECT_NEAR(width(259) - width(1), 258 * advance, 2);
    EXPECT_NEAR(width(999) - width(600), 399 * advance, 2);
}

TEST(MeasureText, NothingToMeasure) {
    EXPECT_EQ(MeasureText(Font(48), QString()), QSize(0, 0));
    EXPECT_EQ(MeasureText(Font(0), QStringLiteral("Text")), QSize(0, 0));
    EXPECT_EQ(MeasureText(Font(1), QStringLiteral("Text")), QSize(0, 0)); // 1 * 15 / 20 = 0 pt
}

TEST(MeasureText, AbsurdHeightsFromDamagedRecordsStayBounded) {
    const QSize biggest = MeasureText(Font(kMaxFontHeight), QStringLiteral("A"));
    EXPECT_EQ(MeasureText(Font(INT_MIN), QStringLiteral("A")), biggest);
    EXPECT_EQ(MeasureText(Font(INT_MAX), QStringLiteral("A")), biggest);
    EXPECT_GT(biggest.height(), 0);
}

TEST(FontFaces, WindowsFacesFallBackToInstalledFamilies) {
    if (!QFontDatabase::hasFamily(QStringLiteral("Liberation Sans")))
        GTEST_SKIP() << "fonts-liberation2 is not installed";
    EXPECT_EQ(ResolveFace(QStringLiteral("Arial")).family, QStringLiteral("Liberation Sans"));
    EXPECT_EQ(ResolveFace(QStringLiteral("Times New Roman")).family,
              QStringLiteral("Liberation Serif"));
    const ResolvedFace black = ResolveFace(QStringLiteral("Arial Black"));
    EXPECT_EQ(black.family, QStringLiteral("Liberation Sans"));
    EXPECT_EQ(black.weight, QFont::Black);
}

TEST(FontFaces, MissingAndEmptyFacesStillHaveAFamily) {
    for (const QString& face :
         {QStringLiteral("No Such Face 123"), QString(), QStringLiteral("  ")}) {
        const ResolvedFace resolved = ResolveFace(face);
        EXPECT_FALSE(resolved.family.isEmpty()) << face.toStdString();
        EXPECT_TRUE(QFontDatabase::hasFamily(resolved.family)) << resolved.family.toStdString();
    }
    EXPECT_FALSE(MeasureText(Font(48, "No Such Face 123"), QStringLiteral("Text")).isEmpty());
}

TEST(FontFaces, LogicalFontHeightFollowsTheSignRule) {
    int em = 0;
    const QFont character = LogicalFont(Font(-40), &em);
    EXPECT_EQ(em, 40); // a character height is the em height
    EXPECT_EQ(character.pixelSize(), 40);
    const QFont cell = LogicalFont(Font(40), &em);
    EXPECT_LT(em, 40); // a cell height holds ascent and descent, so the em is smaller
    EXPECT_GT(em, 30);
    LogFontA bold = Font(40);
    bold.lfWeight = 700;
    bold.lfItalic = 1;
    const QFont f = LogicalFont(bold);
    EXPECT_EQ(f.weight(), QFont::Bold);
    EXPECT_TRUE(f.italic());
    EXPECT_EQ(cell.weight(), QFont::Normal);
}

} // namespace
