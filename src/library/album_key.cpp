#include "library/album_key.h"

#include <array>
#include <cstdint>
#include <memory>

#include "library/album_fold_table.h"
#include "library/text_convert.h"

namespace {
// Normalising steps must keep at least this share (in percent) of a text.
constexpr std::size_t kShrinkGuardPercent = 25;

// Artist texts that stand for "no single artist".
constexpr std::wstring_view kNoArtist[] = {L"various", L"va", L"variousartists", L"compilation"};

// Dropped from both sides: spacing and punctuation that spellings disagree on.
constexpr std::wstring_view kPunctuation = L" \"#',./:;\\_`\u00A9\u00AE";

constexpr std::wstring_view kDiscWords[] = {L"disc", L"cd"};

// The fold table as a lookup over every UTF-16 unit (0 = not folded).
const std::array<char16_t, 0x10000>& fold_lookup() {
  static const auto table = [] {
    auto t = std::make_unique<std::array<char16_t, 0x10000>>();
    t->fill(0);
    for (const FoldGroup& group : fold_groups())
      for (char16_t source : group.sources) (*t)[source] = group.target;
    return t;
  }();
  return *table;
}

bool is_ascii_digit(wchar_t c) { return c >= L'0' && c <= L'9'; }
bool is_ascii_alnum(wchar_t c) {
  return is_ascii_digit(c) || (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z');
}

std::wstring fold(std::wstring_view text) {
  std::wstring out;
  out.reserve(text.size());
  for (wchar_t c : text) out.push_back(ascii_lower(fold_character(c)));
  return out;
}

template <class Keep>
std::wstring keep_only(const std::wstring& text, Keep keep) {
  std::wstring out;
  out.reserve(text.size());
  for (wchar_t c : text)
    if (keep(c)) out.push_back(c);
  return out;
}

// One pass over the three bracket pairs; true when it removed anything.
bool remove_brackets_once(std::wstring& text) {
  static constexpr std::pair<wchar_t, wchar_t> kPairs[] = {{L'{', L'}'}, {L'[', L']'}, {L'(', L')'}};
  bool removed = false;
  for (const auto& [open, close] : kPairs) {
    const std::size_t from = text.find(open);
    if (from == std::wstring::npos) continue;
    const std::size_t to = text.find(close, from + 1);
    if (to == std::wstring::npos) continue;
    text.erase(from, to - from + 1);
    removed = true;
  }
  return removed;
}

// The end of a disc number that starts at `at`: digits, and "of", "/" or
// "-" each followed by a digit.
std::size_t disc_number_end(const std::wstring& text, std::size_t at) {
  auto digit_at = [&](std::size_t i) { return i < text.size() && is_ascii_digit(text[i]); };
  for (;;) {
    if (digit_at(at)) {
      ++at;
    } else if (at + 1 < text.size() && ascii_lower(text[at]) == L'o' && ascii_lower(text[at + 1]) == L'f' &&
               digit_at(at + 2)) {
      at += 2;
    } else if (at < text.size() && (text[at] == L'/' || text[at] == L'-') && digit_at(at + 1)) {
      ++at;
    } else {
      return at;
    }
  }
}

// The title's ASCII letters are lower-case by now, so a plain search finds
// the words in any case.
void remove_disc_designations(std::wstring& title) {
  for (std::wstring_view word : kDiscWords) {
    for (wchar_t digit = L'0'; digit <= L'9'; ++digit) {
      const std::wstring pattern = std::wstring(word) + digit;
      const std::size_t at = title.find(pattern);
      if (at == std::wstring::npos) continue;
      title.erase(at, disc_number_end(title, at + word.size()) - at);
    }
  }
}

bool starts_with_nocase(std::wstring_view text, std::wstring_view prefix) {
  return text.size() >= prefix.size() && equals_ascii_nocase(text.substr(0, prefix.size()), prefix);
}
bool ends_with_nocase(std::wstring_view text, std::wstring_view suffix) {
  return text.size() >= suffix.size() && equals_ascii_nocase(text.substr(text.size() - suffix.size()), suffix);
}
}  // namespace

std::wstring first_line_trimmed(std::wstring_view text) {
  text = text.substr(0, text.find(L'\r'));
  text = text.substr(0, text.find(L'\n'));
  const std::size_t first = text.find_first_not_of(L' ');
  if (first == std::wstring_view::npos) return {};
  const std::size_t last = text.find_last_not_of(L' ');
  return std::wstring(text.substr(first, last - first + 1));
}

wchar_t fold_character(wchar_t c) {
  const auto unit = static_cast<std::uint32_t>(c);
  if (unit > 0xFFFF) return c;
  const char16_t target = fold_lookup()[unit];
  return target ? static_cast<wchar_t>(target) : c;
}

std::wstring shrink_guard(std::wstring after, std::wstring before) {
  const std::size_t base = before.size() > 1 ? before.size() : 1;
  return after.size() * 100 / base < kShrinkGuardPercent ? before : after;
}

std::wstring normalise_album_key_part(std::wstring_view album_artist, std::wstring_view album_title) {
  std::wstring artist = fold(first_line_trimmed(album_artist));
  std::wstring title = fold(first_line_trimmed(album_title));

  if (starts_with_nocase(artist, L"the ")) artist.erase(0, 4);
  if (ends_with_nocase(artist, L", the")) artist.erase(artist.size() - 5);
  artist = keep_only(artist, [](wchar_t c) { return c != L'-'; });

  const std::wstring before_brackets = title;
  while (remove_brackets_once(title)) {
  }
  title = shrink_guard(std::move(title), before_brackets);

  auto not_punctuation = [](wchar_t c) { return kPunctuation.find(c) == std::wstring_view::npos; };
  artist = keep_only(artist, not_punctuation);
  title = keep_only(title, not_punctuation);

  const std::wstring before_disc = title;
  remove_disc_designations(title);
  title = shrink_guard(std::move(title), before_disc);

  artist = shrink_guard(keep_only(artist, is_ascii_alnum), artist);
  title = shrink_guard(keep_only(title, is_ascii_alnum), title);

  for (std::wstring_view none : kNoArtist)
    if (artist == none) artist.clear();

  if (!artist.empty() && !title.empty()) return artist + L"-" + title;
  return artist + title;
}

std::wstring make_album_key(std::wstring_view album_artist, std::wstring_view album_title, std::int64_t disc,
                            std::wstring_view folder, std::wstring_view extension) {
  std::wstring key = normalise_album_key_part(album_artist, album_title);
  if (disc != 0) key += L"-disc" + std::to_wstring(disc);
  key.append(L"-").append(folder).append(L"-").append(extension);
  return ascii_lowercase(key);
}
