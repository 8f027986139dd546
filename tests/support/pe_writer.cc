#include "support/pe_writer.h"

#include <fstream>
#include <iterator>
#include <stdexcept>

namespace brevak::testing {
namespace {

// One node of a version block: key, value (text or binary) and children.
struct Node {
  explicit Node(std::u16string node_key, bool text_node = true)
      : key(std::move(node_key)), is_text(text_node) {}

  std::u16string key;
  bool is_text = true;
  std::optional<std::u16string> text;  // stored with its NUL
  std::vector<uint8_t> binary;
  std::vector<Node> children;
};

void Append16(std::vector<uint8_t>& out, uint16_t value) {
  out.push_back(static_cast<uint8_t>(value));
  out.push_back(static_cast<uint8_t>(value >> 8));
}

void Append32(std::vector<uint8_t>& out, uint32_t value) {
  Append16(out, static_cast<uint16_t>(value));
  Append16(out, static_cast<uint16_t>(value >> 16));
}

void PadTo4(std::vector<uint8_t>& out) {
  while (out.size() % 4 != 0) out.push_back(0);
}

// A node's wLength ends with its last byte of content; its next sibling
// starts on the following 32-bit boundary.
void AppendNode(std::vector<uint8_t>& out, const Node& node) {
  const size_t start = out.size();
  Append16(out, 0);  // wLength, set below
  Append16(out, node.text ? static_cast<uint16_t>(node.text->size() + 1)
                          : static_cast<uint16_t>(node.binary.size()));
  Append16(out, node.is_text ? 1 : 0);
  for (char16_t c : node.key) Append16(out, c);
  Append16(out, 0);
  PadTo4(out);
  if (node.text) {
    for (char16_t c : *node.text) Append16(out, c);
    Append16(out, 0);
  } else {
    out.insert(out.end(), node.binary.begin(), node.binary.end());
  }
  for (const Node& child : node.children) {
    PadTo4(out);
    AppendNode(out, child);
  }
  PutU16(out, start, static_cast<uint16_t>(out.size() - start));
}

std::vector<uint8_t> FixedFileInfo(const VersionResource& resource) {
  std::vector<uint8_t> info;
  const auto& f = resource.file_version;
  const auto& p = resource.product_version;
  for (uint32_t value : {0xFEEF04BDu, 0x00010000u, uint32_t{f[0]} << 16 | f[1],
                         uint32_t{f[2]} << 16 | f[3], uint32_t{p[0]} << 16 | p[1],
                         uint32_t{p[2]} << 16 | p[3], 0x3Fu, 0u, 0x40004u, 1u, 0u, 0u, 0u}) {
    Append32(info, value);
  }
  return info;
}

Node StringFileInfo(const VersionResource& resource) {
  Node string_file_info(u"StringFileInfo");
  for (const VersionStringTable& table : resource.string_tables) {
    Node table_node(table.key);
    for (const auto& [name, text] : table.values) {
      Node value(name);
      value.text = text;
      table_node.children.push_back(value);
    }
    string_file_info.children.push_back(table_node);
  }
  return string_file_info;
}

Node VarFileInfo(const std::vector<std::pair<uint16_t, uint16_t>>& translations) {
  Node translation(u"Translation", false);
  for (const auto& [language, code_page] : translations) {
    Append16(translation.binary, language);
    Append16(translation.binary, code_page);
  }
  Node var_file_info(u"VarFileInfo");
  var_file_info.children.push_back(translation);
  return var_file_info;
}

// The resource tree: RT_VERSION -> 1 -> language -> data entry -> block, at
// the offsets PeLayout names.
std::vector<uint8_t> ResourceSection(const std::vector<uint8_t>& block, uint16_t language) {
  std::vector<uint8_t> section(PeLayout::kBlock, 0);
  const struct { size_t directory; uint32_t id; uint32_t target; } levels[] = {
      {PeLayout::kTypeDirectory, 16, 0x80000000u | PeLayout::kNameDirectory},
      {PeLayout::kNameDirectory, 1, 0x80000000u | PeLayout::kLanguageDirectory},
      {PeLayout::kLanguageDirectory, language, PeLayout::kDataEntry},
  };
  for (const auto& level : levels) {
    PutU16(section, level.directory + 14, 1);  // one entry with a numeric id
    PutU32(section, level.directory + 16, level.id);
    PutU32(section, level.directory + 20, level.target);
  }
  PutU32(section, PeLayout::kDataEntry, PeLayout::kResourceRva + PeLayout::kBlock);
  PutU32(section, PeLayout::kDataEntry + 4, static_cast<uint32_t>(block.size()));
  section.insert(section.end(), block.begin(), block.end());
  return section;
}

// DOS header, NT headers and the section table, padded to the first
// section's file offset.
std::vector<uint8_t> Headers(PeFormat format, size_t resource_size) {
  const bool plus = format == PeFormat::kPe32Plus;
  const size_t optional_size = plus ? 240 : 224;
  const size_t optional = PeLayout::kNtHeadersOffset + 24;
  std::vector<uint8_t> image(PeLayout::kResourceFileOffset, 0);
  image[0] = 'M';
  image[1] = 'Z';
  PutU32(image, 0x3C, PeLayout::kNtHeadersOffset);
  image[PeLayout::kNtHeadersOffset] = 'P';
  image[PeLayout::kNtHeadersOffset + 1] = 'E';
  PutU16(image, PeLayout::kNtHeadersOffset + 4, plus ? 0x8664 : 0x014C);
  PutU16(image, PeLayout::kNtHeadersOffset + 6, resource_size != 0 ? 1 : 0);
  PutU16(image, PeLayout::kNtHeadersOffset + 20, static_cast<uint16_t>(optional_size));
  PutU16(image, PeLayout::kNtHeadersOffset + 22, plus ? 0x0022 : 0x0102);
  PutU16(image, optional, plus ? 0x20B : 0x10B);
  PutU32(image, optional + 32, 0x1000);  // SectionAlignment
  PutU32(image, optional + 36, 0x200);   // FileAlignment
  PutU16(image, optional + 48, 4);       // MajorSubsystemVersion
  PutU32(image, optional + 56, 0x2000);  // SizeOfImage
  PutU32(image, optional + 60, PeLayout::kResourceFileOffset);  // SizeOfHeaders
  PutU16(image, optional + 68, 2);       // Subsystem: Windows GUI
  const size_t directories = optional + (plus ? 112 : 96);
  PutU32(image, directories - 4, 16);  // NumberOfRvaAndSizes
  if (resource_size == 0) return image;
  PutU32(image, directories + 2 * 8, PeLayout::kResourceRva);
  PutU32(image, directories + 2 * 8 + 4, static_cast<uint32_t>(resource_size));
  const size_t section = optional + optional_size;
  const char name[8] = {'.', 'r', 's', 'r', 'c'};
  std::copy(std::begin(name), std::end(name), image.begin() + static_cast<ptrdiff_t>(section));
  PutU32(image, section + 8, static_cast<uint32_t>(resource_size));  // VirtualSize
  PutU32(image, section + 12, PeLayout::kResourceRva);
  PutU32(image, section + 16, static_cast<uint32_t>((resource_size + 0x1FF) & ~size_t{0x1FF}));
  PutU32(image, section + 20, PeLayout::kResourceFileOffset);
  PutU32(image, section + 36, 0x40000040);  // initialized data, readable
  return image;
}

}  // namespace

void PutU16(std::vector<uint8_t>& bytes, size_t offset, uint16_t value) {
  bytes.at(offset) = static_cast<uint8_t>(value);
  bytes.at(offset + 1) = static_cast<uint8_t>(value >> 8);
}

void PutU32(std::vector<uint8_t>& bytes, size_t offset, uint32_t value) {
  PutU16(bytes, offset, static_cast<uint16_t>(value));
  PutU16(bytes, offset + 2, static_cast<uint16_t>(value >> 16));
}

std::vector<uint8_t> BuildVersionBlock(const VersionResource& resource) {
  Node root(u"VS_VERSION_INFO", false);
  root.binary = FixedFileInfo(resource);
  if (!resource.string_tables.empty()) root.children.push_back(StringFileInfo(resource));
  if (resource.translations) root.children.push_back(VarFileInfo(*resource.translations));
  std::vector<uint8_t> block;
  AppendNode(block, root);
  return block;
}

std::vector<uint8_t> BuildPe(PeFormat format, const std::optional<std::vector<uint8_t>>& block,
                             uint16_t language) {
  if (!block) return Headers(format, 0);
  const std::vector<uint8_t> section = ResourceSection(*block, language);
  std::vector<uint8_t> image = Headers(format, section.size());
  image.insert(image.end(), section.begin(), section.end());
  image.resize((image.size() + 0x1FF) & ~size_t{0x1FF}, 0);
  return image;
}

void WriteBinaryFile(const std::filesystem::path& path, const std::vector<uint8_t>& bytes) {
  if (path.has_parent_path()) std::filesystem::create_directories(path.parent_path());
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + path.string());
}

std::vector<uint8_t> ReadBinaryFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + path.string());
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace brevak::testing
