#pragma once
// The command-line options both programs accept. Without options a program runs
// its dialog as it always has; the options only add to that.

#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace morv {

struct ProgramOptions {
  bool help = false;
  bool version = false;
  bool terminal = false;   ///< --terminal: the dialog in the terminal even with a display
  bool simulate = false;   ///< --simulate: emulated drives instead of real ones
  std::string traceFile;   ///< --trace FILE: where to append a line per command
  /// The one argument that is not an option: a folder to run in, or a parameter file
  /// to run beside and choose at start.
  std::string start;
  /// The parameter file to choose in the list at start (set once `start` has been
  /// resolved and its folder entered); empty for none.
  std::string startFile;
};

/// One option: its name ("--help") and short name ("-h"), whether it takes a value
/// ("--name VALUE" or "--name=VALUE"), its line in the help text, and how it changes
/// the options.
struct OptionSpec {
  const char* name;
  const char* shortName;  ///< nullptr for options without one
  const char* valueName;  ///< nullptr for options without a value
  const char* help;
  void (*apply)(ProgramOptions& options, const std::string& value);
};

/// The options of both programs.
std::span<const OptionSpec> ProgramOptionTable();

/// Parses `args` (without the program path) against `table` into `options`; one
/// argument that is not an option goes into `options.start`. Returns the empty text,
/// or a one-line description of the first bad argument.
std::string ParseOptions(const std::vector<std::string>& args, std::span<const OptionSpec> table,
                         ProgramOptions& options);

/// The --help text: a usage line, `summary`, and one line per option.
std::string UsageText(std::string_view program, std::string_view summary, std::span<const OptionSpec> table);

}  // namespace morv
