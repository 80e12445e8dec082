#pragma once
// <windows.h> for the Win32 side of the platform layer. Include it after the
// program's own headers: its function-name macros (MessageBox becoming
// MessageBoxA or MessageBoxW) would rename the program's methods of the same
// names, so they are removed; the wide functions are called by their names.

// The wide-character API throughout.
#ifndef UNICODE
#define UNICODE
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#undef CopyFile
#undef GetDriveType
#undef GetWindowsDirectory
#undef MessageBox
#undef PostMessage
#undef SetWindowText
#undef GetWindowText
#undef SetDlgItemText
#undef GetDlgItemText
