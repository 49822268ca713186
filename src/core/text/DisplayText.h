#pragma once

// Text from files and file names shown on one line: a name may hold a newline or other control
// characters, which would break a message in two or make an error line read like another one.

#include <QString>

namespace mosaiq {

// text with every control character escaped: \n, \r, \t and \\ as such, the others as \xNN (up
// to U+00FF) or \u{NNNN}, so it stays on one line and shows what is really there. A backslash is
// doubled only where the text holds control characters, so ordinary names read as they are.
QString EscapedForLine(const QString& text);

} // namespace mosaiq
