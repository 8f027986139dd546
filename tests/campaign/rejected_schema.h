#ifndef BREVAK_TESTS_CAMPAIGN_REJECTED_SCHEMA_H_
#define BREVAK_TESTS_CAMPAIGN_REJECTED_SCHEMA_H_

// A package whose new schema the shop's rows break: one carried table of
// its databases gains a field that is NOT NULL without a default, or a
// field the shop's rows repeat made UNIQUE. No retry can move those rows.

#include <filesystem>
#include <string>

namespace brevak::campaign {

// Changes the package of the prefix as `variant` says (even: NOT NULL, odd:
// UNIQUE; the rest picks the table) and says what it did.
std::string RejectShopRows(const std::filesystem::path& prefix, int variant);

}  // namespace brevak::campaign

#endif  // BREVAK_TESTS_CAMPAIGN_REJECTED_SCHEMA_H_
