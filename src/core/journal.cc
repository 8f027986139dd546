#include "core/journal.h"

#include <algorithm>
#include <memory>
#include <stdexcept>
#include <string>
#include <type_traits>

#include "platform/durable_files.h"

namespace brevak {
namespace {

// Indexes of the states in JournalState, for the transitions' checks.
constexpr size_t kNone = 0;
constexpr size_t kUpdateInProgress = 1;
constexpr size_t kUpdateEnded = 2;
constexpr size_t kRestoreCopying = 3;
constexpr size_t kDamaged = 4;
constexpr size_t kUpdateBackingUp = 5;
constexpr size_t kRestoreSafetyCopy = 6;
constexpr size_t kUpdateSaving = 7;
static_assert(std::is_same_v<std::variant_alternative_t<kDamaged, JournalState>, JournalDamaged>);
static_assert(std::is_same_v<std::variant_alternative_t<kRestoreSafetyCopy, JournalState>, RestoreSafetyCopy>);
static_assert(std::is_same_v<std::variant_alternative_t<kUpdateSaving, JournalState>, UpdateSaving>);

UpdateRecord UpdateRecordOf(const UpdateInProgress& update) {
  UpdateRecord record;
  record.kind = UpdateRecord::Kind::kUpdate;
  record.backup = update.backup;
  record.backup_files = update.backup_files;
  record.saved = update.saved;
  record.unknown = update.unknown;
  return record;
}

UpdateRecord UpdateRecordOf(const CarriedUpdate& carried) {
  if (const UpdateEnded* ended = std::get_if<UpdateEnded>(&carried)) {
    UpdateRecord record = UpdateRecordOf(ended->update);
    record.after_files = ended->after_files;
    record.failed_tables = ended->tables_left.reasons;
    record.retry_will_not_help = ended->tables_left.retry_will_not_help;
    return record;
  }
  return UpdateRecordOf(std::get<UpdateInProgress>(carried));
}

std::shared_ptr<const UpdateRecord> SharedRecordOf(const CarriedUpdate& carried) {
  return std::make_shared<const UpdateRecord>(UpdateRecordOf(carried));
}

// The record of a copy under way into `folder`.
UpdateRecord CopyRecord(UpdateRecord::Kind kind, const std::u16string& folder) {
  UpdateRecord record;
  record.kind = kind;
  record.backup = folder;
  return record;
}

JournalState AsState(const CarriedUpdate& carried) {
  return std::visit([](const auto& update) -> JournalState { return update; }, carried);
}

RestoreCopying RestoreCopyingOf(const UpdateRecord& record) {
  RestoreCopying restore{record.backup,  record.backup_files,  record.restored,      std::nullopt,
                         record.unknown, record.chain_backup, record.chain_restored};
  if (record.unfinished_update) restore.carried = CarriedUpdateOf(*record.unfinished_update);
  return restore;
}

RestoreSafetyCopy SafetyCopyOf(const UpdateRecord& record) {
  RestoreSafetyCopy copy{record.backup, record.restored, std::nullopt, std::nullopt};
  if (record.unfinished_update) copy.carried = CarriedUpdateOf(*record.unfinished_update);
  if (record.interrupted_restore) copy.interrupted = RestoreCopyingOf(*record.interrupted_restore);
  return copy;
}

UpdateRecord RestoreRecordOf(const RestoreCopying& restore) {
  UpdateRecord record;
  record.kind = UpdateRecord::Kind::kRestore;
  record.backup = restore.safety;
  record.backup_files = restore.safety_files;
  record.restored = restore.entry;
  record.chain_backup = restore.first_safety;
  record.chain_restored = restore.first_entry;
  record.unknown = restore.unknown;
  if (restore.carried) record.unfinished_update = SharedRecordOf(*restore.carried);
  return record;
}

}  // namespace

CarriedUpdate CarriedUpdateOf(const UpdateRecord& record) {
  UpdateInProgress update{record.backup, record.backup_files, record.saved, record.unknown};
  if (record.after_files.empty()) return update;
  return UpdateEnded{std::move(update), record.after_files, {record.failed_tables, record.retry_will_not_help}};
}

JournalState JournalStateOf(const UpdateRecord& record) {
  if (record.version > kUpdateRecordVersion) return JournalDamaged{true, {}};
  if (record.kind == UpdateRecord::Kind::kUpdate) return AsState(CarriedUpdateOf(record));
  if (record.kind == UpdateRecord::Kind::kUpdateBackup) return UpdateBackingUp{record.backup};
  if (record.kind == UpdateRecord::Kind::kUpdateSave) {
    return UpdateSaving{record.backup, CarriedUpdateOf(*record.unfinished_update)};
  }
  if (record.kind == UpdateRecord::Kind::kRestoreSafetyCopy) return SafetyCopyOf(record);
  return RestoreCopyingOf(record);
}

UpdateRecord RecordOf(const JournalState& state) {
  if (const UpdateInProgress* update = std::get_if<UpdateInProgress>(&state)) return UpdateRecordOf(*update);
  if (const UpdateEnded* ended = std::get_if<UpdateEnded>(&state)) return UpdateRecordOf(CarriedUpdate(*ended));
  if (const UpdateBackingUp* backing_up = std::get_if<UpdateBackingUp>(&state)) {
    return CopyRecord(UpdateRecord::Kind::kUpdateBackup, backing_up->folder);
  }
  if (const UpdateSaving* saving = std::get_if<UpdateSaving>(&state)) {
    UpdateRecord record = CopyRecord(UpdateRecord::Kind::kUpdateSave, saving->folder);
    record.unfinished_update = SharedRecordOf(saving->update);
    return record;
  }
  if (const RestoreSafetyCopy* copy = std::get_if<RestoreSafetyCopy>(&state)) {
    UpdateRecord record = CopyRecord(UpdateRecord::Kind::kRestoreSafetyCopy, copy->folder);
    record.restored = copy->entry;
    if (copy->carried) record.unfinished_update = SharedRecordOf(*copy->carried);
    if (copy->interrupted) {
      record.interrupted_restore = std::make_shared<const UpdateRecord>(RestoreRecordOf(*copy->interrupted));
    }
    return record;
  }
  const RestoreCopying* restore = std::get_if<RestoreCopying>(&state);
  if (!restore) throw std::logic_error("journal: no record in this state");
  return RestoreRecordOf(*restore);
}

std::u16string FormatJournal(const JournalState& state) {
  if (std::holds_alternative<JournalNone>(state) || std::holds_alternative<JournalDamaged>(state)) {
    throw std::logic_error("journal: this state has no text");
  }
  return FormatUpdateRecord(RecordOf(state));
}

JournalState ParseJournal(const std::optional<std::u16string>& text) {
  if (!text) return JournalNone{};
  const std::optional<UpdateRecord> record = ParseUpdateRecord(*text);
  if (!record) return JournalDamaged{false, RecordedFolderNames(*text)};
  if (record->version > kUpdateRecordVersion) return JournalDamaged{true, RecordedFolderNames(*text)};
  return JournalStateOf(*record);
}

std::optional<std::u16string> Journal::Read(const std::u16string& path) {
  path_ = path;
  state_.reset();
  std::optional<std::u16string> text = files_.ReadText(path);
  state_ = ParseJournal(text);
  return text;
}

const JournalState& Journal::From(std::initializer_list<size_t> allowed, const char* transition) const {
  if (path_.empty() || !state_) throw std::logic_error(std::string("journal: ") + transition + " from an unknown state");
  for (size_t index : allowed) {
    if (state_->index() == index) return *state_;
  }
  throw std::logic_error(std::string("journal: ") + transition + " from state " + std::to_string(state_->index()));
}

void Journal::Apply(const JournalState& next) {
  if (std::holds_alternative<JournalNone>(next)) {
    files_.Remove(path_);
  } else {
    files_.WriteText(path_, FormatJournal(next));
  }
  state_ = next;
}

void Journal::BeginUpdate(const UpdateInProgress& update) {
  From({kUpdateBackingUp}, "BeginUpdate");
  Apply(update);
}

void Journal::NoteSaved(const CarriedUpdate& update, const std::u16string& folder) {
  From({kUpdateInProgress, kUpdateEnded, kUpdateSaving}, "NoteSaved");
  JournalState next = AsState(update);
  std::visit(
      [&](auto& state) {
        if constexpr (std::is_same_v<std::decay_t<decltype(state)>, UpdateInProgress>) state.saved.push_back(folder);
        if constexpr (std::is_same_v<std::decay_t<decltype(state)>, UpdateEnded>) state.update.saved.push_back(folder);
      },
      next);
  Apply(next);
}

void Journal::EndWithTablesLeft(const CarriedUpdate& update, const JournalDigests& after_files,
                                const TablesLeft& why) {
  From({kUpdateInProgress, kUpdateEnded}, "EndWithTablesLeft");
  const UpdateInProgress* in_progress = std::get_if<UpdateInProgress>(&update);
  TablesLeft kept = why;
  for (auto& [table, reason] : kept.reasons) std::replace(reason.begin(), reason.end(), u'\r', u' ');
  for (auto& [table, reason] : kept.reasons) std::replace(reason.begin(), reason.end(), u'\n', u' ');
  Apply(UpdateEnded{in_progress ? *in_progress : std::get<UpdateEnded>(update).update, after_files, kept});
}

void Journal::BeginRestore(const RestoreCopying& restore) {
  From({kRestoreSafetyCopy}, "BeginRestore");
  Apply(restore);
}

void Journal::ReturnToUpdate(const CarriedUpdate& carried) {
  if (!std::get<RestoreCopying>(From({kRestoreCopying}, "ReturnToUpdate")).carried) {
    throw std::logic_error("journal: ReturnToUpdate without a carried update");
  }
  Apply(AsState(carried));
}

void Journal::End() {
  From({kUpdateInProgress, kUpdateEnded, kRestoreCopying}, "End");
  Apply(JournalNone{});
}

// A file that cannot be read or is not believed is set aside whatever it
// holds; only a journal known to be absent has nothing to set aside.
void Journal::SetAside(const std::u16string& to) {
  if (path_.empty() || (state_ && std::holds_alternative<JournalNone>(*state_))) {
    throw std::logic_error("journal: SetAside with no file");
  }
  files_.Rename(path_, to);
  state_ = JournalNone{};
}

void Journal::BeginUpdateBackup(const std::u16string& folder) {
  From({kNone}, "BeginUpdateBackup");
  Apply(UpdateBackingUp{folder});
}

void Journal::BeginSave(const CarriedUpdate& update, const std::u16string& folder) {
  From({kUpdateInProgress, kUpdateEnded}, "BeginSave");
  Apply(UpdateSaving{folder, update});
}

void Journal::BeginSafetyCopy(const RestoreSafetyCopy& copy) {
  const JournalState& from = From({kNone, kUpdateInProgress, kUpdateEnded, kRestoreCopying}, "BeginSafetyCopy");
  if (copy.interrupted.has_value() != std::holds_alternative<RestoreCopying>(from)) {
    throw std::logic_error("journal: BeginSafetyCopy names no interrupted restore it follows up");
  }
  Apply(copy);
}

bool Journal::CopyUnderWay() const {
  if (!state_) return false;
  const size_t index = state_->index();
  return index == kUpdateBackingUp || index == kRestoreSafetyCopy || index == kUpdateSaving;
}

// What a restore's safety copy began from comes back: the interrupted
// restore it followed up, else the update it carried, else nothing.
void Journal::DropUnfinishedCopy() {
  const JournalState& from = From({kUpdateBackingUp, kRestoreSafetyCopy, kUpdateSaving}, "DropUnfinishedCopy");
  JournalState next = JournalNone{};
  if (const UpdateSaving* saving = std::get_if<UpdateSaving>(&from)) next = AsState(saving->update);
  if (const RestoreSafetyCopy* copy = std::get_if<RestoreSafetyCopy>(&from)) {
    if (copy->interrupted) {
      next = *copy->interrupted;
    } else if (copy->carried) {
      next = AsState(*copy->carried);
    }
  }
  Apply(next);
}

}  // namespace brevak
