#include "platform/posix/registry/wine_registry_file.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <string_view>
#include <system_error>
#include <utility>

#include "platform/posix/text/utf.h"
#include "platform/registry.h"

namespace brevak::posix {
namespace fs = std::filesystem;
namespace {

constexpr std::string_view kHeader = "WINE REGISTRY Version 2";

// A line that cannot be read exactly; `what` says why.
struct LineError {
  std::string what;
};

char16_t FoldCase(char16_t c) { return (c >= u'A' && c <= u'Z') ? c + (u'a' - u'A') : c; }

// Registry names match ignoring the case of ASCII letters.
std::u16string Fold(std::u16string text) {
  for (char16_t& c : text) c = FoldCase(c);
  return text;
}

bool IsBlank(char16_t c) { return c == u' ' || c == u'\t'; }

int HexDigit(char16_t c) {
  if (c >= u'0' && c <= u'9') return c - u'0';
  if (c >= u'a' && c <= u'f') return c - u'a' + 10;
  if (c >= u'A' && c <= u'F') return c - u'A' + 10;
  return -1;
}

std::string Printable(char16_t c) { return Utf16ToUtf8(std::u16string(1, c)); }

// A read position in one decoded line.
class Cursor {
 public:
  explicit Cursor(const std::u16string& text, size_t pos = 0) : text_(&text), pos_(pos) {}

  bool AtEnd() const { return pos_ >= text_->size(); }
  char16_t Peek() const { return AtEnd() ? u'\0' : (*text_)[pos_]; }
  char16_t Take() { return (*text_)[pos_++]; }
  void SkipBlanks() {
    while (!AtEnd() && IsBlank(Peek())) ++pos_;
  }
  // Consumes `prefix` when the text continues with it.
  bool Consume(std::u16string_view prefix) {
    if (std::u16string_view(*text_).substr(pos_).substr(0, prefix.size()) != prefix) return false;
    pos_ += prefix.size();
    return true;
  }
  void Expect(char16_t c, const char* what) {
    if (AtEnd() || Take() != c) throw LineError{std::string("expected ") + what};
  }
  // Nothing but blanks may follow.
  void ExpectEnd() {
    SkipBlanks();
    if (!AtEnd()) throw LineError{"unexpected text \"" + Printable(Peek()) + "...\" after the data"};
  }
  // Up to `max_digits` hexadecimal digits, at least one.
  uint32_t TakeHex(int max_digits, const char* what) {
    uint32_t value = 0;
    int digits = 0;
    while (digits < max_digits && !AtEnd() && HexDigit(Peek()) >= 0) {
      value = value * 16 + static_cast<uint32_t>(HexDigit(Take()));
      ++digits;
    }
    if (digits == 0) throw LineError{std::string("expected hexadecimal digits in ") + what};
    return value;
  }

 private:
  const std::u16string* text_;
  size_t pos_;
};

// The character of an escape after its backslash: the C escapes Wine
// writes, \\ \" \[ \], octal (up to three digits) and \x (up to four hex
// digits, one UTF-16 unit).
char16_t ReadEscape(Cursor& c) {
  if (c.AtEnd()) throw LineError{"backslash at the end of the line inside a string"};
  const char16_t e = c.Take();
  switch (e) {
    case u'\\': case u'"': case u'[': case u']': return e;
    case u'a': return 7;
    case u'b': return 8;
    case u't': return 9;
    case u'n': return 10;
    case u'v': return 11;
    case u'f': return 12;
    case u'r': return 13;
    case u'e': return 27;
    case u'x': return static_cast<char16_t>(c.TakeHex(4, "a \\x escape"));
    default: break;
  }
  if (e < u'0' || e > u'7') throw LineError{"unknown escape \\" + Printable(e)};
  char16_t value = e - u'0';
  for (int i = 0; i < 2 && c.Peek() >= u'0' && c.Peek() <= u'7'; ++i) value = value * 8 + (c.Take() - u'0');
  return value;
}

// The text up to the unescaped `end` (consumed), escapes resolved.
std::u16string ReadQuoted(Cursor& c, char16_t end) {
  std::u16string text;
  while (!c.AtEnd()) {
    const char16_t ch = c.Take();
    if (ch == end) return text;
    text += (ch == u'\\') ? ReadEscape(c) : ch;
  }
  throw LineError{"missing closing " + Printable(end)};
}

// The key path of a key line: no empty component.
void CheckKeyPath(const std::u16string& path) {
  if (path.empty() || path.front() == u'\\' || path.back() == u'\\' ||
      path.find(u"\\\\") != std::u16string::npos) {
    throw LineError{"empty component in key name"};
  }
}

// UTF-16LE bytes as text; the registry stores text types so.
std::u16string TextOfBytes(const std::string& bytes) {
  if (bytes.size() % 2 != 0) throw LineError{"text data of an odd number of bytes"};
  std::u16string text(bytes.size() / 2, u'\0');
  for (size_t i = 0; i < text.size(); ++i) {
    text[i] = static_cast<char16_t>(static_cast<uint8_t>(bytes[2 * i]) |
                                    (static_cast<uint8_t>(bytes[2 * i + 1]) << 8));
  }
  return text;
}

std::string LittleEndian(uint32_t value) {
  std::string bytes(4, '\0');
  for (int i = 0; i < 4; ++i) bytes[i] = static_cast<char>((value >> (8 * i)) & 0xFF);
  return bytes;
}

// Reads the lines of one file into a WineRegistryFile.
class Parser {
 public:
  Parser(std::istream& in, std::string file_name, std::ostream& diagnostics, WineRegistryFile& file)
      : in_(in), file_name_(std::move(file_name)), diagnostics_(diagnostics), file_(file) {}

