// Every text of both programs' resources fits where it is shown, in every toolkit
// that draws it: labels and button captions inside their controls, box texts and
// captions inside their boxes, boxes and dialogs inside the screen (ctest runs this
// on several screens). Qt measures with the dialog's own font; the terminal counts
// character cells. And the icons show: each program's own, the picture on any window.

#include <QApplication>
#include <QFontMetrics>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QStyle>
#include <QTimer>

#include <gtest/gtest.h>

#include "platform/qt/qt_dialog_window.h"
#include "platform/qt/qt_icons.h"
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

/// The words of `text`, whatever blanks and line breaks lie between them.
QStringList Words(const QString& text) { return text.split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts); }

TEST(ResourceLayout, EveryBoxBreaksLinesBetweenWordsOnlyAndFitsTheScreenInQt) {
  App();
  for (const Program& program : kPrograms) {
    for (const std::string& text : BoxTexts(program.resources())) {
      SCOPED_TRACE(std::string(program.name) + " \"" + text + "\"");
      // A timer: a box processes the posted calls before its loop runs.
      QTimer::singleShot(std::chrono::milliseconds(1), &App(), [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        const QRect available = box->screen()->availableGeometry();
        QFontMetrics metrics(box->font());
        EXPECT_GE(box->width(), std::min(metrics.horizontalAdvance(box->windowTitle()) + 6 * metrics.height(),
                                         available.width() - 4));
        EXPECT_TRUE(available.contains(box->frameGeometry())) << box->frameGeometry().width() << "x"
                                                              << box->frameGeometry().height();
        auto* label = box->findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
        ASSERT_NE(label, nullptr);
        const QString given = QString::fromStdString(text);
        EXPECT_EQ(Words(label->text()), Words(given));  // no word split, none lost
        EXPECT_LE(label->heightForWidth(label->width()), label->height());  // no line cut off
        EXPECT_LE(label->heightForWidth(label->width()), metrics.lineSpacing() * (label->text().count('\n') + 1) + 2);
        // Where the screen has room, every line of the text is one line of the box.
        if (available.width() >= 800) {
          EXPECT_EQ(label->text().count('\n'), given.count(QStringLiteral("\r\n")));
        }
        box->button(QMessageBox::Ok)->click();
      });
      qt::QtToolkit().MessageBox(text, program.name, MB_OK | MB_ICONEXCLAMATION);
    }
  }
}

TEST(ResourceLayout, EveryDialogFitsTheScreenAndItsPictureFollowsTheFontInQt) {
  App();
  for (const Program& program : kPrograms) {
    const ProgramResources& r = program.resources();
    for (const DialogTemplate* dialog : {&r.mainDialog, &r.aboutBox}) {
      SCOPED_TRACE(std::string(program.name) + " " + dialog->caption);
      WithQtDialog(*dialog, r, [&](qt::QtDialogWindow& window) {
        const QRect available = window.screen()->availableGeometry();
        EXPECT_LE(window.width(), available.width());
        EXPECT_LE(window.height() + window.style()->pixelMetric(QStyle::PM_TitleBarHeight), available.height());
        // 32 pixels at the template's font and 96 DPI, and as much larger or smaller as
        // the dialog's font is in pixels.
        const double fontPixels = window.font().pointSizeF() * window.logicalDpiY() / 72;
        const double picture = 32 * fontPixels / (dialog->pointSize * 96.0 / 72);
        for (QLabel* label : window.findChildren<QLabel*>())
          if (!label->pixmap().isNull()) {
            EXPECT_NEAR(label->height(), picture, 1);
          }
      });
    }
  }
}

/// How many pixels of the two pictures differ clearly in colour.
int ClearlyDifferentPixels(const QImage& a, const QImage& b) {
  int count = 0;
  for (int y = 0; y < a.height(); ++y)
    for (int x = 0; x < a.width(); ++x) {
      const QColor p = a.pixelColor(x, y), q = b.pixelColor(x, y);
      const int distance = std::abs(p.red() - q.red()) + std::abs(p.green() - q.green()) + std::abs(p.blue() - q.blue());
      count += distance > 200 ? 1 : 0;
    }
  return count;
}

TEST(ProgramIcons, TellTheTwoProgramsApartAtEverySize) {
  for (int size : {16, 24, 32, 48, 128}) {
    SCOPED_TRACE(size);
    const QImage nt = qt::IconImage(*ResourcesNT().FindIcon(IDR_MAINFRAME), size);
    const QImage four = qt::IconImage(*Resources4().FindIcon(IDR_MAINFRAME), size);
    EXPECT_GE(ClearlyDifferentPixels(nt, four), size * size / 16);
  }
}

/// Relative luminance of an opaque colour, 0 (black) to 1 (white).
double Luminance(QColor c) { return 0.2126 * c.redF() + 0.7152 * c.greenF() + 0.0722 * c.blueF(); }

TEST(ProgramIcons, ThePicturesOutlineShowsOnLightAndDarkWindows) {
  for (const Program& program : kPrograms) {
    const QImage picture = qt::IconImage(*program.resources().FindIcon(IDI_PICTURE));
    auto opaque = [&](int x, int y) { return picture.rect().contains(x, y) && picture.pixelColor(x, y).alpha() > 0; };
    for (QColor window : {QColor(0xF0, 0xF0, 0xF0), QColor(0x30, 0x30, 0x30)}) {
      SCOPED_TRACE(std::string(program.name) + " on " + window.name().toStdString());
      // Each pixel at the picture's edge, or one beside it, stands out from the window.
      for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x) {
          const bool edge = opaque(x, y) && (!opaque(x - 1, y) || !opaque(x + 1, y) || !opaque(x, y - 1) || !opaque(x, y + 1));
          if (!edge) continue;
          double contrast = 0;
          for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx)
              if (opaque(x + dx, y + dy))
                contrast = std::max(contrast, std::abs(Luminance(picture.pixelColor(x + dx, y + dy)) - Luminance(window)));
          EXPECT_GE(contrast, 0.2) << "at " << x << "," << y;
        }
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
