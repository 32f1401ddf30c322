#pragma once
// Resource and control identifiers shared by both programs' resources, the main
// dialog and every toolkit.

namespace morv {

// Dialog templates.
inline constexpr int IDD_ABOUTBOX = 100;
inline constexpr int IDD_FLASH_DIALOG = 102;

// Controls of the main dialog (IDOK, the Exit button, is in win32_types.h).
inline constexpr int IDC_HOST_ADAPTER = 1000;
inline constexpr int IDC_DEVICE = 1001;
inline constexpr int IDC_LUN = 1002;
inline constexpr int IDC_UPDATE_START = 1003;
inline constexpr int IDC_FIRMWARE_VERSION = 1005;
inline constexpr int IDC_SELECTED_FILE = 1006;
inline constexpr int IDC_ABORT = 1007;
inline constexpr int IDC_FILE_LIST = 1008;
inline constexpr int IDC_STATUS = 1011;
/// The download's progress bar, shown only while an update runs.
inline constexpr int IDC_PROGRESS = 1012;

// Menu bar and its commands.
inline constexpr int IDR_MAIN_MENU = 130;
inline constexpr int ID_OPTION_RESCAN = 32771;
inline constexpr int ID_ABOUT = 32772;

// Strings.
inline constexpr unsigned IDS_ABOUTBOX = 101;

// The system-menu item that opens the about box; the system menu keeps the low
// four bits of a command for itself, so 0x0010 to 0x001F all mean this item.
inline constexpr unsigned IDM_ABOUTBOX = 0x0010;

// Icons.
inline constexpr int IDR_MAINFRAME = 132;
inline constexpr int IDI_PICTURE = 137;

}  // namespace morv
