#include "engine/update_history.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/testing/history_records.h"
#include "engine/testing/temp_directory.h"

namespace morv {
namespace {

using namespace std::chrono_literals;
using testing::Completed;
using testing::Lines;

TEST(HistoryLine, OneLineOfTabSeparatedFields) {
  UpdateRecord declined = Completed();
  declined.confirmed = false;
  declined.outcome = kOutcomeDeclined;
  declined.versionAfter.reset();
  UpdateRecord refused = Completed();
  refused.driveAddress = "0:2:0";
  refused.identification = "MX-R4410";
  refused.outcome = "Error!\n   The Drive Can not up-date,\n    because\tthe \\ code";
  refused.versionAfter.reset();
  refused.failedCommand = "WRITE BUFFER";
  refused.failedPiece = "12/32 buffer 11 offset 0 length 16384";
  // A file name that, printed raw, would rub out the line and show a confirmed update.
  UpdateRecord forged = declined;
  forged.parameterFile = "X.OUC\x1b[2K\ranswer=Yes\toutcome=complete\x9b\xe2\x80\xae";
  const std::string where =
      "\tpackage=/srv/fw/R4410.OUC\tsha256=9f86d081884c7d659a2feaa0c55ad015a3bf4f1b2b0b822cd15d6c15b0f00a08"
      "\tnode=/dev/sg4\tscsi=2:0:0:0";
  struct Case {
    const char* name;
    std::string program;
    DriveKind kind;
    UpdateRecord record;
    std::string line;
  } cases[] = {
      {"completed", "MorvantideNT", DriveKind::Real, Completed(),
       "time=2026-12-08T05:30:00Z\tprogram=MorvantideNT\tdrive=E:\tidentification=KESTREL MX-R4410\tbefore=1.00\t"
       "file=R4410.OUC\tchecksum=66785321\tregions=1,2,3\tanswer=Yes\toutcome=complete\tafter=1.05\tkind=real" +
           where + "\n"},
      {"declined, emulated", "morvantide", DriveKind::Emulated, declined,
       "time=2026-12-08T05:30:00Z\tprogram=morvantide\tdrive=E:\tidentification=KESTREL MX-R4410\tbefore=1.00\t"
       "file=R4410.OUC\tchecksum=66785321\tregions=1,2,3\tanswer=No\toutcome=declined\tkind=emulated" +
           where + "\n"},
      {"refused, with line breaks, a tab and a backslash", "Morvantide4", DriveKind::Real, refused,
       "time=2026-12-08T05:30:00Z\tprogram=Morvantide4\tdrive=0:2:0\tidentification=MX-R4410\tbefore=1.00\t"
       "file=R4410.OUC\tchecksum=66785321\tregions=1,2,3\tanswer=Yes\t"
       "outcome=Error!\\n   The Drive Can not up-date,\\n    because\\tthe \\\\ code\tkind=real" + where +
           "\tfailed=WRITE BUFFER\tpiece=12/32 buffer 11 offset 0 length 16384\n"},
      {"a file name with escape sequences", "MorvantideNT", DriveKind::Real, forged,
       "time=2026-12-08T05:30:00Z\tprogram=MorvantideNT\tdrive=E:\tidentification=KESTREL MX-R4410\tbefore=1.00\t"
       "file=X.OUC\\x1B[2K\\ranswer=Yes\\toutcome=complete\\x9B\\xE2\\x80\\xAE\tchecksum=66785321\t"
       "regions=1,2,3\tanswer=No\toutcome=declined\tkind=real" + where + "\n"},
  };
  for (const auto& c : cases) EXPECT_EQ(HistoryLine(c.program, c.kind, c.record), c.line) << c.name;
}

// The time field is UTC to the second: fractions are dropped (never rounded up),
// leap days and times before 1970 count like any other.
TEST(HistoryLine, TimeIsUtcToTheSecond) {
  using std::chrono::system_clock;
  const struct {
    system_clock::time_point time;
    const char* text;
  } cases[] = {
      {system_clock::time_point(1796707800s) + 999ms, "time=2026-12-08T05:30:00Z"},
      {system_clock::time_point(951868799s), "time=2000-02-29T23:59:59Z"},
      {system_clock::time_point(-1s), "time=1969-12-31T23:59:59Z"},
      {system_clock::time_point(-1ms), "time=1969-12-31T23:59:59Z"},
  };
  for (const auto& c : cases) {
    UpdateRecord record = Completed();
    record.time = c.time;
    EXPECT_TRUE(HistoryLine("MorvantideNT", DriveKind::Real, record).starts_with(std::string(c.text) + "\t")) << c.text;
  }
}

TEST(HistoryLog, AppendsToTheFileMakingItsFolders) {
  testing::TempDirectory dir;
  HistoryLog log(dir.Path("state/morvantide/history.log"), "Morvantide4", DriveKind::Real);
  log.Append(Completed());
  log.Append(Completed());
  EXPECT_TRUE(log.Failures().empty());
  const auto lines = Lines(log.Path());
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0] + "\n", HistoryLine("Morvantide4", DriveKind::Real, Completed()));
}

// A folder that cannot be made (a file stands where it would go, which stops root
// too): nothing is written, nothing is thrown, and one line says why.
TEST(HistoryLog, AFolderThatCannotBeWrittenIsOneLineForLater) {
  testing::TempDirectory dir;
  dir.Write("state", std::string("not a folder"));
  HistoryLog log(dir.Path("state/morvantide/history.log"), "MorvantideNT", DriveKind::Real);
  log.Append(Completed());
  ASSERT_EQ(log.Failures().size(), 1u);
  EXPECT_EQ(log.Failures()[0].find('\n'), std::string::npos);
  EXPECT_TRUE(log.Failures()[0].starts_with("the update was not recorded in the history: cannot create " +
                                            dir.Path("state/morvantide") + ": "))
      << log.Failures()[0];
}

}  // namespace
}  // namespace morv
