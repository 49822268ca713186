#pragma once

// The text panel's rules without a window: the text template it keeps (a whole TextRecord), the
// colour pair each style brings, the transparency slider's scale, the entry field's limit and
// which installed fonts the font list offers.

#include "text/TextRecord.h"

#include <QString>

namespace mosaiq {

// The em height every template (and so every new text) is made with.
inline constexpr int kTemplateFontHeight = 48;
// The entry field holds at most this many characters; the record field also limits the UTF-8
// bytes to 999.
inline constexpr int kTextEntryLimit = 1000;

struct StyleColours {
    Colorref first = 0;
    Colorref second = 0;
};

// The preview pair of a style (any number outside 0..7 gives the pair of style 0).
StyleColours StylePreviewColours(int style);

// The panel's template at start: height 48, the face, style 0 with its pair, opaque, no text.
TextTemplate DefaultTextTemplate(const QString& faceName);

// Choosing a style row: the style number and its preview pair, overwriting picked colours.
void ChooseTemplateStyle(TextTemplate& t, int style);

// Sets the face name (cut to the 31 bytes the field holds).
void SetTemplateFace(TextTemplate& t, const QString& faceName);

// The transparency slider (0..100) and the template's value (0.0 opaque .. 1.0 invisible).
float TransparencyFromSlider(int position);
int SliderFromTransparency(float transparency);

// The entry text cut to what a text object keeps: at most kTextEntryLimit characters and 999
// UTF-8 bytes, never inside a character. cut tells whether anything was left out.
QString CutEntryText(const QString& text, bool* cut = nullptr);

// Whether a font family is offered by the font list (vertical "@" faces and "Aharoni" are not).
bool IsListedFontFace(const QString& family);

// The template that shows a text object in the panel: its face, text, style, colours and
// transparency on the template's fixed height.
TextTemplate TemplateFromObject(const TextRecord& object);

} // namespace mosaiq
