#include "hosts/win32/memory_dialog_template.hpp"

#include "platform/win32/wide_text.hpp"
#include "platform/window_styles.hpp"
#include "platform/win32/windows_api.hpp"

namespace tovrin {
namespace {

constexpr std::uint16_t kButtonAtom = 0x0080;
constexpr std::uint16_t kEditAtom = 0x0081;
constexpr std::uint16_t kStaticAtom = 0x0082;
constexpr std::uint16_t kListBoxAtom = 0x0083;
constexpr std::uint16_t kProgramIcon = 1;

class TemplateWriter {
 public:
  void Word(std::uint32_t value) { words_.push_back(static_cast<std::uint16_t>(value)); }
  void DoubleWord(std::uint32_t value) {
    Word(value & 0xFFFF);
    Word(value >> 16);
  }
  void Text(const std::string& cp932) {
    for (const wchar_t unit : win32::WideFromCp932(cp932).value_or(L""))
      Word(static_cast<std::uint16_t>(unit));
    Word(0);
  }
  void Ordinal(std::uint16_t value) {
    Word(0xFFFF);
    Word(value);
  }
  void AlignToDoubleWord() {
    if (words_.size() % 2 != 0) Word(0);
  }
  std::vector<std::uint16_t> Take() { return std::move(words_); }

 private:
  std::vector<std::uint16_t> words_;
};

// The predefined classes by their atoms; a common control (the progress
// bar) by its registered name.
void WriteClass(TemplateWriter& writer, const DialogControl& control) {
  if (control.className == "button") return writer.Ordinal(kButtonAtom);
  if (control.className == "edit") return writer.Ordinal(kEditAtom);
  if (control.className == "listbox") return writer.Ordinal(kListBoxAtom);
  if (control.className == "static" || control.className == "icon")
    return writer.Ordinal(kStaticAtom);
  writer.Text(control.className);
}

// The host keeps sorted lists in the program's own order, and the picture
// frame becomes a surface the page paints.
std::uint32_t ControlStyle(const DialogControl& control) {
  std::uint32_t style = control.style | WS_CHILD;
  if (control.className == "listbox") style &= ~LBS_SORT;
  if (control.className == "icon") style = (style & ~SS_TYPEMASK) | SS_ICON;
  if (control.id == kPictureFrameId) style = (style & ~SS_TYPEMASK) | SS_OWNERDRAW;
  return style;
}

}  // namespace

std::vector<std::uint16_t> BuildMemoryDialogTemplate(const DialogTemplate& dialogTemplate) {
  TemplateWriter writer;
  writer.DoubleWord(dialogTemplate.style | DS_SETFONT);
  writer.DoubleWord(0);
  writer.Word(static_cast<std::uint32_t>(dialogTemplate.controls.size()));
  for (const int value : {0, 0, dialogTemplate.cx, dialogTemplate.cy})
    writer.Word(static_cast<std::uint32_t>(value));
  writer.Word(0);  // no menu
  writer.Word(0);  // the dialog class
  writer.Text(dialogTemplate.title);
  writer.Word(static_cast<std::uint32_t>(dialogTemplate.fontPointSize));
  writer.Text(dialogTemplate.fontName);
  for (const DialogControl& control : dialogTemplate.controls) {
    writer.AlignToDoubleWord();
    writer.DoubleWord(ControlStyle(control));
    writer.DoubleWord(0);
    for (const int value : {control.x, control.y, control.cx, control.cy}) {
      writer.Word(static_cast<std::uint32_t>(value));
    }
    writer.Word(static_cast<std::uint32_t>(control.id));
    WriteClass(writer, control);
    if (control.className == "icon") {
      writer.Ordinal(kProgramIcon);
    } else {
      writer.Text(control.text);
    }
    writer.Word(0);  // no creation data
  }
  return writer.Take();
}

}  // namespace tovrin
