#pragma once
// Dialog template and control ids, as the pages and their hosts share them.

namespace tovrin {

inline constexpr int IDD_ABOUTBOX = 100;
inline constexpr int IDD_DESTINATION = 130;
inline constexpr int IDD_NOTICE = 132;
inline constexpr int IDD_CONFIRM = 133;
inline constexpr int IDD_PROGRESS = 134;  // shown while the update runs

inline constexpr int IDC_STATIC = -1;
inline constexpr int IDR_MAINFRAME = 128;  // the program's icon
inline constexpr int IDC_DRIVE_LIST = 1002;
inline constexpr int IDC_FOLDER_LIST = 1003;
inline constexpr int IDC_RESTORE_CHECK = 1004;
inline constexpr int IDC_PATH = 1005;
inline constexpr int IDC_NOTES = 1006;  // the notes edit; the destination on the confirm page
inline constexpr int IDC_PICTURE = 1007;
inline constexpr int IDC_BACK = 1008;  // also the destination page's result for "戻る"
inline constexpr int IDC_PROGRESS_SOURCE = 1010;
inline constexpr int IDC_PROGRESS_FOLDER = 1011;
inline constexpr int IDC_PROGRESS_BAR = 1012;
inline constexpr int IDC_PROGRESS_STATE = 1013;  // what the run does, or waits for

// Commands posted as WM_COMMAND: the wizard's pages and the frame's title.
inline constexpr int ID_WIZARD_NOTICE = 101;
inline constexpr int ID_WIZARD_DESTINATION = 102;
inline constexpr int ID_WIZARD_CONFIRM = 103;
inline constexpr int ID_SET_TITLE = 104;

}  // namespace tovrin
