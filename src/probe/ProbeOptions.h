#pragma once
// The probe's command line, and the text form of a selection it reads and writes (--interfaces,
// the selection block of a dump file).
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "counters/InterfaceSelection.h"

namespace tg::probe {

struct Options {
    enum class Mode { None, Help, Table, Watch, Dump, Usage } mode = Mode::None;
    std::string tableFile;
    std::string usageFile;  // --usage-file: another usage log than the user's
    std::string dumpFile;
    long watchCount = 0;
    std::optional<InterfaceSelection> interfaces;  // given: overrides the stored and the saved choice
};

std::string_view Usage();

// nullopt when the arguments do not make a command, with the reason in `problem` (one line).
std::optional<Options> ParseOptions(std::span<const std::string> args, std::string& problem);

// The --interfaces form: "all", or the names as the setting stores them; empty for automatic,
// which the option itself cannot name (leaving it out is automatic).
std::string SelectionToOption(const InterfaceSelection& selection);
// The same form read back, as a dump file's selection block holds it; nullopt when garbled.
std::optional<InterfaceSelection> SelectionFromSaved(std::string_view text);
// For people: "automatic", "all" or the list.
std::string DescribeSelection(const InterfaceSelection& selection);

// Text from the command line or a file, fit for a one-line message: control bytes as \xNN.
std::string Printable(std::string_view text);

}  // namespace tg::probe
