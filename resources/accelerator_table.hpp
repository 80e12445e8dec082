#pragma once
// Accelerator table 128: the keys of the main window and the commands they
// send. It stays in force for the frame although the frame has no menu.

#include <span>

namespace tovrin {

// Framework command ids the table sends.
inline constexpr int ID_FILE_NEW = 57600;
inline constexpr int ID_FILE_OPEN = 57601;
inline constexpr int ID_FILE_SAVE = 57603;
inline constexpr int ID_EDIT_COPY = 57634;
inline constexpr int ID_EDIT_CUT = 57635;
inline constexpr int ID_EDIT_PASTE = 57637;
inline constexpr int ID_EDIT_UNDO = 57643;
inline constexpr int ID_NEXT_PANE = 57680;
inline constexpr int ID_PREV_PANE = 57681;
// The About box's command: no key and no menu entry sends it.
inline constexpr int ID_APP_ABOUT = 57664;

// Windows virtual-key codes of the table's keys.
inline constexpr int VK_BACK = 0x08;
inline constexpr int VK_INSERT = 0x2D;
inline constexpr int VK_DELETE = 0x2E;
inline constexpr int VK_F6 = 0x75;

struct Accelerator {
  bool control = false;
  bool shift = false;
  bool alt = false;
  int key = 0;  // a virtual-key code; letters as their upper-case ASCII code
  int command = 0;
};

std::span<const Accelerator> AcceleratorTable();

}  // namespace tovrin
