#include "core/update_record.h"

#include <algorithm>
#include <set>
#include <utility>
#include <vector>

#include "core/jet_database.h"

namespace brevak {
namespace {

const char16_t kBackupPrefix[] = u"backup.";
const char16_t kAfterPrefix[] = u"after.";
const char16_t kFailedPrefix[] = u"failed.";
const char16_t kUnfinishedUpdatePrefix[] = u"update.";
const char16_t kInterruptedRestorePrefix[] = u"restore.";
const char16_t kDigestPrefix[] = u"sha256:";

using Field = std::pair<std::u16string, std::u16string>;

struct KindName {
  UpdateRecord::Kind kind;
  const char16_t* name;
};
constexpr KindName kKindNames[] = {{UpdateRecord::Kind::kUpdate, u"update"},
                                   {UpdateRecord::Kind::kRestore, u"restore"},
                                   {UpdateRecord::Kind::kUpdateBackup, u"update-backup"},
                                   {UpdateRecord::Kind::kRestoreSafetyCopy, u"restore-safety-copy"},
                                   {UpdateRecord::Kind::kUpdateSave, u"update-save"}};

std::u16string NameOf(UpdateRecord::Kind kind) {
  for (const KindName& known : kKindNames) {
    if (known.kind == kind) return known.name;
  }
  return u"";
}

std::optional<UpdateRecord::Kind> KindNamed(const std::u16string& name) {
  for (const KindName& known : kKindNames) {
    if (known.name == name) return known.kind;
  }
  return std::nullopt;
}

bool IsCopyKind(UpdateRecord::Kind kind) {
  return kind == UpdateRecord::Kind::kUpdateBackup || kind == UpdateRecord::Kind::kRestoreSafetyCopy ||
         kind == UpdateRecord::Kind::kUpdateSave;
}

void AddLine(std::u16string& text, const std::u16string& key, const std::u16string& value) {
  text += key + u"=" + value + u"\r\n";
}

std::vector<std::u16string> Lines(const std::u16string& text) {
  std::vector<std::u16string> lines;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find(u'\n', start);
    if (end == std::u16string::npos) end = text.size();
    std::u16string line = text.substr(start, end - start);
    if (!line.empty() && line.back() == u'\r') line.pop_back();
    if (!line.empty()) lines.push_back(line);
    start = end + 1;
  }
  return lines;
}

// The folder's own name: what follows its last separator.
std::u16string FolderName(const std::u16string& path) {
  const size_t cut = path.find_last_of(u"\\/");
  return cut == std::u16string::npos ? path : path.substr(cut + 1);
}

bool IsDatabaseName(const std::u16string& name) { return name == kCustomerDatabase || name == kAddressBook; }

// A version number of one to four digits, not 0; 0 when it is none.
int VersionNumber(const std::u16string& text) {
  if (text.empty() || text.size() > 4) return 0;
  int number = 0;
  for (char16_t c : text) {
    if (c < u'0' || c > u'9') return 0;
    number = number * 10 + (c - u'0');
  }
  return number;
}

enum class Taken { kKnown, kUnknown, kBad };

// A key that names one thing may stand twice only with the same value.
bool SetOnce(std::u16string& field, const std::u16string& value, bool& given) {
  if (given && field != value) return false;
  field = value;
  given = true;
  return true;
}

class RecordReader {
 public:
  // Takes one KEY=VALUE line into the record.
  Taken Take(UpdateRecord& record, const std::u16string& key, const std::u16string& value) {
    if (key == u"kind") {
      const std::optional<UpdateRecord::Kind> named = KindNamed(value);
      if (!named) return Taken::kBad;
      std::u16string kind = NameOf(record.kind);
      if (!SetOnce(kind, value, given_[key])) return Taken::kBad;
      record.kind = *named;
    } else if (key == u"backup") {
      if (!SetOnce(record.backup, value, given_[key])) return Taken::kBad;
    } else if (key == u"started") {
      if (!SetOnce(record.started, value, given_[key])) return Taken::kBad;
    } else if (key == u"restored") {
      if (!SetOnce(record.restored, value, given_[key])) return Taken::kBad;
    } else if (key == u"chain.backup") {
      if (!SetOnce(record.chain_backup, value, given_[key])) return Taken::kBad;
    } else if (key == u"chain.restored") {
      if (!SetOnce(record.chain_restored, value, given_[key])) return Taken::kBad;
    } else if (key == u"saved") {
      if (std::find(record.saved.begin(), record.saved.end(), value) == record.saved.end()) {
        record.saved.push_back(value);
      }
    } else if (key.starts_with(kBackupPrefix) && IsDatabaseName(key.substr(7))) {
      if (!SetOnce(record.backup_files[key.substr(7)], value, given_[key])) return Taken::kBad;
    } else if (key == u"retry") {
      if (value != u"will-not-help" || given_[key]) return Taken::kBad;
      record.retry_will_not_help = given_[key] = true;
    } else if (key.starts_with(kFailedPrefix) && key.size() > 7) {
      const std::u16string table = key.substr(7);
      for (const auto& [named, reason] : record.failed_tables) {
        if (named == table) return reason == value ? Taken::kKnown : Taken::kBad;
      }
      record.failed_tables.emplace_back(table, value);
    } else if (key.starts_with(kAfterPrefix) && IsDatabaseName(key.substr(6))) {
      if (!SetOnce(record.after_files[key.substr(6)], value, given_[key])) return Taken::kBad;
    } else {
      return Taken::kUnknown;
    }
    return Taken::kKnown;
  }
  bool Given(const std::u16string& key) const { return given_.count(key) != 0; }

