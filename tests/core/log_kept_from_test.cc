// Where a log that grew too large is cut: always at the start of an entry,
// keeping as many of the newest entries as fit.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/log_files.h"

namespace brevak {
namespace {

// An entry of `size` bytes: lines of text, then the empty line that ends it.
std::string Entry(size_t size, char fill) {
  std::string entry(size - 4, fill);
  for (size_t i = 60; i + 2 < entry.size(); i += 62) entry.replace(i, 2, "\r\n");
  return entry + "\r\n\r\n";
}

struct Log {
  std::string text;
  std::vector<size_t> starts;  // where each entry starts
};

Log LogOf(const std::vector<size_t>& sizes) {
  Log log;
  for (size_t i = 0; i < sizes.size(); ++i) {
    log.starts.push_back(log.text.size());
    log.text += Entry(sizes[i], static_cast<char>('a' + i % 26));
  }
  return log;
}

std::vector<size_t> Repeat(size_t size, size_t count) { return std::vector<size_t>(count, size); }

TEST(LogKeptFromTest, CutsAtTheOldestEntryThatFitsTheKeptPart) {
  struct Case {
    const char* name;
    std::vector<size_t> sizes;
  };
  std::vector<size_t> uneven;
  for (size_t i = 0; i < 960; ++i) uneven.push_back(700 + (i * 7919) % 900);
  std::vector<size_t> exact = Repeat(1024, 1025);  // an entry starts exactly kLogKeep before the end
  const Case cases[] = {
      {"just above the limit", Repeat(1000, 1049)},
      {"entries of uneven sizes", uneven},
      {"an entry starting at the kept part's first byte", exact},
      {"one large entry among small ones", [] {
         std::vector<size_t> sizes = Repeat(2000, 400);
         sizes.push_back(300000);
         for (int i = 0; i < 200; ++i) sizes.push_back(1500);
         return sizes;
       }()},
  };
  for (const Case& c : cases) {
    const Log log = LogOf(c.sizes);
    ASSERT_GT(log.text.size(), kLogTrimAbove) << c.name;
    const size_t from = LogKeptFrom(log.text);
    // The first entry that starts within the last kLogKeep bytes.
    size_t expected = 0;
    for (size_t start : log.starts) {
      if (start >= log.text.size() - kLogKeep) {
        expected = start;
        break;
      }
    }
    EXPECT_EQ(from, expected) << c.name;
  }
}

TEST(LogKeptFromTest, LeavesALogWithinTheLimitAndNeverCutsTheLastEntry) {
  struct Case {
    const char* name;
    std::vector<size_t> sizes;
    size_t expected_from;  // as an entry index; SIZE_MAX: nothing cut
  };
  const Case cases[] = {
      {"small", Repeat(1000, 10), SIZE_MAX},
      {"exactly at the limit", Repeat(1024, 1024), SIZE_MAX},
      {"a last entry larger than the kept part", {600000, 600000}, 1},
      {"one entry alone above the limit", {1100000}, 0},
  };
  for (const Case& c : cases) {
    const Log log = LogOf(c.sizes);
    const size_t from = LogKeptFrom(log.text);
    EXPECT_EQ(from, c.expected_from == SIZE_MAX ? 0 : log.starts[c.expected_from]) << c.name;
  }
}

}  // namespace
}  // namespace brevak
