#include "tools/fuzz/drive_answers.h"

#include <stdlib.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <sstream>

#include "engine/package_writer.h"
#include "engine/testing/update_fakes.h"
#include "engine/write_plan.h"
#include "framework/testing/unique_directory.h"
#include "platform/private_profile.h"
#include "platform/termination_hold.h"
#include "sim/answer_script_device.h"
#include "sim/sim_aspi_manager.h"
#include "sim/sim_pass_through_system.h"
#include "transport/aspi_transport.h"
#include "ui/drive_letters.h"
#include "ui/host_adapters.h"
#include "transport/pass_through_transport.h"
#include "ui/flash_dlg.h"
#include "ui/resource_ids.h"
#include "ui/resources.h"
#include "framework/testing/scripted_toolkit.h"
#include "ui/toolkit_feedback.h"

namespace morv::fuzz {
namespace {

using Act = ScriptedToolkit;
using Cdb = std::vector<uint8_t>;
using Problems = std::vector<std::string>;

const Cdb kTestUnitReady{0x00, 0x00, 0x00, 0x00, 0x00, 0x00};
const Cdb kTestUnitReadyVU{0x00, 0x00, 0x00, 0x00, 0x00, 0xC0};
const Cdb kVersionInquiry{0x12, 0x00, 0x00, 0x00, 0xFF, 0x00};
constexpr uint8_t kOpWriteBuffer = 0x3B;
constexpr uint8_t kOptionAnswerNo = 0x08;
constexpr uint8_t kDriveTarget = 2;
/// How often a command may reach the drive: once, and again after each unit attention
/// up to the bound of the repeat.
constexpr size_t kMostSends = 1 + kMaxUnitAttentionRepeats;

/// The package directories, one for each choice of regions, each with the image and
/// its parameter file, written once. They lie in memory where the system offers a
/// directory there: Morvantide4 replaces its profile with a flushed write when its
/// dialog closes, which on a disk waits for the disk at every run.
class Workspace {
 public:
  Workspace() : m_previous(std::filesystem::current_path()) {
    const std::filesystem::path memory = "/dev/shm";
    std::error_code ec;
    const bool inMemory = std::filesystem::is_directory(memory, ec);
    m_directory = testing::MakeUniqueDirectory(inMemory ? memory : std::filesystem::temp_directory_path(),
                                               "drive-answers-");
    GenerateImage(11, image);
    const int32_t checksum = ImageChecksum(image);
    for (unsigned choice = 0; choice < kRegionChoices; ++choice) {
      const std::filesystem::path directory = m_directory / std::to_string(choice);
      std::filesystem::create_directory(directory);
      WriteFileBytes((directory / "R4410.bin").string(), image.data(), image.size());
      PackageDescription description;
      description.model = "MX-R4410";
      description.regions = Regions(choice);
      const std::string text = ParameterFileText(description, checksum);
      WriteFileBytes((directory / "R4410.OUC").string(), text.data(), text.size());
    }
    m_profile = (m_directory / "Morvantide4.INI").string();
  }
  ~Workspace() {
    std::error_code ignored;
    std::filesystem::remove_all(m_directory, ignored);
  }

  /// Regions 1-3 selected where bits 0-2 of `choice` are clear.
  static RegionSelection Regions(unsigned choice) {
    return {(choice & 0x01) == 0, (choice & 0x02) == 0, (choice & 0x04) == 0};
  }
  /// Makes the package directory for `choice` the current directory, as the programs
  /// list and read packages from there.
  void Enter(unsigned choice) { std::filesystem::current_path(m_directory / std::to_string(choice % kRegionChoices)); }
  void Leave() { std::filesystem::current_path(m_previous); }
  /// Where Morvantide4 keeps its profile.
  const std::string& ProfilePath() const { return m_profile; }

  FirmwareImage image;

