#pragma once

#include <QStringList>

namespace mosaiq {

// The program's arguments as text, the program name first.
QStringList ArgumentList(int argc, char** argv);

// Answers the editor's --help and --version on standard output. Returns true when one of them was
// given, so the editor exits without opening a window.
bool AnswerInformationOptions(const QStringList& arguments);

// The first argument before "--" that looks like an option and is not one the editor knows
// (--help, -h, --version); empty when there is none.
QString UnknownOption(const QStringList& arguments);

// The arguments after the program name that name files (options are left out).
QStringList FileArgumentsOf(const QStringList& arguments);

} // namespace mosaiq
