#include "library/item_list.h"

#include "library/text_convert.h"

namespace {
// The smallest item: its own size field.
constexpr std::int32_t kMinItemSize = 4;

std::int32_t read_i32(const std::uint8_t* p) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
                                   (static_cast<std::uint32_t>(p[2]) << 16) |
                                   (static_cast<std::uint32_t>(p[3]) << 24));
}

void put_i32(std::string& out, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}

void put_utf16z(std::string& out, const std::wstring& text) {
  for (wchar_t c : text) {
    const auto u = static_cast<std::uint16_t>(c);
    out.push_back(static_cast<char>(u & 0xFF));
    out.push_back(static_cast<char>(u >> 8));
  }
  out.append(2, '\0');
}

// Reads UTF-16 text up to a NUL unit or the end; `pos` ends after the NUL.
std::wstring take_utf16z(const std::uint8_t* p, std::size_t end, std::size_t& pos) {
  std::size_t stop = pos;
  while (stop + 2 <= end && (p[stop] | p[stop + 1]) != 0) stop += 2;
  std::wstring text((stop - pos) / 2, L'\0');
  for (std::size_t i = 0; i < text.size(); ++i)
    text[i] = static_cast<wchar_t>(p[pos + 2 * i] | (p[pos + 2 * i + 1] << 8));
  pos = stop + 2 <= end ? stop + 2 : end;
  return text;
}
}  // namespace

const Item* ItemList::find(std::wstring_view name) const {
  for (const auto& item : items)
    if (equals_ascii_nocase(item.name, name)) return &item;
  return nullptr;
}

std::wstring ItemList::value_of(std::wstring_view name) const {
  const Item* item = find(name);
  return item ? item->value : std::wstring();
}

ItemList parse_item_block(const std::uint8_t* data, std::size_t length) {
  ItemList list;
  if (data == nullptr || length < 4) return list;
  const std::int32_t count = read_i32(data);
  std::size_t pos = 4;
  while (pos + 4 <= length && static_cast<std::int64_t>(list.items.size()) < count) {
    const std::int32_t size = read_i32(data + pos);
    if (size < kMinItemSize || static_cast<std::uint64_t>(size) > length - pos) break;
    const std::size_t end = pos + static_cast<std::size_t>(size);
    std::size_t at = pos + 4;
    Item item;
    item.name = take_utf16z(data, end, at);
    item.value = take_utf16z(data, end, at);
    item.payload.assign(reinterpret_cast<const char*>(data + at), end - at);
    list.items.push_back(std::move(item));
    pos = end;
  }
  return list;
}

std::string write_item_block(const ItemList& list) {
  std::string out;
  put_i32(out, static_cast<std::uint32_t>(list.items.size()));
  for (const auto& item : list.items) {
    const std::size_t size = item.payload.size() + 2 * (item.name.size() + 1) + 2 * (item.value.size() + 1) + 4;
    put_i32(out, static_cast<std::uint32_t>(size));
    put_utf16z(out, item.name);
    put_utf16z(out, item.value);
    out += item.payload;
  }
  return out;
}