 private:
  static constexpr unsigned kRegionChoices = 8;
  const std::filesystem::path m_previous;
  std::filesystem::path m_directory;
  std::string m_profile;
};

/// What one program showed and sent.
struct Observed {
  std::shared_ptr<sim::AnswerScriptDevice> device;
  size_t updateFrom = 0, updateTo = 0;  ///< the drive's record during the update
  std::vector<ScriptedToolkit::Box> boxes;
  size_t updateBoxesFrom = 0, updateBoxesTo = 0;
  std::vector<ScriptedWindow::ShownText> texts;
};

/// Plays the operator: the package chosen, Update Start pressed (the question answered
/// No when told so), a rescan, the dialog closed.
Observed Play(ScriptedToolkit& toolkit, Feedback& feedback, const ProgramResources& resources, Transport& transport,
              const SelectionFactory& selections, std::shared_ptr<sim::AnswerScriptDevice> device, bool answerNo) {
  testing::SteppingClock clock;  // the update's pause and settling wait take no time
  CFlashDlg dialog(toolkit, feedback, resources, transport, selections);
  dialog.m_clock = &clock;
  Observed seen;
  seen.device = std::move(device);
  toolkit.script.push_back(Act::Choose(IDC_FILE_LIST, 0));
  toolkit.script.push_back(Act::Inspect([&](ScriptedWindow&) {
    seen.updateFrom = seen.device->Record().size();
    seen.updateBoxesFrom = toolkit.boxes.size();
    if (answerNo) toolkit.answers = {IDNO};
  }));
  toolkit.script.push_back(Act::Click(IDC_UPDATE_START));
  toolkit.script.push_back(Act::Inspect([&](ScriptedWindow&) {
    seen.updateTo = seen.device->Record().size();
    seen.updateBoxesTo = toolkit.boxes.size();
    toolkit.answers.clear();
  }));
  toolkit.script.push_back(Act::Menu(ID_OPTION_RESCAN));
  dialog.DoModal();
  seen.boxes = toolkit.boxes;
  for (const auto& window : toolkit.windows)
    seen.texts.insert(seen.texts.end(), window->textsShown.begin(), window->textsShown.end());
  return seen;
}

Observed RunNT(std::span<const uint8_t> script, bool answerNo) {
  auto device = std::make_shared<sim::AnswerScriptDevice>(script);
  sim::SimPassThroughSystem system;
  system.Attach('E', device);
  PassThroughTransport transport(system);
  ScriptedToolkit toolkit;
  ToolkitFeedback feedback(toolkit, ResourcesNT(), "MorvantideNT");
  std::ostringstream errors;
  auto selections = [&](CScsiDrive& drive, Feedback& shown) {
    return std::make_unique<DriveLetterSelection>(drive, shown, transport, errors);
  };
  return Play(toolkit, feedback, ResourcesNT(), transport, selections, device, answerNo);
}

Observed Run4(std::span<const uint8_t> script, bool answerNo, const std::string& profilePath) {
  auto device = std::make_shared<sim::AnswerScriptDevice>(script);
  ScriptedToolkit toolkit;
  ToolkitFeedback feedback(toolkit, Resources4(), "Morvantide4");
  sim::SimAspiManager bus(std::chrono::microseconds(0));
  bus.SetCompleteAtOnce(true);
  bus.Attach(kDriveTarget, 0, device);
  AspiTransport transport(bus, feedback);
  DeviceNameTables tables;
  std::filesystem::remove(profilePath);  // every run starts without a remembered selection
  PrivateProfile profile(profilePath);
  std::ostringstream errors;
  auto selections = [&](CScsiDrive& drive, Feedback& shown) {
    return std::make_unique<HostAdapterSelection>(drive, shown, transport, bus, tables, profile, errors);
  };
  return Play(toolkit, feedback, Resources4(), transport, selections, device, answerNo);
}

std::string Escaped(const std::string& text) {
  std::string out;
  for (unsigned char c : text) {
    if (c >= 0x20 && c <= 0x7E) {
      out += static_cast<char>(c);
    } else {
      char hex[8];
      std::snprintf(hex, sizeof hex, "\\x%02X", c);
      out += hex;
    }
  }
  return out;
}

/// Printable ASCII, and line breaks where a text may have several lines.
bool Printable(const std::string& text, bool lineBreaks) {
  for (unsigned char c : text)
    if ((c < 0x20 || c > 0x7E) && !(lineBreaks && c == '\n')) return false;
  return true;
}

std::string Hex(const Cdb& bytes) {
  std::string out;
  for (uint8_t byte : bytes) {
    char hex[4];
    std::snprintf(hex, sizeof hex, "%02X", byte);
    out += out.empty() ? hex : std::string(" ") + hex;
  }
  return out;
}

void CheckTexts(const Observed& seen, Problems& problems) {
  for (const auto& box : seen.boxes)
    if (!Printable(box.text, true) || !Printable(box.caption, false))
      problems.push_back("box not printable: '" + Escaped(box.text) + "'");
  for (const auto& shown : seen.texts) {
    // What the drive names itself goes into single-line fields.
    const bool fromDrive = shown.id == IDC_DEVICE || shown.id == IDC_HOST_ADAPTER || shown.id == IDC_FIRMWARE_VERSION;
    if (!Printable(shown.text, !fromDrive))
      problems.push_back("control " + std::to_string(shown.id) + " shows '" + Escaped(shown.text) + "'");
  }
}

/// Whether a program may read this sense as UNIT ATTENTION, in fixed format or, once
/// converted, in descriptor format.
bool ReadsAsUnitAttention(const std::vector<uint8_t>& sense) {
  const bool fixed = sense.size() > 2 && (sense[2] & 0x0F) == kSenseKeyUnitAttention;
  const bool descriptor = sense.size() > 1 && (sense[0] & 0x7E) == 0x72 && (sense[1] & 0x0F) == kSenseKeyUnitAttention;
  return fixed || descriptor;
}

/// One command the update may send after the operator's Yes, with the image bytes it carries.
struct Expected {
  Cdb cdb;
  const uint8_t* data = nullptr;
  uint32_t length = 0;
};

std::vector<Expected> ExpectedAfterYes(const RegionSelection& regions, const FirmwareImage& image) {
  std::vector<Expected> expected{{kTestUnitReadyVU}};
  const BlockModes modes = BuildBlockModes(regions);
  for (const WritePiece& piece : BuildWritePlan(regions)) {
    const uint32_t offset = piece.bufferOffset, length = piece.length;
    expected.push_back({{kOpWriteBuffer, modes[piece.bufferId], piece.bufferId, uint8_t(offset >> 16),
                         uint8_t(offset >> 8), uint8_t(offset), uint8_t(length >> 16), uint8_t(length >> 8),
                         uint8_t(length), 0x00},
                        image.data() + piece.imageOffset,
                        length});
  }
  expected.push_back({kVersionInquiry});
  return expected;
}

/// Nothing before the operator's Yes but the INQUIRY that identifies the drive afresh
/// (again only after a unit attention, which both programs repeat it for) and TEST
/// UNIT READY; after it the vendor command
/// and the plan's pieces in order, each once, a command again only where MorvantideNT
/// repeats it after a unit attention, nothing after a refused piece, and the completion
/// reported exactly when every piece was taken, followed by the INQUIRY for the new
/// firmware version.
void CheckUpdate(const Observed& seen, ProgramKind kind, const RegionSelection& regions, bool answerNo,
                 const FirmwareImage& image, Problems& problems) {
  bool asked = false, completed = false;
  for (size_t i = seen.updateBoxesFrom; i < seen.updateBoxesTo; ++i) {
    asked = asked || seen.boxes[i].text == "Firmware Update Execute ?";
    completed = completed || seen.boxes[i].text == "Firmware Update Complete";
  }
  const std::span<const sim::RecordedCommand> sent =
      std::span(seen.device->Record()).subspan(seen.updateFrom, seen.updateTo - seen.updateFrom);
  size_t i = 0;
  if (i < sent.size() && sent[i].cdb == kVersionInquiry) ++i;
  while (i < sent.size() && sent[i].cdb == kVersionInquiry && sent[i - 1].status != 0 &&
         ReadsAsUnitAttention(sent[i - 1].sense))
    ++i;
  while (i < sent.size() && sent[i].cdb == kTestUnitReady) ++i;
  if (!asked || answerNo) {
    if (i < sent.size()) problems.push_back("sent " + Hex(sent[i].cdb) + " without the operator's Yes");
    if (completed) problems.push_back("completion reported without the operator's Yes");
    return;
  }

  const std::vector<Expected> expected = ExpectedAfterYes(regions, image);
  const size_t versionInquiry = expected.size() - 1;
  size_t next = 0, sends = 0;
  uint8_t lastWriteStatus = 0;  // as the last piece sent was finally answered
  for (; i < sent.size(); ++i) {
    const sim::RecordedCommand& command = sent[i];
    if (command.cdb[0] == kOpWriteBuffer) lastWriteStatus = command.status;
    const sim::RecordedCommand* previous = next > 0 ? &sent[i - 1] : nullptr;
    if (previous != nullptr && previous->cdb == command.cdb) {
      if (kind != ProgramKind::NT || previous->status == 0 || !ReadsAsUnitAttention(previous->sense) ||
          ++sends > kMostSends) {
        problems.push_back("sent " + Hex(command.cdb) + " again");
        return;
      }
      continue;
    }
    if (previous != nullptr && previous->cdb[0] == kOpWriteBuffer && previous->status != 0) {
      problems.push_back("sent " + Hex(command.cdb) + " after the refused piece " + Hex(previous->cdb));
      return;
    }
    if (next >= expected.size() || command.cdb != expected[next].cdb) {
      problems.push_back("sent " + Hex(command.cdb) + " where " +
                         (next < expected.size() ? Hex(expected[next].cdb) : std::string("nothing")) + " was due");
      return;
    }
    const Expected& due = expected[next++];
    sends = 1;
    if (due.data != nullptr && (command.direction != DataDirection::Out || command.dataLength != due.length ||
                                command.data.size() > due.length ||
                                !std::equal(command.data.begin(), command.data.end(), due.data)))
      problems.push_back("piece " + Hex(command.cdb) + " does not carry its image bytes");
  }

  const bool planDone = next >= versionInquiry && (versionInquiry == 1 || lastWriteStatus == 0);
  if (completed != planDone)
    problems.push_back(completed ? "completion reported before every piece was taken"
                                 : "no completion although every piece was taken");
  if (planDone && next != expected.size()) problems.push_back("no INQUIRY for the new version after the completion");
  if (!planDone && (next < 2 || lastWriteStatus == 0 || sent.back().cdb[0] != kOpWriteBuffer))
    problems.push_back("the download stopped without a refused piece");
}

Problems Check(const char* program, const Observed& seen, ProgramKind kind, const RegionSelection& regions,
               bool answerNo, const FirmwareImage& image) {
  Problems problems;
  CheckTexts(seen, problems);
  CheckUpdate(seen, kind, regions, answerNo, image, problems);
  for (auto& problem : problems) problem = std::string(program) + ": " + problem;
  return problems;
}

std::vector<std::string> BoxTexts(const Observed& seen) {
  std::vector<std::string> texts;
  for (const auto& box : seen.boxes) texts.push_back(box.text);
  return texts;
}

}  // namespace

DriveAnswersReport CheckDriveAnswers(std::span<const uint8_t> input) {
  static Workspace workspace;
  const uint8_t options = input.empty() ? 0 : input[0];
  const std::span<const uint8_t> script = input.empty() ? input : input.subspan(1);
  const RegionSelection regions = Workspace::Regions(options);
  const bool answerNo = (options & kOptionAnswerNo) != 0;

  workspace.Enter(options);
  Observed nt, four;
  {
    // One hold around both programs: theirs (each update's, the profile write's) nest
    // in it and cost no system calls, where alone each one sets and restores some
    // fifty signal dispositions. A signal that arrives meanwhile waits for the end of
    // the input.
    const TerminationHold hold;
    nt = RunNT(script, answerNo);
    four = Run4(script, answerNo, workspace.ProfilePath());
  }
  workspace.Leave();

  DriveAnswersReport report;
  report.problems = Check("MorvantideNT", nt, ProgramKind::NT, regions, answerNo, workspace.image);
  const Problems problems4 = Check("Morvantide4", four, ProgramKind::Four, regions, answerNo, workspace.image);
  report.problems.insert(report.problems.end(), problems4.begin(), problems4.end());
  report.boxesNT = BoxTexts(nt);
  report.boxes4 = BoxTexts(four);
  return report;
}

}  // namespace morv::fuzz
