#include "resources/dialog_templates.hpp"

#include <map>
#include <stdexcept>
#include <string>

#include "platform/cp932.hpp"
#include "platform/window_styles.hpp"

namespace tovrin {
namespace {

constexpr std::uint32_t kChild = WS_CHILD | WS_VISIBLE;
// The About box's second line: which build this is.
#ifdef _WIN32
constexpr char kBuildLine[] = "Windows 版";
#else
constexpr char kBuildLine[] = "Linux 版 (Wine 互換)";
#endif
constexpr std::uint32_t kPageStyle = WS_POPUP | WS_CAPTION | DS_MODALFRAME | DS_CENTER | DS_SETFONT;
constexpr std::uint32_t kListStyle =
    kChild | WS_BORDER | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | LBS_DISABLENOSCROLL;
constexpr std::uint32_t kReadOnlyNotes =
    kChild | WS_BORDER | WS_VSCROLL | WS_TABSTOP | ES_MULTILINE | ES_AUTOVSCROLL | ES_READONLY;
constexpr std::uint32_t kPictureFrame = kChild | SS_BLACKFRAME;

const char* const kPageFont = "ＭＳ Ｐゴシック";

DialogControl Control(int id, const char* className, const char* utf8Text, int x, int y, int cx,
                      int cy, std::uint32_t style) {
  return DialogControl{id, className, cp932::Text(utf8Text), x, y, cx, cy, style};
}

DialogControl DefaultButton(int id, const char* text, int x, int y, int cx, int cy) {
  return Control(id, "button", text, x, y, cx, cy, kChild | WS_TABSTOP | BS_DEFPUSHBUTTON);
}

DialogControl Button(int id, const char* text, int x, int y, int cx, int cy) {
  return Control(id, "button", text, x, y, cx, cy, kChild | WS_TABSTOP | BS_PUSHBUTTON);
}

DialogTemplate Page(int id, const char* title, int pointSize, std::uint32_t style, int cx, int cy,
                    std::vector<DialogControl> controls) {
  return DialogTemplate{id, cp932::Text(title), cp932::Text(kPageFont), pointSize, style, cx,
                        cy, std::move(controls)};
}

DialogTemplate AboutTemplate() {
  return Page(
      IDD_ABOUTBOX, "ﾊﾞｰｼﾞｮﾝ情報(Tovrin)", 9,
      WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT, 217, 55,
      {
          // The icon control's text names the icon resource.
          Control(IDC_STATIC, "icon", "128", 11, 17, 20, 20, kChild | SS_ICON),
          Control(IDC_STATIC, "static", "Tovrin Version 3.0", 40, 10, 119, 8,
                  kChild | SS_LEFT | WS_GROUP),
          Control(IDC_STATIC, "static", kBuildLine, 40, 25, 119, 8, kChild | SS_LEFT | WS_GROUP),
          DefaultButton(IDOK, "OK", 178, 7, 32, 14),
      });
}

DialogTemplate DestinationTemplate() {
  return Page(IDD_DESTINATION, "アップデート", 11, kPageStyle, 229, 173,
              {
                  DefaultButton(IDOK, "次へ", 162, 153, 50, 14),
                  Control(IDC_DRIVE_LIST, "listbox", "", 7, 61, 38, 80, kListStyle),
                  Control(IDC_STATIC, "static", "ｲﾝｽﾄｰﾙ先\n      ﾄﾞﾗｲﾌﾞ", 7, 41, 38, 17,
                          kChild | SS_SUNKEN | SS_LEFT | WS_GROUP),
                  Control(IDC_STATIC, "static", "ｲﾝｽﾄｰﾙ先ﾌｫﾙﾀﾞ", 52, 41, 168, 17,
                          kChild | SS_SUNKEN | SS_CENTER | SS_CENTERIMAGE | WS_GROUP),
                  Control(IDC_FOLDER_LIST, "listbox", "", 52, 77, 168, 64, kListStyle | LBS_SORT),
                  // Created hidden and disabled: nothing shows it.
                  Control(IDC_RESTORE_CHECK, "button", "更新前に戻す", 106, 157, 102, 10,
                          WS_CHILD | WS_DISABLED | WS_TABSTOP | BS_AUTOCHECKBOX),
                  Control(IDC_PATH, "edit", "", 52, 61, 168, 14,
                          kChild | WS_BORDER | WS_TABSTOP | ES_LEFT | ES_AUTOHSCROLL),
                  Button(IDC_BACK, "戻る", 16, 153, 50, 14),
                  Control(IDC_NOTES, "edit", "", 52, 7, 168, 31, kReadOnlyNotes),
                  Control(IDC_PICTURE, "static", "", 12, 11, 20, 20, kPictureFrame),
              });
}

DialogTemplate NoticeTemplate() {
  return Page(
      IDD_NOTICE, "マスタ調整機能付", 11, kPageStyle | DS_3DLOOK, 215, 129,
      {
          DefaultButton(IDOK, "開始", 158, 108, 50, 14),
          Button(IDCANCEL, "取消", 7, 108, 50, 14),
          Control(IDC_NOTES, "edit", "", 7, 36, 201, 64, kReadOnlyNotes),
          Control(IDC_STATIC, "static", "ｲﾝｽﾄｰﾙを開始します。\n下記の注意項目を確認して下さい。",
                  50, 10, 121, 19, kChild | SS_LEFT | WS_GROUP),
          Control(IDC_PICTURE, "static", "", 12, 7, 20, 20, kPictureFrame),
      });
}

DialogTemplate ConfirmTemplate() {
  return Page(
      IDD_CONFIRM, "アップデート", 11, kPageStyle | DS_3DLOOK, 236, 69,
      {
          DefaultButton(IDOK, "更新", 140, 48, 50, 14),
          Button(IDCANCEL, "戻る", 47, 48, 50, 14),
          Control(IDC_STATIC, "static", "更新先：", 7, 32, 25, 8, kChild | SS_LEFT | WS_GROUP),
          Control(IDC_NOTES, "static", "", 37, 30, 192, 11,
                  kChild | SS_SUNKEN | SS_LEFT | SS_CENTERIMAGE | SS_PATHELLIPSIS | WS_GROUP),
          Control(IDC_PICTURE, "static", "", 13, 3, 20, 20, kPictureFrame),
      });
}

// Not a page: no buttons and no close box, since a run cannot be stopped
// halfway; it stays over the main window while the update runs.
DialogTemplate ProgressTemplate() {
  constexpr std::uint32_t kLabel = kChild | SS_LEFT | WS_GROUP;
  constexpr std::uint32_t kValue = kLabel | SS_SUNKEN | SS_CENTERIMAGE;
  return Page(
      IDD_PROGRESS, "アップデート", 9,
      WS_POPUP | WS_CAPTION | DS_MODALFRAME | DS_CENTER | DS_SETFONT, 220, 60,
      {
          Control(IDC_PROGRESS_STATE, "static", "ｱｯﾌﾟﾃﾞｲﾄ中です。しばらくお待ちください。", 7, 6,
                  206, 8, kLabel),
          Control(IDC_STATIC, "static", "ﾌｧｲﾙ：", 7, 20, 30, 8, kLabel),
          Control(IDC_PROGRESS_SOURCE, "static", "", 40, 19, 173, 10, kValue),
          Control(IDC_STATIC, "static", "更新先：", 7, 33, 30, 8, kLabel),
          Control(IDC_PROGRESS_FOLDER, "static", "", 40, 32, 173, 10, kValue),
          Control(IDC_PROGRESS_BAR, "msctls_progress32", "", 7, 46, 206, 8, kChild | WS_BORDER),
      });
}

const std::map<int, DialogTemplate>& Templates() {
  static const std::map<int, DialogTemplate> templates = {
      {IDD_ABOUTBOX, AboutTemplate()},    {IDD_DESTINATION, DestinationTemplate()},
      {IDD_NOTICE, NoticeTemplate()},     {IDD_CONFIRM, ConfirmTemplate()},
      {IDD_PROGRESS, ProgressTemplate()},
  };
  return templates;
}

}  // namespace

const DialogTemplate& LoadDialogTemplate(int id) {
  const auto& templates = Templates();
  const auto found = templates.find(id);
  if (found == templates.end()) {
    throw std::invalid_argument("no dialog template " + std::to_string(id));
  }
  return found->second;
}

}  // namespace tovrin
