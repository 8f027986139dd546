#ifndef BREVAK_TESTS_WINE_ADO_ADO_WIRE_H_
#define BREVAK_TESTS_WINE_ADO_ADO_WIRE_H_

// The wire between the test harness's ADODB.Connection, a DLL loaded by the
// Windows build under Wine (ado_server.cc), and its helper, a Linux program
// that runs each call on the project's own SQLCipher/Jet connection
// (ado_helper.cc). Test-only: it never ships.
//
// One TCP connection to 127.0.0.1 per connection object, for as long as the
// object lives; the helper keeps one database connection for it. Calls go
// one at a time: a request, then its reply.
//
// Every message is a fixed number of frames. A frame is the length of its
// text as 4 bytes, little-endian, then that many bytes of UTF-8 (at most
// kMaxFrame).
//   request: 2 frames: the member, then its argument (empty when it has
//            none). Members: "Provider.get", "Provider.put", "Open",
//            "Execute", "BeginTrans", "CommitTrans", "RollbackTrans",
//            "Close", "State".
//   reply:   3 frames: the error number in decimal ("0" when the call
//            succeeded; else the number the run-time shows, e.g. 3704 or
//            -2147217865), the error's description (empty on success), and
//            the value (State's number, Provider's text, the count a select
//            statement gives; else empty).
#include <cstdint>
#include <string>
#include <string_view>

namespace brevak::wine_ado {

inline constexpr uint32_t kMaxFrame = 16u << 20;

inline void AppendFrame(std::string& message, std::string_view text) {
  const auto size = static_cast<uint32_t>(text.size());
  for (int shift = 0; shift < 32; shift += 8) message += static_cast<char>((size >> shift) & 0xFF);
  message += text;
}

// Reads one frame with `read_exactly(char* buffer, size_t bytes) -> bool`.
// False when the connection ended or the frame is too long.
template <typename ReadExactly>
bool ReadFrame(ReadExactly&& read_exactly, std::string* text) {
  unsigned char length[4] = {};
  if (!read_exactly(reinterpret_cast<char*>(length), sizeof length)) return false;
  const uint32_t size = length[0] | length[1] << 8 | length[2] << 16 | uint32_t{length[3]} << 24;
  if (size > kMaxFrame) return false;
  text->assign(size, '\0');
  return size == 0 || read_exactly(text->data(), size);
}

// A statement that reads (Execute answers it with a recordset): one that
// starts with "select", after any blanks, ignoring case.
inline bool IsSelectStatement(std::string_view statement) {
  const size_t start = statement.find_first_not_of(" \t\r\n");
  if (start == std::string_view::npos || statement.size() - start < 6) return false;
  const std::string_view word = statement.substr(start, 6);
  for (size_t i = 0; i < word.size(); ++i) {
    if ((word[i] | 0x20) != "select"[i]) return false;
  }
  return statement.size() - start == 6 || std::string_view(" \t\r\n[(*").find(statement[start + 6]) != std::string_view::npos;
}

}  // namespace brevak::wine_ado

#endif  // BREVAK_TESTS_WINE_ADO_ADO_WIRE_H_
