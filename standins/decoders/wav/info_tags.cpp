#include "info_tags.h"

#include <cstdint>

#include "library/text_convert.h"

namespace {
struct InfoName {
  const char* id;
  const wchar_t* name;
};
constexpr InfoName kInfoNames[] = {
    {"INAM", L"title"},   {"IART", L"artist"},    {"IPRD", L"album"},    {"ITRK", L"track"},
    {"ICMT", L"comment"}, {"IGNR", L"genre"},     {"ICRD", L"date"},     {"ICOP", L"copyright"},
    {"ISFT", L"encoder"}, {"IENG", L"engineer"},  {"ICMP", L"composer"}, {"ISBJ", L"subject"},
    {"IKEY", L"keywords"},
};
// The sub-chunk of tags that have no INFO id of their own.
constexpr char kFreeTagId[] = "ITAG";
constexpr std::size_t kIdSize = 4;
constexpr std::size_t kSubHeaderSize = 8;

std::uint32_t u32(const std::string& s, std::size_t at) {
  const auto* p = reinterpret_cast<const std::uint8_t*>(s.data() + at);
  return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
         (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

void put_u32(std::string& out, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}

std::wstring name_of_id(const std::string& id) {
  for (const auto& n : kInfoNames)
    if (id == n.id) return n.name;
  return utf8_to_wide(id);
}

// An INFO id is four characters: 'I' and three upper-case letters or digits.
bool is_info_id(const std::wstring& name) {
  if (name.size() != kIdSize || name[0] != L'I') return false;
  for (wchar_t c : name)
    if (!((c >= L'A' && c <= L'Z') || (c >= L'0' && c <= L'9'))) return false;
  return true;
}

// The INFO id under which a suite tag name is stored, or empty.
std::string id_of_name(const std::wstring& name) {
  for (const auto& n : kInfoNames)
    if (equals_ascii_nocase(name, n.name)) return n.id;
  if (is_info_id(name)) return wide_to_utf8(name);
  return {};
}

void put_sub_chunk(std::string& out, const std::string& id, const std::string& text) {
  out += id;
  put_u32(out, static_cast<std::uint32_t>(text.size() + 1));
  out += text;
  out.push_back('\0');
  if ((text.size() + 1) & 1) out.push_back('\0');
}
}  // namespace

void append_info_tags(const std::string& list_data, ItemList& tags) {
  std::size_t pos = kIdSize;  // after "INFO"
  while (pos + kSubHeaderSize <= list_data.size()) {
    const std::string id = list_data.substr(pos, kIdSize);
    const std::uint32_t size = u32(list_data, pos + kIdSize);
    if (size > list_data.size() - pos - kSubHeaderSize) break;
    std::string text = list_data.substr(pos + kSubHeaderSize, size);
    text.resize(text.find('\0') == std::string::npos ? text.size() : text.find('\0'));
    if (id == kFreeTagId) {
      const std::size_t eq = text.find('=');
      if (eq != std::string::npos)
        tags.items.push_back({utf8_to_wide(text.substr(0, eq)), utf8_to_wide(text.substr(eq + 1)), {}});
    } else {
      tags.items.push_back({name_of_id(id), utf8_to_wide(text), {}});
    }
    pos += kSubHeaderSize + size + (size & 1u);
  }
}

std::string build_info_list(const ItemList& tags) {
  std::string out = "INFO";
  for (const Item& item : tags.items) {
    const std::string id = id_of_name(item.name);
    if (id.empty())
      put_sub_chunk(out, kFreeTagId, wide_to_utf8(item.name) + "=" + wide_to_utf8(item.value));
    else
      put_sub_chunk(out, id, wide_to_utf8(item.value));
  }
  return out;
}

bool info_tag_matches(const std::wstring& stored_name, const std::wstring& name) {
  return equals_ascii_nocase(stored_name, name) ||
         (!id_of_name(name).empty() && id_of_name(stored_name) == id_of_name(name));
}
