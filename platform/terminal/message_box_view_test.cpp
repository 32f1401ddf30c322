#include "platform/terminal/message_box_view.h"

#include <gtest/gtest.h>

#include "framework/win32_types.h"

namespace morv::terminal {
namespace {

using K = KeyEvent;

std::vector<std::string> Labels(unsigned type) {
  std::vector<std::string> out;
  for (const auto& b : ButtonsOf(type)) out.push_back(b.label);
  return out;
}

TEST(MessageBoxButtons, EachButtonSetInItsOrder) {
  struct Case {
    unsigned type;
    std::vector<std::string> labels;
  } cases[] = {
      {MB_OK, {"OK"}},
      {MB_OKCANCEL | MB_ICONEXCLAMATION, {"OK", "Cancel"}},
      {MB_ABORTRETRYIGNORE, {"Abort", "Retry", "Ignore"}},
      {MB_YESNOCANCEL, {"Yes", "No", "Cancel"}},
      {MB_YESNO | MB_ICONQUESTION, {"Yes", "No"}},
      {MB_RETRYCANCEL, {"Retry", "Cancel"}},
      {0x0F, {"OK"}},
  };
  for (const auto& c : cases) EXPECT_EQ(Labels(c.type), c.labels) << c.type;
}

TEST(MessageBoxButtons, IconMarkers) {
  struct Case {
    unsigned type;
    char marker;
  } cases[] = {{MB_OK, 0},       {MB_ICONHAND, 'x'},         {MB_ICONQUESTION | MB_YESNO, '?'},
               {0x30, '!'},      {MB_ICONASTERISK, 'i'},     {0x50, 0}};
  for (const auto& c : cases) EXPECT_EQ(IconMarker(c.type), c.marker) << c.type;
}

TEST(MessageBoxText, LinesBreakAtEveryLineEndAndWrapAtBlanks) {
  struct Case {
    const char* what;
    std::string text;
    int width;
    std::vector<std::string> lines;
  } cases[] = {
      {"CR LF", "one\r\ntwo", 20, {"one", "two"}},
      {"LF and a lone CR", "one\ntwo\rthree", 20, {"one", "two", "three"}},
      {"blanks kept at both ends", "   Verify this. ", 20, {"   Verify this. "}},
      {"empty lines stay", "a\r\n\r\nb", 20, {"a", "", "b"}},
      {"wrap at the last blank", "alpha beta gamma", 11, {"alpha beta", "gamma"}},
      {"a word longer than the width is cut", "abcdefghij", 4, {"abcd", "efgh", "ij"}},
      {"leading blanks do not count as a break", "   abcdefgh", 6, {"   abc", "defgh"}},
      {"tab shown as a blank", "a\tb", 20, {"a b"}},
      {"empty text", "", 20, {""}},
  };
  for (const auto& c : cases) EXPECT_EQ(WrapLines(c.text, c.width), c.lines) << c.what;
}

TEST(MessageBoxKeys, AnswersAsOnTheDesktop) {
  struct Case {
    const char* what;
    unsigned type;
    std::vector<KeyEvent> keys;
    std::optional<int> result;
  } cases[] = {
      {"Enter presses the first button", MB_OKCANCEL, {K::Key(KeyCode::Enter)}, IDOK},
      {"Right then Enter", MB_OKCANCEL, {K::Key(KeyCode::Right), K::Key(KeyCode::Enter)}, IDCANCEL},
      {"Left wraps to the last", MB_YESNOCANCEL, {K::Key(KeyCode::Left), K::Key(KeyCode::Enter)}, IDCANCEL},
      {"Tab moves on", MB_YESNO, {K::Key(KeyCode::Tab), K::Char(' ')}, IDNO},
      {"first letters", MB_ABORTRETRYIGNORE, {K::Char('i')}, IDIGNORE},
      {"letters ignore case", MB_YESNO, {K::Char('N')}, IDNO},
      {"R for Retry", MB_RETRYCANCEL, {K::Char('r')}, IDRETRY},
      {"O for OK", MB_OKCANCEL, {K::Char('o')}, IDOK},
      {"a letter of no button", MB_YESNO, {K::Char('o')}, std::nullopt},
      {"Escape answers Cancel", MB_YESNOCANCEL, {K::Key(KeyCode::Escape)}, IDCANCEL},
      {"Escape closes an OK box", MB_OK, {K::Key(KeyCode::Escape)}, IDOK},
      {"Escape cannot answer Yes/No", MB_YESNO, {K::Key(KeyCode::Escape)}, std::nullopt},
      {"Escape cannot answer Abort/Retry/Ignore", MB_ABORTRETRYIGNORE, {K::Key(KeyCode::Escape)}, std::nullopt},
  };
  for (const auto& c : cases) {
    MessageBoxView box("text", "caption", c.type);
    std::optional<int> result;
    for (const auto& k : c.keys)
      if (!result) result = box.HandleKey(k);
    EXPECT_EQ(result, c.result) << c.what;
  }
}

TEST(MessageBoxKeys, AGoneTerminalGetsTheSafeAnswer) {
  struct Case {
    unsigned type;
    int result;
  } cases[] = {{MB_OK, IDOK},       {MB_OKCANCEL, IDCANCEL}, {MB_YESNO, IDNO},
               {MB_YESNOCANCEL, IDCANCEL}, {MB_ABORTRETRYIGNORE, IDABORT}, {MB_RETRYCANCEL, IDCANCEL}};
  for (const auto& c : cases) EXPECT_EQ(MessageBoxView("t", "c", c.type).CancelResult(), c.result) << c.type;
}

TEST(MessageBoxPaint, CaptionMarkerLinesAndButtons) {
  MessageBoxView box("Firmware Update Execute ?\r\nSecond line", "Sample", MB_OKCANCEL | MB_ICONQUESTION);
  box.Layout(80);
  box.SetOrigin(0, 0);
  Canvas canvas(box.Rows(), box.Cols());
  box.Paint(canvas);
  EXPECT_EQ(canvas.Dump(),
            "+- Sample -----------------------+\n"
            "|                                |\n"
            "|  ?  Firmware Update Execute ?  |\n"
            "|     Second line                |\n"
            "|                                |\n"
            "|     >   OK   <  [ Cancel ]     |\n"
            "|                                |\n"
            "+--------------------------------+\n");
  // Clicking the second button answers it.
  EXPECT_EQ(box.HandleKey(K::Click(5, 22)), IDCANCEL);
}

TEST(MessageBoxPaint, LongLinesWrapToTheScreen) {
  std::string line = "- This program is for use only with the MX-R4410.  It cannot be used with any other model.";
  MessageBoxView box(line, "Sample", MB_OK | MB_ICONEXCLAMATION);
  box.Layout(80);
  EXPECT_LE(box.Cols(), 80);
  ASSERT_EQ(box.Lines().size(), 2u);
  EXPECT_EQ(box.Lines()[0] + " " + box.Lines()[1], line);
}

}  // namespace
}  // namespace morv::terminal
