// The three escapings of URL text and their inverses. Every function works
// on bytes (UTF-8 text); ASCII letters and digits are always kept.
#pragma once
#include <string>
#include <string_view>

namespace Kx {

// Extra safe characters of user and password, and of paths.
inline constexpr std::string_view kUserInfoSafe = "-_.~";
inline constexpr std::string_view kPathSafe = "_-!.~'()*/";

// A request URL as given: spaces and bytes >= 0x80 become "%xx" (lower case).
std::string escapeRequestUrl(std::string_view url);
// Letters, digits and `safe` stay; every other byte becomes "%XX".
std::string escapeComponent(std::string_view text, std::string_view safe);
// Form values: space becomes "+", letters, digits and "-._~" stay, the rest "%XX".
std::string escapeFormValue(std::string_view text);
// "%" and two hexadecimal digits become that byte; a "%" without them, or
// one that would give byte 0, stays a literal "%".
std::string unescapeComponent(std::string_view text);
// As unescapeComponent, and "+" becomes a space; a "%" without two
// hexadecimal digits throws invalid_input.
std::string formUnescape(std::string_view text);

}  // namespace Kx
