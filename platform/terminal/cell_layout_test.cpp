#include "platform/terminal/cell_layout.h"

#include <gtest/gtest.h>

#include "platform/terminal/testing/sample_dialog.h"

namespace morv::terminal {
namespace {

using testing::Control;

TEST(CellLayout, DialogUnitsBecomeCharacterCells) {
  ProgramResources r = testing::SampleResources();
  EXPECT_EQ(DialogCols(r.mainDialog), 54);
  EXPECT_EQ(DialogRows(r.mainDialog), 17);

  struct Case {
    const char* what;
    size_t index;
    CellRect expected;
  } cases[] = {
      {"push button widened to its caption", 0, {12, 47, 1, 6}},
      {"right-aligned label keeps a blank before its field", 1, {0, 2, 1, 8}},
      {"closed combo box takes one row", 3, {0, 11, 1, 42}},
      {"default button on the centre row", 4, {12, 25, 1, 21}},
      {"label runs past its width into free cells", 5, {3, 28, 1, 24}},
      {"read-only edit", 6, {4, 31, 1, 22}},
      {"label stops before the list box on its row", 7, {7, 29, 1, 13}},
      {"multi-line edit one row high", 8, {8, 30, 1, 22}},
      {"list box spans rows", 10, {4, 1, 12, 22}},
      {"label stops a blank before the next label", 11, {3, 1, 1, 11}},
      {"status line", 12, {15, 23, 1, 30}},
  };
  std::vector<CellRect> rects = LayoutControls(r.mainDialog);
  for (const auto& c : cases) EXPECT_EQ(rects[c.index], c.expected) << c.what;
}

TEST(CellLayout, LabelsKeepClearOfTheirNeighbours) {
  constexpr uint32_t V = WS_VISIBLE;
  struct Case {
    const char* what;
    std::vector<ControlTemplate> controls;
    CellRect expected;  // of the label, the last control
  } cases[] = {
      {"squeezed between two fields: blank on both sides where it fits",
       {Control(1, ControlClass::ComboBox, "", 15, 0, 90, 100, V),
        Control(2, ControlClass::ComboBox, "", 120, 0, 90, 100, V),
        Control(-1, ControlClass::Static, "ID", 110, 0, 8, 8, V | SS_RIGHT)},
       {0, 27, 1, 2}},
      {"a hidden field takes no room",
       {Control(1, ControlClass::ComboBox, "", 45, 0, 100, 100, 0),
        Control(-1, ControlClass::Static, "A long caption", 5, 0, 38, 8, V)},
       {0, 1, 1, 14}},
      {"no room at all: the text is cut, never drawn over the field",
       {Control(1, ControlClass::Edit, "", 20, 0, 100, 12, V),
        Control(-1, ControlClass::Static, "Version", 0, 0, 20, 8, V)},
       {0, 0, 1, 4}},
      {"left-aligned label short of room moves left into free cells",
       {Control(1, ControlClass::Edit, "", 100, 0, 100, 12, V),
        Control(-1, ControlClass::Static, "Twenty characters!!!", 40, 0, 20, 8, V)},
       {0, 4, 1, 20}},
      {"a control on another row does not count",
       {Control(1, ControlClass::Edit, "", 20, 20, 100, 12, V),
        Control(-1, ControlClass::Static, "Version", 0, 0, 20, 8, V)},
       {0, 0, 1, 7}},
  };
  for (auto& c : cases) {
    DialogTemplate d;
    d.cx = 214, d.cy = 50;
    d.controls = c.controls;
    EXPECT_EQ(LayoutControls(d).back(), c.expected) << c.what;
  }
}

TEST(CellLayout, DropDownRowsFollowTheTemplateHeight) {
  struct Case {
    int cy, rows;
  } cases[] = {{140, 16}, {190, 22}, {12, 1}, {0, 1}};
  for (const auto& c : cases)
    EXPECT_EQ(DropDownRows(Control(1, ControlClass::ComboBox, "", 0, 0, 10, c.cy, 0)), c.rows) << c.cy;
}

TEST(CellLayout, MnemonicsAreShownWithoutTheirMarker) {
  struct Case {
    const char* text;
    const char* shown;
    char mnemonic;
  } cases[] = {
      {"&About Sample...", "About Sample...", 'a'},
      {"Re&scan", "Rescan", 's'},
      {"Fish && Chips", "Fish & Chips", 'f'},
      {"Option", "Option", 'o'},
      {"&", "", 0},
      {"...", "...", 0},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(DisplayText(c.text), c.shown) << c.text;
    EXPECT_EQ(Mnemonic(c.text), c.mnemonic) << c.text;
  }
  EXPECT_EQ(DisplayText("A&B", true), "A&B");
}

}  // namespace
}  // namespace morv::terminal
