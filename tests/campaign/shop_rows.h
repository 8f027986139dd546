#ifndef BREVAK_TESTS_CAMPAIGN_SHOP_ROWS_H_
#define BREVAK_TESTS_CAMPAIGN_SHOP_ROWS_H_

// Every row of the carried tables of a folder's two databases, read whole
// (each cell's type and exact bytes), and the question the campaign asks of
// them: which rows of one snapshot another folder still holds.

#include <cstdint>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace brevak::campaign {

// One row: a cell per field, each its type letter (N, I, R, T, B) followed
// by its bytes.
using Row = std::vector<std::string>;

struct TableRows {
  std::vector<std::string> fields;
  std::vector<Row> rows;
};

// The carried tables of one folder by name. A table that a database lacks,
// or a database that is missing or does not open, has no entry; `problems`
// says why.
struct FolderRows {
  std::map<std::string, TableRows> tables;
  std::vector<std::string> problems;
  int64_t RowCount() const;
};

// Reads `folder`. Databases are opened read-write, as the application opens
// them, so that a journal a killed writer left is rolled back first. Files
// that have not changed since they were last read are served from memory: a
// key derivation per opening makes the customer database slow to open.
FolderRows ReadFolder(const std::filesystem::path& folder);

// The key of `row` over the fields at `columns` (indexes into the row).
std::string RowKey(const Row& row, const std::vector<int>& columns);

// For each row of `wanted`, whether `holder` has it, compared on the fields
// both tables have (a newer table may have a field more), each row of
// `holder` standing for one row of `wanted`. No common field: none held.
std::vector<bool> HeldRows(const TableRows& wanted, const TableRows& holder);

}  // namespace brevak::campaign

#endif  // BREVAK_TESTS_CAMPAIGN_SHOP_ROWS_H_
