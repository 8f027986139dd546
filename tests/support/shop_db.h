#ifndef BREVAK_TESTS_SUPPORT_SHOP_DB_H_
#define BREVAK_TESTS_SUPPORT_SHOP_DB_H_

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

// Real database files of the kind the application keeps, for tests: a file
// with a password is an SQLCipher file keyed with it (PRAGMA key, as the
// sqlcipher shell does), one without is a plain SQLite 3 file.
namespace brevak::testing {

// One value of a result row: nullopt for NULL, else the value's bytes (text
// as UTF-8, a blob as it is, a number as SQLite prints it).
using ShopCell = std::optional<std::string>;
using ShopRow = std::vector<ShopCell>;

// Creates `file` (and its folder), which must not exist yet, and runs the
// SQL `script` on it. Throws std::runtime_error with sqlite's message on
// failure.
void MakeShopDb(const std::filesystem::path& file, const std::string& password,
                const std::string& script);

// Runs `script` on the existing `file`.
void ChangeShopDb(const std::filesystem::path& file, const std::string& password,
                  const std::string& script);

// The rows `query` returns from the existing `file`.
std::vector<ShopRow> QueryShopDb(const std::filesystem::path& file, const std::string& password,
                                 const std::string& query);

// A text cell, for comparing against results.
inline ShopCell Text(const std::string& text) { return text; }

}  // namespace brevak::testing

#endif  // BREVAK_TESTS_SUPPORT_SHOP_DB_H_
