#include "campaign/record_mutation.h"

#include <algorithm>
#include <cctype>
#include <vector>

namespace brevak::campaign {
namespace {

// The lines of `text`, each with its line end.
std::vector<std::string> SplitLines(const std::string& text) {
  std::vector<std::string> lines;
  for (size_t start = 0; start < text.size();) {
    const size_t end = std::min(text.find('\n', start), text.size() - 1) + 1;
    lines.push_back(text.substr(start, end - start));
    start = end;
  }
  return lines;
}

std::string Join(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line;
  return text;
}

size_t Pick(std::mt19937_64& rng, size_t count) { return static_cast<size_t>(rng() % count); }

bool HasStamp(const std::string& value) {
  size_t run = 0;
  for (const char c : value) {
    run = std::isdigit(static_cast<unsigned char>(c)) ? run + 1 : 0;
    if (run == 14) return true;
  }
  return false;
}

// The value of a line without its key and its line end.
std::pair<size_t, size_t> ValueSpan(const std::string& line) {
  const size_t start = line.find('=') + 1;
  size_t end = line.size();
  while (end > start && (line[end - 1] == '\n' || line[end - 1] == '\r')) --end;
  return {start, end};
}

std::string Leaf(const std::string& path) {
  const size_t cut = path.find_last_of("\\/");
  return cut == std::string::npos ? path : path.substr(cut + 1);
}

std::string ReplaceFolderValue(const std::string& text, RecordMutation mutation, std::mt19937_64& rng,
                               const std::string& outside) {
  std::vector<std::string> lines = SplitLines(text);
  std::vector<size_t> candidates;
  for (size_t i = 0; i < lines.size(); ++i) {
    if (NamesFolderValue(lines[i])) candidates.push_back(i);
  }
  if (candidates.empty()) return text;
  std::string& line = lines[candidates[Pick(rng, candidates.size())]];
  const auto [start, end] = ValueSpan(line);
  const std::string value = line.substr(start, end - start);
  std::string replaced = outside;
  if (mutation == RecordMutation::kDotDot) {
    // From a folder of the installation up and over: C:\Brevak\2026…\..\..\Brevak升级包.
    replaced = value.find('\\') == std::string::npos ? "..\\" + Leaf(outside) : value + "\\..\\..\\" + Leaf(outside);
  }
  line.replace(start, end - start, replaced);
  return Join(lines);
}

}  // namespace

const char* MutationName(RecordMutation mutation) {
  switch (mutation) {
    case RecordMutation::kFlipBit: return "a bit flipped";
    case RecordMutation::kTruncate: return "cut short";
    case RecordMutation::kDuplicateLine: return "a line doubled";
    case RecordMutation::kDropLine: return "a line dropped";
    case RecordMutation::kSwapLines: return "two lines swapped";
    case RecordMutation::kOutsideFolder: return "a folder pointed out of the installation";
    case RecordMutation::kDotDot: return "a folder led out with ..";
  }
  return "?";
}

bool NamesFolderValue(const std::string& line) {
  if (line.find('=') == std::string::npos) return false;
  const auto [start, end] = ValueSpan(line);
  const std::string value = line.substr(start, end - start);
  return value.find('\\') != std::string::npos || HasStamp(value);
}

std::string MutateRecord(const std::string& text, RecordMutation mutation, std::mt19937_64& rng,
                         const std::string& outside) {
  if (text.empty()) return text;
  std::vector<std::string> lines = SplitLines(text);
  switch (mutation) {
    case RecordMutation::kFlipBit: {
      std::string flipped = text;
      flipped[Pick(rng, text.size())] ^= static_cast<char>(1 << Pick(rng, 8));
      return flipped;
    }
    case RecordMutation::kTruncate:
      return text.substr(0, Pick(rng, text.size()));
    case RecordMutation::kDuplicateLine: {
      const size_t i = Pick(rng, lines.size());
      lines.insert(lines.begin() + static_cast<long>(i), lines[i]);
      return Join(lines);
    }
    case RecordMutation::kDropLine:
      lines.erase(lines.begin() + static_cast<long>(Pick(rng, lines.size())));
      return Join(lines);
    case RecordMutation::kSwapLines: {
      // Two lines that differ, so the order changes; the last line may lack its end.
      if (!lines.back().ends_with("\n")) lines.back() += "\r\n";
      std::vector<std::pair<size_t, size_t>> pairs;
      for (size_t i = 0; i < lines.size(); ++i) {
        for (size_t j = i + 1; j < lines.size(); ++j) {
          if (lines[i] != lines[j]) pairs.push_back({i, j});
        }
      }
      if (pairs.empty()) return text;
      const auto [i, j] = pairs[Pick(rng, pairs.size())];
      std::swap(lines[i], lines[j]);
      return Join(lines);
    }
    case RecordMutation::kOutsideFolder:
    case RecordMutation::kDotDot:
      return ReplaceFolderValue(text, mutation, rng, outside);
  }
  return text;
}

}  // namespace brevak::campaign
