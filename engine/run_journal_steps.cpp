// The update run's journal: a killed run put back before anything else, a
// journal begun before the first change, and at the end either kept for an
// undo or used to put the product back.

#include <string>
#include <vector>

#include "engine/archive_contents.hpp"
#include "engine/path_helpers.hpp"
#include "engine/text_format.hpp"
#include "engine/update_error.hpp"
#include "engine/update_run.hpp"
#include "platform/cp932.hpp"
#include "platform/path_text.hpp"
#include "resources/messages.hpp"
#include "platform/path_text.hpp"

namespace tovrin {

namespace {

bool KeepsTheUpdate(UpdateOutcome outcome) {
  return outcome == UpdateOutcome::Applied || outcome == UpdateOutcome::AppliedWithWarnings;
}

}  // namespace

JournalFiles& UpdateRun::JournalStore() {
  if (journalFiles_) return *journalFiles_;
  if (!hostJournalFiles_) hostJournalFiles_ = MakeJournalFiles();
  return *hostJournalFiles_;
}

void UpdateRun::BeginJournal() {
  // Without seeing the changes there is nothing a journal could undo.
  if (!observedFiles_) return;
  if (!journal_) {
    journal_ = std::make_unique<RunJournal>(platform_.files, JournalStore());
    listeners_.Add(*journal_);
  }
  const auto root = platform_.files.Resolve(productFolder_);
  if (!root || !journal_->Begin(*root)) {
    throw UpdateError(FormatText(cp932::Text(texts::kJournalUnwritable),
                                 {path_text::SingleSeparators(productFolder_)}));
  }
  journalRoot_ = *root;
  journalOpen_ = true;
}

// An archive's members journaled at once: one flush instead of one a
// member. Should it fail, each member is still journaled as it is written.
void UpdateRun::JournalAhead(int index, const std::string& targetFolder) {
  if (!journalOpen_) return;
  std::vector<std::string> targets;
  for (const std::string& name : ArchiveFileNames(platform_.files, RecordMediumFile(index))) {
    targets.push_back(path_text::FolderWithSeparator(targetFolder) + name);
  }
  journal_->KeepAhead(targets);
}

void UpdateRun::CloseJournal() {
  if (!journalOpen_) return;
  journalOpen_ = false;
  if (KeepsTheUpdate(outcome_)) {
    if (journal_->KeepAsLast()) return;
    outcome_ = UpdateOutcome::AppliedWithWarnings;
    ShowBox(FormatText(cp932::Text(texts::kJournalNotKept), {productFolder_}),
            cp932::Text(texts::kCaptionConfirm), MB_OK);
    return;
  }
  const RestoreResult restored = journal_->Restore();
  // A refusal says nothing was changed; one that could not be put back was.
  if (!restored.Complete() && outcome_ == UpdateOutcome::Refused) outcome_ = UpdateOutcome::Failed;
  ReportRestore(journalRoot_, restored);
}

void UpdateRun::ReportRestore(const std::filesystem::path& productRoot,
                              const RestoreResult& result) {
  const auto windowsNames = [&](const std::vector<std::filesystem::path>& relatives) {
    std::vector<std::string> names;
    for (const auto& relative : relatives) {
      auto name = platform_.files.ToWindowsPath(productRoot / relative);
      if (!name) name = cp932::FromUtf8(relative.string());
      names.push_back(name.value_or(std::string()));
    }
    return names;
  };
  const std::vector<std::string> notRestored = windowsNames(result.notRestored);
  const std::vector<std::string> leftInPlace = windowsNames(result.leftInPlace);
  listeners_.ProductRestored(notRestored, leftInPlace);
  if (!result.journalLeftOver.empty()) {
    listeners_.JournalLeftOver(windowsNames({result.journalLeftOver}).front());
  }
  const std::string caption = cp932::Text(texts::kCaptionConfirm);
  if (result.Complete()) {
    ShowBox(cp932::Text(texts::kProductRestored), caption, MB_OK);
    return;
  }
  std::string names;
  for (const auto* list : {&notRestored, &leftInPlace}) {
    for (const auto& name : *list) {
      if (!names.empty()) names += cp932::Text(kNameSeparator);
      names += name;
    }
  }
  ShowBox(FormatText(cp932::Text(texts::kProductNotRestored), {names}), caption, MB_OK);
}

}  // namespace tovrin