  // False (reported) when the first line is not the header.
  bool ReadHeader();
  void ReadBody();
  bool Failed() const { return in_.bad(); }

 private:
  bool NextLine();
  std::u16string Decoded() const;
  void Report(const std::string& what) const;
  void ReadLine(const std::u16string& line);
  void ReadKeyLine(Cursor c);
  void ReadValueLine(Cursor c);
  void ReadData(Cursor& c, RegistryValue& value);
  std::string ReadHexBytes(Cursor& c);
  void NextHexLine(Cursor& c);
  void SkipContinuation();

  std::istream& in_;
  const std::string file_name_;
  std::ostream& diagnostics_;
  WineRegistryFile& file_;
  std::string raw_;                   // the current line, without its line end
  std::u16string continued_;          // the current continuation line of hex data
  int line_number_ = 0;
  bool in_hex_data_ = false;
  std::vector<RegistryValue>* key_ = nullptr;  // the key of the lines that follow
  bool key_broken_ = false;                    // the last key line could not be read
};

bool Parser::NextLine() {
  if (!std::getline(in_, raw_)) return false;
  ++line_number_;
  if (!raw_.empty() && raw_.back() == '\r') raw_.pop_back();
  return true;
}

std::u16string Parser::Decoded() const {
  std::optional<std::u16string> text = StrictUtf8ToUtf16(raw_);
  if (!text) throw LineError{"invalid UTF-8"};
  return *text;
}

void Parser::Report(const std::string& what) const {
  diagnostics_ << file_name_ << ':' << line_number_ << ": " << what << '\n';
}

bool Parser::ReadHeader() {
  if (NextLine() && raw_ == kHeader) return true;
  line_number_ = 1;
  Report("not a Wine registry file: the first line is not \"" + std::string(kHeader) + "\"");
  return false;
}

void Parser::ReadBody() {
  while (NextLine()) {
    in_hex_data_ = false;
    // A key line ends the key before; the values that follow belong to it
    // even when it cannot be read.
    const size_t first = raw_.find_first_not_of(" \t");
    if (first != std::string::npos && raw_[first] == '[') {
      key_ = nullptr;
      key_broken_ = true;
    }
    try {
      ReadLine(Decoded());
    } catch (const LineError& error) {
      Report(error.what + "; line left out");
      if (in_hex_data_) SkipContinuation();
    }
  }
}

void Parser::ReadLine(const std::u16string& line) {
  Cursor c(line);
  c.SkipBlanks();
  if (c.AtEnd()) return;
  switch (c.Peek()) {
    case u';': case u'#': return;  // comment, option
    case u'[': return ReadKeyLine(c);
    case u'@': case u'"': return ReadValueLine(c);
    default: throw LineError{"unrecognized line"};
  }
}

// [Path\\To\\Key] 1700000000
void Parser::ReadKeyLine(Cursor c) {
  c.Expect(u'[', "[");
  const std::u16string path = ReadQuoted(c, u']');
  CheckKeyPath(path);
  c.SkipBlanks();
  while (!c.AtEnd() && c.Peek() >= u'0' && c.Peek() <= u'9') c.Take();
  c.ExpectEnd();
  key_ = &file_.AddKey(path);
  key_broken_ = false;
}

// @=DATA or "name"=DATA
void Parser::ReadValueLine(Cursor c) {
  if (key_ == nullptr) {
    if (key_broken_) return;  // belongs to the key line already reported
    throw LineError{"value before any key"};
  }
  RegistryValue value;
  if (!c.Consume(u"@")) {
    c.Expect(u'"', "\"");
    value.name = ReadQuoted(c, u'"');
  }
  c.Expect(u'=', "=");
  ReadData(c, value);
  WineRegistryFile::SetValue(*key_, std::move(value));
}

void Parser::ReadData(Cursor& c, RegistryValue& value) {
  struct StringForm { std::u16string_view tag; uint32_t type; };
  static constexpr StringForm kStrings[] = {
      {u"\"", REG_SZ}, {u"str:\"", REG_SZ}, {u"str(2):\"", REG_EXPAND_SZ}, {u"str(7):\"", REG_MULTI_SZ}};
  for (const StringForm& form : kStrings) {
    if (!c.Consume(form.tag)) continue;
    value.type = form.type;
    value.text = ReadQuoted(c, u'"') + u'\0';  // the file leaves out the last NUL
    return c.ExpectEnd();
  }
  if (c.Consume(u"dword:")) {
    value.type = REG_DWORD;
    value.bytes = LittleEndian(c.TakeHex(8, "dword data"));
    return c.ExpectEnd();
  }
  if (c.Consume(u"hex:")) {
    value.type = REG_BINARY;
    value.bytes = ReadHexBytes(c);
    return;
  }
  if (!c.Consume(u"hex(")) throw LineError{"unknown data type"};
  value.type = c.TakeHex(8, "the type of hex data");
  c.Expect(u')', ") after the type");
  c.Expect(u':', ": after the type");
  value.bytes = ReadHexBytes(c);
  if (IsTextType(value.type)) value.text = TextOfBytes(std::exchange(value.bytes, {}));
}

// Two-digit bytes separated by commas; ",\" at the end of a line
// continues the data on the next one. Nothing at all is no bytes.
std::string Parser::ReadHexBytes(Cursor& c) {
  in_hex_data_ = true;
  std::string bytes;
  c.SkipBlanks();
  while (!c.AtEnd()) {
    const int high = HexDigit(c.Take());
    const int low = c.AtEnd() ? -1 : HexDigit(c.Take());
    if (high < 0 || low < 0 || HexDigit(c.Peek()) >= 0) throw LineError{"bad byte in hex data"};
    bytes += static_cast<char>(high * 16 + low);
    c.SkipBlanks();
    if (c.AtEnd()) break;
    c.Expect(u',', ", between bytes of hex data");
    c.SkipBlanks();
    if (c.Consume(u"\\")) NextHexLine(c);
    if (c.AtEnd()) throw LineError{"truncated hex data"};
  }
  return bytes;
}

// Moves `c` to the continuation line, past its leading blanks.
void Parser::NextHexLine(Cursor& c) {
  c.ExpectEnd();
  if (!NextLine()) throw LineError{"truncated hex data: the file ends after \\"};
  continued_ = Decoded();
  c = Cursor(continued_);
  c.SkipBlanks();
}

// After a broken hex value: its continuation lines belong to it.
void Parser::SkipContinuation() {
  auto continues = [this] {
    const size_t last = raw_.find_last_not_of(" \t");
    return last != std::string::npos && raw_[last] == '\\';
  };
  while (continues() && NextLine()) {
  }
}

}  // namespace

bool IsTextType(uint32_t type) {
  return type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ;
}

WineRegistryFile::WineRegistryFile() { keys_[u""]; }

std::optional<WineRegistryFile> WineRegistryFile::Load(const fs::path& path,
                                                       std::ostream& diagnostics) {
  std::error_code ec;
  std::ifstream in;
  if (!fs::is_directory(path, ec)) in.open(path, std::ios::binary);
  if (!in.is_open()) {
    const int error = fs::is_directory(path, ec) ? EISDIR : errno;
    diagnostics << path.string() << ": cannot be read: " << std::strerror(error) << '\n';
    return std::nullopt;
  }
  WineRegistryFile file;
  Parser parser(in, path.string(), diagnostics, file);
  if (!parser.ReadHeader()) return std::nullopt;
  parser.ReadBody();
  if (parser.Failed()) {
    diagnostics << path.string() << ": read error: " << std::strerror(errno) << '\n';
    return std::nullopt;
  }
  return file;
}

std::optional<std::vector<RegistryValue>> WineRegistryFile::FindKey(const std::u16string& path) const {
  const auto it = keys_.find(Fold(path));
  if (it == keys_.end()) return std::nullopt;
  return it->second;
}

std::vector<RegistryValue>& WineRegistryFile::AddKey(const std::u16string& path) {
  const std::u16string folded = Fold(path);
  for (size_t sep = folded.find(u'\\'); sep != std::u16string::npos; sep = folded.find(u'\\', sep + 1)) {
    keys_[folded.substr(0, sep)];
    spellings_.emplace(folded.substr(0, sep), path.substr(0, sep));
  }
  spellings_.emplace(folded, path);
  return keys_[folded];
}

std::vector<std::u16string> WineRegistryFile::SubKeys(const std::u16string& path) const {
  const std::u16string prefix = path.empty() ? u"" : Fold(path) + u"\\";
  std::vector<std::u16string> names;
  for (auto it = spellings_.lower_bound(prefix); it != spellings_.end() && it->first.starts_with(prefix); ++it) {
    const std::u16string below = it->second.substr(prefix.size());
    if (!below.empty() && below.find(u'\\') == std::u16string::npos) names.push_back(below);
  }
  return names;
}

void WineRegistryFile::SetValue(std::vector<RegistryValue>& key, RegistryValue value) {
  const std::u16string folded = Fold(value.name);
  for (RegistryValue& existing : key) {
    if (Fold(existing.name) == folded) {
      value.name = std::move(existing.name);
      existing = std::move(value);
      return;
    }
  }
  key.push_back(std::move(value));
}

}  // namespace brevak::posix
