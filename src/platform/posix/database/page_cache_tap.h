#ifndef BREVAK_PLATFORM_POSIX_DATABASE_PAGE_CACHE_TAP_H_
#define BREVAK_PLATFORM_POSIX_DATABASE_PAGE_CACHE_TAP_H_

#include <sqlcipher/sqlite3.h>

#include <cstdint>
#include <optional>
#include <vector>

// Counts the rows a statement reads from one attached file as SQLite's page
// cache hands the file's pages to it: the rows on the distinct table leaf
// pages read. An append that copies a backup table's records whole (SQLite's
// transfer of records between tables of the same fields) is then counted as
// it reads, without a second pass that decrypts every page again and without
// decoding a single record.
//
// The tap wraps SQLite's own page cache for the whole process and is put in
// place by Install before SQLite starts (it cannot be later). It only looks at a page
// that a LeafRowCount of this thread asked for, and only when SQLite hands
// the page back: its content has then been read and, for a keyed file,
// decrypted in place.
namespace brevak::posix::page_cache_tap {

// Puts the tap in place, once per process; true when it is. Call it before
// anything opens a database: afterwards SQLite takes no page cache, and
// without the tap every count reads its table.
bool Install();

// True when the tap is in place.
bool Installed();

// A tag for the page caches of one attached file.
uint64_t NewTag();

// While it lives, every page cache SQLite creates on this thread carries
// `tag`: wrapped around an ATTACH, it marks the attached file's cache.
class TagScope {
 public:
  explicit TagScope(uint64_t tag);
  ~TagScope();
  TagScope(const TagScope&) = delete;
  TagScope& operator=(const TagScope&) = delete;

 private:
  uint64_t previous_;
};

// While it lives, counts the rows on the table leaf pages that this thread
// reads from the caches tagged `tag`, each page once. `root_page` is the
// root of the table being read: a scan of the table reads it first.
class LeafRowCount {
 public:
  LeafRowCount(uint64_t tag, uint32_t root_page);
  ~LeafRowCount();
  LeafRowCount(const LeafRowCount&) = delete;
  LeafRowCount& operator=(const LeafRowCount&) = delete;

  // The rows counted, when the count can be trusted: the tap is in place,
  // the root page was read, and every page read was a b-tree or overflow
  // page in the clear. Otherwise nullopt, and the table must be counted.
  std::optional<int64_t> Rows() const;

  // For the cache wrapper: the tag watched, and a page of it handed back.
  uint64_t tag() const { return tag_; }
  void Read(unsigned page_number, const unsigned char* data);

 private:

  uint64_t tag_;
  uint32_t root_page_;
  LeafRowCount* previous_;
  std::vector<bool> seen_;
  int64_t rows_ = 0;
  bool root_read_ = false;
  bool trusted_ = true;
};

}  // namespace brevak::posix::page_cache_tap

#endif  // BREVAK_PLATFORM_POSIX_DATABASE_PAGE_CACHE_TAP_H_
