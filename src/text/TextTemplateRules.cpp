#include "text/TextTemplateRules.h"

#include "core/text/FixedText.h"

#include <algorithm>
#include <cmath>

namespace mosaiq {

StyleColours StylePreviewColours(int style) {
    static constexpr StyleColours kPairs[8] = {
        {MakeColorref(0, 255, 0), MakeColorref(0, 156, 0)},
        {MakeColorref(128, 65, 191), MakeColorref(255, 255, 255)},
        {MakeColorref(198, 25, 0), MakeColorref(255, 255, 255)},
        {MakeColorref(0, 25, 198), MakeColorref(255, 255, 255)},
        {MakeColorref(198, 25, 0), MakeColorref(255, 255, 0)},
        {MakeColorref(88, 66, 214), MakeColorref(255, 255, 255)},
        {MakeColorref(255, 255, 255), MakeColorref(255, 80, 255)},
        {MakeColorref(0, 25, 198), MakeColorref(198, 25, 0)},
    };
    return style >= 0 && style < 8 ? kPairs[style] : kPairs[0];
}

TextTemplate DefaultTextTemplate(const QString& faceName) {
    TextTemplate t;
    t.font.lfHeight = kTemplateFontHeight;
    SetTemplateFace(t, faceName);
    ChooseTemplateStyle(t, 0);
    t.transparency = 0.0f;
    return t;
}

void ChooseTemplateStyle(TextTemplate& t, int style) {
    const StyleColours pair = StylePreviewColours(style);
    t.style = style;
    t.firstColour = pair.first;
    t.secondColour = pair.second;
}

void SetTemplateFace(TextTemplate& t, const QString& faceName) {
    WriteFixedText(t.font.lfFaceName, faceName);
}

float TransparencyFromSlider(int position) {
    return float(double(std::clamp(position, 0, 100)) * 0.01);
}

int SliderFromTransparency(float transparency) {
    if (!(transparency > 0.0f))
        return 0;
    return std::clamp(int(std::lround(double(transparency) * 100.0)), 0, 100);
}

QString CutEntryText(const QString& text, bool* cut) {
    QString kept = text;
    if (kept.size() > kTextEntryLimit) {
        qsizetype end = kTextEntryLimit;
        // Never keep half of a surrogate pair.
        if (kept.at(end - 1).isHighSurrogate())
            --end;
        kept.truncate(end);
    }
    // The record keeps 999 UTF-8 bytes: stop before the first character that would not fit.
    constexpr qsizetype kFieldBytes = qsizetype(sizeof(TextRecord::text)) - 1;
    qsizetype bytes = 0;
    qsizetype i = 0;
    while (i < kept.size()) {
        const char16_t c = kept.at(i).unicode();
        const bool pair =
            QChar::isHighSurrogate(c) && i + 1 < kept.size() && kept.at(i + 1).isLowSurrogate();
        const qsizetype length = pair ? 4 : c < 0x80 ? 1 : c < 0x800 ? 2 : 3;
        if (bytes + length > kFieldBytes)
            break;
        bytes += length;
        i += pair ? 2 : 1;
    }
    kept.truncate(i);
    if (cut)
        *cut = kept.size() != text.size();
    return kept;
}

bool IsListedFontFace(const QString& family) {
    return !family.isEmpty() && !family.startsWith(QLatin1Char('@')) &&
           family != QLatin1String("Aharoni");
}

TextTemplate TemplateFromObject(const TextRecord& object) {
    TextTemplate t;
    t.font.lfHeight = kTemplateFontHeight;
    std::copy(std::begin(object.font.lfFaceName), std::end(object.font.lfFaceName),
              std::begin(t.font.lfFaceName));
    std::copy(std::begin(object.text), std::end(object.text), std::begin(t.text));
    t.style = object.style;
    t.firstColour = object.firstColour;
    t.secondColour = object.secondColour;
    t.transparency = object.transparency;
    return t;
}

} // namespace mosaiq
