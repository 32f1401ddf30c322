#pragma once
// Values of the desktop interface the dialog logic is written against: message-box
// types and results, notification codes, window and control style bits. They keep
// their historical numbers because resources, tests and traces speak in them.

#include <cstdint>

namespace morv {

// Message-box button sets (low 4 bits of the type).
inline constexpr unsigned MB_OK = 0x00;
inline constexpr unsigned MB_OKCANCEL = 0x01;
inline constexpr unsigned MB_ABORTRETRYIGNORE = 0x02;
inline constexpr unsigned MB_YESNOCANCEL = 0x03;
inline constexpr unsigned MB_YESNO = 0x04;
inline constexpr unsigned MB_RETRYCANCEL = 0x05;
inline constexpr unsigned MB_TYPEMASK = 0x0F;
// Icons (bits 4-7 of the type); they double as MessageBeep sound types.
inline constexpr unsigned MB_ICONHAND = 0x10;
inline constexpr unsigned MB_ICONQUESTION = 0x20;
inline constexpr unsigned MB_ICONEXCLAMATION = 0x30;
inline constexpr unsigned MB_ICONASTERISK = 0x40;
inline constexpr unsigned MB_ICONMASK = 0xF0;
// MessageBeep(-1): the simple beep.
inline constexpr unsigned kSimpleBeep = 0xFFFFFFFFu;

// Message-box results; also the dialog results of IDOK and IDCANCEL.
inline constexpr int IDOK = 1;
inline constexpr int IDCANCEL = 2;
inline constexpr int IDABORT = 3;
inline constexpr int IDRETRY = 4;
inline constexpr int IDIGNORE = 5;
inline constexpr int IDYES = 6;
inline constexpr int IDNO = 7;

// Notification codes carried with a control's command.
inline constexpr int BN_CLICKED = 0;
inline constexpr int CBN_SELCHANGE = 1;
inline constexpr int LBN_SELCHANGE = 1;

// Failure result of list and combo box operations.
inline constexpr int LB_ERR = -1;
inline constexpr int CB_ERR = -1;

// System-menu commands.
inline constexpr unsigned SC_SIZE = 0xF000;
inline constexpr unsigned SC_MOVE = 0xF010;
inline constexpr unsigned SC_MINIMIZE = 0xF020;
inline constexpr unsigned SC_CLOSE = 0xF060;

// Window styles.
inline constexpr uint32_t WS_POPUP = 0x80000000u;
inline constexpr uint32_t WS_CHILD = 0x40000000u;
inline constexpr uint32_t WS_VISIBLE = 0x10000000u;
inline constexpr uint32_t WS_DISABLED = 0x08000000u;
inline constexpr uint32_t WS_CAPTION = 0x00C00000u;
inline constexpr uint32_t WS_BORDER = 0x00800000u;
inline constexpr uint32_t WS_VSCROLL = 0x00200000u;
inline constexpr uint32_t WS_HSCROLL = 0x00100000u;
inline constexpr uint32_t WS_SYSMENU = 0x00080000u;
inline constexpr uint32_t WS_GROUP = 0x00020000u;
inline constexpr uint32_t WS_MINIMIZEBOX = 0x00020000u;  // same bit as WS_GROUP, on top-level windows
inline constexpr uint32_t WS_TABSTOP = 0x00010000u;
inline constexpr uint32_t WS_EX_APPWINDOW = 0x00040000u;
// Dialog styles.
inline constexpr uint32_t DS_SETFONT = 0x40u;
inline constexpr uint32_t DS_MODALFRAME = 0x80u;
// Button styles.
inline constexpr uint32_t BS_PUSHBUTTON = 0x0u;
inline constexpr uint32_t BS_DEFPUSHBUTTON = 0x1u;
// Static styles.
inline constexpr uint32_t SS_LEFT = 0x0u;
inline constexpr uint32_t SS_RIGHT = 0x2u;
inline constexpr uint32_t SS_ICON = 0x3u;
inline constexpr uint32_t SS_TYPEMASK = 0x1Fu;
inline constexpr uint32_t SS_NOPREFIX = 0x80u;
inline constexpr uint32_t SS_CENTERIMAGE = 0x200u;
inline constexpr uint32_t SS_SUNKEN = 0x1000u;
// Edit styles.
inline constexpr uint32_t ES_CENTER = 0x1u;
inline constexpr uint32_t ES_MULTILINE = 0x4u;
inline constexpr uint32_t ES_AUTOHSCROLL = 0x80u;
inline constexpr uint32_t ES_READONLY = 0x800u;
// List box styles.
inline constexpr uint32_t LBS_NOTIFY = 0x1u;
inline constexpr uint32_t LBS_SORT = 0x2u;
inline constexpr uint32_t LBS_NOINTEGRALHEIGHT = 0x100u;
// Combo box styles.
inline constexpr uint32_t CBS_DROPDOWN = 0x2u;
inline constexpr uint32_t CBS_DROPDOWNLIST = 0x3u;
inline constexpr uint32_t CBS_AUTOHSCROLL = 0x40u;
inline constexpr uint32_t CBS_SORT = 0x100u;

}  // namespace morv
