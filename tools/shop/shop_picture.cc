#include "shop/shop_picture.h"

#include "shop/shop_random.h"

namespace brevak::shop {
namespace {

struct Rgb {
  uint8_t r, g, b;
};

void PutLe(std::string* out, uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out->push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

// BITMAPFILEHEADER + BITMAPINFOHEADER for a bottom-up 24-bit image.
void PutHeaders(std::string* out, int side) {
  const uint32_t row = static_cast<uint32_t>(side) * 3;  // a multiple of 4 for side 32
  const uint32_t pixels = row * static_cast<uint32_t>(side);
  out->append("BM");
  PutLe(out, 54 + pixels, 4);
  PutLe(out, 0, 4);
  PutLe(out, 54, 4);
  PutLe(out, 40, 4);
  PutLe(out, static_cast<uint32_t>(side), 4);
  PutLe(out, static_cast<uint32_t>(side), 4);
  PutLe(out, 1, 2);
  PutLe(out, 24, 2);
  PutLe(out, 0, 4);
  PutLe(out, pixels, 4);
  PutLe(out, 2835, 4);  // 72 dots per inch
  PutLe(out, 2835, 4);
  PutLe(out, 0, 4);
  PutLe(out, 0, 4);
}

Rgb Pastel(Rng& rng) {
  return {static_cast<uint8_t>(rng.Between(150, 240)), static_cast<uint8_t>(rng.Between(150, 240)),
          static_cast<uint8_t>(rng.Between(150, 240))};
}

// y counts from the top.
Rgb PixelAt(int x, int y, const Rgb& background, const Rgb& skin, const Rgb& cloth) {
  const int hx = x - 16, hy = y - 12;
  if (hx * hx + hy * hy <= 49) return skin;
  const int bx = x - 16, by = y - 34;
  if (bx * bx + by * by <= 196) return cloth;
  return background;
}

}  // namespace

void MakePortrait(uint64_t seed, std::string* out) {
  out->clear();
  PutHeaders(out, kPortraitSide);
  Rng rng(seed);
  const Rgb background = Pastel(rng);
  const Rgb skin = {static_cast<uint8_t>(rng.Between(200, 250)), static_cast<uint8_t>(rng.Between(160, 200)),
                    static_cast<uint8_t>(rng.Between(130, 170))};
  const Rgb cloth = {static_cast<uint8_t>(rng.Between(0, 120)), static_cast<uint8_t>(rng.Between(0, 120)),
                     static_cast<uint8_t>(rng.Between(0, 160))};
  for (int y = kPortraitSide - 1; y >= 0; --y) {
    for (int x = 0; x < kPortraitSide; ++x) {
      const Rgb p = PixelAt(x, y, background, skin, cloth);
      out->push_back(static_cast<char>(p.b));
      out->push_back(static_cast<char>(p.g));
      out->push_back(static_cast<char>(p.r));
    }
  }
}

}  // namespace brevak::shop
