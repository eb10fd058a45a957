// The item list: tags and technical properties as a list of
// {name, value, payload}, and its serialised form, the item block, in which
// tags travel through the index files, the decoder plug-ins and the undo
// journal.
//
// Item block layout (little-endian):
//   int32 count
//   count x { int32 size (counting these 4 bytes),
//             name  UTF-16, NUL-terminated,
//             value UTF-16, NUL-terminated,
//             payload: the remaining bytes of the item (empty for text) }
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

struct Item {
  std::wstring name;
  std::wstring value;
  std::string payload;
  bool operator==(const Item&) const = default;
};

struct ItemList {
  std::vector<Item> items;

  // The first item whose name equals `name` with ASCII letters folded.
  const Item* find(std::wstring_view name) const;
  // Its value, or empty.
  std::wstring value_of(std::wstring_view name) const;
  bool operator==(const ItemList&) const = default;
};

// Parses an item block. Parsing stops, keeping the items read so far, at the
// end of the block, after `count` items, or at an item whose size is below 4
// (it could not even hold its size) or reaches past the block.
ItemList parse_item_block(const std::uint8_t* data, std::size_t length);
inline ItemList parse_item_block(const std::string& bytes) {
  return parse_item_block(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
}

// Serialises exactly the layout above.
std::string write_item_block(const ItemList& list);
