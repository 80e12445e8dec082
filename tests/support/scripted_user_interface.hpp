#pragma once
// The message-box host for tests: records every box, answers the questions
// (OK/Cancel boxes) from a script the test gives, and counts the wait
// cursor. A box with only OK is answered with OK and takes nothing from the
// script; a question beyond the script fails the test and is cancelled.

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "platform/user_interface.hpp"

namespace tovrin::testing {

struct RecordedBox {
  WindowHandle owner = nullptr;
  std::string text;     // CP932, as shown
  std::string caption;  // CP932, as shown
  unsigned type = MB_OK;
  int answer = IDOK;
  int waitCursorDepth = 0;  // wait cursors begun and not yet ended
};

class ScriptedUserInterface : public UserInterface {
 public:
  // Answers the next question. `whileShown` runs while the box is open,
  // before the answer: what the user does meanwhile (inserts a disk).
  void Answer(int answer, std::function<void()> whileShown = {});

  int MessageBox(WindowHandle owner, const std::string& text, const std::string& caption,
                 unsigned type) override;
  void BeginWaitCursor() override;
  void EndWaitCursor() override;

  const std::vector<RecordedBox>& Boxes() const { return boxes_; }
  // Each box as "caption: text [OK]" or "caption: text [OK/Cancel]", in
  // UTF-8, for readable comparisons.
  std::vector<std::string> Transcript() const;
  std::size_t UnusedAnswers() const { return script_.size(); }
  int WaitCursorBegins() const { return begins_; }
  int WaitCursorEnds() const { return ends_; }

 private:
  struct ScriptedAnswer {
    int answer;
    std::function<void()> whileShown;
  };

  std::deque<ScriptedAnswer> script_;
  std::vector<RecordedBox> boxes_;
  int begins_ = 0;
  int ends_ = 0;
};

// One box as its transcript line; bytes that are not CP932 show as \xNN.
std::string DescribeBox(const RecordedBox& box);

}  // namespace tovrin::testing
