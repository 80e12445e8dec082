#pragma once
// A dialog with no window: the texts and list boxes of a template held in
// memory. The console host and the scripted test host run pages on it.

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/dialog_host.hpp"

namespace tovrin {

class MemoryDialog : public Dialog {
 public:
  explicit MemoryDialog(const DialogTemplate& dialogTemplate);

  void SetWindowText(const std::string& text) override { title_ = text; }
  std::string GetWindowText() const override { return title_; }
  // Only the template's controls hold texts; other ids are ignored.
  void SetDlgItemText(int id, const std::string& text) override;
  std::string GetDlgItemText(int id) const override;
  void ListResetContent(int id) override;
  // A sorted list box (LBS_SORT) places the entry in order, letter case aside.
  int ListAddString(int id, const std::string& text) override;
  int ListGetCurSel(int id) const override;
  std::string ListGetText(int id, int index) const override;
  int ListGetCount(int id) const override;
  void EndDialog(int result) override { result_ = result; }
  WindowHandle Handle() const override { return const_cast<MemoryDialog*>(this); }

  // What a user does to a list box: -1 clears the selection. False when the
  // list has no such entry.
  bool ListSetCurSel(int id, int index);
  std::vector<std::string> ListEntries(int id) const;
  // The result once a page called EndDialog.
  std::optional<int> Result() const { return result_; }
  const DialogTemplate& Template() const { return template_; }

 private:
  struct ListBox {
    bool sorted = false;
    std::vector<std::string> entries;
    int selection = -1;
  };
  ListBox* FindList(int id);
  const ListBox* FindList(int id) const;

  const DialogTemplate& template_;
  std::string title_;
  std::map<int, std::string> texts_;
  std::map<int, ListBox> lists_;
  std::optional<int> result_;
};

}  // namespace tovrin
