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
inline constexpr std::string_view kMemberTooLarge =
    "%s は 4 GB を超えるため、このプログラムでは展開できません。";
inline constexpr std::string_view kMemberMethodUnsupported =
    "%s の圧縮形式 %s には対応していません。";
inline constexpr std::string_view kMemberOutsideTarget =
    "%s は展開先の外を指しているため展開しません。";
inline constexpr std::string_view kMemberCannotWrite = "%s を書き込めません。";

// The update run.
inline constexpr std::string_view kInfoFileNotRead = "info.txt を読み込めませんでした。";
inline constexpr std::string_view kInvalidDescriptionLine =
    "info.txt の %d 行目が正しくありません。";
inline constexpr std::string_view kProductBeingUpdated =
    "他のｱｯﾌﾟﾃﾞｲﾄが実行中です。終了してから再度実行してください。";
// The programs named as "VELSOR.EXE (1234)", the process id in brackets.
inline constexpr std::string_view kProgramsRunning =
    "更新先ﾌｫﾙﾀﾞのﾌﾟﾛｸﾞﾗﾑが実行中です: %s\n終了してからOKを押してください。ｷｬﾝｾﾙで中止します。";
inline constexpr std::string_view kLeftoverNotRemoved = "%s を削除できませんでした。";
inline constexpr std::string_view kInstallFolderWrong = "ｲﾝｽﾄｰﾙ先ﾌｫﾙﾀﾞが正しくないと思われます。";
inline constexpr std::string_view kCannotUpdateVersion = "このバージョンへの更新はできません。";
inline constexpr std::string_view kInsertUpdateDisk = "%d 枚目のｱｯﾌﾟﾃﾞｲﾄFDをｾｯﾄしてください。";
inline constexpr std::string_view kUpdateCancelled = "ｱｯﾌﾟﾃﾞｲﾄを取消しました。";
// The medium's check: the archive on the medium, then the library's reason
// (which names the member).
inline constexpr std::string_view kArchiveFaulty = "書庫 %s に異常があります。%s";
// The medium's signature, checked before its first write; %s is a file
// on the medium (or a key file), then a key id or a line number.
inline constexpr std::string_view kMediumNotSigned =
    "更新媒体に署名がありません (%s がありません)。署名された更新媒体が必要です。";
inline constexpr std::string_view kMediumUnknownKey =
    "%s は信頼されていない鍵 %s で署名されています。";
inline constexpr std::string_view kMediumSignatureBroken = "%s の署名が正しくありません。";
inline constexpr std::string_view kManifestFaulty = "%s の %s 行目が正しくありません。";
inline constexpr std::string_view kMediumFileNotListed = "%s は SHA256SUMS に記載されていません。";
inline constexpr std::string_view kMediumFileChanged = "%s は署名された時から変更されています。";
inline constexpr std::string_view kMediumFileMissing = "SHA256SUMS に記載された %s がありません。";
inline constexpr std::string_view kMediumFileUnreadable = "%s を読めません。";
inline constexpr std::string_view kTrustedKeyFaulty = "信頼する鍵のファイル %s を読めません。";
// Added to a refusal that came before any file of the product was written.
inline constexpr std::string_view kProductNotTouched = "製品のファイルは何も変更していません。";
inline constexpr std::string_view kFileUpdateFailed = "%sの更新に失敗しました。";
inline constexpr std::string_view kAttributeUpdateFailed = "%sの属性更新に失敗しました。";
inline constexpr std::string_view kMaterialSizeNotConverted =
    "材料ｻｲｽﾞ変換が正常に更新されませんでした。";
inline constexpr std::string_view kMaterialTypeNotConverted =
    "材料ﾀｲﾌﾟ変換が正常に更新されませんでした。";
inline constexpr std::string_view kSettingNotWritten = "%s の %s を書き込めませんでした。";
inline constexpr std::string_view kSystemUpdated = "システムは正常に更新されました。";
inline constexpr std::string_view kErrorDuringUpdate = "更新中にエラーが発生しました。%s";
// Reasons given with kErrorDuringUpdate.
inline constexpr std::string_view kAttributeWriteFailed = "%s の属性を書き込めませんでした。";
inline constexpr std::string_view kLockNotCreated = "%s を作成できませんでした。";
inline constexpr std::string_view kUnknownError = "原因不明のエラーです。";
// After a failed run, and at the start after a run that was killed.
inline constexpr std::string_view kProductRestored = "更新前の状態に戻しました。";
inline constexpr std::string_view kProductNotRestored = "更新前の状態に戻せませんでした。%s";
// Why a run could not start its journal, given with kErrorDuringUpdate.
inline constexpr std::string_view kJournalUnwritable = "%s に更新前の状態を記録できません。";
// A successful run whose journal could not replace the last one: no undo.
inline constexpr std::string_view kJournalNotKept =
    "更新は完了しましたが、%s に元に戻すための記録を保存できませんでした。";

// Settings the update run writes into the product.
inline constexpr std::string_view kEraName = "令和";
inline constexpr std::string_view kKeyExtractionStartDateOn = "抽出開始日ON";
inline constexpr std::string_view kKeyExtractionEndDateOn = "抽出終了日ON";
inline constexpr std::string_view kKeyKindElectrical = "種別電気";
inline constexpr std::string_view kKeyKindWaterSupply = "種別水道";
inline constexpr std::string_view kKeyKindBuildingServices = "種別設備";
inline constexpr std::string_view kKeyKindArchitecture = "種別建築";

// The notes page's title when the update converts no masters.
inline constexpr std::string_view kNoticeTitleUpdate = "アップデート";
// The unattended run prints the confirm page's destination after this label.
inline constexpr std::string_view kConfirmDestinationLabel = "更新先：";
// A page refuses a typed character that code page 932 cannot hold.
inline constexpr std::string_view kCharacterNotAllowed = "使用できない文字が入力されています。";
// The Cancel button of an OK/Cancel message box, as a Japanese system labels it.
inline constexpr std::string_view kCancelButton = "キャンセル";

}  // namespace tovrin::texts
