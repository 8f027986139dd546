#include "campaign/shop_rows.h"

#include <sys/stat.h>

#include <exception>
#include <unordered_map>

#include "campaign/carried_tables.h"
#include "shop/shop_db.h"

namespace brevak::campaign {
namespace fs = std::filesystem;
namespace {

constexpr char kTypeLetters[] = "?IRTBN";  // indexed by SQLITE_INTEGER (1) .. SQLITE_NULL (5)

// The type letter and the bytes SQLite gives for the cell (a REAL as its
// shortest exact text): the same value always reads the same.
std::string Cell(shop::Statement& select, int column) {
  const int type = select.ColumnType(column);
  std::string cell(1, type >= 1 && type <= 5 ? kTypeLetters[type] : '?');
  if (type != SQLITE_NULL) cell += select.ColumnBytes(column);
  return cell;
}

std::vector<std::string> TableNames(shop::ShopDb& db) {
  shop::Statement select(db.handle(), "SELECT name FROM sqlite_master WHERE type = 'table'");
  std::vector<std::string> names;
  while (select.Step()) names.push_back(select.ColumnText(0));
  return names;
}

TableRows ReadTable(shop::ShopDb& db, const std::string& table) {
  TableRows rows;
  shop::Statement info(db.handle(), "PRAGMA table_info(" + shop::QuoteName(table) + ")");
  while (info.Step()) rows.fields.push_back(info.ColumnText(1));
  shop::Statement select(db.handle(), "SELECT * FROM " + shop::QuoteName(table));
  while (select.Step()) {
    Row row;
    for (int column = 0; column < select.ColumnCount(); ++column) row.push_back(Cell(select, column));
    rows.rows.push_back(std::move(row));
  }
  return rows;
}

// The carried tables of one database file; throws when it does not open.
std::map<std::string, TableRows> ReadFile(const fs::path& file, const std::string& name) {
  shop::ShopDb db(file, KeyForFile(name), /*create=*/false);
  const std::vector<std::string> present = TableNames(db);
  std::map<std::string, TableRows> tables;
  for (const CarriedTable& table : CarriedTables()) {
    if (table.file != name) continue;
    for (const std::string& have : present) {
      if (have == table.name) tables[table.name] = ReadTable(db, table.name);
    }
  }
  return tables;
}

// What identifies one state of a database file and of the journal beside it.
std::string FileStamp(const fs::path& file) {
  std::string stamp;
  for (const fs::path& path : {file, fs::path(file.string() + "-journal")}) {
    struct stat st {};
    if (stat(path.c_str(), &st) != 0) {
      stamp += "-;";
      continue;
    }
    stamp += std::to_string(st.st_dev) + ":" + std::to_string(st.st_ino) + ":" + std::to_string(st.st_size) + ":" +
             std::to_string(st.st_mtim.tv_sec) + "." + std::to_string(st.st_mtim.tv_nsec) + ":" +
             std::to_string(st.st_ctim.tv_sec) + "." + std::to_string(st.st_ctim.tv_nsec) + ";";
  }
  return stamp;
}

struct CachedFile {
  std::string stamp;
  std::map<std::string, TableRows> tables;
};

std::unordered_map<std::string, CachedFile>& Cache() {
  static std::unordered_map<std::string, CachedFile> cache;
  return cache;
}

}  // namespace

int64_t FolderRows::RowCount() const {
  int64_t count = 0;
  for (const auto& [name, table] : tables) count += static_cast<int64_t>(table.rows.size());
  return count;
}

FolderRows ReadFolder(const fs::path& folder) {
  FolderRows result;
  for (const char* name : {kAddressBookFile, kCustomerFile}) {
    const fs::path file = folder / name;
    if (!fs::is_regular_file(file)) {
      result.problems.push_back(std::string(name) + ": missing");
      continue;
    }
    try {
      CachedFile& cached = Cache()[file.string()];
      const std::string stamp = FileStamp(file);
      if (cached.stamp != stamp) {
        cached.tables = ReadFile(file, name);
        cached.stamp = FileStamp(file);  // the reading may have rolled a journal back
      }
      for (const auto& [table, rows] : cached.tables) result.tables[table] = rows;
    } catch (const std::exception& e) {
      Cache().erase(file.string());
      result.problems.push_back(std::string(name) + ": " + e.what());
    }
  }
  return result;
}

std::string RowKey(const Row& row, const std::vector<int>& columns) {
  std::string key;
  for (int column : columns) {
    const std::string& cell = row[column];
    const uint32_t size = static_cast<uint32_t>(cell.size());
    key.append(reinterpret_cast<const char*>(&size), sizeof size);
    key += cell;
  }
  return key;
}

std::vector<bool> HeldRows(const TableRows& wanted, const TableRows& holder) {
  std::vector<int> wanted_columns, holder_columns;
  for (size_t i = 0; i < wanted.fields.size(); ++i) {
    for (size_t j = 0; j < holder.fields.size(); ++j) {
      if (wanted.fields[i] == holder.fields[j]) {
        wanted_columns.push_back(static_cast<int>(i));
        holder_columns.push_back(static_cast<int>(j));
      }
    }
  }
  std::vector<bool> held(wanted.rows.size(), false);
  if (wanted_columns.empty()) return held;
  std::unordered_map<std::string, int64_t> available;
  for (const Row& row : holder.rows) ++available[RowKey(row, holder_columns)];
  for (size_t i = 0; i < wanted.rows.size(); ++i) {
    auto found = available.find(RowKey(wanted.rows[i], wanted_columns));
    if (found != available.end() && found->second > 0) {
      --found->second;
      held[i] = true;
    }
  }
  return held;
}

}  // namespace brevak::campaign
