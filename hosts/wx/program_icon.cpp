#include "hosts/wx/program_icon.hpp"

#include "resources/tovrin.xpm"

namespace tovrin::gui {

const wxIcon& ProgramIcon() {
  static const wxIcon icon(tovrin_xpm);
  return icon;
}

}  // namespace tovrin::gui
