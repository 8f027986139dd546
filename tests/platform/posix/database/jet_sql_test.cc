#include "platform/posix/database/jet_sql.h"

#include <gtest/gtest.h>

#include "platform/posix/database/jet_errors.h"
#include "platform/runtime_error.h"

namespace brevak::posix::jet_sql {
namespace {

// Jet appends by field name: SELECT * only where the fields pair up in
// order, a missing target field is an error, and every name is quoted.
TEST(JetSqlTest, AppendsPairFieldsByName) {
  const std::string from_backup = " FROM \"external1\".\"People\"";
  const struct {
    const char* what;
    std::vector<std::string> target, source;
    std::string sql;
  } cases[] = {
      {"the same fields", {"ID", "Name"}, {"ID", "Name"}, "INSERT INTO \"main\".\"People\" SELECT *" + from_backup},
      {"the same fields in another case", {"id", "NAME"}, {"ID", "Name"},
       "INSERT INTO \"main\".\"People\" SELECT *" + from_backup},
      {"another order", {"Name", "ID"}, {"ID", "Name"},
       "INSERT INTO \"main\".\"People\" (\"ID\", \"Name\") SELECT \"ID\", \"Name\"" + from_backup},
      {"a field the source lacks", {"ID", "Name", "Phone"}, {"ID", "name"},
       "INSERT INTO \"main\".\"People\" (\"ID\", \"Name\") SELECT \"ID\", \"name\"" + from_backup},
      {"quotes and Chinese in names", {"ID", "姓\"名"}, {"姓\"名"},
       "INSERT INTO \"main\".\"People\" (\"姓\"\"名\") SELECT \"姓\"\"名\"" + from_backup},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(AppendFrom({"main", "People", c.target}, {"external1", "People", c.source}), c.sql) << c.what;
  }
  EXPECT_EQ(DeleteAll("Repair \"Sheet\""), "DELETE FROM \"main\".\"Repair \"\"Sheet\"\"\"");
  EXPECT_EQ(CountRows("external2", "客户"), "SELECT count(*) FROM \"external2\".\"客户\"");
}

// A source field the target lacks is Jet's unknown-field error, naming it.
TEST(JetSqlTest, AFieldTheTargetLacksIsNamed) {
  const struct {
    std::vector<std::string> target, source;
    std::u16string unknown;
  } cases[] = {
      {{"ID", "Name"}, {"ID", "Photo"}, u"Photo"},
      {{"ID"}, {"ID", "照片"}, u"照片"},
  };
  for (const auto& c : cases) {
    const RunTimeError expected = jet_error::UnknownFieldName(c.unknown);
    try {
      AppendFrom({"main", "Pic", c.target}, {"external1", "Pic", c.source});
      ADD_FAILURE() << "no error";
    } catch (const RunTimeError& error) {
      EXPECT_EQ(error.number(), expected.number());
      EXPECT_EQ(error.description(), expected.description());
    }
  }
}

}  // namespace
}  // namespace brevak::posix::jet_sql
