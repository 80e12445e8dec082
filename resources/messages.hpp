#pragma once
// The program's own texts, in UTF-8 here; code takes them as CP932 through
// cp932::Text. Keep them exactly as they stand: users and scripts read them.

#include <string_view>

namespace tovrin::texts {

inline constexpr std::string_view kCaptionError = "エラー";
inline constexpr std::string_view kCaptionConfirm = "確認";

// The LZH archive library's messages; %s is a CP932 path or member name.
inline constexpr std::string_view kArchiveNotFound = "書庫 %s が見つかりません。";
inline constexpr std::string_view kArchiveUnreadable = "書庫 %s を読めません。";
inline constexpr std::string_view kArchiveNotGiven = "書庫が指定されていません。";
inline constexpr std::string_view kArchiveFolderNotGiven = "展開先のフォルダが指定されていません。";
inline constexpr std::string_view kArchiveExtraArgument = "%s は余分な指定です。";
inline constexpr std::string_view kArchiveUnknownCommand = "%s は対応していないコマンドです。";
inline constexpr std::string_view kArchiveUnknownSwitch = "%s は対応していないスイッチです。";
inline constexpr std::string_view kMemberCorrupt = "%s が壊れています (CRC)。";
inline constexpr std::string_view kMemberMethodUnsupported = "%s の圧縮形式 %s には対応していません。";
inline constexpr std::string_view kMemberOutsideTarget = "%s は展開先の外を指しているため展開しません。";
inline constexpr std::string_view kMemberNotRegular = "%s は通常のファイルではないため展開しません。";
inline constexpr std::string_view kMemberCannotWrite = "%s を書き込めません。";

}  // namespace tovrin::texts
