#include "ui/flash_app.h"

#include <gtest/gtest.h>

#include "ui/app_title.h"
#include "ui/resources.h"
#include "scsi/testing/fake_transport.h"
#include "ui/testing/recording_selection.h"
#include "framework/testing/scripted_toolkit.h"
#include "framework/testing/temp_directory.h"
#include "ui/toolkit_feedback.h"

namespace morv {
namespace {

const char* const kNoticeNT[] = {
    "- This is a program for the KESTREL DVD-RAM MX-R4410.",
    "- Close all other applications before starting this program. ",
    "- Check that a disc is not loaded in the drive.",
    "- Do not turn off the power supply or reset the system while updating the firmware.",
};
const char* const kNotice4[] = {
    "- Morvantide4 requires that \"Auto insert notification\" and \"DMA\" are disabled.",
    "   Verify that \"Auto insert notification\" and \"DMA\" are disabled.",
    "- This program is for use only with the MX-R4410.  It cannot be used with any other model.",
    "- Please insure both of these files are located in the same folder of your PC system.",
    "- Please close all other applications before starting this program. ",
    "- Verify that no media is installed in the MX-R4410.",
    "- Do not turn off the power supply or reset the system while updating the firmware.",
};

template <size_t N>
std::string CrLfJoined(const char* const (&lines)[N]) {
  std::string text = lines[0];
  for (size_t i = 1; i < N; ++i) text += std::string("\r\n") + lines[i];
  return text;
}

TEST(FlashApp, NoticeThenDialogWithTheProgramFilesName) {
  struct Case {
    const ProgramResources& resources;
    const char* programPath;
    const char* caption;
    std::string notice;
  } cases[] = {
      {ResourcesNT(), "/usr/bin/MorvantideNT", "MorvantideNT", CrLfJoined(kNoticeNT)},
      {Resources4(), "./Morvantide4", "Morvantide4", CrLfJoined(kNotice4)},
      {Resources4(), "/opt/flash/old-flasher", "old-flasher", CrLfJoined(kNotice4)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.programPath);
    TempCurrentDirectory dir;
    ScriptedToolkit toolkit;
    ToolkitFeedback feedback{toolkit, c.resources, ProgramTitle(c.programPath, "fallback")};
    FakeTransport transport;
    // The selection goes with the dialog; its calls are kept past it.
    struct KeptSelection : RecordingSelection {
      std::vector<std::string>* kept = nullptr;
      ~KeptSelection() override { *kept = calls; }
    };
    std::vector<std::string> selectionCalls;
    CFlashApp app(toolkit, feedback, c.resources, transport, [&](CScsiDrive&, Feedback&) {
      auto s = std::make_unique<KeptSelection>();
      s->kept = &selectionCalls;
      return std::unique_ptr<Selection>(std::move(s));
    });
    toolkit.script = {ScriptedToolkit::Click(IDOK)};

    app.InitInstance();

    ASSERT_EQ(toolkit.boxes.size(), 1u);
    EXPECT_EQ(toolkit.boxes[0].text, c.notice);
    EXPECT_EQ(toolkit.boxes[0].caption, c.caption);
    EXPECT_EQ(toolkit.boxes[0].type, MB_OK | MB_ICONEXCLAMATION);
    EXPECT_EQ(toolkit.events.at(1), "dialog " + c.resources.mainDialog.caption);
    EXPECT_TRUE(toolkit.beeps.empty());
    EXPECT_EQ(toolkit.EventsStartingWith("end ").size(), 1u);
    EXPECT_EQ(selectionCalls, (std::vector<std::string>{"attach", "init-devices", "destroy"}));
  }
}

TEST(ProgramTitle, BaseNameOfTheProgramFile) {
  struct Case {
    const char* path;
    const char* title;
  } cases[] = {
      {"/usr/local/bin/MorvantideNT", "MorvantideNT"},
      {"Morvantide4", "Morvantide4"},
      {"../bin/flash.v2", "flash.v2"},
      {"/dir/", "Fallback"},
      {"", "Fallback"},
      // Windows paths: either separator, and the ".exe" the system's title leaves off.
      {"Z:\\work\\build\\MorvantideNT.exe", "MorvantideNT"},
      {"C:/Tools/Morvantide4.EXE", "Morvantide4"},
      {"flash.exe.bak", "flash.exe.bak"},
      {"C:\\dir\\.exe", "Fallback"},
  };
  for (const auto& c : cases) EXPECT_EQ(ProgramTitle(c.path, "Fallback"), c.title) << c.path;
}

}  // namespace
}  // namespace morv
