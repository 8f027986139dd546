#include "campaign/messages.h"

#include <algorithm>

#include "campaign/carried_tables.h"

namespace brevak::campaign {
namespace fs = std::filesystem;
namespace {

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool SameAt(const std::string& text, size_t at, const std::string& part) {
  if (at + part.size() > text.size()) return false;
  for (size_t i = 0; i < part.size(); ++i) {
    if (Lower(text[at + i]) != Lower(part[i])) return false;
  }
  return true;
}

// A character that can continue a folder name (ASCII letters and digits, and
// every byte of a multi-byte character).
bool ContinuesName(unsigned char c) {
  return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c >= 0x80 || c == '_' ||
         c == '-' || c == '.';
}

bool HoldsDatabase(const fs::path& folder) {
  std::error_code ec;
  return fs::is_regular_file(folder / kAddressBookFile, ec) || fs::is_regular_file(folder / kCustomerFile, ec);
}

void CollectFolders(const fs::path& folder, int depth, std::vector<fs::path>& out) {
  if (HoldsDatabase(folder)) out.push_back(folder);
  if (depth == 0) return;
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator(folder, ec)) {
    if (entry.is_directory(ec) && !entry.is_symlink(ec)) CollectFolders(entry.path(), depth - 1, out);
  }
}

// Whether the folder name in `text` that ends at `end` stops there. A
// trailing '.' ends a sentence, not a name.
bool EndsThere(const std::string& text, size_t end) {
  if (end >= text.size()) return true;
  const unsigned char next = static_cast<unsigned char>(text[end]);
  if (next == '.') return end + 1 >= text.size() || !ContinuesName(static_cast<unsigned char>(text[end + 1]));
  // A multi-byte character right after the path: Chinese punctuation such
  // as "，", "。" or the "（" before a date in words ends it, as the messages
  // write them.
  if (next >= 0x80) return SameAt(text, end, "，") || SameAt(text, end, "。") || SameAt(text, end, "；") ||
                           SameAt(text, end, "）") || SameAt(text, end, "（") || SameAt(text, end, "、") || SameAt(text, end, "：");
  return !ContinuesName(next);
}

// The path separators as Windows reads them: '/' is '\', and a run of them
// is one (C:/Brevak\\2026… names C:\Brevak\2026…).
std::string OneSeparator(const std::string& text) {
  std::string out;
  for (const char c : text) {
    const char separator = c == '/' ? '\\' : c;
    if (separator == '\\' && !out.empty() && out.back() == '\\') continue;
    out += separator;
  }
  return out;
}

}  // namespace

std::string UnescapeText(const std::string& escaped) {
  std::string out;
  for (size_t i = 0; i < escaped.size(); ++i) {
    if (escaped[i] != '\\' || i + 1 == escaped.size()) {
      out += escaped[i];
      continue;
    }
    const char next = escaped[++i];
    out += next == 'r' ? '\r' : next == 'n' ? '\n' : next;
  }
  return out;
}

std::string WindowsPath(const fs::path& prefix, const fs::path& folder) {
  const std::string relative = folder.lexically_relative(prefix / "drive_c").generic_string();
  std::string path = "C:\\";
  if (relative != ".") path += relative;
  std::replace(path.begin(), path.end(), '/', '\\');
  return path;
}

bool NamesFolder(const std::string& raw_text, const std::string& windows_path) {
  const std::string text = OneSeparator(raw_text);
  for (size_t at = 0; at + windows_path.size() <= text.size(); ++at) {
    if (!SameAt(text, at, windows_path)) continue;
    if (EndsThere(text, at + windows_path.size())) return true;
  }
  return false;
}

std::vector<fs::path> DatabaseFolders(const fs::path& prefix) {
  std::vector<fs::path> folders;
  CollectFolders(prefix / "drive_c", 3, folders);
  std::sort(folders.begin(), folders.end());
  return folders;
}

std::string BackupDate(const std::string& name) {
  if (name.size() != 14 || !std::all_of(name.begin(), name.end(), [](char c) { return c >= '0' && c <= '9'; })) {
    return "";
  }
  return name.substr(0, 4) + "年" + name.substr(4, 2) + "月" + name.substr(6, 2) + "日" + name.substr(8, 2) + "时" +
         name.substr(10, 2) + "分" + name.substr(12, 2) + "秒";
}

std::vector<fs::path> NamedFolders(const fs::path& prefix, const std::vector<Message>& messages) {
  std::vector<fs::path> named;
  for (const fs::path& folder : DatabaseFolders(prefix)) {
    const std::string windows = WindowsPath(prefix, folder);
    const std::string date = BackupDate(folder.filename().string());
    const bool mentioned = std::any_of(messages.begin(), messages.end(), [&](const Message& m) {
      return NamesFolder(m.text, windows) || (!date.empty() && m.text.find(date) != std::string::npos);
    });
    if (mentioned) named.push_back(folder);
  }
  return named;
}

std::string Abbreviate(const Message& message, size_t width) {
  const std::string& text = message.text;
  std::string line;
  size_t characters = 0, i = 0;
  for (; i < text.size(); ++i) {
    const char c = text[i];
    const bool starts_character = (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    if (starts_character && characters == width) break;
    if (c == '\r') continue;
    if (c == '\n') {
      line += " / ";
      ++characters;
      continue;
    }
    line += c;
    if (starts_character) ++characters;
  }
  if (i < text.size()) line += "…";
  line = "\"" + line + "\"";
  if (!message.answer.empty()) line += " " + message.answer;
  return line;
}

}  // namespace brevak::campaign
