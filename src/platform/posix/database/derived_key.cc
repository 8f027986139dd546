#include "platform/posix/database/derived_key.h"

#include <sqlcipher/sqlite3.h>

#include <array>
#include <cstdlib>
#include <fstream>
#include <map>
#include <mutex>
#include <utility>

#include "platform/posix/database/pbkdf2.h"

namespace brevak::posix {
namespace {

constexpr size_t kSaltBytes = 16;
constexpr size_t kKeyBytes = 32;

// One text from a PRAGMA of a scratch connection: empty when SQLCipher
// does not know the PRAGMA.
std::string PragmaText(sqlite3* db, const char* pragma) {
  std::string text;
  sqlite3_exec(
      db, pragma,
      [](void* out, int columns, char** values, char**) {
        if (columns > 0 && values[0] != nullptr) *static_cast<std::string*>(out) = values[0];
        return 0;
      },
      &text, nullptr);
  return text;
}

// How this SQLCipher derives new files' keys: SQLCipher 3 has PBKDF2 with
// HMAC-SHA1 and no PRAGMA to say so; SQLCipher 4 names its algorithm.
struct Derivation {
  const char* digest = nullptr;
  int iterations = 0;
};

Derivation AskSqlCipher() {
  sqlite3* db = nullptr;
  Derivation derivation;
  if (sqlite3_open_v2(":memory:", &db, SQLITE_OPEN_READWRITE, nullptr) == SQLITE_OK) {
    const std::string algorithm = PragmaText(db, "PRAGMA cipher_default_kdf_algorithm");
    if (algorithm.empty() || algorithm == "PBKDF2_HMAC_SHA1") derivation.digest = "SHA1";
    if (algorithm == "PBKDF2_HMAC_SHA256") derivation.digest = "SHA256";
    if (algorithm == "PBKDF2_HMAC_SHA512") derivation.digest = "SHA512";
    const std::string iterations = PragmaText(db, "PRAGMA cipher_default_kdf_iter");
    derivation.iterations = iterations.empty() ? 0 : std::atoi(iterations.c_str());
  }
  sqlite3_close_v2(db);
  return derivation;
}

std::string Hex(const unsigned char* bytes, size_t size) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string hex;
  for (size_t i = 0; i < size; ++i) {
    hex += kHex[bytes[i] >> 4];
    hex += kHex[bytes[i] & 0xf];
  }
  return hex;
}

}  // namespace

std::optional<std::string> RawKeyFor(const std::filesystem::path& file, const std::string& password) {
  if (password.empty()) return std::nullopt;
  std::array<unsigned char, kSaltBytes> salt{};
  std::ifstream in(file, std::ios::binary);
  if (!in.read(reinterpret_cast<char*>(salt.data()), salt.size())) return std::nullopt;
  static const Derivation derivation = AskSqlCipher();
  if (derivation.digest == nullptr || derivation.iterations <= 0) return std::nullopt;

  static std::mutex mutex;
  static std::map<std::pair<std::string, std::string>, std::string> derived;
  const std::string salt_hex = Hex(salt.data(), salt.size());
  const std::lock_guard<std::mutex> lock(mutex);
  std::string& raw = derived[{password, salt_hex}];
  if (raw.empty()) {
    std::array<unsigned char, kKeyBytes> key{};
    if (!Pbkdf2(derivation.digest, password, salt.data(), salt.size(), derivation.iterations, key.data(),
                key.size())) {
      return std::nullopt;
    }
    raw = "x'" + Hex(key.data(), key.size()) + salt_hex + "'";
  }
  return raw;
}

}  // namespace brevak::posix
