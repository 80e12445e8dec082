#include "hosts/wx/font_alias.hpp"

#include <fontconfig/fontconfig.h>

#include "font_alias_config.hpp"  // generated from resources/tovrin-fonts.conf

namespace tovrin::gui {

bool LoadFontAlias() {
  // Added to the system's configuration rather than replacing it (as
  // FONTCONFIG_FILE would), and carried inside the program, so it works
  // from any folder the program is started from.
  FcConfig* config = FcConfigGetCurrent();
  if (config == nullptr) return false;
  const auto* xml = reinterpret_cast<const FcChar8*>(kFontAliasConfig);
  return FcConfigParseAndLoadFromMemory(config, xml, FcTrue) == FcTrue;
}

}  // namespace tovrin::gui
