#include "hosts/console/memory_dialog.hpp"

#include "platform/list_box_order.hpp"
#include "platform/window_styles.hpp"

namespace tovrin {

MemoryDialog::MemoryDialog(const DialogTemplate& dialogTemplate)
    : template_(dialogTemplate),
      title_(dialogTemplate.title) {
  for (const DialogControl& control : dialogTemplate.controls) {
    if (control.className == "listbox") {
      lists_[control.id].sorted = (control.style & LBS_SORT) != 0;
    } else if (control.id != -1) {
      texts_[control.id] = control.text;
    }
  }
}

void MemoryDialog::SetDlgItemText(int id, const std::string& text) {
  const auto found = texts_.find(id);
  if (found != texts_.end()) found->second = text;
}

std::string MemoryDialog::GetDlgItemText(int id) const {
  const auto found = texts_.find(id);
  return found == texts_.end() ? std::string() : found->second;
}

MemoryDialog::ListBox* MemoryDialog::FindList(int id) {
  const auto found = lists_.find(id);
  return found == lists_.end() ? nullptr : &found->second;
}

const MemoryDialog::ListBox* MemoryDialog::FindList(int id) const {
  const auto found = lists_.find(id);
  return found == lists_.end() ? nullptr : &found->second;
}

void MemoryDialog::ListResetContent(int id) {
  ListBox* list = FindList(id);
  if (list == nullptr) return;
  list->entries.clear();
  list->selection = -1;
}

int MemoryDialog::ListAddString(int id, const std::string& text) {
  ListBox* list = FindList(id);
  if (list == nullptr) return -1;
  const std::size_t index =
      list->sorted ? ListBoxInsertionIndex(list->entries, text) : list->entries.size();
  list->entries.insert(list->entries.begin() + static_cast<std::ptrdiff_t>(index), text);
  return static_cast<int>(index);
}

int MemoryDialog::ListGetCurSel(int id) const {
  const ListBox* list = FindList(id);
  return list == nullptr ? -1 : list->selection;
}

std::string MemoryDialog::ListGetText(int id, int index) const {
  const ListBox* list = FindList(id);
  if (list == nullptr || index < 0 || index >= static_cast<int>(list->entries.size())) return {};
  return list->entries[static_cast<std::size_t>(index)];
}

int MemoryDialog::ListGetCount(int id) const {
  const ListBox* list = FindList(id);
  return list == nullptr ? -1 : static_cast<int>(list->entries.size());
}

bool MemoryDialog::ListSetCurSel(int id, int index) {
  ListBox* list = FindList(id);
  if (list == nullptr || index < -1 || index >= static_cast<int>(list->entries.size()))
    return false;
  list->selection = index;
  return true;
}

std::vector<std::string> MemoryDialog::ListEntries(int id) const {
  const ListBox* list = FindList(id);
  return list == nullptr ? std::vector<std::string>() : list->entries;
}

}  // namespace tovrin
