// libFuzzer target: the journal's codec fed any text (the input's bytes as
// UTF-16 code units, little-endian). Reading never fails hard; a record of
// this version that is read is written back as the same state, and the
// folders named from a damaged text are fourteen-digit names only.
// Built and run by scripts/fuzz-journal.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "core/journal.h"
#include "core/update_record.h"

namespace {

void Require(bool condition) {
  if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::u16string text;
  for (size_t i = 0; i + 1 < size; i += 2) text += static_cast<char16_t>(data[i] | data[i + 1] << 8);
  const brevak::JournalState state = brevak::ParseJournal(text);
  if (const auto* damaged = std::get_if<brevak::JournalDamaged>(&state)) {
    for (const std::u16string& folder : damaged->folders) Require(brevak::IsStampName(folder));
    return 0;
  }
  Require(!std::holds_alternative<brevak::JournalNone>(state));
  const std::optional<brevak::UpdateRecord> record = brevak::ParseUpdateRecord(text);
  Require(record.has_value());
  const std::u16string written = brevak::FormatJournal(state);
  // A record of the earlier form is rewritten only once proved (its folders
  // checked); one of this version must come back as it was read.
  if (record->version == brevak::kUpdateRecordVersion) {
    Require(brevak::ParseJournal(written) == state);
    Require(brevak::FormatJournal(brevak::ParseJournal(written)) == written);
  }
  return 0;
}
