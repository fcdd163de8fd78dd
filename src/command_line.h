// Finding the tool's one argument, the path of the BSP file.
#ifndef LORVINK_COMMAND_LINE_H_
#define LORVINK_COMMAND_LINE_H_

#include <string>
#include <string_view>

namespace lorvink {

// Splits a whole Windows command line, program name first, the way the tool
// always has: bytes 1 to 32 separate arguments; a pair of double quotes where
// an argument would begin is skipped together with the separators after it;
// inside an argument a double quote opens a run that lasts to the next double
// quote or the end of the line and keeps its blanks; there is no escape
// character, so a backslash is ordinary and a quote can never be part of an
// argument. A NUL byte ends the line.
//
// Returns argument |index| (0 is the program name), or an empty string when
// the line has fewer arguments.
std::string WindowsArgument(std::string_view command_line, int index);

// On POSIX the shell has already split the line; argument 1 is the first
// non-empty element after the program name, so an empty element ("" typed at
// a shell) is skipped just as a pair of quotes is on Windows. Returns nullptr
// when there is none.
const char* PosixArgument1(int argc, const char* const* argv);

}  // namespace lorvink

#endif  // LORVINK_COMMAND_LINE_H_
