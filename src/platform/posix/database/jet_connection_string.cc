#include "platform/posix/database/jet_connection_string.h"

#include <algorithm>
#include <string_view>

#include "platform/posix/database/jet_errors.h"
#include "platform/posix/database/jet_text.h"

namespace brevak::posix {
namespace {

using jet_text::EqualsIgnoringCase;
using jet_text::IsSpace;

// Reads a quoted value starting at `pos` (the opening quote); leaves `pos`
// after the ';' that ends the pair, or at the end.
std::u16string ReadQuotedValue(const std::u16string& text, size_t& pos) {
  const char16_t quote = text[pos++];
  std::u16string value;
  for (;;) {
    if (pos >= text.size()) throw jet_error::BadConnectionString();
    if (text[pos] == quote) {
      if (pos + 1 < text.size() && text[pos + 1] == quote) {
        value += quote;
        pos += 2;
        continue;
      }
      ++pos;
      break;
    }
    value += text[pos++];
  }
  while (pos < text.size() && IsSpace(text[pos])) ++pos;
  if (pos < text.size() && text[pos] != u';') throw jet_error::BadConnectionString();
  if (pos < text.size()) ++pos;
  return value;
}

// Reads an unquoted or quoted value starting at `pos`; leaves `pos` after
// the ';' that ends the pair, or at the end.
std::u16string ReadValue(const std::u16string& text, size_t& pos) {
  while (pos < text.size() && IsSpace(text[pos])) ++pos;
  if (pos < text.size() && (text[pos] == u'"' || text[pos] == u'\'')) {
    return ReadQuotedValue(text, pos);
  }
  const size_t end = std::min(text.find(u';', pos), text.size());
  std::u16string value(jet_text::Trim(std::u16string_view(text).substr(pos, end - pos)));
  pos = end < text.size() ? end + 1 : end;
  return value;
}

void Assign(JetConnectionString& result, std::u16string_view key, std::u16string value) {
  if (EqualsIgnoringCase(key, u"Provider")) {
    result.provider = std::move(value);
  } else if (EqualsIgnoringCase(key, u"Data Source")) {
    result.data_source = std::move(value);
  } else if (EqualsIgnoringCase(key, u"Jet OLEDB:Database Password")) {
    result.password = std::move(value);
  }
}

}  // namespace

JetConnectionString ParseJetConnectionString(const std::u16string& text) {
  JetConnectionString result;
  size_t pos = 0;
  while (pos < text.size()) {
    const size_t end_of_pair = std::min(text.find(u';', pos), text.size());
    const size_t equals = text.find(u'=', pos);
    if (equals == std::u16string::npos || equals > end_of_pair) {
      if (!jet_text::Trim(std::u16string_view(text).substr(pos, end_of_pair - pos)).empty()) {
        throw jet_error::BadConnectionString();
      }
      pos = end_of_pair + 1;
      continue;
    }
    const std::u16string_view key = jet_text::Trim(std::u16string_view(text).substr(pos, equals - pos));
    if (key.empty()) throw jet_error::BadConnectionString();
    pos = equals + 1;
    Assign(result, key, ReadValue(text, pos));
  }
  return result;
}

}  // namespace brevak::posix
