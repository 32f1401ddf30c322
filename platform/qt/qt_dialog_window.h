#pragma once
// One dialog of the Qt toolkit: a QDialog built from a dialog template, whose
// controls are addressed by their IDs and whose operator actions reach the
// dialog's handler as commands.

#include <QDialog>

#include <string>
#include <vector>

#include "platform/qt/dialog_units.h"
#include "framework/toolkit.h"

class QMenuBar;

namespace morv::qt {

/// The object name of the widget that shows control `id` ("control-1008").
QString ControlObjectName(int id);

class QtDialogWindow : public QDialog, public DialogWindow {
 public:
  QtDialogWindow(const DialogTemplate& dialog, const ProgramResources& resources, DialogHandler& handler,
                 QWidget* parent);

  /// Delivers OnInitDialog, then runs the dialog modally; returns its result.
  int Run();

  void EndDialog(int result) override;
  void SetWindowText(int id, const std::string& text) override;
  std::string GetWindowText(int id) const override;
  void EnableWindow(int id, bool enable) override;
  bool IsWindowEnabled(int id) const override;
  bool IsWindowVisible(int id) const override;
  void SetFocus(int id) override;
  int GetFocus() const override;
  bool IsIconic() const override { return isMinimized(); }
  void SetIcon(int iconId, bool big) override;
  /// No task bar entry is told: the Linux desktops share no common way for it.
  void SetProgress(int id, int done, int total) override;
  void ResetContent(int id) override;
  int AddString(int id, const std::string& text) override;
  int SetCurSel(int id, int index) override;
  int GetCurSel(int id) const override;
  int GetCount(int id) const override;
  std::string GetLBText(int id, int index) const override;
  /// Qt offers no system menu to add to.
  bool HasSystemMenu() const override { return false; }
  void AppendSystemMenuSeparator() override {}
  void AppendSystemMenuItem(unsigned, const std::string&) override {}

  /// A close request from outside: IDCANCEL to the handler, as the close box, now
  /// when no handler of this dialog runs, else once the running one has returned.
  void CloseWhenIdle();

  /// The base units of the dialog's font.
  BaseUnits Units() const { return m_units; }

  /// While a handler runs no paint event is processed: paints the whole window
  /// now, without processing anything queued. Does nothing outside handlers.
  void PaintNowInHandler();

 protected:
  /// Escape and the close box: IDCANCEL to the handler, which decides.
  void reject() override;
  /// Arrow keys in a list box choose the entry they land on.
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  struct Control {
    int id;
    ControlClass cls;
    uint32_t style;
    QWidget* widget;
    std::string text;                  ///< the bytes last set, for edits and labels
    std::vector<std::string> entries;  ///< the bytes of each list or combo entry
  };

  /// Makes the dialog font smaller, from the template's size, until the window
  /// fits the screen's available area with every caption whole; sets the base units
  /// and the icon size.
  void FitFontToScreen(const DialogTemplate& dialog);
  void BuildMenu(const MenuTemplate& menu);
  QWidget* BuildControl(const ControlTemplate& control, QWidget* client);
  void Connect(Control& control);
  Control* Find(int id);
  const Control* Find(int id) const;
  /// Runs a handler; a dialog ended inside it closes once the outermost returns.
  template <typename F>
  void Deliver(F&& handlerCall);
  void CloseIfEnded();
  void DeliverPendingClose();
  /// Paints one changed control now when a handler runs.
  void PaintControlNow(QWidget* widget);
  /// Selects entry `index` of a list box as the operator does (it notifies).
  bool MoveListSelection(Control& control, int key);

  const ProgramResources& m_resources;
  DialogHandler& m_handler;
  BaseUnits m_units;
  int m_iconSize = 0;  ///< pixels, square
  std::vector<Control> m_controls;
  QMenuBar* m_menuBar = nullptr;
  int m_depth = 0;
  bool m_endRequested = false;
  bool m_running = false;
  bool m_inExec = false;  ///< Qt's modal loop of this dialog runs
  bool m_closePending = false;
  int m_result = 0;
  /// The control that had the focus when it was disabled: it keeps the dialog's
  /// focus (no other control takes it) and gets it back when enabled again.
  int m_heldFocus = 0;
};

}  // namespace morv::qt
