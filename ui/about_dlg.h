#pragma once
// The about box: the program's name, version and icon, closed by OK or cancel.

#include "framework/dialog.h"

namespace morv {

class CAboutDlg : public CDialog {
 public:
  CAboutDlg(Toolkit& toolkit, const ProgramResources& resources)
      : CDialog(toolkit, resources.aboutBox, resources) {}
};

}  // namespace morv
