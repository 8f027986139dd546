#ifndef BREVAK_PLATFORM_POSIX_VERSION_VERSION_BLOCK_H_
#define BREVAK_PLATFORM_POSIX_VERSION_VERSION_BLOCK_H_

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace brevak::posix {

// A value found in a version block (a VS_VERSIONINFO tree: nodes of
// wLength, wValueLength, wType, a NUL-ended UTF-16 key, the value and the
// children, each part starting on a 32-bit boundary of the block).
struct BlockValue {
  size_t offset = 0;       // from the start of the block
  size_t length = 0;       // wValueLength: bytes, or UTF-16 units for text
  size_t size = 0;         // bytes of the value that lie inside its node
  bool is_text = false;    // wType 1
};

// Looks up `path` in `block`: components separated by '\', empty ones
// skipped ("\" is the root), each matched against the children's keys
// ignoring ASCII case. Empty when a component is missing or the tree is
// malformed on the way; never reads outside `block`.
std::optional<BlockValue> FindBlockValue(std::span<const uint8_t> block, std::u16string_view path);

// The UTF-16 units of a text value, up to and with its first NUL (all of
// them when it holds none).
std::u16string BlockTextUnits(std::span<const uint8_t> block, const BlockValue& value);

}  // namespace brevak::posix

#endif  // BREVAK_PLATFORM_POSIX_VERSION_VERSION_BLOCK_H_
