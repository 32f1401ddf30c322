#pragma once
// CFlashApp: shows the start-up notice, then runs the main dialog once.

#include "ui/flash_dlg.h"

namespace morv {

class CFlashApp {
 public:
  CFlashApp(Toolkit& toolkit, Feedback& feedback, const ProgramResources& resources, Transport& transport,
            SelectionFactory makeSelection);

  /// Notice, then the main dialog until it closes. Returns false: once the dialog
  /// has closed there is nothing left to run.
  bool InitInstance();

 private:
  Toolkit& m_toolkit;
  Feedback& m_feedback;
  const ProgramResources& m_resources;
  Transport& m_transport;
  SelectionFactory m_makeSelection;
};

}  // namespace morv
