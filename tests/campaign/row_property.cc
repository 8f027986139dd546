#include "campaign/row_property.h"

#include <algorithm>

namespace brevak::campaign {

int64_t CountRows(const RowSet& rows) {
  int64_t count = 0;
  for (const auto& [name, table] : rows) count += static_cast<int64_t>(table.rows.size());
  return count;
}

RowSet RowsNowhere(const RowSet& wanted, const std::vector<const RowSet*>& places) {
  RowSet nowhere;
  for (const auto& [name, table] : wanted) {
    std::vector<bool> held(table.rows.size(), false);
    for (const RowSet* place : places) {
      const auto found = place->find(name);
      if (found == place->end()) continue;
      const std::vector<bool> here = HeldRows(table, found->second);
      for (size_t i = 0; i < held.size(); ++i) held[i] = held[i] || here[i];
    }
    TableRows missing{table.fields, {}};
    for (size_t i = 0; i < held.size(); ++i) {
      if (!held[i]) missing.rows.push_back(table.rows[i]);
    }
    if (!missing.rows.empty()) nowhere[name] = std::move(missing);
  }
  return nowhere;
}

std::string DescribeRows(const RowSet& rows, const std::vector<const Origin*>& origins) {
  std::map<std::string, int64_t> by_origin;
  std::vector<std::pair<int64_t, std::string>> by_table;
  for (const auto& [name, table] : rows) {
    by_table.push_back({static_cast<int64_t>(table.rows.size()), name});
    std::vector<bool> told(table.rows.size(), false);
    for (const Origin* origin : origins) {
      for (const RowSet& part : origin->parts) {
        const auto found = part.find(name);
        if (found == part.end()) continue;
        const std::vector<bool> here = HeldRows(table, found->second);
        for (size_t i = 0; i < told.size(); ++i) {
          if (here[i] && !told[i]) {
            told[i] = true;
            ++by_origin[origin->name];
          }
        }
      }
    }
    by_origin["other"] += std::count(told.begin(), told.end(), false);
  }
  std::sort(by_table.rbegin(), by_table.rend());
  std::string origin_text, table_text;
  for (const auto& [name, count] : by_origin) {
    if (count > 0) origin_text += (origin_text.empty() ? "" : ", ") + name + " " + std::to_string(count);
  }
  for (size_t i = 0; i < by_table.size() && i < 6; ++i) {
    table_text += (table_text.empty() ? "" : ", ") + by_table[i].second + " " + std::to_string(by_table[i].first);
  }
  if (by_table.size() > 6) table_text += ", …";
  return std::to_string(CountRows(rows)) + " rows (" + origin_text + "; " + table_text + ")";
}

}  // namespace brevak::campaign
