#include "apps/program_options.h"

#include <algorithm>

namespace morv {

std::span<const OptionSpec> ProgramOptionTable() {
  static const OptionSpec kOptions[] = {
      {"--help", "-h", nullptr, "show this help and exit", [](ProgramOptions& o, const std::string&) { o.help = true; }},
      {"--version", nullptr, nullptr, "show the version and exit",
       [](ProgramOptions& o, const std::string&) { o.version = true; }},
      {"--terminal", nullptr, nullptr, "run the dialog in the terminal even when a display is available",
       [](ProgramOptions& o, const std::string&) { o.terminal = true; }},
      {"--simulate", nullptr, nullptr, "run against emulated drives instead of real ones",
       [](ProgramOptions& o, const std::string&) { o.simulate = true; }},
      {"--trace", nullptr, "FILE", "append one line per SCSI command to FILE",
       [](ProgramOptions& o, const std::string& file) { o.traceFile = file; }},
  };
  return kOptions;
}

std::string ParseOptions(const std::vector<std::string>& args, std::span<const OptionSpec> table,
                         ProgramOptions& options) {
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    auto shortSpec = std::find_if(table.begin(), table.end(),
                                  [&](const OptionSpec& s) { return s.shortName && arg == s.shortName; });
    if (shortSpec != table.end() && !shortSpec->valueName) {
      shortSpec->apply(options, {});
      continue;
    }
    if (arg.rfind("--", 0) != 0 || arg == "--") {
      // A dash that is not an option is a mistyped one; "./-name" reaches such a file.
      if (!options.start.empty() || arg.empty() || arg[0] == '-') return "unexpected argument '" + arg + "'";
      options.start = arg;
      continue;
    }
    size_t equals = arg.find('=');
    std::string name = arg.substr(0, equals);
    auto spec = std::find_if(table.begin(), table.end(), [&](const OptionSpec& s) { return name == s.name; });
    if (spec == table.end()) return "unknown option '" + name + "'";

    std::string value;
    if (spec->valueName) {
      if (equals != std::string::npos) {
        value = arg.substr(equals + 1);
      } else if (i + 1 < args.size()) {
        value = args[++i];
      } else {
        return "option '" + name + "' needs a " + spec->valueName;
      }
      if (value.empty()) return "option '" + name + "' needs a " + spec->valueName;
    } else if (equals != std::string::npos) {
      return "option '" + name + "' takes no value";
    }
    spec->apply(options, value);
  }
  return {};
}

std::string UsageText(std::string_view program, std::string_view summary, std::span<const OptionSpec> table) {
  std::string text = "Usage: " + std::string(program) + " [OPTION]... [FOLDER | FILE.OUC]\n" + std::string(summary) +
                     "\nRuns in FOLDER, or beside FILE.OUC with that file chosen; else in the current folder.\n"
                     "\nOptions:\n";
  for (const auto& spec : table) {
    std::string left = spec.shortName ? std::string(spec.shortName) + ", " + spec.name : spec.name;
    if (spec.valueName) left += std::string(" ") + spec.valueName;
    left.resize(std::max<size_t>(left.size() + 2, 20), ' ');
    text += "  " + left + spec.help + "\n";
  }
  return text;
}

}  // namespace morv
