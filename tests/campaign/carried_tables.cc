#include "campaign/carried_tables.h"

#include <algorithm>

#include "core/form_update.h"

namespace brevak::campaign {
namespace {

// The lists are ASCII: each UTF-16 unit is one byte.
std::string Narrow(const char16_t* text) {
  std::string out;
  for (; *text != u'\0'; ++text) out += static_cast<char>(*text);
  return out;
}

void AddOnce(std::vector<CarriedTable>& tables, const char16_t* name, const char* file) {
  const std::string narrow = Narrow(name);
  const bool seen = std::any_of(tables.begin(), tables.end(),
                                [&](const CarriedTable& table) { return table.name == narrow; });
  if (!seen) tables.push_back({narrow, file});
}

}  // namespace

const std::vector<CarriedTable>& CarriedTables() {
  static const std::vector<CarriedTable> tables = [] {
    std::vector<CarriedTable> list;
    for (const char16_t* name : kAddressBookTables) AddOnce(list, name, kAddressBookFile);
    for (const char16_t* name : kCustomerTables) AddOnce(list, name, kCustomerFile);
    return list;
  }();
  return tables;
}

std::string KeyForFile(const std::string& file) { return file == kCustomerFile ? kCustomerKey : ""; }

}  // namespace brevak::campaign
