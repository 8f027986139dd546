#ifndef BREVAK_TESTS_CAMPAIGN_SHOP_WORK_H_
#define BREVAK_TESTS_CAMPAIGN_SHOP_WORK_H_

// The shop working on in Brevak: new rows in the installation's carried
// tables (repair orders and whatever else the day brings), each row's every
// field filled by its declared type.

#include <cstdint>
#include <filesystem>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "campaign/shop_rows.h"

namespace brevak::campaign {

struct WorkDone {
  std::map<std::string, TableRows> added;  // the rows as stored, by table
  std::vector<std::string> problems;       // a database the shop could not work in
  int64_t RowCount() const;
  std::string Summary() const;             // "+12 rows (Repair_Sheet 8, People 4)"
};

// Adds `rows` rows spread over Repair_Sheet and up to two other carried
// tables that the installation has, in one transaction per database.
WorkDone WorkOn(const std::filesystem::path& install, int rows, std::mt19937_64& rng);

// An INSERT of one new row into a table of `file` (a shop database), for
// another program to run: integers and text in their fields, NULL in the
// others, the key `id`. `row` is the row as the database will store it.
bool HolderInsert(const std::filesystem::path& file, int64_t id, std::mt19937_64& rng, std::string* table,
                  std::string* sql, TableRows* row);

}  // namespace brevak::campaign

#endif  // BREVAK_TESTS_CAMPAIGN_SHOP_WORK_H_