 private:
  std::map<std::u16string, bool> given_;
};

bool DigestsWellFormed(const std::map<std::u16string, std::u16string>& files) {
  for (const auto& [name, digest] : files) {
    if (!digest.empty() && !IsDigestText(digest)) return false;
  }
  return true;
}

// What each version requires of its values beyond their keys.
bool ValuesWellFormed(const UpdateRecord& record) {
  const bool restores =
      record.kind == UpdateRecord::Kind::kRestore || record.kind == UpdateRecord::Kind::kRestoreSafetyCopy;
  if (restores && !IsPlainEntryName(record.restored)) return false;
  // Why tables did not move belongs to an update that ended with tables
  // left, of this version.
  if (!record.failed_tables.empty() || record.retry_will_not_help) {
    if (record.kind != UpdateRecord::Kind::kUpdate || record.version == 0 || record.after_files.size() != 2) {
      return false;
    }
  }
  // A chain's first restore is named whole or not at all, and only by a
  // restore of this version.
  if (record.chain_backup.empty() != record.chain_restored.empty()) return false;
  if (!record.chain_backup.empty()) {
    if (record.kind != UpdateRecord::Kind::kRestore || record.version == 0) return false;
    if (!IsStampName(record.chain_backup) || !IsPlainEntryName(record.chain_restored)) return false;
  }
  // A copy under way was never written in the earlier form, and names only
  // its folder (and a safety copy's entry and what it carries).
  if (IsCopyKind(record.kind) &&
      (record.version == 0 || !record.after_files.empty() || !record.saved.empty() || !record.unknown.empty())) {
    return false;
  }
  if (record.version == 0) return IsStampName(record.started) && IsStampName(FolderName(record.backup));
  if (!IsStampName(record.backup)) return false;
  for (const std::u16string& folder : record.saved) {
    if (!IsStampName(folder)) return false;
  }
  return DigestsWellFormed(record.backup_files) && DigestsWellFormed(record.after_files);
}

}  // namespace

std::vector<std::u16string> RecordedFolderNames(const std::u16string& text) {
  std::vector<std::u16string> names;
  for (std::u16string line : Lines(text)) {
    for (;;) {
      if (line.starts_with(kUnfinishedUpdatePrefix)) {
        line = line.substr(std::char_traits<char16_t>::length(kUnfinishedUpdatePrefix));
      } else if (line.starts_with(kInterruptedRestorePrefix)) {
        line = line.substr(std::char_traits<char16_t>::length(kInterruptedRestorePrefix));
      } else {
        break;
      }
    }
    if (!line.starts_with(u"backup=") && !line.starts_with(u"saved=") && !line.starts_with(u"chain.backup=")) continue;
    const std::u16string name = FolderName(line.substr(line.find(u'=') + 1));
    if (IsStampName(name) && std::find(names.begin(), names.end(), name) == names.end()) names.push_back(name);
  }
  return names;
}

bool IsStampName(const std::u16string& name) {
  if (name.size() != 14) return false;
  for (char16_t c : name) {
    if (c < u'0' || c > u'9') return false;
  }
  return true;
}

bool IsPlainEntryName(const std::u16string& name) {
  if (name.empty() || name == u"." || name == u"..") return false;
  for (char16_t c : name) {
    if (c < 0x20 || c == u'\\' || c == u'/' || c == u':') return false;
  }
  return true;
}

bool IsUnfinishedCopy(const UpdateRecord& record) {
  return record.version == kUpdateRecordVersion && IsCopyKind(record.kind);
}

