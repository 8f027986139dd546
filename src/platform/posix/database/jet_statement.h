#ifndef BREVAK_PLATFORM_POSIX_DATABASE_JET_STATEMENT_H_
#define BREVAK_PLATFORM_POSIX_DATABASE_JET_STATEMENT_H_

#include <string>
#include <variant>

namespace brevak::posix {

// "delete from T" / "delete from [T]": remove every row of T.
struct JetDeleteAll {
  std::u16string table;
};

// "Insert into [T] Select * From [;database=PATH;pwd=PW].S": append every
// row of table S of the database file PATH (password PW, empty: none) to
// table T, matching fields by name.
struct JetAppendFromFile {
  std::u16string target;
  std::u16string database;
  std::u16string password;
  std::u16string source;
};

// "select count(*) from [T]" or "select count(*) from
// [;database=PATH;pwd=PW].[T]": the number of rows of T in the open
// database (`database` empty) or in the database file PATH.
struct JetCountRows {
  std::u16string table;
  std::u16string database;
  std::u16string password;
};

using JetStatement = std::variant<JetDeleteAll, JetAppendFromFile, JetCountRows>;

// Parses one statement of the forms above. Keywords and the keys inside
// the external-database clause compare ignoring case; spaces between the
// parts may be any run of blanks; a table name is a bare word or any text
// in brackets; one trailing ';' is allowed. Anything else raises Jet's
// syntax error, naming the forms that are understood.
JetStatement ParseJetStatement(const std::u16string& text);

}  // namespace brevak::posix

#endif  // BREVAK_PLATFORM_POSIX_DATABASE_JET_STATEMENT_H_
