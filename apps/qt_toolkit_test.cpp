// The Qt toolkit (platform/qt) over both programs' dialog templates and the main dialog.
#include "platform/qt/qt_toolkit.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <signal.h>
#include <unistd.h>

#include <functional>

#include <gtest/gtest.h>

#include "platform/qt/qt_dialog_window.h"
#include "platform/termination_close_request.h"
#include "platform/qt/testing/test_application.h"
#include "ui/flash_dlg.h"
#include "ui/resource_ids.h"
#include "ui/resources.h"
#include "scsi/testing/fake_transport.h"
#include "ui/testing/recording_selection.h"
#include "framework/testing/temp_directory.h"
#include "ui/toolkit_feedback.h"

namespace morv::qt {
namespace {

QApplication& App() { return TestApplication(); }

/// Runs `step` once the running dialog's (or box's) event loop has started: a timer,
/// for a box processes the posted calls before its loop, throwing keys away.
void WhenModal(std::function<void(QWidget&)> step) {
  QTimer::singleShot(std::chrono::milliseconds(1), &App(), [step = std::move(step)] {
    QWidget* modal = QApplication::activeModalWidget();
    ASSERT_NE(modal, nullptr);
    // Focus changes reach widgets only in the active window.
    modal->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(modal));
    step(*modal);
  });
}

template <typename W>
W* Control(QWidget& dialog, int id) {
  return dialog.findChild<W*>(ControlObjectName(id));
}

/// A dialog procedure that records commands and runs a test's checks.
struct RecordingHandler : DialogHandler {
  std::function<void(DialogWindow&)> onInit;
  std::function<void(int id, int code)> onCommand;
  std::vector<std::pair<int, int>> commands;
  DialogWindow* window = nullptr;

