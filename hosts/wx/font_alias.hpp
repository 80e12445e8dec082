#pragma once
// The fonts the dialog templates name, mapped onto fonts Linux has.

namespace tovrin::gui {

// Adds the alias of resources/tovrin-fonts.conf ("ＭＳ Ｐゴシック" and
// "MS PGothic" to IPAPGothic) to the process's fontconfig configuration.
// Call before GTK starts, so Pango's font map sees it. False when
// fontconfig refused the configuration.
bool LoadFontAlias();

}  // namespace tovrin::gui
