#pragma once
// The program's own texts, in UTF-8 here; code takes them as CP932 through
// cp932::Text. Keep them exactly as they stand: users and scripts read them.

#include <string_view>

namespace tovrin::texts {

inline constexpr std::string_view kCaptionError = "エラー";
inline constexpr std::string_view kCaptionConfirm = "確認";

// The notes page's title when the update converts no masters.
inline constexpr std::string_view kNoticeTitleUpdate = "アップデート";
// The unattended run prints the confirm page's destination after this label.
inline constexpr std::string_view kConfirmDestinationLabel = "更新先：";

}  // namespace tovrin::texts
