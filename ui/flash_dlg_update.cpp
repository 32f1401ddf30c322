// Update Start. The update sequence (package checks, confirmation, download) is
// attached here; until then pressing the button sends nothing to any drive.

#include "ui/flash_dlg.h"

namespace morv {

void CFlashDlg::OnUpdateStart() {}

}  // namespace morv
