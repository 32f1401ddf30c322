#include "apps/cli/cli_options.h"

#include <algorithm>
#include <array>

namespace morv {
namespace {

constexpr std::array<const char*, 4> kCommands = {"list", "check", "flash", "history"};

bool NeedsPackage(const std::string& command) { return command == "check" || command == "flash"; }

}  // namespace

std::string ParseCliOptions(const std::vector<std::string>& args, CliOptions& options) {
  std::vector<std::string> operands;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    const size_t equals = arg.rfind("--", 0) == 0 ? arg.find('=') : std::string::npos;
    const std::string name = arg.substr(0, equals);
    auto value = [&](std::string& into) -> std::string {
      if (equals != std::string::npos)
        into = arg.substr(equals + 1);
      else if (i + 1 < args.size())
        into = args[++i];
      if (into.empty()) return "option '" + name + "' needs a value";
      return {};
    };
    std::string error;
    if (name == "-h" || name == "--help") options.help = true;
    else if (name == "--version") options.version = true;
    else if (name == "-y" || name == "--yes") options.yes = true;
    else if (name == "--json") options.json = true;
    else if (name == "--simulate") options.simulate = true;
    else if (name == "-d" || name == "--drive") error = value(options.drive);
    else if (name == "--trace") error = value(options.traceFile);
    else if (arg == "--") {
      operands.insert(operands.end(), args.begin() + static_cast<long>(i) + 1, args.end());
      break;
    } else if (arg.size() > 1 && arg[0] == '-') return "unknown option '" + name + "'";
    else {
      operands.push_back(arg);
      continue;
    }
    if (!error.empty()) return error;
    if (equals != std::string::npos && name != "--drive" && name != "--trace")
      return "option '" + name + "' takes no value";
  }
  if (options.help || options.version) return {};
  if (operands.empty()) return "no command given (list, check, flash or history)";
  options.command = operands[0];
  if (std::find(kCommands.begin(), kCommands.end(), options.command) == kCommands.end())
    return "unknown command '" + options.command + "'";
  const size_t wanted = NeedsPackage(options.command) ? 2 : 1;
  if (operands.size() < wanted) return "'" + options.command + "' needs a package (FILE.OUC)";
  if (operands.size() > wanted) return "unexpected argument '" + operands[wanted] + "'";
  if (wanted == 2) options.package = operands[1];
  if (NeedsPackage(options.command) && options.drive.empty()) return "'" + options.command + "' needs --drive D";
  if (!NeedsPackage(options.command) && !options.drive.empty())
    return "'" + options.command + "' takes no --drive";
  if (options.yes && options.command != "flash") return "--yes is for 'flash' only";
  return {};
}

std::string CliUsageText() {
  return "Usage: morvantide [OPTION]... list\n"
         "  or:  morvantide [OPTION]... check PACKAGE.OUC --drive D\n"
         "  or:  morvantide [OPTION]... flash PACKAGE.OUC --drive D [--yes]\n"
         "  or:  morvantide [OPTION]... history\n"
         "Flashes the firmware of a KESTREL MX-R4410 DVD-RAM drive from the command line.\n"
         "\n"
         "Commands:\n"
         "  list                every drive, by drive letter and by adapter:target:LUN\n"
         "  check PACKAGE.OUC   the package's checks against drive D; nothing is written\n"
         "  flash PACKAGE.OUC   check, ask, write the firmware into drive D, read its version back\n"
         "  history             the updates recorded so far\n"
         "\n"
         "Options:\n"
         "  -d, --drive D       E: (drive letter), /dev/sg4 (its node: E:), or 0:2:0 (adapter:target:LUN)\n"
         "  -y, --yes           flash without asking (needed when standard input is not a terminal)\n"
         "      --json          print the result as JSON on standard output\n"
         "      --simulate      use the emulated drives instead of real ones\n"
         "      --trace FILE    append one line per SCSI command to FILE\n"
         "  -h, --help          show this help and exit\n"
         "      --version       show the version and exit\n"
         "\n"
         "Exit status: 0 done, 1 other failure, 2 usage, 3 package refused, 4 drive refused or failed\n"
         "before any WRITE BUFFER, 5 failed during the download, 6 not confirmed, 128+N ended by signal N.\n";
}

}  // namespace morv
