#ifndef BREVAK_TESTS_CAMPAIGN_ROW_PROPERTY_H_
#define BREVAK_TESTS_CAMPAIGN_ROW_PROPERTY_H_

// The property the campaign checks after each step: every row the
// installation held before the step is in the installation or in a folder
// that a message of the step names; and "升级完成" only when the
// installation holds them all (or a later message names where the others
// are).

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "campaign/shop_rows.h"

namespace brevak::campaign {

// Rows by table.
using RowSet = std::map<std::string, TableRows>;

int64_t CountRows(const RowSet& rows);

// The rows of `wanted` that none of `places` holds (each place compared on
// the fields its table shares with the wanted one).
RowSet RowsNowhere(const RowSet& wanted, const std::vector<const RowSet*>& places);

// Where rows came from, to say which rows were lost: the shop's records,
// the rows worked on in Brevak, the release's sample rows, ...
struct Origin {
  std::string name;
  std::vector<RowSet> parts;  // each read at one time, with the fields its tables had then
};

// "37 rows (work 30, shop 7; Repair_Sheet 20, CarOwner 17)".
std::string DescribeRows(const RowSet& rows, const std::vector<const Origin*>& origins);

}  // namespace brevak::campaign

#endif  // BREVAK_TESTS_CAMPAIGN_ROW_PROPERTY_H_
