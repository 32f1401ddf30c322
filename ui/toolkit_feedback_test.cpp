#include "ui/toolkit_feedback.h"

#include <gtest/gtest.h>

#include "ui/resource_ids.h"
#include "ui/resources.h"
#include "framework/testing/scripted_toolkit.h"

namespace morv {
namespace {

using Shape = CursorShape;

struct FeedbackFixture : ::testing::Test {
  ScriptedToolkit toolkit;
  ToolkitFeedback feedback{toolkit, ResourcesNT(), "MorvantideNT"};
};

// Steps: B(egin), R(estore), E(nd); 'a' and 'w': the pointer changes to the arrow
// or the wait shape by itself (it moved over another window).
void Play(ToolkitFeedback& feedback, ScriptedToolkit& toolkit, const std::string& steps) {
  for (char step : steps) {
    switch (step) {
      case 'B': feedback.BeginWaitCursor(); break;
      case 'R': feedback.RestoreWaitCursor(); break;
      case 'E': feedback.EndWaitCursor(); break;
      case 'a': toolkit.cursor = Shape::Arrow; break;
      case 'w': toolkit.cursor = Shape::Wait; break;
    }
  }
}

TEST_F(FeedbackFixture, BusyCursorNestsAndRestoresTheCursorOfTheFirstBegin) {
  struct Case {
    const char* steps;
    int count;
    Shape showing;
  } cases[] = {
      {"B", 1, Shape::Wait},
      {"BBE", 1, Shape::Wait},        // inner end keeps the wait cursor
      {"BBEE", 0, Shape::Arrow},      // outer end shows the remembered cursor
      {"E", 0, Shape::Arrow},         // end at 0 keeps 0
      {"EEB", 1, Shape::Wait},        // ...so one begin is enough again
      {"EEBE", 0, Shape::Arrow},
      {"R", 0, Shape::Arrow},         // restore never changes the count
      {"BaR", 1, Shape::Wait},        // restore re-shows the wait cursor
      {"BRRR", 1, Shape::Wait},
      {"BRRRE", 0, Shape::Arrow},
      {"wBaBEE", 0, Shape::Wait},     // remembered at 0->1, not at the second begin
      {"BEwBaE", 0, Shape::Wait},     // a new outermost begin remembers anew
  };
  for (const auto& c : cases) {
    ScriptedToolkit t;
    ToolkitFeedback f{t, ResourcesNT(), "MorvantideNT"};
    Play(f, t, c.steps);
    EXPECT_EQ(f.WaitCursorCount(), c.count) << c.steps;
    EXPECT_EQ(t.cursor, c.showing) << c.steps;
  }
}

TEST_F(FeedbackFixture, EveryBusyCursorStepSetsTheShapeOnce) {
  Play(feedback, toolkit, "BBRE");
  EXPECT_EQ(toolkit.cursorChanges, (std::vector<Shape>{Shape::Wait, Shape::Wait, Shape::Wait, Shape::Wait}));
  Play(feedback, toolkit, "E");
  EXPECT_EQ(toolkit.cursorChanges.back(), Shape::Arrow);
}

TEST(AfxMessageBoxType, AddsTheExclamationIconOnlyToIconlessOkAndYesNoSets) {
  struct Case {
    unsigned asked, shown;
  } cases[] = {
      {MB_OK, MB_OK | MB_ICONEXCLAMATION},
      {MB_OKCANCEL, MB_OKCANCEL | MB_ICONEXCLAMATION},
      {MB_YESNOCANCEL, MB_YESNOCANCEL | MB_ICONEXCLAMATION},
      {MB_YESNO, MB_YESNO | MB_ICONEXCLAMATION},
      {MB_ABORTRETRYIGNORE, MB_ABORTRETRYIGNORE},
      {MB_RETRYCANCEL, MB_RETRYCANCEL},
      {MB_OK | MB_ICONHAND, MB_OK | MB_ICONHAND},
      {MB_YESNO | MB_ICONQUESTION, MB_YESNO | MB_ICONQUESTION},
      {MB_OK | MB_ICONASTERISK, MB_OK | MB_ICONASTERISK},
      {0x1000 | MB_YESNO, 0x1000 | MB_YESNO | MB_ICONEXCLAMATION},  // other bits kept
  };
  for (const auto& c : cases) EXPECT_EQ(AfxMessageBoxType(c.asked), c.shown) << std::hex << c.asked;
}

TEST_F(FeedbackFixture, FrameworkBoxesCarryTheAppTitleAndReturnTheAnswer) {
  toolkit.answers = {IDNO};
  EXPECT_EQ(feedback.AfxMessageBox("Firmware Update Execute ?", MB_YESNO), IDNO);
  ASSERT_EQ(toolkit.boxes.size(), 1u);
  EXPECT_EQ(toolkit.boxes[0].caption, "MorvantideNT");
  EXPECT_EQ(toolkit.boxes[0].type, MB_YESNO | MB_ICONEXCLAMATION);
  EXPECT_TRUE(toolkit.beeps.empty());
}

TEST_F(FeedbackFixture, WindowBoxesKeepTheirCaptionAndType) {
  feedback.WindowMessageBox("Error!!", "HA Set Error", MB_ICONHAND);
  feedback.WindowMessageBox("plain", "Caption", MB_OK);
  ASSERT_EQ(toolkit.boxes.size(), 2u);
  EXPECT_EQ(toolkit.boxes[0].caption, "HA Set Error");
  EXPECT_EQ(toolkit.boxes[0].type, MB_ICONHAND);
  EXPECT_EQ(toolkit.boxes[1].type, MB_OK);  // no icon added outside the framework box
}

TEST_F(FeedbackFixture, BeepBoxesBeepWithTheirTypeFirst) {
  feedback.BeepMessageBox("ASPI error", MB_ICONEXCLAMATION);
  feedback.BeepMessageBoxId(kStringNoMemory, MB_ICONHAND);
  EXPECT_EQ(toolkit.events, (std::vector<std::string>{
                                "beep 00000030",
                                "box 00000030 MorvantideNT: ASPI error",
                                "beep 00000010",
                                "box 00000010 MorvantideNT: Insufficient memory to perform operation.",
                            }));
}

TEST_F(FeedbackFixture, StatusLineWritesTheMainWindowOnly) {
  feedback.SetStatusLine("before any window");  // nowhere to write: ignored
  DialogTemplate dialog = ResourcesNT().mainDialog;
  struct Handler : DialogHandler {
    ToolkitFeedback* feedback;
    bool OnInitDialog(DialogWindow& window) override {
      feedback->SetMainWindow(&window);
      feedback->SetStatusLine("first");
      feedback->SetStatusLine("Firmware Update Executing ");
      return true;
    }
    void OnCommand(int, int) override {}
    bool OnSysCommand(unsigned, long) override { return false; }
  } handler;
  handler.feedback = &feedback;
  toolkit.DoModal(dialog, ResourcesNT(), handler);
  EXPECT_EQ(toolkit.windows[0]->Control(IDC_STATUS).text, "Firmware Update Executing ");
  EXPECT_TRUE(toolkit.faults.empty());
}

TEST_F(FeedbackFixture, OnePumpPassDeliversOneQueuedMessage) {
  struct Handler : DialogHandler {
    std::vector<int> commands;
    bool OnInitDialog(DialogWindow&) override { return true; }
    void OnCommand(int id, int) override { commands.push_back(id); }
    bool OnSysCommand(unsigned, long) override { return false; }
  } handler;
  toolkit.pending = {ScriptedToolkit::Notify(11, 0), ScriptedToolkit::Notify(12, 0), ScriptedToolkit::Notify(13, 0)};
  toolkit.script = {ScriptedToolkit::Inspect([&](ScriptedWindow&) { feedback.PumpMessages(); })};
  toolkit.DoModal(ResourcesNT().aboutBox, ResourcesNT(), handler);
  EXPECT_EQ(handler.commands, std::vector<int>{11});
  EXPECT_EQ(toolkit.pending.size(), 2u);
  feedback.PumpMessages();  // no dialog running: nothing to deliver to
  EXPECT_EQ(toolkit.pending.size(), 2u);
}

}  // namespace
}  // namespace morv
