#include "campaign/shop_work.h"

#include <algorithm>
#include <exception>

#include "campaign/carried_tables.h"
#include "shop/shop_db.h"

namespace brevak::campaign {
namespace fs = std::filesystem;
namespace {

struct Column {
  std::string name, type;
  bool key = false;  // the INTEGER PRIMARY KEY, the row's number
};

std::vector<Column> Columns(shop::ShopDb& db, const std::string& table) {
  shop::Statement info(db.handle(), "PRAGMA table_info(" + shop::QuoteName(table) + ")");
  std::vector<Column> columns;
  while (info.Step()) {
    std::string type = info.ColumnText(2);
    std::transform(type.begin(), type.end(), type.begin(), ::toupper);
    columns.push_back({info.ColumnText(1), type, info.ColumnInt(5) == 1 && type == "INTEGER"});
  }
  return columns;
}

bool HasTable(shop::ShopDb& db, const std::string& table) {
  shop::Statement select(db.handle(), "SELECT count(*) FROM sqlite_master WHERE type = 'table' AND name = " +
                                          shop::QuoteText(table));
  return select.Step() && select.ColumnInt(0) > 0;
}

std::string Words(std::mt19937_64& rng) {
  static const char* const kWords[] = {"续保", "更换机油", "刹车片", "张师傅", "李女士", "补漆", "轮胎换位", "空调清洗"};
  return std::string(kWords[rng() % 8]) + "-" + std::to_string(rng() % 100000);
}

// Binds a value for the column by its declared type.
void BindFor(shop::Statement& insert, int index, const Column& column, std::mt19937_64& rng, std::string& keep) {
  if (column.key) return insert.BindNull(index);  // the next row number
  if (column.type.find("INT") != std::string::npos) return insert.BindInt(index, static_cast<int64_t>(rng() % 5000));
  if (column.type.find("REAL") != std::string::npos) {
    return insert.BindReal(index, static_cast<double>(rng() % 100000) / 100.0);
  }
  if (column.type.find("BLOB") != std::string::npos) {
    keep.assign(16, '\0');
    for (char& c : keep) c = static_cast<char>(rng());
    return insert.BindBlob(index, keep);
  }
  keep = Words(rng);
  insert.BindText(index, keep);
}

// Inserts `count` rows into `table` and returns them as stored.
TableRows AddRows(shop::ShopDb& db, const std::string& table, int count, std::mt19937_64& rng) {
  const std::vector<Column> columns = Columns(db, table);
  std::string names, marks;
  for (const Column& column : columns) {
    names += (names.empty() ? "" : ", ") + shop::QuoteName(column.name);
    marks += marks.empty() ? "?" : ", ?";
  }
  shop::Statement insert(db.handle(), "INSERT INTO " + shop::QuoteName(table) + " (" + names + ") VALUES (" + marks + ")");
  std::vector<int64_t> rowids;
  for (int n = 0; n < count; ++n) {
    std::vector<std::string> kept(columns.size());
    for (size_t i = 0; i < columns.size(); ++i) BindFor(insert, static_cast<int>(i + 1), columns[i], rng, kept[i]);
    insert.Step();
    insert.Reset();
    rowids.push_back(sqlite3_last_insert_rowid(db.handle()));
  }
  TableRows stored;
  for (const Column& column : columns) stored.fields.push_back(column.name);
  shop::Statement select(db.handle(), "SELECT * FROM " + shop::QuoteName(table) + " WHERE rowid = ?");
  for (int64_t rowid : rowids) {
    select.BindInt(1, rowid);
    if (select.Step()) {
      Row row;
      for (int c = 0; c < select.ColumnCount(); ++c) {
        const int type = select.ColumnType(c);
        row.push_back(std::string(1, "?IRTBN"[type >= 1 && type <= 5 ? type : 0]) +
                      (type == SQLITE_NULL ? "" : select.ColumnBytes(c)));
      }
      stored.rows.push_back(std::move(row));
    }
    select.Reset();
  }
  return stored;
}

// Repair_Sheet first, then up to two more tables chosen at random.
std::vector<const CarriedTable*> ChooseTables(std::mt19937_64& rng) {
  std::vector<const CarriedTable*> chosen, others;
  for (const CarriedTable& table : CarriedTables()) {
    (table.name == "Repair_Sheet" ? chosen : others).push_back(&table);
  }
  std::shuffle(others.begin(), others.end(), rng);
  const size_t more = rng() % 3;
  chosen.insert(chosen.end(), others.begin(), others.begin() + static_cast<long>(std::min(more, others.size())));
  return chosen;
}

std::string Literal(const Column& column, int64_t id, std::mt19937_64& rng, std::string* cell) {
  if (column.key) {
    *cell = "I" + std::to_string(id);
    return std::to_string(id);
  }
  if (column.type.find("INT") != std::string::npos) {
    const std::string value = std::to_string(rng() % 5000);
    *cell = "I" + value;
    return value;
  }
  if (column.type.find("TEXT") != std::string::npos || column.type.find("CHAR") != std::string::npos) {
    const std::string value = "另一程序" + Words(rng);
    *cell = "T" + value;
    return shop::QuoteText(value);
  }
  *cell = "N";
  return "NULL";
}

}  // namespace

int64_t WorkDone::RowCount() const {
  int64_t count = 0;
  for (const auto& [name, rows] : added) count += static_cast<int64_t>(rows.rows.size());
  return count;
}

std::string WorkDone::Summary() const {
  std::string tables;
  for (const auto& [name, rows] : added) {
    tables += (tables.empty() ? "" : ", ") + name + " " + std::to_string(rows.rows.size());
  }
  std::string summary = "+" + std::to_string(RowCount()) + " rows";
  if (!tables.empty()) summary += " (" + tables + ")";
  for (const std::string& problem : problems) summary += "; could not work: " + problem;
  return summary;
}

WorkDone WorkOn(const fs::path& install, int rows, std::mt19937_64& rng) {
  WorkDone done;
  const std::vector<const CarriedTable*> tables = ChooseTables(rng);
  for (const char* file : {kAddressBookFile, kCustomerFile}) {
    std::vector<const CarriedTable*> here;
    for (const CarriedTable* table : tables) {
      if (table->file == file) here.push_back(table);
    }
    if (here.empty()) continue;
    try {
      shop::ShopDb db(install / file, KeyForFile(file), /*create=*/false);
      db.Exec("BEGIN");
      std::map<std::string, TableRows> added;
      for (size_t i = 0; i < here.size(); ++i) {
        if (!HasTable(db, here[i]->name)) continue;
        const int count = std::max(1, rows / static_cast<int>(tables.size()) + (i == 0 ? rows % static_cast<int>(tables.size()) : 0));
        added[here[i]->name] = AddRows(db, here[i]->name, count, rng);
      }
      db.Exec("COMMIT");
      done.added.merge(added);
    } catch (const std::exception& e) {
      done.problems.push_back(e.what());
    }
  }
  return done;
}

bool HolderInsert(const fs::path& file, int64_t id, std::mt19937_64& rng, std::string* table, std::string* sql,
                  TableRows* row) {
  const std::string name = file.filename().string();
  std::vector<std::string> candidates;
  for (const CarriedTable& carried : CarriedTables()) {
    if (carried.file == name) candidates.push_back(carried.name);
  }
  try {
    shop::ShopDb db(file, KeyForFile(name), /*create=*/false);
    std::shuffle(candidates.begin(), candidates.end(), rng);
    for (const std::string& candidate : candidates) {
      if (!HasTable(db, candidate)) continue;
      const std::vector<Column> columns = Columns(db, candidate);
      std::string names, values;
      Row cells(columns.size());
      *row = TableRows{};
      for (size_t i = 0; i < columns.size(); ++i) {
        names += (names.empty() ? "" : ", ") + shop::QuoteName(columns[i].name);
        values += (values.empty() ? "" : ", ") + Literal(columns[i], id, rng, &cells[i]);
        row->fields.push_back(columns[i].name);
      }
      row->rows.push_back(cells);
      *table = candidate;
      *sql = "INSERT INTO " + shop::QuoteName(candidate) + " (" + names + ") VALUES (" + values + ")";
      return true;
    }
  } catch (const std::exception&) {
  }
  return false;
}

}  // namespace brevak::campaign
