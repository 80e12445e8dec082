#include "resources/accelerator_table.hpp"

#include <array>

namespace tovrin {

std::span<const Accelerator> AcceleratorTable() {
  static constexpr std::array<Accelerator, 13> table = {{
      {true, false, false, 'N', ID_FILE_NEW},
      {true, false, false, 'O', ID_FILE_OPEN},
      {true, false, false, 'S', ID_FILE_SAVE},
      {true, false, false, 'Z', ID_EDIT_UNDO},
      {false, false, true, VK_BACK, ID_EDIT_UNDO},
      {true, false, false, 'X', ID_EDIT_CUT},
      {false, true, false, VK_DELETE, ID_EDIT_CUT},
      {true, false, false, 'C', ID_EDIT_COPY},
      {true, false, false, VK_INSERT, ID_EDIT_COPY},
      {true, false, false, 'V', ID_EDIT_PASTE},
      {false, true, false, VK_INSERT, ID_EDIT_PASTE},
      {false, false, false, VK_F6, ID_NEXT_PANE},
      {false, true, false, VK_F6, ID_PREV_PANE},
  }};
  return table;
}

}  // namespace tovrin