bool IsDigestText(const std::u16string& text) {
  const size_t prefix = std::char_traits<char16_t>::length(kDigestPrefix);
  if (text.size() != prefix + 64 || !text.starts_with(kDigestPrefix)) return false;
  for (size_t i = prefix; i < text.size(); ++i) {
    const char16_t c = text[i];
    if (!((c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f'))) return false;
  }
  return true;
}

std::u16string FormatUpdateRecord(const UpdateRecord& record) {
  std::u16string text;
  AddLine(text, u"version", std::u16string(1, static_cast<char16_t>(u'0' + kUpdateRecordVersion)));
  AddLine(text, u"kind", NameOf(record.kind));
  AddLine(text, u"backup", FolderName(record.backup));
  for (const auto& [name, digest] : record.backup_files) AddLine(text, kBackupPrefix + name, digest);
  for (const auto& [name, digest] : record.after_files) AddLine(text, kAfterPrefix + name, digest);
  for (const auto& [table, reason] : record.failed_tables) AddLine(text, kFailedPrefix + table, reason);
  if (record.retry_will_not_help) AddLine(text, u"retry", u"will-not-help");
  if (record.kind == UpdateRecord::Kind::kRestore || record.kind == UpdateRecord::Kind::kRestoreSafetyCopy) {
    AddLine(text, u"restored", record.restored);
  }
  if (record.kind == UpdateRecord::Kind::kRestore && !record.chain_backup.empty()) {
    AddLine(text, u"chain.backup", FolderName(record.chain_backup));
    AddLine(text, u"chain.restored", record.chain_restored);
  }
  for (const std::u16string& folder : record.saved) AddLine(text, u"saved", FolderName(folder));
  for (const auto& [key, value] : record.unknown) AddLine(text, key, value);
  if (record.unfinished_update) {
    for (const std::u16string& line : Lines(FormatUpdateRecord(*record.unfinished_update))) {
      text += kUnfinishedUpdatePrefix + line + u"\r\n";
    }
  }
  if (record.interrupted_restore) {
    for (const std::u16string& line : Lines(FormatUpdateRecord(*record.interrupted_restore))) {
      text += kInterruptedRestorePrefix + line + u"\r\n";
    }
  }
  return text;
}

// A record of a newer version is read only for its backup. Otherwise every
// line is KEY=VALUE; the kind, the backup and both backup databases
// are given, each once, each value of its form: anything less is a damaged
// record. A record of the earlier form knows no other key.
std::optional<UpdateRecord> ParseUpdateRecord(const std::u16string& text) {
  std::vector<Field> fields;
  std::u16string unfinished_update;
  std::u16string interrupted_restore;
  bool malformed = false;  // a line without "=": damaged, unless of a newer version
  for (const std::u16string& line : Lines(text)) {
    if (line.starts_with(kUnfinishedUpdatePrefix)) {
      unfinished_update += line.substr(std::char_traits<char16_t>::length(kUnfinishedUpdatePrefix)) + u"\r\n";
      continue;
    }
    if (line.starts_with(kInterruptedRestorePrefix)) {
      interrupted_restore += line.substr(std::char_traits<char16_t>::length(kInterruptedRestorePrefix)) + u"\r\n";
      continue;
    }
    const size_t equals = line.find(u'=');
    malformed = malformed || equals == std::u16string::npos;
    if (equals != std::u16string::npos) fields.emplace_back(line.substr(0, equals), line.substr(equals + 1));
  }
  UpdateRecord record;
  record.version = 0;
  for (const auto& [key, value] : fields) {
    if (key != u"version") continue;
    const int version = VersionNumber(value);
    if (version == 0 || (record.version != 0 && record.version != version)) return std::nullopt;
    record.version = version;
  }
  if (record.version > kUpdateRecordVersion) {
    for (const auto& [key, value] : fields) {
      if (key == u"backup" && record.backup.empty()) record.backup = value;
    }
    return record;
  }
  if (malformed) return std::nullopt;
  RecordReader reader;
  for (const auto& [key, value] : fields) {
    if (key == u"version") continue;
    const Taken taken = reader.Take(record, key, value);
    if (taken == Taken::kBad || (taken == Taken::kUnknown && record.version == 0)) return std::nullopt;
    if (taken == Taken::kUnknown) record.unknown.emplace_back(key, value);
  }
  if (!reader.Given(u"kind") || record.backup.empty()) return std::nullopt;
  if (record.backup_files.size() != (IsCopyKind(record.kind) ? 0u : 2u)) return std::nullopt;
  if (record.version == kUpdateRecordVersion) record.started = record.backup;
  if (!ValuesWellFormed(record)) return std::nullopt;
  if (!unfinished_update.empty()) {
    std::optional<UpdateRecord> update = ParseUpdateRecord(unfinished_update);
    const bool carries = record.kind == UpdateRecord::Kind::kRestore ||
                         record.kind == UpdateRecord::Kind::kRestoreSafetyCopy ||
                         record.kind == UpdateRecord::Kind::kUpdateSave;
    if (!carries || !update || update->kind != UpdateRecord::Kind::kUpdate || update->unfinished_update ||
        update->interrupted_restore || update->version != record.version) {
      return std::nullopt;
    }
    record.unfinished_update = std::make_shared<const UpdateRecord>(std::move(*update));
  }
  if (!interrupted_restore.empty()) {
    std::optional<UpdateRecord> restore = ParseUpdateRecord(interrupted_restore);
    if (record.kind != UpdateRecord::Kind::kRestoreSafetyCopy || !restore ||
        restore->kind != UpdateRecord::Kind::kRestore || restore->interrupted_restore ||
        restore->version != record.version) {
      return std::nullopt;
    }
    record.interrupted_restore = std::make_shared<const UpdateRecord>(std::move(*restore));
  }
  // The save before a finishing names the update it finishes.
  if (record.kind == UpdateRecord::Kind::kUpdateSave && !record.unfinished_update) return std::nullopt;
  return record;
}

}  // namespace brevak
