#include "campaign/tamper.h"

#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <exception>
#include <fstream>
#include <iterator>
#include <random>
#include <vector>

#include "campaign/carried_tables.h"
#include "campaign/messages.h"
#include "campaign/record_mutation.h"
#include "campaign/shop_prefix.h"
#include "shop/shop_db.h"

namespace brevak::campaign {
namespace fs = std::filesystem;
namespace {

constexpr char kRecordFile[] = "upgrade-in-progress.brevak";

// The App Paths key's two values, each spelled another way for the same
// folder. The folder's own name keeps its case: the tool cuts the
// installation folder out of the listing at "Brevak\", compared exactly, so
// an installation spelled "brevak\" is one it cannot find at all (its
// start-up ends in the run-time error, with nothing changed), not another
// spelling of a record's folder. The stand-in has no 8.3 names, so a
// PROGRA~1-style spelling is out of its reach.
struct Spelling {
  const char* what;
  const char* exe;   // as system.reg escapes it
  const char* path;
};
constexpr Spelling kSpellings[] = {
    {"with /", "C:/Brevak\\\\Brevak.exe", "C:/Brevak\\\\"},
    {"with the drive and the program in other case", "c:\\\\Brevak\\\\BREVAK.EXE", "c:\\\\Brevak\\\\"},
    {"with doubled \\ and a trailing \\", "C:\\\\\\\\Brevak\\\\Brevak.exe", "C:\\\\\\\\Brevak\\\\\\\\"},
    {"with the drive in lower case", "c:\\\\Brevak\\\\Brevak.exe", "c:\\\\Brevak\\\\"},
};
constexpr const char* kZones[] = {"EST5EDT,M3.2.0,M11.1.0", "UTC0", "NZST-12"};

std::string ReadAll(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

void WriteAll(const fs::path& file, const std::string& text) {
  std::ofstream(file, std::ios::binary | std::ios::trunc) << text;
}

// The newest backup folder holding the customer database: the one the
// interrupted run made.
fs::path NewestBackup(const fs::path& install) {
  fs::path newest;
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator(install, ec)) {
    const std::string name = entry.path().filename().string();
    if (!BackupDate(name).empty() && fs::is_regular_file(entry.path() / kCustomerFile, ec) &&
        (newest.empty() || name > newest.filename().string())) {
      newest = entry.path();
    }
  }
  return newest;
}

// The record's file replaced by one that is no text file: a pipe, whose
// open waits for a writer, or a link to an endless device.
std::string ReplaceRecordFile(const fs::path& record, bool pipe) {
  fs::remove(record);
  if (pipe) {
    if (mkfifo(record.c_str(), 0644) != 0) return "record not replaced: mkfifo failed";
    return "record replaced by a pipe";
  }
  fs::create_symlink("/dev/zero", record);
  return "record replaced by a link to /dev/zero";
}

std::string MutateRecordFile(const fs::path& prefix, const TamperPlan& plan) {
  const fs::path record = InstallDir(prefix) / kRecordFile;
  if (!fs::exists(record)) return "no record to damage";
  const int kind = plan.variant % (kRecordMutations + 2);
  if (kind >= kRecordMutations) return ReplaceRecordFile(record, kind == kRecordMutations);
  const auto mutation = static_cast<RecordMutation>(kind);
  std::mt19937_64 rng(plan.seed);
  const std::string before = ReadAll(record);
  const std::string after = MutateRecord(before, mutation, rng, WindowsPath(prefix, PackageDir(prefix)));
  WriteAll(record, after);
  return std::string("record ") + MutationName(mutation) + (after == before ? " (nothing to change)" : "");
}

std::string TouchBackup(const fs::path& prefix, const TamperPlan& plan) {
  const fs::path backup = NewestBackup(InstallDir(prefix));
  if (backup.empty()) return "no backup to touch";
  const std::string name = backup.filename().string();
  switch (plan.variant % 3) {
    case 0:
      for (const char* file : {kCustomerFile, kAddressBookFile}) {
        fs::last_write_time(backup / file, fs::file_time_type::clock::now());
      }
      return "backup " + name + "'s databases touched (time now, content unchanged)";
    case 1:
      fs::last_write_time(backup / kCustomerFile, fs::last_write_time(backup / kCustomerFile) + std::chrono::hours(1));
      return "backup " + name + "'s " + kCustomerFile + " an hour later (content unchanged)";
    default:
      WriteAll(backup / kAddressBookFile, ReadAll(backup / kAddressBookFile));
      return "backup " + name + "'s " + kAddressBookFile + " rewritten with its own content";
  }
}

// An older folder whose customer database holds other rows (its tables
// emptied, which keeps the file's size) with the backup's sizes and times,
// and the record pointed at it.
std::string DecoyFolder(const fs::path& prefix) {
  const fs::path install = InstallDir(prefix), backup = NewestBackup(install);
  if (backup.empty()) return "no backup to imitate";
  std::string name = backup.filename().string();
  name[3] = name[3] == '0' ? '9' : static_cast<char>(name[3] - 1);  // a year earlier (or nine later in a decade's first)
  if (name > backup.filename().string()) name[2] = static_cast<char>(name[2] - 1);
  const fs::path decoy = install / name;
  fs::create_directories(decoy);
  for (const char* file : {kCustomerFile, kAddressBookFile}) fs::copy_file(backup / file, decoy / file);
  {
    shop::ShopDb db(decoy / kCustomerFile, kCustomerKey, false);
    for (const CarriedTable& table : CarriedTables()) {
      if (table.file != kCustomerFile) continue;
      try {
        db.Exec("DELETE FROM \"" + table.name + "\"");
      } catch (const std::exception&) {
        // A table an older release's database lacks.
      }
    }
  }
  std::string sizes = "same sizes";
  for (const char* file : {kCustomerFile, kAddressBookFile}) {
    fs::last_write_time(decoy / file, fs::last_write_time(backup / file));
    if (fs::file_size(decoy / file) != fs::file_size(backup / file)) sizes = "sizes differ";
  }
  const fs::path record = install / kRecordFile;
  std::string pointed = "no record to point at it";
  if (fs::exists(record)) {
    std::string text = ReadAll(record);
    const std::string from = backup.filename().string();
    for (size_t at; (at = text.find(from)) != std::string::npos;) text.replace(at, from.size(), name);
    WriteAll(record, text);
    pointed = "the record pointed at it";
  }
  return "decoy " + name + " (customer tables emptied, " + sizes + ", times of " + backup.filename().string() +
         "); " + pointed;
}

std::string RespellAppPaths(const fs::path& prefix, const TamperPlan& plan) {
  const Spelling& spelling = kSpellings[plan.variant % std::size(kSpellings)];
  const fs::path reg = prefix / "system.reg";
  std::string text = ReadAll(reg);
  const size_t key = text.find("App Paths\\\\Brevak.exe]");
  const size_t start = text.find('\n', key) + 1;
  const size_t end = text.find("\n\n", start);
  text.replace(start, end == std::string::npos ? std::string::npos : end - start,
               std::string("@=\"") + spelling.exe + "\"\n\"Path\"=\"" + spelling.path + "\"\n");
  WriteAll(reg, text);
  return std::string("App Paths spelled ") + spelling.what;
}

}  // namespace

const char* TamperName(TamperKind kind) {
  switch (kind) {
    case TamperKind::kMutateRecord: return "record damaged";
    case TamperKind::kTouchBackup: return "backup touched";
    case TamperKind::kDecoyFolder: return "decoy folder";
    case TamperKind::kTimeZone: return "time zone changed";
    case TamperKind::kAppPaths: return "App Paths respelled";
  }
  return "?";
}

const char* TimeZoneBefore() { return "CST-8"; }

std::string TimeZoneAfter(const TamperPlan& plan) { return kZones[plan.variant % std::size(kZones)]; }

std::string ApplyTamper(const fs::path& prefix, const TamperPlan& plan) {
  switch (plan.kind) {
    case TamperKind::kMutateRecord: return MutateRecordFile(prefix, plan);
    case TamperKind::kTouchBackup: return TouchBackup(prefix, plan);
    case TamperKind::kDecoyFolder: return DecoyFolder(prefix);
    case TamperKind::kTimeZone: return std::string("TZ ") + TimeZoneBefore() + " -> " + TimeZoneAfter(plan);
    case TamperKind::kAppPaths: return RespellAppPaths(prefix, plan);
  }
  return "?";
}

}  // namespace brevak::campaign