  bool OnInitDialog(DialogWindow& w) override {
    window = &w;
    if (onInit) onInit(w);
    return true;
  }
  void OnCommand(int id, int code) override {
    commands.emplace_back(id, code);
    if (onCommand) onCommand(id, code);
  }
  bool OnSysCommand(unsigned, long) override { return false; }
};

struct QtToolkitTest : ::testing::Test {
  void SetUp() override { App(); }
  QtToolkit toolkit;
};

TEST_F(QtToolkitTest, DialogsBuildFromTheirTemplates) {
  const DialogTemplate* templates[] = {&ResourcesNT().mainDialog, &Resources4().mainDialog, &ResourcesNT().aboutBox,
                                       &Resources4().aboutBox};
  const ProgramResources* owners[] = {&ResourcesNT(), &Resources4(), &ResourcesNT(), &Resources4()};
  for (int i = 0; i < 4; ++i) {
    const DialogTemplate& t = *templates[i];
    SCOPED_TRACE(t.caption);
    RecordingHandler handler;
    handler.onInit = [&](DialogWindow& w) {
      auto& dialog = dynamic_cast<QtDialogWindow&>(w);
      EXPECT_EQ(dialog.windowTitle().toStdString(), t.caption);
      QList<QLabel*> labels = dialog.findChildren<QLabel*>();
      int label = 0;
      for (const auto& c : t.controls) {
        bool visible = c.style & WS_VISIBLE;
        if (c.id != -1) {
          QWidget* widget = Control<QWidget>(dialog, c.id);
          ASSERT_NE(widget, nullptr) << c.id;
          EXPECT_EQ(!widget->isHidden(), visible) << c.id;
          EXPECT_EQ(w.IsWindowVisible(c.id), visible) << c.id;
          if (c.cls == ControlClass::Button) {
            EXPECT_EQ(w.GetWindowText(c.id), c.text);
          }
          continue;
        }
        ASSERT_LT(label, labels.size());
        QLabel* l = labels[label++];
        EXPECT_EQ(!l->isHidden(), visible) << c.text;
        if ((c.style & SS_TYPEMASK) == SS_ICON) {
          EXPECT_FALSE(l->pixmap().isNull());
        } else {
          EXPECT_EQ(l->text().toStdString(), c.text);
        }
      }
      w.EndDialog(IDOK);
    };
    EXPECT_EQ(toolkit.DoModal(t, *owners[i], handler), IDOK);
  }
}

TEST_F(QtToolkitTest, MainDialogHasTheMenuBarAndTheTemplatesSize) {
  RecordingHandler handler;
  handler.onInit = [&](DialogWindow& w) {
    auto& dialog = dynamic_cast<QtDialogWindow&>(w);
    QMenuBar* bar = dialog.findChild<QMenuBar*>(QString(), Qt::FindDirectChildrenOnly);
    ASSERT_NE(bar, nullptr);
    // One bar, so the keyboard reaches every item: Option, then About at its right end.
    ASSERT_EQ(bar->actions().size(), 3);
    QAction* option = bar->actions()[0];
    QAction* about = bar->actions()[2];
    EXPECT_EQ(option->text(), "&Option");  // the first letter is the item's key
    ASSERT_NE(option->menu(), nullptr);
    ASSERT_EQ(option->menu()->actions().size(), 1);
    EXPECT_EQ(option->menu()->actions()[0]->text(), "&Rescan");
    EXPECT_EQ(about->text(), "&About");
    // Both menu commands reach the handler with their IDs.
    option->menu()->actions()[0]->trigger();
    about->trigger();

    BaseUnits u = dialog.Units();
    EXPECT_EQ(dialog.width(), MulDiv(214, u.x, 4));
    EXPECT_EQ(dialog.height(), MulDiv(135, u.y, 8) + bar->height());
    QWidget* status = Control<QWidget>(dialog, IDC_STATUS);
    EXPECT_EQ(status->geometry(), QRect(MulDiv(93, u.x, 4), MulDiv(120, u.y, 8), MulDiv(117, u.x, 4),
                                        MulDiv(12, u.y, 8)));
    w.EndDialog(IDCANCEL);
  };
  toolkit.DoModal(ResourcesNT().mainDialog, ResourcesNT(), handler);
  EXPECT_EQ(handler.commands, (std::vector<std::pair<int, int>>{{ID_OPTION_RESCAN, 0}, {ID_ABOUT, 0}}));
}

TEST_F(QtToolkitTest, ClickingAFileEntryReplacesTheSelectedFile) {
  TempCurrentDirectory dir;
  for (const char* name : {"ALPHA.OUC", "BETA.OUC", "GAMMA.OUC"}) dir.Touch(name);
  ToolkitFeedback feedback(toolkit, ResourcesNT(), "MorvantideNT");
  FakeTransport transport;
  CFlashDlg dialog(toolkit, feedback, ResourcesNT(), transport,
                   [](CScsiDrive&, Feedback&) { return std::make_unique<RecordingSelection>(); });
  std::vector<std::string> seen;
  WhenModal([&](QWidget& window) {
    auto* list = Control<QListWidget>(window, IDC_FILE_LIST);
    auto* field = Control<QLineEdit>(window, IDC_SELECTED_FILE);
    ASSERT_TRUE(list && field);
    EXPECT_EQ(field->text(), "");  // the list's focus selects nothing
    EXPECT_TRUE(list->selectedItems().isEmpty());
    for (int row : {2, 0}) {
      QRect item = list->visualItemRect(list->item(row));
      QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, item.center());
      seen.push_back(field->text().toStdString());
    }
    QTest::keyClick(&window, Qt::Key_Escape);
  });
  EXPECT_EQ(dialog.DoModal(), IDCANCEL);
  EXPECT_EQ(seen, (std::vector<std::string>{"GAMMA.OUC", "ALPHA.OUC"}));
}

