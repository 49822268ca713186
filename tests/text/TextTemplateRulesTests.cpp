// The text panel's template rules and the measuring rule's kerning.
#include "core/text/FixedText.h"
#include "text/TextDraw.h"
#include "text/TextFont.h"
#include "text/TextTemplateRules.h"

#include <gtest/gtest.h>

namespace mosaiq {
namespace {

TEST(TextTemplateRules, DefaultTemplateIsStyleZeroAtHeight48) {
    const TextTemplate t = DefaultTextTemplate(QStringLiteral("DejaVu Sans"));
    EXPECT_EQ(t.font.lfHeight, 48);
    EXPECT_EQ(t.font.lfWeight, 0);
    EXPECT_EQ(FaceName(t.font), QStringLiteral("DejaVu Sans"));
    EXPECT_EQ(t.style, 0);
    EXPECT_EQ(t.firstColour, MakeColorref(0, 255, 0));
    EXPECT_EQ(t.secondColour, MakeColorref(0, 156, 0));
    EXPECT_EQ(t.transparency, 0.0f);
    EXPECT_TRUE(ReadFixedText(t.text).isEmpty());
}

TEST(TextTemplateRules, ChoosingAStyleLoadsItsPairOverPickedColours) {
    TextTemplate t = DefaultTextTemplate(QStringLiteral("Arial"));
    t.firstColour = MakeColorref(1, 2, 3);
    ChooseTemplateStyle(t, 6);
    EXPECT_EQ(t.style, 6);
    EXPECT_EQ(t.firstColour, MakeColorref(255, 255, 255));
    EXPECT_EQ(t.secondColour, MakeColorref(255, 80, 255));
    ChooseTemplateStyle(t, 7);
    EXPECT_EQ(t.firstColour, MakeColorref(0, 25, 198));
    EXPECT_EQ(t.secondColour, MakeColorref(198, 25, 0));
    // Numbers outside the eight styles bring the pair of style 0.
    EXPECT_EQ(StylePreviewColours(9).first, MakeColorref(0, 255, 0));
    EXPECT_EQ(StylePreviewColours(-1).second, MakeColorref(0, 156, 0));
}

TEST(TextTemplateRules, TransparencySliderScale) {
    EXPECT_EQ(TransparencyFromSlider(0), 0.0f);
    EXPECT_FLOAT_EQ(TransparencyFromSlider(37), 0.37f);
    EXPECT_EQ(TransparencyFromSlider(100), 1.0f);
    EXPECT_EQ(TransparencyFromSlider(250), 1.0f);
    for (int p : {0, 1, 37, 50, 99, 100})
        EXPECT_EQ(SliderFromTransparency(TransparencyFromSlider(p)), p);
    EXPECT_EQ(SliderFromTransparency(std::numeric_limits<float>::quiet_NaN()), 0);
}

TEST(TextTemplateRules, EntryTextIsCutAtTheLimit) {
    bool cut = true;
    const QString fits(kTextEntryLimit - 1, QLatin1Char('a'));
    EXPECT_EQ(CutEntryText(fits, &cut), fits);
    EXPECT_FALSE(cut);

    // The record keeps 999 bytes: 1000 ASCII characters lose the last one.
    const QString kept = CutEntryText(QString(1500, QLatin1Char('b')), &cut);
    EXPECT_TRUE(cut);
    EXPECT_EQ(kept.size(), 999);
    TextRecord r;
    EXPECT_TRUE(WriteFixedText(r.text, kept));

    // Two-byte characters: 499 fit in 999 bytes, and no character is split.
    const QString wide = CutEntryText(QString(600, QChar(0x00E9)), &cut);
    EXPECT_TRUE(cut);
    EXPECT_EQ(wide.size(), 499);

    // A character outside the basic plane is kept whole or not at all.
    QString emoji;
    for (int i = 0; i < 300; ++i)
        emoji += QString::fromUcs4(U"\U0001F600");
    const QString e = CutEntryText(emoji, &cut);
    EXPECT_TRUE(cut);
    EXPECT_EQ(e.size() % 2, 0);
    EXPECT_FALSE(e.back().isHighSurrogate());
    EXPECT_TRUE(FitsFixedText(e, sizeof r.text));
}

TEST(TextTemplateRules, FontListLeavesOutVerticalFacesAndAharoni) {
    EXPECT_TRUE(IsListedFontFace(QStringLiteral("DejaVu Sans")));
    EXPECT_FALSE(IsListedFontFace(QStringLiteral("@MS Mincho")));
    EXPECT_FALSE(IsListedFontFace(QStringLiteral("Aharoni")));
    EXPECT_FALSE(IsListedFontFace(QString()));
}

TEST(TextTemplateRules, ObjectTemplateCarriesWordsAndLookOnTheFixedHeight) {
    TextRecord object;
    object.font.lfHeight = 90;
    WriteFixedText(object.font.lfFaceName, QStringLiteral("Liberation Serif"));
    WriteFixedText(object.text, QStringLiteral("two\nlines"));
    object.style = 4;
    object.firstColour = MakeColorref(9, 8, 7);
    object.secondColour = MakeColorref(1, 2, 3);
    object.transparency = 0.25f;
    const TextTemplate t = TemplateFromObject(object);
    EXPECT_EQ(t.font.lfHeight, kTemplateFontHeight);
    EXPECT_EQ(FaceName(t.font), QStringLiteral("Liberation Serif"));
    EXPECT_EQ(ReadFixedText(t.text), QStringLiteral("two\nlines"));
    EXPECT_EQ(t.style, 4);
    EXPECT_EQ(t.firstColour, object.firstColour);
    EXPECT_EQ(t.secondColour, object.secondColour);
    EXPECT_EQ(t.transparency, 0.25f);
}

// Existing projects store widths measured without pair kerning: "AV" pairs that a kerning font
// pulls together must measure as the sum of their letters.
TEST(MeasureTextKerning, PairsAreNotKerned) {
    LogFontA font;
    font.lfHeight = 64;
    WriteFixedText(font.lfFaceName, QStringLiteral("Arial"));
    double em = 0;
    MeasuringFont(font, &em);
    const double margins = 2 * (em / 6.0);
    const double a = MeasureText(font, QStringLiteral("A")).width() - margins;
    const double v = MeasureText(font, QStringLiteral("V")).width() - margins;
    const double word = MeasureText(font, QStringLiteral("AVAVAVAV")).width() - margins;
    // Each measurement truncates once: allow a pixel per letter measured (kerning
    // would take away about 9 %, over 20 pixels here).
    EXPECT_NEAR(word, 4 * (a + v), 10.0);
}

} // namespace
} // namespace mosaiq
