#ifndef BREVAK_TOOLS_SHOP_SHOP_PICTURE_H_
#define BREVAK_TOOLS_SHOP_SHOP_PICTURE_H_

#include <cstdint>
#include <string>

namespace brevak::shop {

inline constexpr int kPortraitSide = 32;

// A 32x32 24-bit Windows bitmap (BMP file bytes) of a head and shoulders on
// a plain background, its colours drawn from `seed`. Replaces `*out`,
// reusing its buffer.
void MakePortrait(uint64_t seed, std::string* out);

}  // namespace brevak::shop

#endif  // BREVAK_TOOLS_SHOP_SHOP_PICTURE_H_
