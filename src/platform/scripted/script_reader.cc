#include "platform/scripted/script_reader.h"

namespace brevak {
namespace {

constexpr const char* kBlanks = " \t\r\n\f\v";

std::string Trim(const std::string& text) {
  const size_t first = text.find_first_not_of(kBlanks);
  if (first == std::string::npos) return {};
  const size_t last = text.find_last_not_of(kBlanks);
  return text.substr(first, last - first + 1);
}

}  // namespace

std::optional<ScriptLine> ScriptReader::Next() {
  std::string raw;
  while (std::getline(script_, raw)) {
    ++lines_read_;
    std::string text = Trim(raw);
    if (text.empty() || text[0] == '#') continue;
    ScriptLine line;
    line.number = lines_read_;
    const size_t blank = text.find_first_of(kBlanks);
    line.verb = text.substr(0, blank);
    if (blank != std::string::npos) line.argument = Trim(text.substr(blank));
    line.text = std::move(text);
    return line;
  }
  return std::nullopt;
}

}  // namespace brevak
