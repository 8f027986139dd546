#ifndef BREVAK_TESTS_WINE_ADO_POOLED_FILE_H_
#define BREVAK_TESTS_WINE_ADO_POOLED_FILE_H_

// How the test harness's ADODB.Connection holds the database file the way
// Jet and ADO do on Windows: open (shared) while the connection is open,
// and, because ADO pools OLE DB sessions by default, still open after
// Close for as long as the connection object lives, unless the connection
// string turns resource pooling off ("OLE DB Services" without its lowest
// bit, DBPROPVAL_OS_RESOURCEPOOLING). The Linux helper's own handles are
// invisible to the Windows program under Wine, so the DLL holds a handle
// of its own inside the program's process. Test-only: it never ships.
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

namespace brevak::wine_ado {

// The file a connection holds, as its connection string names it.
struct HeldFile {
  std::string data_source;  // a Windows path, UTF-8
  bool read_only = false;   // "Mode=Read": opened for reading only
  bool pooled = true;       // still held after Close
};

namespace pooled_file_internal {

inline std::string_view Trim(std::string_view text) {
  const size_t first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

inline bool SameWord(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if ((a[i] | 0x20) != (b[i] | 0x20)) return false;
  }
  return true;
}

// Pooling stays on for a value that is no number, as ADO ignores it.
inline bool PoolingOf(std::string_view value) {
  const std::string text(value);
  char* end = nullptr;
  const long services = std::strtol(text.c_str(), &end, 10);
  return text.empty() || *end != '\0' || (services & 1) != 0;
}

}  // namespace pooled_file_internal

// The file that opening `connection_string` holds; nothing when it names
// no data source. The tool's strings are "KEY=VALUE" pairs split by ';'
// with unquoted values.
inline std::optional<HeldFile> HeldFileOf(std::string_view connection_string) {
  using namespace pooled_file_internal;
  HeldFile held;
  while (!connection_string.empty()) {
    const size_t end = connection_string.find(';');
    const std::string_view pair = connection_string.substr(0, end);
    connection_string = end == std::string_view::npos ? std::string_view() : connection_string.substr(end + 1);
    const size_t equals = pair.find('=');
    if (equals == std::string_view::npos) continue;
    const std::string_view key = Trim(pair.substr(0, equals));
    const std::string_view value = Trim(pair.substr(equals + 1));
    if (SameWord(key, "Data Source")) held.data_source = value;
    if (SameWord(key, "Mode")) held.read_only = SameWord(value, "Read");
    if (SameWord(key, "OLE DB Services")) held.pooled = PoolingOf(value);
  }
  if (held.data_source.empty()) return std::nullopt;
  return held;
}

}  // namespace brevak::wine_ado

#endif  // BREVAK_TESTS_WINE_ADO_POOLED_FILE_H_
