#include "hosts/win32/dialog_host.hpp"

#include <map>
#include <string>
#include <vector>

#include "platform/cp932.hpp"
#include "platform/list_box_order.hpp"
#include "resources/messages.hpp"
#include "hosts/win32/memory_dialog_template.hpp"
#include "platform/win32/wide_text.hpp"
#include "hosts/win32/paint_surface.hpp"
#include "platform/window_styles.hpp"
#include "resources/dialog_templates.hpp"
#include "platform/win32/windows_api.hpp"

#include <commctrl.h>

namespace tovrin {
namespace {

constexpr UINT_PTR kPostedMessageTimer = 1;
constexpr UINT_PTR kListKeysSubclass = 1;
constexpr UINT kPostedMessageMilliseconds = 20;

std::wstring Wide(const std::string& cp932) { return win32::WideFromCp932(cp932).value_or(L""); }

// One open page: the Dialog operations over its HWND.
class PageWindow : public Dialog {
 public:
  PageWindow(const DialogTemplate& dialogTemplate, DialogPage& page, MessageQueue* queue)
      : template_(dialogTemplate),
        page_(page),
        queue_(queue) {
    for (const DialogControl& control : dialogTemplate.controls) {
      if (control.className == "listbox")
        lists_[control.id].sorted = (control.style & LBS_SORT) != 0;
      if (control.className == "edit" || control.className == "static")
        texts_[control.id] = control.text;
    }
  }

  static INT_PTR CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) SetWindowLongPtrW(window, DWLP_USER, lParam);
    auto* page = reinterpret_cast<PageWindow*>(GetWindowLongPtrW(window, DWLP_USER));
    return page != nullptr ? page->Handle(window, message, wParam, lParam) : FALSE;
  }

  void SetWindowText(const std::string& text) override {
    SetWindowTextW(window_, Wide(text).c_str());
  }
  std::string GetWindowText() const override { return TextOf(window_).value_or(std::string()); }

  void SetDlgItemText(int id, const std::string& text) override {
    texts_[id] = text;
    SetDlgItemTextW(window_, id, Wide(text).c_str());
  }

  // Unchanged since set: the exact bytes, which a round trip through
  // Unicode might not give back.
  std::string GetDlgItemText(int id) const override {
    const auto shown = TextOf(GetDlgItem(window_, id));
    const auto set = texts_.find(id);
    if (set != texts_.end() && (!shown || Wide(set->second) == Wide(*shown))) return set->second;
    return shown.value_or(std::string());
  }

  void ListResetContent(int id) override {
    SendDlgItemMessageW(window_, id, LB_RESETCONTENT, 0, 0);
    lists_[id].entries.clear();
  }

  int ListAddString(int id, const std::string& text) override {
    ListContent& content = lists_[id];
    const std::size_t index =
        content.sorted ? ListBoxInsertionIndex(content.entries, text) : content.entries.size();
    content.entries.insert(content.entries.begin() + static_cast<std::ptrdiff_t>(index), text);
    SendDlgItemMessageW(window_, id, LB_INSERTSTRING, index,
                        reinterpret_cast<LPARAM>(Wide(text).c_str()));
    return static_cast<int>(index);
  }

  int ListGetCurSel(int id) const override {
    return static_cast<int>(SendDlgItemMessageW(window_, id, LB_GETCURSEL, 0, 0));
  }

  std::string ListGetText(int id, int index) const override {
    const auto found = lists_.find(id);
    if (found == lists_.end() || index < 0 ||
        index >= static_cast<int>(found->second.entries.size()))
      return {};
    return found->second.entries[static_cast<std::size_t>(index)];
  }

  int ListGetCount(int id) const override {
    const auto found = lists_.find(id);
    return found == lists_.end() ? -1 : static_cast<int>(found->second.entries.size());
  }

  void EndDialog(int result) override { ::EndDialog(window_, result); }
  WindowHandle Handle() const override { return window_; }

 private:
  struct ListContent {
    bool sorted = false;
    std::vector<std::string> entries;
  };

