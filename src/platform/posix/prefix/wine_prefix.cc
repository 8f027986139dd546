#include "platform/posix/prefix/wine_prefix.h"

#include <cstdlib>
#include <system_error>
#include <vector>

#include "platform/posix/text/utf.h"

namespace brevak::posix {
namespace fs = std::filesystem;
namespace {

bool IsSeparator(char16_t c) { return c == u'\\' || c == u'/'; }

char16_t FoldCase(char16_t c) { return (c >= u'A' && c <= u'Z') ? c + (u'a' - u'A') : c; }

bool EqualIgnoringCase(const std::u16string& a, const std::u16string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (FoldCase(a[i]) != FoldCase(b[i])) return false;
  }
  return true;
}

std::vector<std::u16string> SplitComponents(const std::u16string& path) {
  std::vector<std::u16string> parts;
  std::u16string part;
  for (char16_t c : path) {
    if (IsSeparator(c)) {
      if (!part.empty()) parts.push_back(part);
      part.clear();
    } else {
      part.push_back(c);
    }
  }
  if (!part.empty()) parts.push_back(part);
  return parts;
}

// `name` inside `folder`: the exact entry when it exists, else the first
// entry equal to it ignoring case, else `name` as given.
fs::path MatchComponent(const fs::path& folder, const std::u16string& name) {
  const std::string utf8 = Utf16ToUtf8(name);
  std::error_code ec;
  if (fs::exists(folder / utf8, ec)) return folder / utf8;
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    const std::string entry = it->path().filename().string();
    if (EqualIgnoringCase(Utf8ToUtf16(entry), name)) return folder / entry;
  }
  return folder / utf8;
}

}  // namespace

WinePrefix::WinePrefix(fs::path root) : root_(std::move(root)) {}

WinePrefix WinePrefix::FromEnvironment() {
  if (const char* prefix = std::getenv("WINEPREFIX"); prefix != nullptr && *prefix != '\0') {
    return WinePrefix(prefix);
  }
  const char* home = std::getenv("HOME");
  return WinePrefix(fs::path(home != nullptr ? home : "/") / ".wine");
}

fs::path WinePrefix::ToHost(const std::u16string& windows_path) const {
  std::u16string rest = windows_path;
  fs::path host;
  if (rest.size() >= 2 && rest[1] == u':') {
    const char drive = static_cast<char>(FoldCase(rest[0]));
    host = root_ / "dosdevices" / std::string{drive, ':'};
    rest = rest.substr(2);
  } else {
    std::error_code ec;
    host = fs::current_path(ec);
  }
  for (const std::u16string& component : SplitComponents(rest)) {
    if (component == u".") continue;
    if (component == u"..") {
      if (host.has_relative_path()) host = host.parent_path();
      continue;
    }
    host = MatchComponent(host, component);
  }
  return host;
}

std::u16string WinePrefix::ToWindows(const fs::path& host_path) const {
  std::error_code ec;
  const fs::path target = fs::weakly_canonical(host_path, ec);
  char best_drive = 'z';
  fs::path best_root;
  size_t best_depth = 0;
  for (fs::directory_iterator it(root_ / "dosdevices", ec), end; !ec && it != end; it.increment(ec)) {
    const std::string name = it->path().filename().string();
    if (name.size() != 2 || name[1] != ':') continue;
    std::error_code resolve_ec;
    const fs::path drive_root = fs::canonical(it->path(), resolve_ec);
    if (resolve_ec) continue;
    const auto relative = target.lexically_relative(drive_root);
    if (relative.empty() || *relative.begin() == "..") continue;
    const size_t depth = static_cast<size_t>(std::distance(drive_root.begin(), drive_root.end()));
    if (best_root.empty() || depth > best_depth) {
      best_drive = name[0];
      best_root = drive_root;
      best_depth = depth;
    }
  }
  const fs::path relative = best_root.empty() ? target.relative_path() : target.lexically_relative(best_root);
  std::u16string result{static_cast<char16_t>(best_drive - 'a' + 'A'), u':'};
  for (const fs::path& component : relative) {
    if (component == ".") continue;
    result += u'\\';
    result += Utf8ToUtf16(component.string());
  }
  return result;
}

}  // namespace brevak::posix
