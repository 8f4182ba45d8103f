#pragma once
// The path the Run entry holds while the program starts at logon: the folder of the running
// program, a backslash, its name without extension, and ".exe". The folder keeps the backslash
// of a drive root, so a program at the root of a drive is "C:\\tidegauge.exe", two backslashes in
// a row. The options dialog ticks its box only when the stored value is this path to the
// character, so the rule stays as it is.
#include <string>
#include <string_view>

namespace tg {

std::string ProgramPathForRun(std::string_view folder, std::string_view stem);

// "C:\\Tools" for "C:\\Tools\\tidegauge.exe"; a drive root keeps its backslash: "C:\\".
std::string ProgramFolder(std::string_view modulePath);
// "tidegauge" for "C:\\Tools\\tidegauge.exe": the name up to its last dot.
std::string ProgramStem(std::string_view modulePath);

// ProgramPathForRun of the running executable, in UTF-8.
std::string RunningProgramPathForRun();

}  // namespace tg
