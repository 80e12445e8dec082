#include <cstddef>
#include <string>

#include "description/update_description.hpp"

namespace tovrin {
namespace {

constexpr int kMaxLineBreaks = 100;

}  // namespace

void ConvertTabsToLineBreaks(std::string& text) {
  std::size_t tab = 0;
  for (int converted = 0; converted < kMaxLineBreaks; ++converted) {
    tab = text.find('\t', tab);
    if (tab == std::string::npos) return;
    text[tab] = '\r';
    // A TAB at the very end has no byte to overwrite: the break is added
    // whole rather than left as half of one.
    if (tab + 1 == text.size()) {
      text.push_back('\n');
    } else {
      text[tab + 1] = '\n';
    }
    tab += 2;
  }
}

}  // namespace tovrin
