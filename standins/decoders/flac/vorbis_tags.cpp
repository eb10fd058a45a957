#include "vorbis_tags.h"

#include "library/text_convert.h"

namespace {
constexpr wchar_t kTrack[] = L"track";
constexpr wchar_t kDisc[] = L"disc";
constexpr wchar_t kAlbumArtist[] = L"album artist";
constexpr wchar_t kMultiValueSeparator = L'\r';

struct NumberPair {
  const wchar_t* suite_name;
  const wchar_t* number_field;
  const wchar_t* total_fields[2];
};
constexpr NumberPair kNumberPairs[] = {
    {kTrack, L"TRACKNUMBER", {L"TRACKTOTAL", L"TOTALTRACKS"}},
    {kDisc, L"DISCNUMBER", {L"DISCTOTAL", L"TOTALDISCS"}},
};
constexpr const wchar_t* kAlbumArtistFields[] = {L"ALBUMARTIST", L"ALBUM ARTIST"};

struct Field {
  std::wstring name;
  std::wstring value;
};

Field split(const std::string& field) {
  const std::size_t eq = field.find('=');
  if (eq == std::string::npos) return {utf8_to_wide(field), {}};
  return {utf8_to_wide(field.substr(0, eq)), utf8_to_wide(field.substr(eq + 1))};
}

const NumberPair* pair_of_number(const std::wstring& name) {
  for (const auto& p : kNumberPairs)
    if (equals_ascii_nocase(name, p.number_field)) return &p;
  return nullptr;
}

const NumberPair* pair_of_total(const std::wstring& name) {
  for (const auto& p : kNumberPairs)
    for (const wchar_t* t : p.total_fields)
      if (equals_ascii_nocase(name, t)) return &p;
  return nullptr;
}

bool is_album_artist(const std::wstring& name) {
  for (const wchar_t* f : kAlbumArtistFields)
    if (equals_ascii_nocase(name, f)) return true;
  return false;
}

// The suite's name for a field name.
std::wstring suite_name(const std::wstring& field_name) {
  if (const NumberPair* p = pair_of_number(field_name)) return p->suite_name;
  if (const NumberPair* p = pair_of_total(field_name)) return p->suite_name;
  if (is_album_artist(field_name)) return kAlbumArtist;
  return field_name;
}

std::wstring first_total(const std::vector<Field>& fields, const NumberPair& pair) {
  for (const Field& f : fields)
    if (pair_of_total(f.name) == &pair) return f.value;
  return {};
}

bool has_number(const std::vector<Field>& fields, const NumberPair& pair) {
  for (const Field& f : fields)
    if (pair_of_number(f.name) == &pair) return true;
  return false;
}

void add_value(ItemList& list, const std::wstring& name, const std::wstring& value) {
  for (Item& item : list.items) {
    if (equals_ascii_nocase(item.name, name)) {
      item.value += kMultiValueSeparator;
      item.value += value;
      return;
    }
  }
  list.items.push_back({name, value, {}});
}

std::string field_text(const std::wstring& name, const std::wstring& value) {
  return wide_to_utf8(name) + "=" + wide_to_utf8(value);
}

std::wstring upper_ascii(std::wstring text) {
  for (wchar_t& c : text)
    if (c >= L'a' && c <= L'z') c = static_cast<wchar_t>(c - L'a' + L'A');
  return text;
}
}  // namespace

ItemList vorbis_fields_to_items(const std::vector<std::string>& raw) {
  std::vector<Field> fields;
  for (const std::string& r : raw) fields.push_back(split(r));
  ItemList list;
  for (const Field& f : fields) {
    if (const NumberPair* p = pair_of_number(f.name)) {
      const std::wstring total = first_total(fields, *p);
      const bool joined = !total.empty() && f.value.find(L'/') == std::wstring::npos;
      add_value(list, p->suite_name, joined ? f.value + L"/" + total : f.value);
    } else if (const NumberPair* t = pair_of_total(f.name)) {
      // A total travels inside "n/total"; alone it keeps its own name.
      if (!has_number(fields, *t)) add_value(list, f.name, f.value);
    } else if (is_album_artist(f.name)) {
      add_value(list, kAlbumArtist, f.value);
    } else {
      add_value(list, f.name, f.value);
    }
  }
  return list;
}

std::vector<std::string> item_to_vorbis_fields(const Item& item) {
  std::vector<std::string> out;
  std::vector<std::wstring> values;
  for (std::size_t start = 0;;) {
    const std::size_t cr = item.value.find(kMultiValueSeparator, start);
    values.push_back(item.value.substr(start, cr == std::wstring::npos ? std::wstring::npos : cr - start));
    if (cr == std::wstring::npos) break;
    start = cr + 1;
  }
  for (const auto& p : kNumberPairs) {
    if (!equals_ascii_nocase(item.name, p.suite_name)) continue;
    std::wstring totals;
    for (const std::wstring& v : values) {
      const std::size_t slash = v.find(L'/');
      out.push_back(field_text(p.number_field, v.substr(0, slash)));
      if (slash != std::wstring::npos && totals.empty()) totals = v.substr(slash + 1);
    }
    if (!totals.empty()) out.push_back(field_text(p.total_fields[0], totals));
    return out;
  }
  const std::wstring name = is_album_artist(item.name) || equals_ascii_nocase(item.name, kAlbumArtist)
                                ? std::wstring(kAlbumArtistFields[0])
                                : upper_ascii(item.name);
  for (const std::wstring& v : values) out.push_back(field_text(name, v));
  return out;
}

bool vorbis_field_belongs_to(const std::string& field, const std::wstring& name) {
  const std::wstring stored = split(field).name;
  return equals_ascii_nocase(suite_name(stored), suite_name(name));
}

bool valid_vorbis_name(const std::wstring& name) {
  for (wchar_t c : name)
    if (c < 0x20 || c > 0x7D || c == L'=') return false;
  return true;
}
