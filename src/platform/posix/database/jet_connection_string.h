#ifndef BREVAK_PLATFORM_POSIX_DATABASE_JET_CONNECTION_STRING_H_
#define BREVAK_PLATFORM_POSIX_DATABASE_JET_CONNECTION_STRING_H_

#include <string>

namespace brevak::posix {

// What the Jet 4.0 provider takes from an OLE DB connection string.
struct JetConnectionString {
  std::u16string provider;     // "Provider"; empty when the string names none
  std::u16string data_source;  // "Data Source"
  std::u16string password;     // "Jet OLEDB:Database Password"; empty: none
};

// Parses "key=value;key=value...". Keys compare ignoring case, with the
// spaces around them trimmed; a value is trimmed too unless it is quoted
// ('...' or "...", a doubled quote standing for one). Empty pairs are
// skipped, a key given twice takes its last value, keys the provider does
// not use are ignored. Raises the OLE DB format error for a pair without
// '=' or with text after a closing quote.
JetConnectionString ParseJetConnectionString(const std::u16string& text);

}  // namespace brevak::posix

#endif  // BREVAK_PLATFORM_POSIX_DATABASE_JET_CONNECTION_STRING_H_
