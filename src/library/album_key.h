// The album key: the normalised text under which the grouping puts tracks
// together, so that different spellings of one album (accents, a leading or
// trailing article, punctuation, disc suffixes, bracketed remarks) meet
// while different folders and file types stay apart.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

// The text up to the first CR, then up to the first LF, with spaces trimmed
// at both ends: the form in which tags are shown and compared.
std::wstring first_line_trimmed(std::wstring_view text);

// The fold table's ASCII letter or underscore for `c`; `c` itself when the
// table does not hold it.
wchar_t fold_character(wchar_t c);

// `after` when it kept at least a quarter of `before`'s length, otherwise
// `before`: a normalising step may not wipe out a text.
std::wstring shrink_guard(std::wstring after, std::wstring before);

// "artist-album" from the album artist and album title tags (either side
// may come out empty, and then goes without the hyphen).
std::wstring normalise_album_key_part(std::wstring_view album_artist, std::wstring_view album_title);

// normalise_album_key_part, "-disc%d" when `disc` is not 0, "-" folder
// ("" when albums are not defined by folder), "-" extension; ASCII letters
// lower-cased.
std::wstring make_album_key(std::wstring_view album_artist, std::wstring_view album_title, std::int64_t disc,
                            std::wstring_view folder, std::wstring_view extension);
