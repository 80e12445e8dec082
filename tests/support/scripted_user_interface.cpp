#include "tests/support/scripted_user_interface.hpp"

#include <gtest/gtest.h>

#include <cstdio>

#include "platform/cp932.hpp"

namespace tovrin::testing {

namespace {

std::string Readable(const std::string& cp932) {
  if (auto utf8 = cp932::ToUtf8(cp932)) return *utf8;
  std::string escaped;
  for (unsigned char byte : cp932) {
    char hex[5];
    std::snprintf(hex, sizeof hex, "\\x%02X", byte);
    escaped += byte < 0x80 ? std::string(1, static_cast<char>(byte)) : std::string(hex);
  }
  return escaped;
}

}  // namespace

void ScriptedUserInterface::Answer(int answer, std::function<void()> whileShown) {
  script_.push_back({answer, std::move(whileShown)});
}

int ScriptedUserInterface::MessageBox(WindowHandle owner, const std::string& text,
                                      const std::string& caption, unsigned type) {
  RecordedBox box{owner, text, caption, type, IDOK, begins_ - ends_};
  if (type == MB_OKCANCEL) {
    if (script_.empty()) {
      ADD_FAILURE() << "unscripted question: " << DescribeBox(box);
      box.answer = IDCANCEL;
    } else {
      ScriptedAnswer next = std::move(script_.front());
      script_.pop_front();
      if (next.whileShown) next.whileShown();
      box.answer = next.answer;
    }
  }
  boxes_.push_back(box);
  return box.answer;
}

void ScriptedUserInterface::BeginWaitCursor() { ++begins_; }

void ScriptedUserInterface::EndWaitCursor() {
  if (ends_ == begins_) ADD_FAILURE() << "wait cursor ended more often than begun";
  ++ends_;
}

std::vector<std::string> ScriptedUserInterface::Transcript() const {
  std::vector<std::string> lines;
  for (const RecordedBox& box : boxes_) lines.push_back(DescribeBox(box));
  return lines;
}

std::string DescribeBox(const RecordedBox& box) {
  const char* buttons = box.type == MB_OKCANCEL ? " [OK/Cancel]" : " [OK]";
  return Readable(box.caption) + ": " + Readable(box.text) + buttons;
}

}  // namespace tovrin::testing