  static std::optional<std::string> TextOf(HWND window) {
    if (window == nullptr) return std::nullopt;
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(
        GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return win32::Cp932FromWide(text);
  }

  const DialogControl* Control(int id) const {
    for (const DialogControl& control : template_.controls) {
      if (control.id == id) return &control;
    }
    return nullptr;
  }

  // Buttons and list boxes notify the page; an edit's changes do not. A
  // list's selection is the user's pick only from a click: the arrow keys
  // move its highlight, and Enter picks the highlighted entry.
  void OnControl(int id, int notification) {
    if (id == IDOK) {
      if (PickFocusedList()) return;
      if (RefuseForeignText()) return;
      page_.OnOK(*this);
    } else if (id == IDCANCEL) {
      page_.OnCancel(*this);
    } else if (const DialogControl* control = Control(id)) {
      if (control->className == "listbox" && notification == LBN_SELCHANGE && movedByKey_) return;
      if (control->className == "button" || control->className == "listbox")
        page_.OnCommand(*this, id, notification);
    }
  }

  bool PickFocusedList() {
    const HWND focus = GetFocus();
    if (focus == nullptr || GetParent(focus) != window_) return false;
    const DialogControl* control = Control(GetDlgCtrlID(focus));
    if (control == nullptr || control->className != "listbox" || ListGetCurSel(control->id) < 0)
      return false;
    page_.OnCommand(*this, control->id, LBN_SELCHANGE);
    return true;
  }

  // A field holding text with no CP932 form: the page would read another
  // text than the one the user typed.
  bool RefuseForeignText() {
    for (const DialogControl& control : template_.controls) {
      if (control.className != "edit" || (control.style & ES_READONLY) != 0) continue;
      const HWND field = GetDlgItem(window_, control.id);
      if (TextOf(field)) continue;
      const auto text = Wide(cp932::Text(texts::kCharacterNotAllowed));
      const auto caption = Wide(cp932::Text(texts::kCaptionError));
      MessageBoxW(window_, text.c_str(), caption.c_str(), MB_OK);
      SetFocus(field);
      return true;
    }
    return false;
  }

  static LRESULT CALLBACK ListKeys(HWND list, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                   DWORD_PTR reference) {
    auto* self = reinterpret_cast<PageWindow*>(reference);
    if (message != WM_KEYDOWN && message != WM_CHAR)
      return DefSubclassProc(list, message, wParam, lParam);
    const bool outer = self->movedByKey_;
    self->movedByKey_ = true;
    const LRESULT result = DefSubclassProc(list, message, wParam, lParam);
    self->movedByKey_ = outer;
    return result;
  }

  INT_PTR Handle(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
      case WM_INITDIALOG: {
        window_ = window;
        if (queue_ != nullptr)
          SetTimer(window, kPostedMessageTimer, kPostedMessageMilliseconds, nullptr);
        for (const auto& [id, list] : lists_) {
          SetWindowSubclass(GetDlgItem(window, id), &PageWindow::ListKeys, kListKeysSubclass,
                            reinterpret_cast<DWORD_PTR>(this));
        }
        const bool focusSet = page_.OnInitDialog(*this);
        return focusSet ? TRUE : FALSE;
      }
      case WM_COMMAND:
        OnControl(LOWORD(wParam), HIWORD(wParam));
        return TRUE;
      case WM_TIMER:
        if (wParam == kPostedMessageTimer && queue_ != nullptr) queue_->DispatchOne();
        return TRUE;
      case WM_DRAWITEM: {
        const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        if (item->CtlID != kPictureFrameId) return FALSE;
        const RECT& area = item->rcItem;
        Win32PaintSurface surface(item->hDC, {area.left, area.top, area.right, area.bottom});
        page_.OnPaint(*this, surface);
        return TRUE;
      }
      case WM_DESTROY:
        KillTimer(window, kPostedMessageTimer);
        return FALSE;
      default:
        return FALSE;
    }
  }

  const DialogTemplate& template_;
  DialogPage& page_;
  MessageQueue* queue_;
  HWND window_ = nullptr;
  bool movedByKey_ = false;
  std::map<int, std::string> texts_;
  std::map<int, ListContent> lists_;
};

}  // namespace

int Win32DialogHost::DoModal(DialogPage& page) {
  const DialogTemplate& dialogTemplate = LoadDialogTemplate(page.TemplateId());
  const std::vector<std::uint16_t> memory = BuildMemoryDialogTemplate(dialogTemplate);
  PageWindow window(dialogTemplate, page, queue_);
  HWND owner = GetActiveWindow();
  if (owner == nullptr) owner = static_cast<HWND>(mainWindow_);
  const INT_PTR result = DialogBoxIndirectParamW(
      GetModuleHandleW(nullptr), reinterpret_cast<const DLGTEMPLATE*>(memory.data()), owner,
      &PageWindow::Procedure, reinterpret_cast<LPARAM>(&window));
  return static_cast<int>(result);
}

}  // namespace tovrin
