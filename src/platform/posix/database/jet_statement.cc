#include "platform/posix/database/jet_statement.h"

#include <optional>
#include <string_view>

#include "platform/posix/database/jet_errors.h"
#include "platform/posix/database/jet_text.h"

namespace brevak::posix {
namespace {

using jet_text::EqualsIgnoringCase;
using jet_text::IsSpace;
using jet_text::Trim;

bool IsWordChar(char16_t c) {
  return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9') ||
         c == u'_' || c >= 0x80;
}

// A name may hold neither a control character nor a bracket.
bool IsValidName(std::u16string_view name) {
  if (name.empty()) return false;
  for (char16_t c : name) {
    if (c < 0x20 || c == u'[' || c == u']') return false;
  }
  return true;
}

// A cursor over the statement text. Every Read/Expect returns nullopt or
// false when the text does not continue as asked; the caller then refuses
// the whole statement.
class Cursor {
 public:
  explicit Cursor(std::u16string_view text) : text_(text) {}

  void SkipSpaces() {
    while (pos_ < text_.size() && IsSpace(text_[pos_])) ++pos_;
  }
  bool AtEnd() const { return pos_ >= text_.size(); }

  // A keyword standing as a whole word.
  bool Keyword(std::u16string_view word) {
    SkipSpaces();
    if (text_.size() - pos_ < word.size()) return false;
    if (!EqualsIgnoringCase(text_.substr(pos_, word.size()), word)) return false;
    const size_t end = pos_ + word.size();
    if (end < text_.size() && IsWordChar(text_[end])) return false;
    pos_ = end;
    return true;
  }

  bool Char(char16_t c) {
    SkipSpaces();
    if (AtEnd() || text_[pos_] != c) return false;
    ++pos_;
    return true;
  }

  // The text up to the next ']', after a '[' already read.
  std::optional<std::u16string_view> BracketBody() {
    const size_t close = text_.find(u']', pos_);
    if (close == std::u16string_view::npos) return std::nullopt;
    const std::u16string_view body = text_.substr(pos_, close - pos_);
    pos_ = close + 1;
    return body;
  }

  // A bare word or a bracketed name.
  std::optional<std::u16string> TableName() {
    SkipSpaces();
    if (Char(u'[')) {
      const auto body = BracketBody();
      if (!body || !IsValidName(*body)) return std::nullopt;
      return std::u16string(*body);
    }
    const size_t start = pos_;
    while (pos_ < text_.size() && IsWordChar(text_[pos_])) ++pos_;
    if (pos_ == start) return std::nullopt;
    return std::u16string(text_.substr(start, pos_ - start));
  }

  // A '[' whose body starts with ';': the external-database clause, whose
  // installable-ISAM name before the ';' is empty for Jet's own files.
  bool ExternalClauseAhead() {
    SkipSpaces();
    if (AtEnd() || text_[pos_] != u'[') return false;
    size_t next = pos_ + 1;
    while (next < text_.size() && IsSpace(text_[next])) ++next;
    return next < text_.size() && text_[next] == u';';
  }

  // The end of the statement, with one ';' allowed before it.
  bool End() {
    Char(u';');
    SkipSpaces();
    return AtEnd();
  }

 private:
  std::u16string_view text_;
  size_t pos_ = 0;
};

// The inside of "[;database=PATH;pwd=PW]": an empty installable-ISAM
// name (Jet's own format), then key=value pairs.
bool ParseExternalClause(std::u16string_view body, std::u16string& database, std::u16string& password) {
  size_t semicolon = body.find(u';');
  if (semicolon == std::u16string_view::npos || !Trim(body.substr(0, semicolon)).empty()) return false;
  bool has_database = false;
  while (semicolon != std::u16string_view::npos) {
    body.remove_prefix(semicolon + 1);
    semicolon = body.find(u';');
    const std::u16string_view pair = Trim(body.substr(0, semicolon));
    if (pair.empty()) continue;
    const size_t equals = pair.find(u'=');
    if (equals == std::u16string_view::npos) return false;
    const std::u16string_view key = Trim(pair.substr(0, equals));
    const std::u16string value(Trim(pair.substr(equals + 1)));
    if (EqualsIgnoringCase(key, u"database")) {
      database = value;
      has_database = !value.empty();
    } else if (EqualsIgnoringCase(key, u"pwd")) {
      password = value;
    } else {
      return false;
    }
  }
  return has_database;
}

// "[;database=PATH;pwd=PW]." before a table of another file.
bool ParseExternalTablePrefix(Cursor& cursor, std::u16string& database, std::u16string& password) {
  if (!cursor.Char(u'[')) return false;
  const auto clause = cursor.BracketBody();
  return clause && ParseExternalClause(*clause, database, password) && cursor.Char(u'.');
}

std::optional<JetStatement> ParseDelete(Cursor& cursor) {
  if (!cursor.Keyword(u"from")) return std::nullopt;
  auto table = cursor.TableName();
  if (!table || !cursor.End()) return std::nullopt;
  return JetDeleteAll{std::move(*table)};
}

std::optional<JetStatement> ParseInsert(Cursor& cursor) {
  JetAppendFromFile result;
  if (!cursor.Keyword(u"into")) return std::nullopt;
  auto target = cursor.TableName();
  if (!target || !cursor.Keyword(u"select") || !cursor.Char(u'*') || !cursor.Keyword(u"from") ||
      !ParseExternalTablePrefix(cursor, result.database, result.password)) {
    return std::nullopt;
  }
  auto source = cursor.TableName();
  if (!source || !cursor.End()) return std::nullopt;
  result.target = std::move(*target);
  result.source = std::move(*source);
  return result;
}

// "count(*) from" and then a table of the open database, or a table of
// another file named by an external-database clause.
std::optional<JetStatement> ParseCount(Cursor& cursor) {
  JetCountRows result;
  if (!cursor.Keyword(u"count") || !cursor.Char(u'(') || !cursor.Char(u'*') || !cursor.Char(u')') ||
      !cursor.Keyword(u"from")) {
    return std::nullopt;
  }
  if (cursor.ExternalClauseAhead() && !ParseExternalTablePrefix(cursor, result.database, result.password)) {
    return std::nullopt;
  }
  auto table = cursor.TableName();
  if (!table || !cursor.End()) return std::nullopt;
  result.table = std::move(*table);
  return result;
}

}  // namespace

JetStatement ParseJetStatement(const std::u16string& text) {
  Cursor cursor(text);
  std::optional<JetStatement> parsed;
  if (cursor.Keyword(u"delete")) {
    parsed = ParseDelete(cursor);
  } else if (cursor.Keyword(u"insert")) {
    parsed = ParseInsert(cursor);
  } else if (cursor.Keyword(u"select")) {
    parsed = ParseCount(cursor);
  }
  if (!parsed) throw jet_error::UnsupportedStatement(text);
  return std::move(*parsed);
}

}  // namespace brevak::posix
