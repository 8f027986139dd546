#ifndef BREVAK_TOOLS_SHOP_SHOP_WORDS_H_
#define BREVAK_TOOLS_SHOP_SHOP_WORDS_H_

#include <cstddef>

namespace brevak::shop {

// A fixed list of UTF-8 words to draw from.
struct Pool {
  const char* const* items;
  size_t size;
  const char* operator[](size_t i) const { return items[i % size]; }
};

struct City {
  const char* province;  // empty for the municipalities
  const char* name;
  const char* plate;     // licence plate prefix, e.g. 粤B
  const char* area_code;
  const char* districts[4];
};

struct Brand {
  const char* name;
  const char* maker;
  const char* models[4];
  const char* vin_prefix;  // world manufacturer code
};

struct Part {
  const char* name;
  const char* spec;
  const char* unit;
  double price;
};

struct Work {
  const char* name;
  double hours;
  double price;
};

struct Case {
  const char* fault;
  const char* cause;
  const char* solution;
};

template <typename T>
struct Table {
  const T* items;
  size_t size;
  const T& operator[](size_t i) const { return items[i % size]; }
};

extern const Table<City> kCities;
extern const Table<Brand> kBrands;
extern const Table<Part> kParts;
extern const Table<Work> kWorks;
extern const Table<Case> kCases;

extern const Pool kSurnames, kMaleNames, kFemaleNames, kMobilePrefixes, kRoads, kColors;
extern const Pool kCompanyWords, kCompanyTrades, kTitles;
extern const Pool kGroups, kNotes, kInsCompanies, kInsKinds, kCashInItems, kCashOutItems, kPayModes;
extern const Pool kSheetStatus, kCallTypes, kCallContents, kCallResults, kLogActions, kComputers;
extern const Pool kSmsTitles, kSmsTemplates, kSmsStatus, kUserRoles, kInterests, kSources;
extern const Pool kSatisfaction, kHuifangKinds, kHuifangTemplates, kScheduleTitles, kReturnReasons;
extern const Pool kCardTypes, kCarKinds, kTrimLevels, kSuppliers;

}  // namespace brevak::shop

#endif  // BREVAK_TOOLS_SHOP_SHOP_WORDS_H_
