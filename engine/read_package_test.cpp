#include "engine/read_package.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "engine/package_report.h"
#include "engine/package_writer.h"
#include "engine/testing/read_package_rig.h"
#include "engine/testing/temp_directory.h"
#include "framework/testing/recording_feedback.h"

namespace morv {
namespace {

using namespace testing;

TEST_F(ReadPackageTest, ReportsEachFailureWithItsOwnText) {
  const std::string full = Bytes(m_image);
  struct Case {
    const char* name;
    std::string parameters;
    std::optional<std::string> description;  // nullopt: no device selected
    Events events;
  } cases[] = {
      {"good package", Parameters(m_sum), kDrive, kAccepted},
      {"version 4.01", Parameters(m_sum, kModel, "1\nx\n1\nx\n1", "MorvantideParameterFile Ver.4.01"), kDrive,
       Rejected("Parameter file version unmatch")},
      {"prefix case", Parameters(m_sum, kModel, "1\nx\n1\nx\n1", "MorvantideParameterfile Ver.4.00"), kDrive,
       Rejected("Parameter file version unmatch")},
      {"prefix alone", Parameters(m_sum, kModel, "1\nx\n1\nx\n1", "MorvantideParameterFile Ver."), kDrive,
       Rejected("Parameter file version unmatch")},
      {"header split by a comma", Parameters(m_sum, kModel, "1\nx\n1\nx\n1", "MorvantideParameterFile Ver.4,00"),
       kDrive, Rejected("Parameter file version unmatch")},
      {"other drive", Parameters(m_sum), "F: OTHERCO CDROM-2000", Rejected("Select 'MX-R4410'")},
      {"model case differs", Parameters(m_sum, "mx-r4410"), kDrive, Rejected("Select 'mx-r4410'")},
      {"no drive description", Parameters(m_sum), "", Rejected("Select 'MX-R4410'")},
      {"model cut to 21", Parameters(m_sum, "MX-R4410-AND-MORE-TEXT"), kDrive, Rejected("Select 'MX-R4410-AND-MORE-TEX'")},
      {"empty model matches any drive", Parameters(m_sum, ""), "", kAccepted},
      {"no device selected", Parameters(m_sum), std::nullopt, Rejected("Select 'MX-R4410'")},
      {"no device, empty model", Parameters(m_sum, ""), std::nullopt, Rejected("Select ''")},
      {"no device, version checked first", Parameters(m_sum, kModel, "1\nx\n1\nx\n1", "x"), std::nullopt,
       Rejected("Parameter file version unmatch")},
      {"model inside description", Parameters(m_sum, "R44"), kDrive, kAccepted},
      {"checksum off by one", Parameters(std::to_string(std::stol(m_sum) + 1)), kDrive, CheckSumRejected()},
      {"checksum missing", Parameters(""), kDrive, CheckSumRejected()},
  };
  for (const auto& c : cases) {
    Outcome outcome = LoadPkg(c.parameters, full, c.description);
    EXPECT_EQ(outcome.events, c.events) << c.name;
    EXPECT_EQ(outcome.accepted, c.events == kAccepted) << c.name;
  }
}

TEST_F(ReadPackageTest, EmptyPathAsksForAFileName) {
  for (const auto& description : {std::optional<std::string>(kDrive), std::optional<std::string>()}) {
    Outcome outcome = Load("", description);
    EXPECT_FALSE(outcome.accepted);
    EXPECT_EQ(outcome.events, Rejected("Set File Name"));
    EXPECT_EQ(outcome.trace, "");
  }
}

TEST_F(ReadPackageTest, FileErrorsNameTheStepThatFailed) {
  const std::string good = Parameters(m_sum);
  std::vector<std::size_t> separators;
  for (std::size_t i = 0; i < good.size(); ++i)
    if (good[i] == '\n') separators.push_back(i);
  ASSERT_EQ(separators.size(), 10u);

  struct Case {
    std::string name;
    std::string parameters;
    std::optional<std::string> image;  // nullopt: no PKG.bin
    Events events;
  };
  std::vector<Case> cases{
      {"empty parameter file", "", Bytes(m_image), FileErrorReport(1, "End of File")},
      {"no image", good, std::nullopt, FileErrorReport(11, "No such file or directory")},
  };
  // A file that ends before the separator of field k fails in step k.
  for (int k = 1; k <= 10; ++k)
    cases.push_back({"cut in field " + std::to_string(k), good.substr(0, separators[k - 1]), Bytes(m_image),
                     FileErrorReport(k, "End of File")});

  for (const auto& c : cases) {
    Outcome outcome = LoadFromFreshDirectory(c.parameters, c.image);
    EXPECT_FALSE(outcome.accepted) << c.name;
    EXPECT_EQ(outcome.events, c.events) << c.name;
  }
}

TEST_F(ReadPackageTest, MissingParameterFileFailsBeforeTheFirstField) {
  for (const auto& description : {std::optional<std::string>(kDrive), std::optional<std::string>()}) {
    Outcome outcome = Load(m_dir.Path("NONE.OUC"), description);
    EXPECT_EQ(outcome.events, FileErrorReport(0, "No such file or directory"));
    EXPECT_EQ(outcome.trace, "");
  }
}

TEST_F(ReadPackageTest, WritesTheChecksumTextOnceAllFieldsAreRead) {
  struct Case {
    const char* name;
    std::string parameters;
    bool withImage;
    std::string trace;
  } cases[] = {
      {"accepted", Parameters(m_sum), true, "F_CSum= " + m_sum + " \n"},
      {"image missing", Parameters(m_sum), false, "F_CSum= " + m_sum + " \n"},
      {"text kept as read", Parameters(" 12 units"), true, "F_CSum=  12 units \n"},
      {"empty checksum", Parameters(""), true, "F_CSum=  \n"},
      {"wrong version", Parameters(m_sum, kModel, "1\nx\n1\nx\n1", "x"), true, ""},
      {"other drive", Parameters(m_sum, "OTHER"), true, ""},
      {"tenth field unterminated", Parameters(m_sum).substr(0, Parameters(m_sum).size() - 1), true, ""},
  };
  for (const auto& c : cases) {
    testing::TempDirectory dir;
    if (c.withImage) dir.Write("PKG.bin", m_image);
    EXPECT_EQ(Load(dir.Write("PKG.OUC", c.parameters)).trace, c.trace) << c.name;
  }
}

TEST_F(ReadPackageTest, ReadsFieldsTheWayPackagesAreWritten) {
  const std::string q = "\"";
  struct Case {
    const char* name;
    std::string parameters;
    std::string model;
    std::array<bool, 3> regions;
  } cases[] = {
      {"one field a line", Parameters(m_sum), kModel, {true, true, true}},
      {"CRLF line ends", kHeader + "\r\n" + kModel + "\r\nR1,1\r\nR2,1\r\nR3,0\r\nSum," + m_sum + "\r\n", kModel,
       {true, true, false}},
      {"everything on one line", kHeader + "," + kModel + ",a,0,b,1,c,1,d," + m_sum + ",", kModel,
       {false, true, true}},
      {"quoted fields", q + kHeader + q + "\n" + q + kModel + q + "\n" + q + "R1" + q + "," + q + "1" + q + "\n" + q +
                            "R2" + q + "," + q + "1" + q + "\n" + q + "R3" + q + "," + q + "1" + q + "\n" + q + "Sum" +
                            q + "," + q + m_sum + q + "\n",
       kModel, {true, true, true}},
      {"header of 36", "MorvantideParameterFile Ver.(c) 4.00\n" + kModel + "\nR1,1\nR2,1\nR3,1\nSum," + m_sum + "\n",
       kModel, {true, true, true}},
      // 40 characters: 36 kept, the 37th lost, the last three become the model.
      {"header of 40", "MorvantideParameterFile Ver.(c) 4.00-R44\nR1,1\nR2,0\nR3,1\nSum," + m_sum + "\n", "R44",
       {true, false, true}},
      {"bytes after the tenth field", Parameters(m_sum) + "\x01\xff,,garbage\n\n", kModel, {true, true, true}},
      {"tabs and high bytes", "\t" + kHeader + "\xa0\n\xe2\x80\x8b" + kModel + "\nR1,1\t\nR2,1\nR3,1\nSum,\t" + m_sum +
                                  "\n",
       kModel, {true, true, true}},
  };
  for (const auto& c : cases) {
    Outcome outcome = LoadPkg(c.parameters, Bytes(m_image));
    EXPECT_EQ(outcome.events, kAccepted) << c.name;
    EXPECT_EQ(outcome.parameters.model, c.model) << c.name;
    EXPECT_EQ(SelectedRegions(outcome.parameters), c.regions) << c.name;
    EXPECT_EQ(outcome.parameters.checksumText, m_sum) << c.name;
    EXPECT_EQ(outcome.parameters.checksum, ImageChecksum(m_image)) << c.name;
  }
}

TEST_F(ReadPackageTest, RegionFlagsSelectOnlyWhenExactlyOne) {
  struct Case {
    const char* flagBytes;
    const char* kept;
    bool selected;
  } cases[] = {
      {"1", "1", true},       {"\"1\"", "1", true}, {"1\r", "1", true},  {" 1", " 1", false},
      {"1 ", "1 ", false},    {"01", "01", false},  {"0", "0", false},   {"", "", false},
      {"111", "111", false},  {"\"0\"1", "01", false},
  };
  for (const auto& c : cases) {
    const std::string flag = c.flagBytes;
    Outcome outcome = LoadPkg(Parameters(m_sum, kModel, "0\nR2\n" + flag + "\nR3\n0"), Bytes(m_image));
    EXPECT_EQ(outcome.events, kAccepted) << '"' << flag << '"';
    EXPECT_EQ(outcome.parameters.region2, c.kept) << '"' << flag << '"';
    EXPECT_EQ(SelectedRegions(outcome.parameters), (std::array<bool, 3>{false, c.selected, false}))
        << '"' << flag << '"';
  }
}

TEST_F(ReadPackageTest, ChecksumTextIsReadLikeAtol) {
  // Image files of a few bytes read as zero-filled, so their sums are small and known.
  struct Case {
    const char* checksumText;
    std::string image;
    bool accepted;
  } cases[] = {
      {"123 bytes", "\x7b", true},
      {"+123", "\x7b", true},
      {"  123", "\x7b", true},
      {"123", "\x7a", false},
      {"none", "", true},
      {"-0", "", true},
      {"4294967296", "", false},  // does not wrap round to 0
      {"510", "\xff\xff", true},
  };
  for (const auto& c : cases) {
    Outcome outcome = LoadPkg(Parameters(c.checksumText), c.image);
    EXPECT_EQ(outcome.events, c.accepted ? kAccepted : CheckSumRejected()) << c.checksumText;
  }
}

TEST_F(ReadPackageTest, ImageOfAnyLengthIsJudgedByItsFirstImageSizeBytes) {
  const std::string full = Bytes(m_image);
  int32_t firstHalfSum = 0;
  for (std::size_t i = 0; i < kImageSize / 2; ++i) firstHalfSum += m_image[i];
  struct Case {
    const char* name;
    std::string image;
    int32_t checksum;
    bool accepted;
  } cases[] = {
      {"exact", full, ImageChecksum(m_image), true},
      {"longer, tail ignored", full + std::string(4096, '\x01'), ImageChecksum(m_image), true},
      {"longer, tail counted", full + std::string(4096, '\x01'), ImageChecksum(m_image) + 4096, false},
      {"half", full.substr(0, kImageSize / 2), firstHalfSum, true},
      {"half against the full sum", full.substr(0, kImageSize / 2), ImageChecksum(m_image), false},
  };
  for (const auto& c : cases) {
    for (std::size_t i = 0; i < kImageSize; ++i) m_loaded[i] = 0xEE;  // left from an earlier update
    Outcome outcome = LoadPkg(Parameters(std::to_string(c.checksum)), c.image);
    EXPECT_EQ(outcome.accepted, c.accepted) << c.name;
    if (!c.accepted) continue;
    const std::size_t delivered = std::min(c.image.size(), kImageSize);
    EXPECT_EQ(Bytes(m_loaded, delivered), c.image.substr(0, delivered)) << c.name;
    EXPECT_EQ(Bytes(m_loaded).substr(delivered), std::string(kImageSize - delivered, '\0')) << c.name;
  }
}

TEST_F(ReadPackageTest, ImageNameFollowsTheFirstDotAndIgnoresCaseWhenItMust) {
  struct Case {
    const char* name;
    const char* parameterFile;
    std::vector<const char*> imageFiles;  // each holds the good image
    Events events;
  } cases[] = {
      {"A.B.OUC uses A.bin", "A.B.OUC", {"A.bin"}, kAccepted},
      {"A.B.OUC ignores A.B.bin", "A.B.OUC", {"A.B.bin"}, FileErrorReport(11, "No such file or directory")},
      {"upper-case extension", "PKG.OUC", {"PKG.BIN"}, kAccepted},
      {"lower-case name", "pkg.ouc", {"PKG.Bin"}, kAccepted},
      {"no name before the dot", ".OUC", {".BIN"}, kAccepted},
  };
  for (const auto& c : cases) {
    testing::TempDirectory dir;
    for (const char* image : c.imageFiles) dir.Write(image, m_image);
    Outcome outcome = Load(dir.Write(c.parameterFile, Parameters(m_sum)));
    EXPECT_EQ(outcome.events, c.events) << c.name;
  }
}

TEST_F(ReadPackageTest, StartsFromEmptyFieldsEveryTime) {
  ParameterFile parameters;
  parameters.model = "stale";
  parameters.region1 = "1";
  parameters.checksum = 99;
  m_dir.Write("PKG.bin", m_image);
  ASSERT_EQ(ReadPackage(m_dir.Write("PKG.OUC", Parameters(m_sum, "MX", "0\nR2\n0\nR3\n1")), ModelIn(kDrive),
                        parameters, m_loaded),
            std::nullopt);
  EXPECT_EQ(parameters.header, kHeader);
  EXPECT_EQ(parameters.model, "MX");
  EXPECT_EQ(parameters.region1, "0");
  EXPECT_EQ(parameters.region3, "1");
  EXPECT_EQ(parameters.checksum, ImageChecksum(m_image));
}

// The reader alone, over streams of its bytes: which step turned the package down,
// with no one shown anything and no file of the package touched. (The streams are
// anonymous temporary files: reading from memory is not portable C.)
TEST_F(ReadPackageTest, NamesTheFailingStepReadingFromMemory) {
  const std::string full = Bytes(m_image);
  auto fromMemory = [](std::string& bytes) {
    return [&bytes] {
      std::FILE* stream = std::tmpfile();
      std::fwrite(bytes.data(), 1, bytes.size(), stream);
      std::rewind(stream);
      return std::make_unique<PackageFile>(stream);
    };
  };
  struct Case {
    const char* name;
    std::string parameters;
    std::optional<std::string> image;  // nullopt: the image cannot be opened
    ModelCheck modelFits;
    std::optional<PackageStep> step;   // nullopt: accepted
    bool checksumRead;
  } cases[] = {
      {"accepted", Parameters(m_sum), full, ModelIn(kDrive), std::nullopt, true},
      {"any model", Parameters(m_sum, "OTHER"), full, [](const std::string&) { return true; }, std::nullopt, true},
      {"header", Parameters(m_sum, kModel, "1\nR2\n1\nR3\n1", "Old"), full, ModelIn(kDrive), PackageStep::Header,
       false},
      {"model", Parameters(m_sum, "OTHER"), full, ModelIn(kDrive), PackageStep::Model, false},
      {"short parameter file", kHeader + "\n" + kModel + "\n", full, ModelIn(kDrive), PackageStep::ParameterFile,
       false},
      {"no image", Parameters(m_sum), std::nullopt, ModelIn(kDrive), PackageStep::ImageFile, true},
      {"checksum", Parameters(m_sum), std::string(100, '\x01'), ModelIn(kDrive), PackageStep::Checksum, true},
  };
  for (auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::string image = c.image.value_or("");
    PackageFiles files{fromMemory(c.parameters), fromMemory(image)};
    if (!c.image) files.openImage = []() -> std::unique_ptr<PackageFile> { throw FileError{false, ENOENT}; };
    ParameterFile parameters;
    const PackageVerdict verdict = ReadPackage(files, c.modelFits, parameters, m_loaded);
    ASSERT_EQ(verdict.has_value(), c.step.has_value());
    if (verdict) {
      EXPECT_EQ(verdict->step, *c.step);
    }
    EXPECT_EQ(ChecksumFieldRead(verdict), c.checksumRead);
  }
}

}  // namespace
}  // namespace morv
