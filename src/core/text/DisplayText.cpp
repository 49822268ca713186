#include "core/text/DisplayText.h"

#include <algorithm>

namespace mosaiq {
namespace {

bool IsControl(QChar c) {
    return c.category() == QChar::Other_Control || c == QChar::LineSeparator ||
           c == QChar::ParagraphSeparator;
}

} // namespace

QString EscapedForLine(const QString& text) {
    if (std::none_of(text.begin(), text.end(), IsControl))
        return text;
    QString out;
    out.reserve(text.size() + 8);
    for (const QChar c : text) {
        if (c == QLatin1Char('\\'))
            out += QStringLiteral("\\\\");
        else if (c == QLatin1Char('\n'))
            out += QStringLiteral("\\n");
        else if (c == QLatin1Char('\r'))
            out += QStringLiteral("\\r");
        else if (c == QLatin1Char('\t'))
            out += QStringLiteral("\\t");
        else if (!IsControl(c))
            out += c;
        else if (c.unicode() <= 0xFF)
            out += QStringLiteral("\\x%1").arg(c.unicode(), 2, 16, QLatin1Char('0'));
        else
            out += QStringLiteral("\\u{%1}").arg(c.unicode(), 4, 16, QLatin1Char('0'));
    }
    return out;
}

QString LibraryMessage(const QString& text) {
    QString out;
    out.reserve(text.size());
    bool gap = false;
    for (const QChar c : text) {
        if (IsControl(c) || c.isSpace()) {
            gap = true;
            continue;
        }
        if (gap && !out.isEmpty())
            out += QLatin1Char(' ');
        gap = false;
        out += c;
    }
    return out;
}

QString LibraryMessage(const char* text) {
    return LibraryMessage(QString::fromUtf8(text ? text : ""));
}

} // namespace mosaiq
