// Every text of both programs' resources fits where it is shown, in every toolkit
// that draws it: labels and button captions inside their controls, box texts and
// captions inside their boxes. Qt measures with the dialog's own font; the terminal
// counts character cells.

#include <QApplication>
#include <QFontMetrics>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

#include "platform/qt/qt_dialog_window.h"
#include "platform/qt/qt_toolkit.h"
#include "platform/qt/testing/test_application.h"
#include "platform/terminal/cell_layout.h"
#include "platform/terminal/message_box_view.h"
#include "framework/feedback.h"
#include "ui/resource_ids.h"
#include "ui/resources.h"

namespace morv {
namespace {

struct Program {
  const char* name;
  const ProgramResources& (*resources)();
};
const Program kPrograms[] = {{"MorvantideNT", &ResourcesNT}, {"Morvantide4", &Resources4}};

bool IsText(const ControlTemplate& c) {
  return (c.cls == ControlClass::Static && (c.style & SS_TYPEMASK) != SS_ICON) || c.cls == ControlClass::Button;
}

/// The texts of the boxes a program shows from its resources.
std::vector<std::string> BoxTexts(const ProgramResources& r) {
  return {r.notice, r.LoadString(kStringNoMemory)};
}

QApplication& App() { return qt::TestApplication(); }

/// Opens `dialog` with the Qt toolkit and runs `look` on it.
void WithQtDialog(const DialogTemplate& dialog, const ProgramResources& resources,
                  const std::function<void(qt::QtDialogWindow&)>& look) {
  struct Handler : DialogHandler {
    std::function<void(DialogWindow&)> init;
    bool OnInitDialog(DialogWindow& w) override {
      init(w);
      w.EndDialog(IDOK);
      return false;
    }
    void OnCommand(int, int) override {}
    bool OnSysCommand(unsigned, long) override { return false; }
  } handler;
  handler.init = [&](DialogWindow& w) { look(dynamic_cast<qt::QtDialogWindow&>(w)); };
  qt::QtToolkit().DoModal(dialog, resources, handler);
}

TEST(ResourceLayout, EveryLabelAndButtonCaptionFitsItsControlInQt) {
  App();
  for (const Program& program : kPrograms) {
    const ProgramResources& r = program.resources();
    for (const DialogTemplate* dialog : {&r.mainDialog, &r.aboutBox}) {
      WithQtDialog(*dialog, r, [&](qt::QtDialogWindow& window) {
        QFontMetrics metrics(window.font());
        QList<QLabel*> labels = window.findChildren<QLabel*>();
        int label = 0;
        for (const auto& c : dialog->controls) {
          QLabel* shownBy = c.cls == ControlClass::Static ? labels[label++] : nullptr;
          if (!IsText(c) || c.text.empty()) continue;
          SCOPED_TRACE(std::string(program.name) + " \"" + c.text + "\"");
          int needed = metrics.horizontalAdvance(QString::fromStdString(terminal::DisplayText(c.text)));
          if (shownBy) {
            EXPECT_LE(needed, shownBy->contentsRect().width());
          } else {
            // A button keeps about half a character's room on either side.
            auto* button = window.findChild<QPushButton*>(qt::ControlObjectName(c.id));
            EXPECT_LE(needed + metrics.averageCharWidth(), button->width());
          }
        }
      });
    }
  }
}

TEST(ResourceLayout, EveryBoxShowsItsWholeTextAndCaptionInQt) {
  App();
  for (const Program& program : kPrograms) {
    for (const std::string& text : BoxTexts(program.resources())) {
      SCOPED_TRACE(std::string(program.name) + " \"" + text + "\"");
      // A timer: a box processes the posted calls before its loop runs.
      QTimer::singleShot(std::chrono::milliseconds(1), &App(), [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        QFontMetrics metrics(box->font());
        EXPECT_GE(box->width(), metrics.horizontalAdvance(box->windowTitle()) + 6 * metrics.height());
        auto* label = box->findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
        ASSERT_NE(label, nullptr);
        EXPECT_EQ(label->text(), QString::fromStdString(text).replace("\r\n", "\n"));
        EXPECT_LE(label->heightForWidth(label->width()), label->height());  // no line cut off
        box->button(QMessageBox::Ok)->click();
      });
      qt::QtToolkit().MessageBox(text, program.name, MB_OK | MB_ICONEXCLAMATION);
    }
  }
}

TEST(ResourceLayout, EveryLabelAndButtonCaptionFitsItsCellsInTheTerminal) {
  for (const Program& program : kPrograms) {
    const ProgramResources& r = program.resources();
    for (const DialogTemplate* dialog : {&r.mainDialog, &r.aboutBox}) {
      std::vector<terminal::CellRect> cells = terminal::LayoutControls(*dialog);
      for (size_t i = 0; i < dialog->controls.size(); ++i) {
        const ControlTemplate& c = dialog->controls[i];
        if (!IsText(c) || c.text.empty() || !(c.style & WS_VISIBLE)) continue;
        SCOPED_TRACE(std::string(program.name) + " \"" + c.text + "\"");
        int needed = static_cast<int>(terminal::DisplayText(c.text, (c.style & SS_NOPREFIX) != 0).size());
        if (c.cls == ControlClass::Button) needed += 2;  // its brackets
        EXPECT_LE(needed, cells[i].cols);
        EXPECT_LE(cells[i].Right(), terminal::DialogCols(*dialog));
      }
    }
  }
}

TEST(ResourceLayout, EveryBoxFitsAnEightyColumnTerminalWithItsCaption) {
  for (const Program& program : kPrograms) {
    for (const std::string& text : BoxTexts(program.resources())) {
      SCOPED_TRACE(std::string(program.name) + " \"" + text + "\"");
      terminal::MessageBoxView box(text, program.name, MB_OK | MB_ICONEXCLAMATION);
      box.Layout(80);
      EXPECT_LE(box.Cols(), 80);
      EXPECT_LE(box.Rows(), 24);
      terminal::Canvas canvas(24, 80);
      box.SetOrigin(0, 0);
      box.Paint(canvas);
      EXPECT_NE(canvas.Dump().find(std::string(" ") + program.name + " "), std::string::npos);
    }
  }
}

}  // namespace
}  // namespace morv
