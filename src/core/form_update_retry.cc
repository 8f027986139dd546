// Whether trying an update again can move the tables that did not move:
// the update's own checks run again, and what they find is the cause the
// user can remove. When they find nothing, the engine refused the tables
// for a reason of their own (a field the new schema rejects, a database
// that does not open), and the same retry would fail the same way.
#include "core/form_update.h"
#include "core/guard_texts.h"

namespace brevak {

std::optional<std::u16string> FormUpdate::RetryRemedy() {
  std::u16string package;
  ResumeNext([&] { package = platform_.folders->AppPath(); });
  const std::u16string space = SpaceProblemFor(package, PackageSourceList(), /*migrates=*/true);
  if (!space.empty()) return guard_text::RetryAfterFreeingSpace(space);
  const std::u16string held = FileInUse();
  if (!held.empty()) return guard_text::RetryAfterClosing(held);
  return std::nullopt;
}

std::u16string FormUpdate::RetryEnding(const MigrationOutcome& outcome) {
  if (outcome.retry_remedy) return *outcome.retry_remedy;
  return guard_text::RetryWillNotHelp(outcome.customer_open_error.value_or(outcome.first_reason));
}

}  // namespace brevak
