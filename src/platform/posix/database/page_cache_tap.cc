#include "platform/posix/database/page_cache_tap.h"

#include <algorithm>
#include <atomic>
#include <cstring>

namespace brevak::posix::page_cache_tap {
namespace {

// The b-tree page types of the file format, from the first byte of the
// page header (at offset 0 on every page but page 1, which is never a page
// of a user's table).
constexpr unsigned char kInteriorIndex = 0x02;
constexpr unsigned char kInteriorTable = 0x05;
constexpr unsigned char kLeafIndex = 0x0A;
constexpr unsigned char kLeafTable = 0x0D;
// An overflow page starts with the number of the next one, whose first
// byte is 0 in a file of fewer than 2^24 pages; a larger file is counted.
constexpr unsigned kFirstPageOfAHugeFile = 1u << 24;

thread_local uint64_t creating_tag = 0;
thread_local LeafRowCount* active_count = nullptr;
std::atomic<uint64_t> last_tag{0};

sqlite3_pcache_methods2 sqlite_cache;  // SQLite's own, which does the work

struct Cache {
  sqlite3_pcache* inner;
  uint64_t tag;
  int extra_size;  // SQLite's own part of each page's extra space
};

Cache* Of(sqlite3_pcache* cache) { return reinterpret_cast<Cache*>(cache); }

// Each page's extra space is asked for with room for its page number after
// SQLite's part, where the tap keeps it: SQLite hands a page back without
// saying which it is.
constexpr int kNumberRoom = 8;

void SetNumber(const Cache* cache, sqlite3_pcache_page* page, unsigned number) {
  std::memcpy(static_cast<char*>(page->pExtra) + cache->extra_size, &number, sizeof number);
}

unsigned NumberOf(const Cache* cache, const sqlite3_pcache_page* page) {
  unsigned number;
  std::memcpy(&number, static_cast<const char*>(page->pExtra) + cache->extra_size, sizeof number);
  return number;
}

// The count that looks at this cache's pages now, if any.
LeafRowCount* Watching(const Cache* cache) {
  LeafRowCount* count = active_count;
  return count != nullptr && cache->tag != 0 && count->tag() == cache->tag ? count : nullptr;
}

int Init(void*) { return sqlite_cache.xInit != nullptr ? sqlite_cache.xInit(sqlite_cache.pArg) : SQLITE_OK; }

void Shutdown(void*) {
  if (sqlite_cache.xShutdown != nullptr) sqlite_cache.xShutdown(sqlite_cache.pArg);
}

sqlite3_pcache* Create(int page_size, int extra_size, int purgeable) {
  sqlite3_pcache* inner = sqlite_cache.xCreate(page_size, extra_size + kNumberRoom, purgeable);
  if (inner == nullptr) return nullptr;
  return reinterpret_cast<sqlite3_pcache*>(new Cache{inner, creating_tag, extra_size});
}

void Cachesize(sqlite3_pcache* cache, int pages) { sqlite_cache.xCachesize(Of(cache)->inner, pages); }

int Pagecount(sqlite3_pcache* cache) { return sqlite_cache.xPagecount(Of(cache)->inner); }

sqlite3_pcache_page* Fetch(sqlite3_pcache* cache, unsigned key, int create) {
  sqlite3_pcache_page* page = sqlite_cache.xFetch(Of(cache)->inner, key, create);
  if (page != nullptr) SetNumber(Of(cache), page, key);
  return page;
}

// A page handed back whole (not discarded) holds what was read.
void Unpin(sqlite3_pcache* cache, sqlite3_pcache_page* page, int discard) {
  if (!discard) {
    if (LeafRowCount* count = Watching(Of(cache))) {
      count->Read(NumberOf(Of(cache), page), static_cast<const unsigned char*>(page->pBuf));
    }
  }
  sqlite_cache.xUnpin(Of(cache)->inner, page, discard);
}

void Rekey(sqlite3_pcache* cache, sqlite3_pcache_page* page, unsigned old_key, unsigned new_key) {
  SetNumber(Of(cache), page, new_key);
  sqlite_cache.xRekey(Of(cache)->inner, page, old_key, new_key);
}

void Truncate(sqlite3_pcache* cache, unsigned limit) { sqlite_cache.xTruncate(Of(cache)->inner, limit); }

void Destroy(sqlite3_pcache* cache) {
  sqlite_cache.xDestroy(Of(cache)->inner);
  delete Of(cache);
}

void Shrink(sqlite3_pcache* cache) { sqlite_cache.xShrink(Of(cache)->inner); }

std::atomic<bool> installed{false};

}  // namespace

// SQLite takes a page cache only before it starts: once any database has
// been opened in the process, sqlite3_config refuses and the tap stays out.
bool Install() {
  static const bool done = [] {
    if (sqlite3_config(SQLITE_CONFIG_GETPCACHE2, &sqlite_cache) != SQLITE_OK) return false;
    static const sqlite3_pcache_methods2 tap = {
        1,     nullptr, Init,  Shutdown, Create,  Cachesize, Pagecount,
        Fetch, Unpin,   Rekey, Truncate, Destroy, Shrink};
    return sqlite3_config(SQLITE_CONFIG_PCACHE2, &tap) == SQLITE_OK;
  }();
  installed = done;
  return done;
}

bool Installed() { return installed; }

uint64_t NewTag() { return ++last_tag; }

TagScope::TagScope(uint64_t tag) : previous_(creating_tag) { creating_tag = tag; }

TagScope::~TagScope() { creating_tag = previous_; }

LeafRowCount::LeafRowCount(uint64_t tag, uint32_t root_page)
    : tag_(tag), root_page_(root_page), previous_(active_count) {
  active_count = this;
}

LeafRowCount::~LeafRowCount() { active_count = previous_; }

std::optional<int64_t> LeafRowCount::Rows() const {
  if (!installed || !root_read_ || !trusted_) return std::nullopt;
  return rows_;
}

void LeafRowCount::Read(unsigned page_number, const unsigned char* data) {
  if (page_number == 1) return;
  if (page_number >= kFirstPageOfAHugeFile) trusted_ = false;
  if (page_number >= seen_.size()) seen_.resize(std::max<size_t>(page_number + 1, 2 * seen_.size()));
  if (seen_[page_number]) return;
  seen_[page_number] = true;
  if (page_number == root_page_) root_read_ = data[0] == kLeafTable || data[0] == kInteriorTable;
  switch (data[0]) {
    case kLeafTable: rows_ += (data[3] << 8) | data[4]; break;
    case kInteriorTable:
    case kInteriorIndex:
    case kLeafIndex:
    case 0: break;  // an overflow page
    default: trusted_ = false;  // not a page in the clear
  }
}

}  // namespace brevak::posix::page_cache_tap
