#include "platform/posix/version/version_block.h"

#include <algorithm>

namespace brevak::posix {
namespace {

constexpr size_t kHeaderSize = 6;  // wLength, wValueLength, wType

size_t Align4(size_t offset) { return (offset + 3) & ~size_t{3}; }

char16_t Unit(std::span<const uint8_t> block, size_t offset) {
  return static_cast<char16_t>(block[offset] | block[offset + 1] << 8);
}

char16_t FoldAscii(char16_t c) { return (c >= u'A' && c <= u'Z') ? c + (u'a' - u'A') : c; }

// One node of the tree, its parts checked to lie inside the limit it was
// parsed against.
struct Node {
  size_t key_offset = 0;
  size_t key_units = 0;
  size_t end = 0;       // one past the node's last byte
  size_t children = 0;  // where the first child would start
  BlockValue value;
};

std::optional<Node> ParseNode(std::span<const uint8_t> block, size_t offset, size_t limit) {
  if (offset > limit || limit - offset < kHeaderSize) return std::nullopt;
  const size_t length = Unit(block, offset);
  if (length < kHeaderSize || length > limit - offset) return std::nullopt;
  Node node;
  node.end = offset + length;
  node.key_offset = offset + kHeaderSize;
  size_t at = node.key_offset;
  while (at + 2 <= node.end && Unit(block, at) != u'\0') at += 2;
  if (at + 2 > node.end) return std::nullopt;  // the key has no NUL
  node.key_units = (at - node.key_offset) / 2;
  node.value.is_text = Unit(block, offset + 4) == 1;
  node.value.length = Unit(block, offset + 2);
  node.value.offset = std::min(Align4(at + 2), node.end);
  const size_t bytes = node.value.is_text ? node.value.length * 2 : node.value.length;
  node.value.size = std::min(bytes, node.end - node.value.offset);
  node.children = Align4(node.value.offset + bytes);
  return node;
}

bool KeyEquals(std::span<const uint8_t> block, const Node& node, std::u16string_view key) {
  if (node.key_units != key.size()) return false;
  for (size_t i = 0; i < key.size(); ++i) {
    if (FoldAscii(Unit(block, node.key_offset + 2 * i)) != FoldAscii(key[i])) return false;
  }
  return true;
}

// The child of `parent` whose key is `key`. Children follow each other on
// 32-bit boundaries; each is at least a header long, so the walk ends.
std::optional<Node> FindChild(std::span<const uint8_t> block, const Node& parent, std::u16string_view key) {
  for (size_t at = parent.children; at < parent.end; ) {
    const std::optional<Node> child = ParseNode(block, at, parent.end);
    if (!child) return std::nullopt;
    if (KeyEquals(block, *child, key)) return child;
    at = Align4(child->end);
  }
  return std::nullopt;
}

}  // namespace

std::optional<BlockValue> FindBlockValue(std::span<const uint8_t> block, std::u16string_view path) {
  std::optional<Node> node = ParseNode(block, 0, block.size());
  size_t start = 0;
  while (node && start < path.size()) {
    const size_t slash = std::min(path.find(u'\\', start), path.size());
    if (slash > start) node = FindChild(block, *node, path.substr(start, slash - start));
    start = slash + 1;
  }
  if (!node) return std::nullopt;
  return node->value;
}

std::u16string BlockTextUnits(std::span<const uint8_t> block, const BlockValue& value) {
  std::u16string units;
  if (value.offset > block.size()) return units;
  const size_t size = std::min(value.size, block.size() - value.offset);
  for (size_t at = value.offset; at + 2 <= value.offset + size; at += 2) {
    units.push_back(Unit(block, at));
    if (units.back() == u'\0') break;
  }
  return units;
}

}  // namespace brevak::posix
