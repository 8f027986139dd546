#ifndef BREVAK_TESTS_CAMPAIGN_CARRIED_TABLES_H_
#define BREVAK_TESTS_CAMPAIGN_CARRIED_TABLES_H_

// The tables an update carries from the old databases into the new ones,
// each with the file that holds it. Taken from the tool's own lists, so the
// campaign checks exactly what the tool promises to carry.

#include <string>
#include <vector>

namespace brevak::campaign {

inline constexpr char kAddressBookFile[] = "Addr.mdb";
inline constexpr char kCustomerFile[] = "Customerdata.car";
inline constexpr char kCustomerKey[] = "mqzvtw";

struct CarriedTable {
  std::string name;
  std::string file;  // kAddressBookFile or kCustomerFile
};

// The address book's tables, then the customer tables in the migration's
// order, each once.
const std::vector<CarriedTable>& CarriedTables();

// The key a shop database file is opened with: empty for a plain file.
std::string KeyForFile(const std::string& file);

}  // namespace brevak::campaign

#endif  // BREVAK_TESTS_CAMPAIGN_CARRIED_TABLES_H_
