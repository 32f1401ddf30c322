#pragma once
// <windows.h> for files that also use ui/win32_types.h and ui/toolkit.h. Our own
// names for the desktop's values (same numbers) and our toolkit's member names
// (MessageBox, SetWindowText, ...) would otherwise be rewritten by the system's
// macros; include this before any of our headers, and call the system's
// functions by their A names.

#include <windows.h>
#include <commctrl.h>

#undef MB_OK
#undef MB_OKCANCEL
#undef MB_ABORTRETRYIGNORE
#undef MB_YESNOCANCEL
#undef MB_YESNO
#undef MB_RETRYCANCEL
#undef MB_TYPEMASK
#undef MB_ICONHAND
#undef MB_ICONQUESTION
#undef MB_ICONEXCLAMATION
#undef MB_ICONASTERISK
#undef MB_ICONMASK
#undef IDOK
#undef IDCANCEL
#undef IDABORT
#undef IDRETRY
#undef IDIGNORE
#undef IDYES
#undef IDNO
#undef BN_CLICKED
#undef CBN_SELCHANGE
#undef LBN_SELCHANGE
#undef LB_ERR
#undef CB_ERR
#undef SC_SIZE
#undef SC_MOVE
#undef SC_MINIMIZE
#undef SC_CLOSE
#undef WS_POPUP
#undef WS_CHILD
#undef WS_VISIBLE
#undef WS_DISABLED
#undef WS_CAPTION
#undef WS_BORDER
#undef WS_VSCROLL
#undef WS_HSCROLL
#undef WS_SYSMENU
#undef WS_GROUP
#undef WS_MINIMIZEBOX
#undef WS_TABSTOP
#undef WS_EX_APPWINDOW
#undef DS_SETFONT
#undef DS_MODALFRAME
#undef BS_PUSHBUTTON
#undef BS_DEFPUSHBUTTON
#undef SS_LEFT
#undef SS_RIGHT
#undef SS_ICON
#undef SS_TYPEMASK
#undef SS_NOPREFIX
#undef SS_CENTERIMAGE
#undef SS_SUNKEN
#undef ES_CENTER
#undef ES_MULTILINE
#undef ES_AUTOHSCROLL
#undef ES_READONLY
#undef LBS_NOTIFY
#undef LBS_SORT
#undef LBS_NOINTEGRALHEIGHT
#undef CBS_DROPDOWN
#undef CBS_DROPDOWNLIST
#undef CBS_AUTOHSCROLL
#undef CBS_SORT
#undef MessageBox
#undef SetWindowText
#undef GetWindowText
#undef LoadString
#undef CreateEvent
