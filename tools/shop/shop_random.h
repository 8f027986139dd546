#ifndef BREVAK_TOOLS_SHOP_SHOP_RANDOM_H_
#define BREVAK_TOOLS_SHOP_SHOP_RANDOM_H_

#include <cstdint>
#include <string_view>

namespace brevak::shop {

// splitmix64: the same numbers for the same seed on every platform and
// standard library (std's distributions are not portable).
class Rng {
 public:
  explicit Rng(uint64_t seed) : state_(seed) {}
  uint64_t Next() {
    uint64_t z = (state_ += 0x9E3779B97F4A7C15ULL);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
  }
  // REQUIRES: lo <= hi.
  int64_t Between(int64_t lo, int64_t hi) {
    return lo + static_cast<int64_t>(Next() % static_cast<uint64_t>(hi - lo + 1));
  }
  size_t Below(size_t n) { return static_cast<size_t>(Next() % n); }
  bool Percent(int percent) { return static_cast<int>(Next() % 100) < percent; }

 private:
  uint64_t state_;
};

inline uint64_t Mix(uint64_t a, uint64_t b) { return Rng(a ^ (b * 0xD6E8FEB86659FD93ULL)).Next(); }

// FNV-1a of a name: a table's own random stream.
inline uint64_t HashName(std::string_view name) {
  uint64_t hash = 0xCBF29CE484222325ULL;
  for (unsigned char c : name) hash = (hash ^ c) * 0x100000001B3ULL;
  return hash;
}

}  // namespace brevak::shop

#endif  // BREVAK_TOOLS_SHOP_SHOP_RANDOM_H_
