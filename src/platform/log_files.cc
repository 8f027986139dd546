#include "platform/log_files.h"

namespace brevak {

size_t LogKeptFrom(std::string_view contents) {
  if (contents.size() <= kLogTrimAbove) return 0;
  // An entry starts right after the end of the one before it.
  const size_t earliest = contents.size() - kLogKeep;
  const size_t search_from = earliest >= kLogEntryEnd.size() ? earliest - kLogEntryEnd.size() : 0;
  const size_t end = contents.find(kLogEntryEnd, search_from);
  if (end != std::string_view::npos && end + kLogEntryEnd.size() < contents.size()) {
    return end + kLogEntryEnd.size();
  }
  // No entry starts in the kept part: keep the last one whole.
  const size_t last_end = contents.rfind(kLogEntryEnd, contents.size() - kLogEntryEnd.size() - 1);
  return last_end == std::string_view::npos ? 0 : last_end + kLogEntryEnd.size();
}

}  // namespace brevak
