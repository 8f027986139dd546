#ifndef BREVAK_PLATFORM_POSIX_DATABASE_DERIVED_KEY_H_
#define BREVAK_PLATFORM_POSIX_DATABASE_DERIVED_KEY_H_

#include <filesystem>
#include <optional>
#include <string>

// SQLCipher turns a password into a file's key with PBKDF2 over the file's
// salt (its first 16 bytes): some 50 ms each time a file is keyed. An
// update keys the same contents more than once (the package's database and
// then its copy in the installation; the installed database and then its
// copy in the backup), so the key is derived here once per password and
// salt, with SQLCipher's own settings, and handed to SQLCipher raw. A raw
// key that does not open a file (one made with other settings) is only a
// lost try: the callers then key the file with the password itself.
namespace brevak::posix {

// `x'KEYSALT'` in hexadecimal, as PRAGMA key and ATTACH ... KEY take a raw
// key; nothing when there is no password, the file has no salt to read, or
// this SQLCipher's key derivation is not known.
std::optional<std::string> RawKeyFor(const std::filesystem::path& file, const std::string& password);

}  // namespace brevak::posix

#endif  // BREVAK_PLATFORM_POSIX_DATABASE_DERIVED_KEY_H_