TEST_F(QtToolkitTest, EnterPressesTheDefaultOrTheFocusedButton) {
  struct Case {
    const char* what;
    int focus;
    bool updateStartEnabled;
    std::vector<std::pair<int, int>> commands;
  } cases[] = {
      {"file list", IDC_FILE_LIST, true, {{IDC_UPDATE_START, BN_CLICKED}}},
      {"device selector", IDC_DEVICE, true, {{IDC_UPDATE_START, BN_CLICKED}}},
      {"Exit button", IDOK, true, {{IDOK, BN_CLICKED}}},
      {"default button disabled", IDC_FILE_LIST, false, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    RecordingHandler handler;
    handler.onInit = [&](DialogWindow& w) { w.EnableWindow(IDC_UPDATE_START, c.updateStartEnabled); };
    WhenModal([&](QWidget& window) {
      QWidget* target = Control<QWidget>(window, c.focus);
      target->setFocus();
      QTest::keyClick(target, Qt::Key_Return);
      EXPECT_EQ(handler.commands, c.commands);
      handler.window->EndDialog(IDOK);
    });
    toolkit.DoModal(ResourcesNT().mainDialog, ResourcesNT(), handler);
  }
}

// Every menu item is reached from the keyboard: Alt and the item's letter, F10 and
// the arrows, and Alt alone, which arms the bar with a visible mark on the armed
// item before Enter opens it (Enter does not press Update Start then).
TEST_F(QtToolkitTest, EveryMenuItemIsReachedByKeysAndTheArmedItemIsMarked) {
  RecordingHandler handler;
  bool popupAfterEnter = false;
  WhenModal([&](QWidget& window) {
    auto target = [] { return QApplication::activePopupWidget() ? QApplication::activePopupWidget() : QApplication::focusWidget(); };
    auto press = [&](Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
      QTest::keyClick(target(), key, modifiers);
    };
    Control<QWidget>(window, IDC_FILE_LIST)->setFocus();
    press(Qt::Key_A, Qt::AltModifier);
    press(Qt::Key_O, Qt::AltModifier);
    press(Qt::Key_Return);
    press(Qt::Key_F10);
    press(Qt::Key_Right);
    press(Qt::Key_Return);
    QMenuBar* bar = window.findChild<QMenuBar*>();
    EXPECT_GT(bar->actionGeometry(bar->actions().back()).left(), bar->width() / 2) << "About at the right end";
    QImage unarmed = bar->grab().toImage();
    // Alt alone, as the window system delivers it: the press (its shortcut query
    // first, unanswered, so it travels up to the window) and the release.
    QKeyEvent altQuery(QEvent::ShortcutOverride, Qt::Key_Alt, Qt::AltModifier);
    QKeyEvent altDown(QEvent::KeyPress, Qt::Key_Alt, Qt::AltModifier);
    QKeyEvent altUp(QEvent::KeyRelease, Qt::Key_Alt, Qt::NoModifier);
    altQuery.ignore();
    for (QKeyEvent* event : {&altQuery, &altDown, &altUp}) QApplication::sendEvent(target(), event);
    EXPECT_NE(bar->grab().toImage(), unarmed) << "Alt armed the bar without a mark";
    press(Qt::Key_Return);
    popupAfterEnter = QApplication::activePopupWidget() != nullptr;
    press(Qt::Key_Escape);
    handler.window->EndDialog(IDCANCEL);
  });
  toolkit.DoModal(ResourcesNT().mainDialog, ResourcesNT(), handler);
  EXPECT_EQ(handler.commands, (std::vector<std::pair<int, int>>{{ID_ABOUT, 0}, {ID_OPTION_RESCAN, 0}, {ID_ABOUT, 0}}));
  EXPECT_TRUE(popupAfterEnter) << "Enter opens the armed menu";
}

// Each control that takes the focus shows that it has it; the default button too,
// which looks the same as a default button with or without the focus otherwise.
TEST_F(QtToolkitTest, EveryFocusableControlShowsTheFocus) {
  RecordingHandler handler;
  handler.onInit = [](DialogWindow& w) {
    w.AddString(IDC_FILE_LIST, "A.OUC");
    w.AddString(IDC_DEVICE, "E:KESTREL MX-R4410");
    w.SetCurSel(IDC_DEVICE, 0);
    w.SetWindowText(IDC_FIRMWARE_VERSION, "1.00");
  };
  WhenModal([&](QWidget& window) {
    DialogWindow& w = *handler.window;
    for (int id : {IDC_FILE_LIST, IDC_DEVICE, IDC_UPDATE_START, IDOK, IDC_FIRMWARE_VERSION, IDC_STATUS}) {
      SCOPED_TRACE(id);
      QWidget* control = Control<QWidget>(window, id);
      w.SetFocus(id == IDC_FILE_LIST ? IDC_STATUS : IDC_FILE_LIST);
      QImage unfocused = control->grab().toImage();
      w.SetFocus(id);
      EXPECT_NE(control->grab().toImage(), unfocused);
    }
    w.EndDialog(IDCANCEL);
  });
  toolkit.DoModal(ResourcesNT().mainDialog, ResourcesNT(), handler);
}

// Texts wider than their field keep both ends in sight (two packages that differ
// near the end stay apart), the whole text is in the tooltip, and the dialog reads
// back the bytes it gave.
TEST_F(QtToolkitTest, LongNamesAndTextsKeepBothEndsAndTheWholeText) {
  struct Case {
    int id;
    std::string text, head, tail;
  } cases[] = {
      {IDC_SELECTED_FILE, "KESTREL_MX-R4410_FIRMWARE_V104_FINAL_RELEASE.OUC", "KESTREL", ".OUC"},
      {IDC_STATUS, "File Read Error!(11) No such file or directory", "File", "directory"},
  };
  RecordingHandler handler;
  WhenModal([&](QWidget& window) {
    DialogWindow& w = *handler.window;
    for (const auto& c : cases) {
      SCOPED_TRACE(c.text);
      w.SetWindowText(c.id, c.text);
      auto* field = Control<QLineEdit>(window, c.id);
      QString shown = field->text();
      EXPECT_TRUE(shown.startsWith(QString::fromStdString(c.head)) && shown.endsWith(QString::fromStdString(c.tail)))
          << shown.toStdString();
      EXPECT_LT(field->fontMetrics().horizontalAdvance(shown), field->width());
      EXPECT_EQ(field->toolTip().toStdString(), c.text);
      EXPECT_EQ(w.GetWindowText(c.id), c.text);
    }
    // Two names alike at both ends are painted apart in the list.
    w.AddString(IDC_FILE_LIST, cases[0].text);
    w.AddString(IDC_FILE_LIST, "KESTREL_MX-R4410_FIRMWARE_V105_FINAL_RELEASE.OUC");
    auto* list = Control<QListWidget>(window, IDC_FILE_LIST);
    EXPECT_EQ(list->item(0)->toolTip().toStdString(), cases[0].text);
    EXPECT_EQ(w.GetLBText(IDC_FILE_LIST, 0), cases[0].text);
    list->doItemsLayout();
    ASSERT_FALSE(list->visualItemRect(list->item(1)).isEmpty());
    QPixmap row0 = list->viewport()->grab(list->visualItemRect(list->item(0)));
    QPixmap row1 = list->viewport()->grab(list->visualItemRect(list->item(1)));
    EXPECT_NE(row0.toImage(), row1.toImage());
    w.EndDialog(IDCANCEL);
  });
  toolkit.DoModal(ResourcesNT().mainDialog, ResourcesNT(), handler);
}

TEST_F(QtToolkitTest, EscapeAndTheCloseBoxAskTheHandler) {
  using Close = std::function<void(QWidget&)>;
  struct Case {
    const char* what;
    Close close;
  } cases[] = {
      {"escape", [](QWidget& w) { QTest::keyClick(Control<QWidget>(w, IDC_FILE_LIST), Qt::Key_Escape); }},
      {"close box", [](QWidget& w) { w.close(); }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    RecordingHandler handler;
    bool refuse = true;  // the first time the handler keeps the dialog open
    handler.onCommand = [&](int id, int) {
      if (id == IDCANCEL && !refuse) handler.window->EndDialog(IDCANCEL);
    };
    WhenModal([&](QWidget& window) {
      c.close(window);
      EXPECT_TRUE(window.isVisible());
      refuse = false;
      c.close(window);
    });
    EXPECT_EQ(toolkit.DoModal(Resources4().mainDialog, Resources4(), handler), IDCANCEL);
    EXPECT_EQ(handler.commands, (std::vector<std::pair<int, int>>{{IDCANCEL, BN_CLICKED}, {IDCANCEL, BN_CLICKED}}));
  }
}

TEST_F(QtToolkitTest, TheDialogEndsOnlyAfterTheRunningHandlerReturns) {
  RecordingHandler handler;
  bool visibleAfterEnd = false;
  handler.onCommand = [&](int id, int) {
    if (id != IDC_UPDATE_START) return;
    handler.window->EndDialog(IDOK);
    toolkit.PumpOneMessage();
    visibleAfterEnd = dynamic_cast<QWidget*>(handler.window)->isVisible();
  };
  WhenModal([&](QWidget& window) { Control<QPushButton>(window, IDC_UPDATE_START)->click(); });
  EXPECT_EQ(toolkit.DoModal(ResourcesNT().mainDialog, ResourcesNT(), handler), IDOK);
  EXPECT_TRUE(visibleAfterEnd);
}

TEST_F(QtToolkitTest, OnlyTheOperatorsSelectionsNotify) {
  RecordingHandler handler;
  handler.onInit = [](DialogWindow& w) {
    w.AddString(IDC_HOST_ADAPTER, "second");
    w.AddString(IDC_HOST_ADAPTER, "first");  // unsorted: appended
    w.AddString(IDC_DEVICE, "E: B");
    w.AddString(IDC_DEVICE, "D: A");         // sorted: inserted before
    w.AddString(IDC_FILE_LIST, "\xff.OUC");   // not UTF-8: kept byte for byte
  };
  WhenModal([&](QWidget& window) {
    DialogWindow& w = *handler.window;
    EXPECT_EQ(w.GetCurSel(IDC_DEVICE), CB_ERR);  // adding selects nothing
    EXPECT_EQ(w.GetLBText(IDC_HOST_ADAPTER, 1), "first");
    EXPECT_EQ(w.GetLBText(IDC_DEVICE, 0), "D: A");
    EXPECT_EQ(w.GetLBText(IDC_FILE_LIST, 0), "\xff.OUC");
    EXPECT_EQ(w.SetCurSel(IDC_DEVICE, 1), 1);
    EXPECT_EQ(w.GetWindowText(IDC_DEVICE), "E: B");
    EXPECT_EQ(w.SetCurSel(IDC_DEVICE, 2), CB_ERR);
    EXPECT_EQ(w.GetCurSel(IDC_DEVICE), CB_ERR);
    EXPECT_EQ(w.SetCurSel(IDC_FILE_LIST, 0), 0);
    EXPECT_TRUE(handler.commands.empty());

    auto* device = Control<QComboBox>(window, IDC_DEVICE);
    device->setFocus();
    QTest::keyClick(device, Qt::Key_Down);
    auto* list = Control<QListWidget>(window, IDC_FILE_LIST);
    w.SetCurSel(IDC_FILE_LIST, -1);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(0)).center());
    w.EndDialog(IDOK);
  });
  toolkit.DoModal(Resources4().mainDialog, Resources4(), handler);
  EXPECT_EQ(handler.commands,
            (std::vector<std::pair<int, int>>{{IDC_DEVICE, CBN_SELCHANGE}, {IDC_FILE_LIST, LBN_SELCHANGE}}));
}

