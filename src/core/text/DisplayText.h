#pragma once

// Text from files and file names shown on one line: a name may hold a newline or other control
// characters, which would break a message in two or make an error line read like another one.

#include <QString>

namespace mosaiq {

// text with every control character escaped: \n, \r, \t and \\ as such, the others as \xNN (up
// to U+00FF) or \u{NNNN}, so it stays on one line and shows what is really there. A backslash is
// doubled only where the text holds control characters, so ordinary names read as they are.
QString EscapedForLine(const QString& text);

// A message of a library (libheif, libavif, the image library, a system error) as it is quoted in
// one of ours: trailing newlines and spaces removed, each run of other control characters inside
// it made one space, so a quoted message never carries a line of its own.
QString LibraryMessage(const QString& text);
QString LibraryMessage(const char* text);

} // namespace mosaiq
