#pragma once

// The numbers by which both windows address their dialogs, controls, strings, art and the
// About command.
namespace ControlIds {
inline constexpr int IDD_ABOUTBOX = 100;
inline constexpr int IDS_ABOUTBOX = 101;
inline constexpr int IDD_MAIN = 102;
inline constexpr int IDR_MAINFRAME = 128;
inline constexpr int IDB_BANNER = 129;
// The banner that goes with English texts; 129 goes with Chinese ones.
inline constexpr int IDB_BANNER_EN = 130;
inline constexpr unsigned IDM_ABOUTBOX = 0x0010;
// The list's menu.
inline constexpr int IDM_REMOVE_ROWS = 2001;
inline constexpr int IDM_MOVE_ROWS_UP = 2002;
inline constexpr int IDM_MOVE_ROWS_DOWN = 2003;
// A control that nothing addresses.
inline constexpr int ID_NONE = -1;
inline constexpr int ID_OK = 1;
inline constexpr int IDC_TARGET_PATH = 1000;
inline constexpr int IDC_BROWSE_TARGET = 1001;
inline constexpr int IDC_FILE_LIST = 1002;
inline constexpr int IDC_PROGRESS = 1003;
inline constexpr int IDC_START = 1004;
inline constexpr int IDC_STOP = 1005;
inline constexpr int IDC_ADD_FILE = 1006;
inline constexpr int IDC_LINK_SOFTSITE = 1007;
inline constexpr int IDC_LINK_HOME = 1008;
} // namespace ControlIds
