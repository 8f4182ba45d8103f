#include "probe/ProbeOptions.h"

namespace tg::probe {
namespace {

constexpr std::string_view kUsage =
    "usage: tidegauge-probe --table [--table-file FILE] [--interfaces LIST]\n"
    "       tidegauge-probe --watch N [--interfaces LIST]\n"
    "       tidegauge-probe --dump FILE [--interfaces LIST]\n"
    "       tidegauge-probe --usage [--usage-file FILE]\n"
    "LIST is all, or NAME[,NAME...]. Without it the probe counts what the monitor counts: the\n"
    "stored choice of interfaces, or for --table-file the one saved in the file.\n";

using Mode = Options::Mode;

std::optional<long> ParseCount(const std::string& text) {
    if (text.empty() || text.size() > 9) return std::nullopt;
    long n = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        n = n * 10 + (c - '0');
    }
    return n > 0 ? std::optional<long>(n) : std::nullopt;
}

bool TakesValue(const std::string& name) {
    return name == "--table-file" || name == "--dump" || name == "--watch" || name == "--interfaces" ||
           name == "--usage-file";
}

std::string SetMode(Options& o, Mode mode) {
    if (o.mode != Mode::None && o.mode != mode) return "--table, --watch, --dump and --usage do not go together";
    o.mode = mode;
    return {};
}

// One option into `o`; the reason it cannot be taken, or empty.
std::string Apply(Options& o, const std::string& name, const std::string& value) {
    if (name == "--table") return SetMode(o, Mode::Table);
    if (name == "--table-file") {
        o.tableFile = value;
        return {};
    }
    if (name == "--dump") {
        o.dumpFile = value;
        return SetMode(o, Mode::Dump);
    }
    if (name == "--watch") {
        const auto n = ParseCount(value);
        if (!n) return "--watch needs a whole number of lines above 0, not '" + Printable(value) + "'";
        o.watchCount = *n;
        return SetMode(o, Mode::Watch);
    }
    if (name == "--usage") return SetMode(o, Mode::Usage);
    if (name == "--usage-file") {
        o.usageFile = value;
        return SetMode(o, Mode::Usage);
    }
    if (name == "--interfaces") {
        o.interfaces = SelectionFromOption(value);
        if (!o.interfaces) return "--interfaces needs all or NAME[,NAME...], not '" + Printable(value) + "'";
        return {};
    }
    return "unknown option '" + Printable(name) + "'";
}

std::string CheckCombination(const Options& o) {
    if (!o.tableFile.empty() && o.mode != Mode::Table) return "--table-file goes with --table";
    if (o.mode == Mode::None && o.interfaces) return "--interfaces goes with --table, --watch or --dump";
    if (o.mode == Mode::Usage && o.interfaces) return "--interfaces does not go with --usage";
    return {};
}

}  // namespace

std::string_view Usage() { return kUsage; }

std::optional<Options> ParseOptions(std::span<const std::string> args, std::string& problem) {
    Options o;
    problem.clear();
    for (std::size_t i = 0; i < args.size() && problem.empty(); ++i) {
        const std::string& name = args[i];
        if (name == "--help" || name == "-h") {
            o.mode = Mode::Help;
            return o;
        }
        if (!TakesValue(name)) {
            problem = Apply(o, name, {});
        } else if (i + 1 == args.size() || args[i + 1].starts_with("--")) {
            problem = name + " needs a value";
        } else {
            problem = Apply(o, name, args[++i]);
        }
    }
    if (problem.empty()) problem = CheckCombination(o);
    if (problem.empty()) return o;
    return std::nullopt;
}

std::string SelectionToOption(const InterfaceSelection& selection) {
    if (selection.GetMode() == InterfaceSelection::Mode::All) return "all";
    return SelectionToText(selection);
}

std::optional<InterfaceSelection> SelectionFromSaved(std::string_view text) {
    if (text.empty()) return InterfaceSelection();
    return SelectionFromOption(text);
}

std::string DescribeSelection(const InterfaceSelection& selection) {
    if (selection.GetMode() == InterfaceSelection::Mode::Automatic) return "automatic";
    return SelectionToOption(selection);
}

std::string Printable(std::string_view text) {
    static constexpr std::string_view kHex = "0123456789ABCDEF";
    std::string out;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x20 && byte != 0x7F) {
            out += c;
            continue;
        }
        out += "\\x";
        out += kHex[byte >> 4];
        out += kHex[byte & 0xF];
    }
    return out;
}

}  // namespace tg::probe
