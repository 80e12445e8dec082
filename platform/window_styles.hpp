#pragma once
// Window, dialog and control style bits with their Windows values, so that a
// dialog template reads as its resource script does.

#include <cstdint>

namespace tovrin {

// Window styles.
inline constexpr std::uint32_t WS_POPUP = 0x80000000u;
inline constexpr std::uint32_t WS_CHILD = 0x40000000u;
inline constexpr std::uint32_t WS_VISIBLE = 0x10000000u;
inline constexpr std::uint32_t WS_DISABLED = 0x08000000u;
inline constexpr std::uint32_t WS_CAPTION = 0x00C00000u;
inline constexpr std::uint32_t WS_BORDER = 0x00800000u;
inline constexpr std::uint32_t WS_VSCROLL = 0x00200000u;
inline constexpr std::uint32_t WS_HSCROLL = 0x00100000u;
inline constexpr std::uint32_t WS_SYSMENU = 0x00080000u;
inline constexpr std::uint32_t WS_GROUP = 0x00020000u;
inline constexpr std::uint32_t WS_TABSTOP = 0x00010000u;

// Dialog styles.
inline constexpr std::uint32_t DS_3DLOOK = 0x0004u;
inline constexpr std::uint32_t DS_SETFONT = 0x0040u;
inline constexpr std::uint32_t DS_MODALFRAME = 0x0080u;
inline constexpr std::uint32_t DS_CENTER = 0x0800u;

// Edit controls.
inline constexpr std::uint32_t ES_LEFT = 0x0000u;
inline constexpr std::uint32_t ES_MULTILINE = 0x0004u;
inline constexpr std::uint32_t ES_AUTOVSCROLL = 0x0040u;
inline constexpr std::uint32_t ES_AUTOHSCROLL = 0x0080u;
inline constexpr std::uint32_t ES_READONLY = 0x0800u;

// List boxes.
inline constexpr std::uint32_t LBS_NOTIFY = 0x0001u;
inline constexpr std::uint32_t LBS_SORT = 0x0002u;
inline constexpr std::uint32_t LBS_NOINTEGRALHEIGHT = 0x0100u;
inline constexpr std::uint32_t LBS_DISABLENOSCROLL = 0x1000u;

// Static controls.
inline constexpr std::uint32_t SS_LEFT = 0x0000u;
inline constexpr std::uint32_t SS_CENTER = 0x0001u;
inline constexpr std::uint32_t SS_ICON = 0x0003u;
inline constexpr std::uint32_t SS_BLACKFRAME = 0x0007u;
inline constexpr std::uint32_t SS_TYPEMASK = 0x001Fu;
inline constexpr std::uint32_t SS_CENTERIMAGE = 0x0200u;
inline constexpr std::uint32_t SS_SUNKEN = 0x1000u;
inline constexpr std::uint32_t SS_PATHELLIPSIS = 0x8000u;  // a long path shortened in its middle

// Buttons.
inline constexpr std::uint32_t BS_PUSHBUTTON = 0x0000u;
inline constexpr std::uint32_t BS_DEFPUSHBUTTON = 0x0001u;
inline constexpr std::uint32_t BS_AUTOCHECKBOX = 0x0003u;
inline constexpr std::uint32_t BS_TYPEMASK = 0x000Fu;

}  // namespace tovrin