TEST_F(QtToolkitTest, MessageBoxesAnswerWithTheButtonPressed) {
  using Answer = std::function<void(QMessageBox&)>;
  auto press = [](QMessageBox::StandardButton b) { return [b](QMessageBox& box) { box.button(b)->click(); }; };
  auto escapeThen = [](QMessageBox::StandardButton b) {
    return [b](QMessageBox& box) {
      QTest::keyClick(&box, Qt::Key_Escape);
      if (box.isVisible()) box.button(b)->click();
    };
  };
  struct Case {
    unsigned type;
    Answer answer;
    int result;
    int buttons;
    QMessageBox::Icon icon;
  } cases[] = {
      {MB_YESNO | MB_ICONQUESTION, press(QMessageBox::Yes), IDYES, 2, QMessageBox::Question},
      {MB_YESNO | MB_ICONQUESTION, press(QMessageBox::No), IDNO, 2, QMessageBox::Question},
      {MB_YESNO, escapeThen(QMessageBox::Yes), IDYES, 2, QMessageBox::NoIcon},  // Escape cannot answer
      {MB_OKCANCEL | MB_ICONEXCLAMATION, press(QMessageBox::Cancel), IDCANCEL, 2, QMessageBox::Warning},
      {MB_ABORTRETRYIGNORE, press(QMessageBox::Ignore), IDIGNORE, 3, QMessageBox::NoIcon},
      {MB_YESNOCANCEL | MB_ICONASTERISK, escapeThen(QMessageBox::Yes), IDCANCEL, 3, QMessageBox::Information},
      {MB_OK | MB_ICONHAND, escapeThen(QMessageBox::Ok), IDOK, 1, QMessageBox::Critical},
      {MB_RETRYCANCEL, press(QMessageBox::Retry), IDRETRY, 2, QMessageBox::NoIcon},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.type);
    WhenModal([&](QWidget& widget) {
      auto* box = qobject_cast<QMessageBox*>(&widget);
      ASSERT_NE(box, nullptr);
      EXPECT_EQ(box->windowTitle(), "Caption");
      EXPECT_EQ(box->text(), "line one\nline two");
      EXPECT_EQ(box->buttons().size(), c.buttons);
      EXPECT_EQ(box->icon(), c.icon);
      c.answer(*box);
    });
    EXPECT_EQ(toolkit.MessageBox("line one\r\nline two", "Caption", c.type), c.result);
  }
}

