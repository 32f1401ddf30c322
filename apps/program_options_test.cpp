#include "apps/program_options.h"

#include <gtest/gtest.h>

namespace morv {
namespace {

TEST(ProgramOptions, ParsesTheProgramsOptions) {
  struct Case {
    std::vector<std::string> args;
    std::string error;
    bool help, version, terminal = false;
  } cases[] = {
      {{}, "", false, false},
      {{"--help"}, "", true, false},
      {{"--version"}, "", false, true},
      {{"--version", "--help"}, "", true, true},
      {{"--terminal"}, "", false, false, true},
      {{"--terminal=yes"}, "option '--terminal' takes no value", false, false},
      {{"--bogus"}, "unknown option '--bogus'", false, false},
      {{"--help", "--bogus=1"}, "unknown option '--bogus'", true, false},
      {{"-h"}, "", true, false},
      {{"-h", "--version"}, "", true, true},
      {{"-H"}, "unexpected argument '-H'", false, false},
      {{"-help"}, "unexpected argument '-help'", false, false},
      {{"--"}, "unexpected argument '--'", false, false},
      {{"--help=yes"}, "option '--help' takes no value", false, false},
      {{"--HELP"}, "unknown option '--HELP'", false, false},
  };
  for (const auto& c : cases) {
    ProgramOptions options;
    EXPECT_EQ(ParseOptions(c.args, ProgramOptionTable(), options), c.error) << testing::PrintToString(c.args);
    EXPECT_EQ(options.help, c.help) << testing::PrintToString(c.args);
    EXPECT_EQ(options.version, c.version) << testing::PrintToString(c.args);
    EXPECT_EQ(options.terminal, c.terminal) << testing::PrintToString(c.args);
  }
}

TEST(ProgramOptions, SimulateAndTrace) {
  struct Case {
    std::vector<std::string> args;
    std::string error;
    bool simulate;
    std::string traceFile;
  } cases[] = {
      {{"--simulate"}, "", true, ""},
      {{"--trace", "run.log"}, "", false, "run.log"},
      {{"--trace=run.log", "--simulate"}, "", true, "run.log"},
      {{"--simulate=yes"}, "option '--simulate' takes no value", false, ""},
      {{"--trace"}, "option '--trace' needs a FILE", false, ""},
  };
  for (const auto& c : cases) {
    ProgramOptions options;
    EXPECT_EQ(ParseOptions(c.args, ProgramOptionTable(), options), c.error) << testing::PrintToString(c.args);
    EXPECT_EQ(options.simulate, c.simulate) << testing::PrintToString(c.args);
    EXPECT_EQ(options.traceFile, c.traceFile) << testing::PrintToString(c.args);
  }
}

// Options with a value ("--trace FILE") take it from the next argument or after '='.
std::string g_value;
const OptionSpec kWithValue[] = {
    {"--trace", nullptr, "FILE", "append a line per command to FILE",
     [](ProgramOptions&, const std::string& v) { g_value = v; }},
    {"--help", "-h", nullptr, "show this help and exit", [](ProgramOptions& o, const std::string&) { o.help = true; }},
};

TEST(ProgramOptions, OptionsWithAValue) {
  struct Case {
    std::vector<std::string> args;
    std::string error;
    std::string value;
  } cases[] = {
      {{"--trace", "out.log"}, "", "out.log"},
      {{"--trace=out.log"}, "", "out.log"},
      {{"--trace", "--help"}, "", "--help"},  // the next argument is the value, whatever it looks like
      {{"--trace"}, "option '--trace' needs a FILE", ""},
      {{"--trace="}, "option '--trace' needs a FILE", ""},
      {{"--trace", "a", "b", "c"}, "unexpected argument 'c'", "a"},
  };
  for (const auto& c : cases) {
    g_value.clear();
    ProgramOptions options;
    EXPECT_EQ(ParseOptions(c.args, kWithValue, options), c.error) << testing::PrintToString(c.args);
    EXPECT_EQ(g_value, c.value) << testing::PrintToString(c.args);
  }
}

// One argument that is not an option is where to start; a second one, or one that
// looks like a mistyped option, is refused.
TEST(ProgramOptions, OneStartArgument) {
  struct Case {
    std::vector<std::string> args;
    std::string error;
    std::string start;
  } cases[] = {
      {{"R4410.OUC"}, "", "R4410.OUC"},
      {{"--simulate", "/media/usb"}, "", "/media/usb"},
      {{"pkg", "--terminal"}, "", "pkg"},
      {{"./-odd.OUC"}, "", "./-odd.OUC"},
      {{"a", "b"}, "unexpected argument 'b'", "a"},
      {{"-odd.OUC"}, "unexpected argument '-odd.OUC'", ""},
      {{""}, "unexpected argument ''", ""},
  };
  for (const auto& c : cases) {
    ProgramOptions options;
    EXPECT_EQ(ParseOptions(c.args, ProgramOptionTable(), options), c.error) << testing::PrintToString(c.args);
    EXPECT_EQ(options.start, c.start) << testing::PrintToString(c.args);
  }
}

TEST(ProgramOptions, HelpListsEveryOption) {
  std::string text = UsageText("Morvantide4", "Summary line.", kWithValue);
  EXPECT_EQ(text,
            "Usage: Morvantide4 [OPTION]... [FOLDER | FILE.OUC]\nSummary line.\n"
            "Runs in FOLDER, or beside FILE.OUC with that file chosen; else in the current folder.\n\nOptions:\n"
            "  --trace FILE        append a line per command to FILE\n"
            "  -h, --help          show this help and exit\n");
}

}  // namespace
}  // namespace morv
