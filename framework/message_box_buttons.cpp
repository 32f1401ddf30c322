#include "framework/message_box_buttons.h"

#include "framework/win32_types.h"

namespace morv {

std::vector<int> MessageBoxButtons(unsigned type) {
  switch (type & MB_TYPEMASK) {
    case MB_OKCANCEL:
      return {IDOK, IDCANCEL};
    case MB_ABORTRETRYIGNORE:
      return {IDABORT, IDRETRY, IDIGNORE};
    case MB_YESNOCANCEL:
      return {IDYES, IDNO, IDCANCEL};
    case MB_YESNO:
      return {IDYES, IDNO};
    case MB_RETRYCANCEL:
      return {IDRETRY, IDCANCEL};
    default:
      return {IDOK};
  }
}

int MessageBoxEscapeResult(unsigned type) {
  switch (type & MB_TYPEMASK) {
    case MB_OKCANCEL:
    case MB_YESNOCANCEL:
    case MB_RETRYCANCEL:
      return IDCANCEL;
    case MB_ABORTRETRYIGNORE:
    case MB_YESNO:
      return 0;
    default:
      return IDOK;
  }
}

int MessageBoxUnansweredResult(unsigned type) {
  int escape = MessageBoxEscapeResult(type);
  if (escape != 0) return escape;
  return (type & MB_TYPEMASK) == MB_YESNO ? IDNO : IDABORT;
}

}  // namespace morv