TEST_F(QtToolkitTest, BusyCursorIsLiftedWhileABoxIsOpen) {
  toolkit.SetCursor(CursorShape::Wait);
  toolkit.SetCursor(CursorShape::Wait);
  EXPECT_EQ(toolkit.GetCursor(), CursorShape::Wait);
  CursorShape duringBox = CursorShape::Wait;
  WhenModal([&](QWidget& box) {
    duringBox = toolkit.GetCursor();
    qobject_cast<QMessageBox*>(&box)->button(QMessageBox::Ok)->click();
  });
  toolkit.MessageBox("busy", "Caption", MB_OK);
  EXPECT_EQ(duringBox, CursorShape::Arrow);
  EXPECT_EQ(toolkit.GetCursor(), CursorShape::Wait);
  toolkit.SetCursor(CursorShape::Arrow);
  EXPECT_EQ(toolkit.GetCursor(), CursorShape::Arrow);
  EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

// SIGTERM while the dialog waits closes it as the close box does; one that comes
// while a handler runs (pumping, or with a box open) waits until the handler has
// returned, and an open box is answered as if nobody were there.
TEST(QtToolkitCloseRequest, SigtermClosesTheDialogOnceNoHandlerRuns) {
  enum class When { Idle, DuringAPumpedHandler, WithABoxOpen };
  for (When when : {When::Idle, When::DuringAPumpedHandler, When::WithABoxOpen}) {
    SCOPED_TRACE(static_cast<int>(when));
    App();
    TerminationCloseRequest closeRequest;
    QtToolkit toolkit(&closeRequest);
    RecordingHandler handler;
    bool handlerRunning = false;
    bool cancelledDuringTheHandler = false;
    int boxAnswer = 0;
    handler.onCommand = [&](int id, int) {
      if (id == IDCANCEL) {
        cancelledDuringTheHandler = handlerRunning;
        handler.window->EndDialog(IDCANCEL);
        return;
      }
      handlerRunning = true;
      if (when == When::DuringAPumpedHandler) {
        kill(getpid(), SIGTERM);
        for (int i = 0; i < 50; ++i) {
          toolkit.PumpOneMessage();
          QTest::qWait(2);
        }
      } else {
        WhenModal([](QWidget&) { kill(getpid(), SIGTERM); });
        boxAnswer = toolkit.MessageBox("Firmware Update Execute ?", "Morvantide4", MB_YESNO | MB_ICONQUESTION);
      }
      handlerRunning = false;
    };
    WhenModal([&](QWidget& dialog) {
      if (when == When::Idle) {
        kill(getpid(), SIGTERM);
      } else {
        Control<QPushButton>(dialog, IDC_UPDATE_START)->setEnabled(true);
        Control<QPushButton>(dialog, IDC_UPDATE_START)->click();
      }
    });
    EXPECT_EQ(toolkit.DoModal(Resources4().mainDialog, Resources4(), handler), IDCANCEL);
    EXPECT_FALSE(cancelledDuringTheHandler);
    ASSERT_FALSE(handler.commands.empty());
    EXPECT_EQ(handler.commands.back(), std::make_pair(IDCANCEL, BN_CLICKED));
    EXPECT_EQ(boxAnswer, when == When::WithABoxOpen ? IDNO : 0);
    EXPECT_EQ(TerminationCloseRequest::NotedSignal(), SIGTERM);
  }
}

}  // namespace
}  // namespace morv::qt
