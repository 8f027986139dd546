#include "core/update_record.h"

#include <utility>
#include <vector>

#include "core/jet_database.h"

namespace brevak {
namespace {

const char16_t kBackupPrefix[] = u"backup.";
const char16_t kAfterPrefix[] = u"after.";
const char16_t kUnfinishedUpdatePrefix[] = u"update.";

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

bool IsDatabaseName(const std::u16string& name) { return name == kCustomerDatabase || name == kAddressBook; }

// Takes one KEY=VALUE line into the record; false for a line it does not know.
bool TakeLine(UpdateRecord& record, const std::u16string& key, const std::u16string& value) {
  if (key == u"kind") {
    if (value != u"update" && value != u"restore") return false;
    record.kind = value == u"update" ? UpdateRecord::Kind::kUpdate : UpdateRecord::Kind::kRestore;
  } else if (key == u"backup") {
    record.backup = value;
  } else if (key == u"started") {
    record.started = value;
  } else if (key == u"restored") {
    record.restored = value;
  } else if (key == u"saved") {
    record.saved.push_back(value);
  } else if (key.starts_with(kBackupPrefix) && IsDatabaseName(key.substr(7))) {
    record.backup_files[key.substr(7)] = value;
  } else if (key.starts_with(kAfterPrefix) && IsDatabaseName(key.substr(6))) {
    record.after_files[key.substr(6)] = value;
  } else {
    return false;
  }
  return true;
}

}  // namespace

bool IsStampName(const std::u16string& name) {
  if (name.size() != 14) return false;
  for (char16_t c : name) {
    if (c < u'0' || c > u'9') return false;
  }
  return true;
}

std::u16string FormatUpdateRecord(const UpdateRecord& record) {
  std::u16string text;
  AddLine(text, u"kind", record.kind == UpdateRecord::Kind::kUpdate ? u"update" : u"restore");
  AddLine(text, u"backup", record.backup);
  AddLine(text, u"started", record.started);
  for (const auto& [name, stamp] : record.backup_files) AddLine(text, kBackupPrefix + name, stamp);
  for (const auto& [name, stamp] : record.after_files) AddLine(text, kAfterPrefix + name, stamp);
  if (record.kind == UpdateRecord::Kind::kRestore) AddLine(text, u"restored", record.restored);
  for (const std::u16string& folder : record.saved) AddLine(text, u"saved", folder);
  if (record.unfinished_update) {
    for (const std::u16string& line : Lines(FormatUpdateRecord(*record.unfinished_update))) {
      text += kUnfinishedUpdatePrefix + line + u"\r\n";
    }
  }
  return text;
}

// Every line must be known and the kind, the backup and both backup stamps
// given: anything less is a damaged record.
std::optional<UpdateRecord> ParseUpdateRecord(const std::u16string& text) {
  UpdateRecord record;
  bool kind_given = false;
  std::u16string unfinished_update;
  for (const std::u16string& line : Lines(text)) {
    if (line.starts_with(kUnfinishedUpdatePrefix)) {
      unfinished_update += line.substr(std::char_traits<char16_t>::length(kUnfinishedUpdatePrefix)) + u"\r\n";
      continue;
    }
    const size_t equals = line.find(u'=');
    if (equals == std::u16string::npos) return std::nullopt;
    const std::u16string key = line.substr(0, equals);
    if (!TakeLine(record, key, line.substr(equals + 1))) return std::nullopt;
    kind_given = kind_given || key == u"kind";
  }
  if (!kind_given || record.backup.empty() || record.backup_files.size() != 2) return std::nullopt;
  if (record.kind == UpdateRecord::Kind::kRestore && record.restored.empty()) return std::nullopt;
  if (!unfinished_update.empty()) {
    std::optional<UpdateRecord> update = ParseUpdateRecord(unfinished_update);
    if (record.kind != UpdateRecord::Kind::kRestore || !update || update->kind != UpdateRecord::Kind::kUpdate ||
        update->unfinished_update) {
      return std::nullopt;
    }
    record.unfinished_update = std::make_shared<const UpdateRecord>(std::move(*update));
  }
  return record;
}

}  // namespace brevak
