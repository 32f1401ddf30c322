#pragma once
// CFlashApp: shows the start-up notice, then runs the main dialog once.

#include <string>
#include <utility>

#include "ui/flash_dlg.h"

namespace morv {

class CFlashApp {
 public:
  CFlashApp(Toolkit& toolkit, Feedback& feedback, const ProgramResources& resources, Transport& transport,
            SelectionFactory makeSelection);

  /// The parameter file the dialog chooses in its list at start, as if clicked.
  void SetStartFile(std::string name) { m_startFile = std::move(name); }

  /// Where the dialog records updates; none when null.
  void SetHistory(UpdateHistory* history) { m_history = history; }

  /// The machine's power that updates check and keep up; left alone when null.
  void SetMachinePower(MachinePower* power) { m_power = power; }

  /// Notice, then the main dialog until it closes; then the program ends.
  void InitInstance();

 private:
  Toolkit& m_toolkit;
  Feedback& m_feedback;
  const ProgramResources& m_resources;
  Transport& m_transport;
  SelectionFactory m_makeSelection;
  std::string m_startFile;
  UpdateHistory* m_history = nullptr;
  MachinePower* m_power = nullptr;
};

}  // namespace morv
