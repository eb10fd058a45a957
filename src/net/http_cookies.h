// Kx::httpCookieStore: cookies set by replies, sent back with later requests.
// Cookies are kept in arrival order and never expire or replace each other;
// selection lets the later of two same-named cookies win.
#pragma once
#include <cstddef>
#include <map>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

namespace Kx {

// Orders names with ASCII letters folded.
struct lessNoCase {
  bool operator()(const std::string& a, const std::string& b) const;
};

struct httpCookie {
  std::string name;
  std::string value;
  std::map<std::string, std::string, lessNoCase> attributes;  // "Domain", "Path", "Secure", ...
};

// The most cookies a store holds; one more throws list_too_long.
inline constexpr std::size_t kMaxCookies = 4096;

class httpCookieStore {
 public:
  // Stores one "Set-Cookie" value received for `host` and `path`.
  void store(std::string_view setCookie, const std::string& host, const std::string& path);
  // The name -> value pairs to send to `host` and `path` (names ordered with
  // ASCII case folded; a later cookie overwrites an earlier one).
  std::map<std::string, std::string, lessNoCase> select(std::string_view host, std::string_view path,
                                                         bool https) const;
  // "name=value; name=value" of select, empty when nothing matches.
  std::string cookieHeaderValue(std::string_view host, std::string_view path, bool https) const;
  std::size_t size() const;

 private:
  mutable std::mutex lock_;
  std::vector<httpCookie> cookies_;
};

// Parses one "Set-Cookie" value with the defaults of the request.
httpCookie parseSetCookie(std::string_view setCookie, const std::string& host, const std::string& path);

}  // namespace Kx
