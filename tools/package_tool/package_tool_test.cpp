#include "tools/package_tool/package_tool.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "engine/firmware_image.h"
#include "engine/package_writer.h"
#include "engine/testing/temp_directory.h"
#include "sim/revision_stamp.h"

namespace morv {
namespace {

struct ToolRun {
  int exitCode;
  std::string out;
  std::string err;
};

ToolRun Tool(const std::vector<std::string>& args) {
  std::ostringstream out, err;
  int code = RunPackageTool(args, out, err);
  return {code, out.str(), err.str()};
}

bool Contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

TEST(PackageTool, MadePackagesPassTheirCheck) {
  struct Case {
    const char* regions;
    const char* regionLines;
  } cases[] = {
      {"1,2,3",
       "region 1:       \"1\" write 0x00000-0x0FFFF (64 KiB: blocks 0-3)\n"
       "region 2:       \"1\" write 0x10000-0x79FFF (424 KiB: blocks 4-29, first half of block 30)\n"
       "region 3:       \"1\" write 0x7A000-0x7FFFF (24 KiB: second half of block 30, block 31)\n"},
      {"3,1",
       "region 1:       \"1\" write 0x00000-0x0FFFF (64 KiB: blocks 0-3)\n"
       "region 2:       \"0\" skip  0x10000-0x79FFF (424 KiB: blocks 4-29, first half of block 30)\n"
       "region 3:       \"1\" write 0x7A000-0x7FFFF (24 KiB: second half of block 30, block 31)\n"},
      {"none",
       "region 1:       \"0\" skip  0x00000-0x0FFFF (64 KiB: blocks 0-3)\n"
       "region 2:       \"0\" skip  0x10000-0x79FFF (424 KiB: blocks 4-29, first half of block 30)\n"
       "region 3:       \"0\" skip  0x7A000-0x7FFFF (24 KiB: second half of block 30, block 31)\n"},
  };
  for (const auto& c : cases) {
    testing::TempDirectory dir;
    const std::string ouc = dir.Path("FW.OUC");
    ToolRun made = Tool({"make", ouc, "--model", "MX-R4410", "--generate", "5", "--regions", c.regions});
    ASSERT_EQ(made.exitCode, 0) << made.err;
    EXPECT_TRUE(Contains(made.out, "wrote " + ouc + " for image " + dir.Path("FW.bin"))) << made.out;

    ToolRun checked = Tool({"check", ouc, "--model", "E: KESTREL MX-R4410"});
    EXPECT_EQ(checked.exitCode, 0) << checked.out;
    EXPECT_TRUE(Contains(checked.out, c.regionLines)) << checked.out;
    EXPECT_TRUE(Contains(checked.out, "verdict:        accepted\n")) << checked.out;
    EXPECT_EQ(checked.err, "");
  }
}

TEST(PackageTool, CheckShowsWhyAnUpdateWouldRefuse) {
  struct Case {
    const char* name;
    std::vector<std::string> makeExtra;
    std::string drive;  // empty: no --model
    bool spoilImage;
    std::string report;
  } cases[] = {
      {"other drive", {}, "F: OTHERCO CDROM-2000", false, "message box: \"Select 'MX-R4410'\"\n"},
      {"no drive given", {}, "", false, ""},
      {"old version", {"--header", "MorvantideParameterFile Ver.3.00"}, "MX-R4410", false,
       "message box: \"Parameter file version unmatch\"\n"},
      {"changed image", {}, "MX-R4410", true, "message box: \"File CheckSum Error \"\n"},
  };
  for (const auto& c : cases) {
    testing::TempDirectory dir;
    std::vector<std::string> make{"make", dir.Path("FW.OUC"), "--model", "MX-R4410", "--generate", "9"};
    make.insert(make.end(), c.makeExtra.begin(), c.makeExtra.end());
    ASSERT_EQ(Tool(make).exitCode, 0) << c.name;
    if (c.spoilImage) dir.Write("FW.bin", std::string(kImageSize, '\0'));

    std::vector<std::string> check{"check", dir.Path("FW.OUC")};
    if (!c.drive.empty()) check.insert(check.end(), {"--model", c.drive});
    ToolRun run = Tool(check);
    const bool accepted = c.report.empty();
    EXPECT_EQ(run.exitCode, accepted ? 0 : 1) << c.name;
    EXPECT_TRUE(Contains(run.out, accepted ? "verdict:        accepted\n" : c.report + "parameter file:"))
        << c.name << "\n" << run.out;
    EXPECT_TRUE(Contains(run.out, accepted ? "verdict:        accepted\n" : "verdict:        rejected\n")) << c.name;
  }
}

TEST(PackageTool, CheckPrintsTheFileErrorAsTheDialogShowsIt) {
  testing::TempDirectory dir;
  dir.Write("FW.OUC", "MorvantideParameterFile Ver.4.00\nMX\na,1\nb,1\nc,1\nd,42\n");
  ToolRun run = Tool({"check", dir.Path("FW.OUC")});
  EXPECT_EQ(run.exitCode, kExitFile);
  EXPECT_EQ(run.out.substr(0, run.out.find("parameter file:")),
            "F_CSum= 42 \n"
            "status line: \"File Read Error!(11)\\nNo such file or directory\"\n"
            "message box: \"File Read Error!(11)\\nNo such file or directory\"\n");
}

TEST(PackageTool, MakeReadsAnExistingImage) {
  testing::TempDirectory dir;
  dir.Write("DATA.BIN", std::string(1000, '\x02'));
  ToolRun made = Tool({"make", dir.Path("FW.OUC"), "--image", dir.Path("DATA.BIN"), "--model", "MX"});
  ASSERT_EQ(made.exitCode, 0) << made.err;
  EXPECT_TRUE(Contains(made.out, "checksum 2000\n")) << made.out;
  EXPECT_TRUE(Contains(made.out, "has 1000 bytes")) << made.out;
  EXPECT_TRUE(Contains(made.out, "note: an update reads the image from " + dir.Path("FW.bin"))) << made.out;

  // Renamed to what an update looks for (the case-insensitive match), the package passes.
  std::filesystem::rename(dir.Path("DATA.BIN"), dir.Path("FW.BIN"));
  EXPECT_EQ(Tool({"check", dir.Path("FW.OUC"), "--model", "E:KESTREL MX-R4410"}).exitCode, 0);
}

TEST(PackageTool, GeneratedImagesAreReproducible) {
  testing::TempDirectory dir;
  ASSERT_EQ(Tool({"make", dir.Path("A.OUC"), "--model", "M", "--generate", "77"}).exitCode, 0);
  ASSERT_EQ(Tool({"make", dir.Path("B.OUC"), "--model", "M", "--generate", "77"}).exitCode, 0);
  FirmwareImage a, b;
  PackageFile fa(dir.Path("A.bin")), fb(dir.Path("B.bin"));
  ASSERT_EQ(ReadImage(fa, a), kImageSize);
  ASSERT_EQ(ReadImage(fb, b), kImageSize);
  EXPECT_TRUE(std::equal(a.begin(), a.end(), b.begin()));
}

// --version stamps the revision where the emulated drive reads it after a save, and
// the checksum covers the stamped image.
TEST(PackageTool, VersionIsStampedIntoTheGeneratedImage) {
  testing::TempDirectory dir;
  ASSERT_EQ(Tool({"make", dir.Path("V.OUC"), "--model", "MX-R4410", "--generate", "3", "--version", "2.05"}).exitCode,
            0);
  FirmwareImage image;
  PackageFile file(dir.Path("V.bin"));
  ASSERT_EQ(ReadImage(file, image), kImageSize);
  EXPECT_EQ(sim::StampedRevision(image.data(), image.size()), "2.05");
  EXPECT_EQ(Tool({"check", dir.Path("V.OUC"), "--model", "KESTREL MX-R4410"}).exitCode, 0);
}

TEST(PackageTool, BadCommandLinesGetOneLineAndExitTwo) {
  const std::string longModel(22, 'M');
  const std::vector<std::vector<std::string>> cases{
      {},
      {"frobnicate"},
      {"check"},
      {"check", "A.OUC", "B.OUC"},
      {"check", "A.OUC", "--image", "A.bin"},
      {"check", "A.OUC", "--model"},
      {"make", "A.OUC"},
      {"make", "A.OUC", "--model", longModel},
      {"make", "A.OUC", "--model", "MX,R"},
      {"make", "A.OUC", "--model", "MX\"R"},
      {"make", "A.OUC", "--model", "MX\tR"},
      {"make", "A.OUC", "--model", "M", "--header", std::string(37, 'H')},
      {"make", "A.OUC", "--model", "M", "--regions", "4"},
      {"make", "A.OUC", "--model", "M", "--regions", "1,,2"},
      {"make", "A.OUC", "--model", "M", "--regions", ""},
      {"make", "A.OUC", "--model", "M", "--generate", "-1"},
      {"make", "A.OUC", "--model", "M", "--generate", "99999999999999999999"},
      {"make", "A.OUC", "--model", "M", "--version", "1.05"},  // never into an image it was given
      {"make", "A.OUC", "--model", "M", "--generate", "1", "--version", "1.005"},
      {"make", "A.OUC", "--model", "M", "--generate", "1", "--version", ""},
      {"make", "A.OUC", "--model", ""},  // a package for every drive
      {"make", "A.OUC", "--model", "   "},
      {"check", "A.OUC", "--model", ""},
  };
  for (const auto& args : cases) {
    ToolRun run = Tool(args);
    std::string joined;
    for (const auto& a : args) joined += a + " ";
    EXPECT_EQ(run.exitCode, 2) << joined;
    EXPECT_EQ(run.out, "") << joined;
    EXPECT_TRUE(run.err.starts_with("morvantide-package: ")) << joined << run.err;
    EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << joined << run.err;
  }
}

TEST(PackageTool, FileProblemsGetOneLineAndExitThree) {
  testing::TempDirectory dir;
  struct Case {
    std::vector<std::string> args;
    std::string err;
  } cases[] = {
      {{"make", dir.Path("FW.OUC"), "--model", "M"},
       "morvantide-package: cannot read " + dir.Path("FW.bin") + ": No such file or directory\n"},
      {{"make", dir.Path("FW.OUC"), "--model", "M", "--generate", "1", "--image", dir.Path("no/FW.bin")},
       "morvantide-package: cannot write " + dir.Path("no/FW.bin") + ": No such file or directory\n"},
      {{"make", dir.Path("no/FW.OUC"), "--model", "M", "--generate", "1", "--image", dir.Path("FW.bin")},
       "morvantide-package: cannot write " + dir.Path("no/FW.OUC") + ": No such file or directory\n"},
  };
  for (const auto& c : cases) {
    ToolRun run = Tool(c.args);
    EXPECT_EQ(run.exitCode, kExitFile) << c.err;
    EXPECT_EQ(run.err, c.err);
  }
}

// A missing parameter file has no report to print; a missing image gets the dialog's
// report, and the same one line on the error stream.
TEST(PackageTool, CheckOfAMissingFileSaysSoInOneLine) {
  testing::TempDirectory dir;
  ToolRun missing = Tool({"check", dir.Path("nothere.OUC")});
  EXPECT_EQ(missing.exitCode, kExitFile);
  EXPECT_EQ(missing.out, "");
  EXPECT_EQ(missing.err,
            "morvantide-package: cannot read " + dir.Path("nothere.OUC") + ": No such file or directory\n");

  ASSERT_EQ(Tool({"make", dir.Path("FW.OUC"), "--model", "M", "--generate", "1"}).exitCode, 0);
  std::filesystem::remove(dir.Path("FW.bin"));
  ToolRun noImage = Tool({"check", dir.Path("FW.OUC")});
  EXPECT_EQ(noImage.exitCode, kExitFile);
  EXPECT_TRUE(Contains(noImage.out, "message box: \"File Read Error!(11)\\nNo such file or directory\"\n"))
      << noImage.out;
  EXPECT_EQ(noImage.err,
            "morvantide-package: cannot read " + dir.Path("FW.bin") + ": No such file or directory\n");
}

// make writes nothing over an existing file unless --force is given: not the image
// --generate would write, not the parameter file.
TEST(PackageTool, MakeReplacesNoFileWithoutForce) {
  const std::string image(kImageSize, '\x07');
  const std::string parameters = "not a package\n";
  struct Case {
    const char* name;
    std::vector<std::string> extra;
    bool force;
  } cases[] = {
      {"generated image", {"--generate", "1"}, false},
      {"parameter file", {}, false},
      {"generated image, forced", {"--generate", "1", "--force"}, true},
      {"parameter file, forced", {"--force"}, true},
  };
  for (const auto& c : cases) {
    testing::TempDirectory dir;
    dir.Write("FW.bin", image);
    const bool parametersExist = c.extra.empty() || c.extra[0] == "--force";
    if (parametersExist) dir.Write("FW.OUC", parameters);
    std::vector<std::string> args{"make", dir.Path("FW.OUC"), "--model", "MX-R4410"};
    args.insert(args.end(), c.extra.begin(), c.extra.end());
    ToolRun run = Tool(args);
    if (c.force) {
      EXPECT_EQ(run.exitCode, 0) << c.name << run.err;
      EXPECT_EQ(Tool({"check", dir.Path("FW.OUC"), "--model", "MX-R4410"}).exitCode, 0) << c.name;
      continue;
    }
    const std::string existing = parametersExist ? dir.Path("FW.OUC") : dir.Path("FW.bin");
    EXPECT_EQ(run.exitCode, kExitExists) << c.name;
    EXPECT_EQ(run.out, "") << c.name;
    EXPECT_EQ(run.err, "morvantide-package: " + existing + " exists; --force replaces it\n") << c.name;
    EXPECT_EQ(dir.Read("FW.bin"), image) << c.name;
    if (parametersExist)
      EXPECT_EQ(dir.Read("FW.OUC"), parameters) << c.name;
    else
      EXPECT_FALSE(std::filesystem::exists(dir.Path("FW.OUC"))) << c.name;
  }
}

// check says about the image what make says: a short one counts its missing bytes as zero.
TEST(PackageTool, CheckNotesAShortImageAsMakeDoes) {
  testing::TempDirectory dir;
  dir.Write("FW.bin", std::string(1000, '\x02'));
  ToolRun made = Tool({"make", dir.Path("FW.OUC"), "--model", "MX-R4410"});
  ASSERT_EQ(made.exitCode, 0) << made.err;
  const std::string note = "note: " + dir.Path("FW.bin") + " has 1000 bytes; the rest counts as zero\n";
  EXPECT_TRUE(Contains(made.out, note)) << made.out;
  ToolRun checked = Tool({"check", dir.Path("FW.OUC"), "--model", "MX-R4410"});
  EXPECT_EQ(checked.exitCode, 0);
  EXPECT_TRUE(Contains(checked.out, note)) << checked.out;
}

TEST(PackageTool, HelpAndVersion) {
  struct Case {
    std::vector<std::string> args;
    std::string outStart;
  } cases[] = {
      {{"--version"}, "morvantide-package " MORVANTIDE_VERSION "\n"},
      {{"--help"}, "usage: morvantide-package check"},
      {{"-h"}, "usage: morvantide-package check"},
      {{"make", "--help"}, "usage: morvantide-package check"},
      {{"check", "A.OUC", "-h"}, "usage: morvantide-package check"},
  };
  for (const auto& c : cases) {
    ToolRun run = Tool(c.args);
    EXPECT_EQ(run.exitCode, 0) << ::testing::PrintToString(c.args);
    EXPECT_TRUE(run.out.starts_with(c.outStart)) << run.out;
    EXPECT_EQ(run.err, "");
  }
  EXPECT_EQ(Tool({"--version"}).out, "morvantide-package " MORVANTIDE_VERSION "\n");
}

}  // namespace
}  // namespace morv
