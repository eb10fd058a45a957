// URLs of the HTTP engine: parsing into six parts, rebuilding, relative
// resolution of redirect targets and their canonical form.
#pragma once
#include <optional>
#include <string>
#include <string_view>

namespace Kx {

struct parsedUrl {
  std::string scheme;    // lower case
  std::string user;      // unescaped
  std::string password;  // unescaped
  std::string host;
  std::string port;      // decimal text; the scheme's default when the URL has none
  std::string path;      // from the first "/" after the authority, query included
  bool operator==(const parsedUrl&) const = default;
};

// "http" 80, "https" 443, "ftp" 21, "ftpes" 21, "ftps" 990, others 0 (none).
int defaultPort(std::string_view scheme);
// Whether `port` is empty or the scheme's default port.
bool isDefaultPort(std::string_view scheme, std::string_view port);

// Parses `url`; without "://" the URL uses `defaultScheme`, or is invalid
// when that is empty. An empty host is invalid.
std::optional<parsedUrl> parseUrl(std::string_view url, std::string_view defaultScheme = {});
// scheme "://" [user [":" password] "@"] host [":" port unless default] path.
std::string buildUrl(const parsedUrl& url);
// host, then ":" port unless the port is the scheme's default: the key of
// a server (or a proxy in absolute form) in the challenge cache.
std::string hostKey(const parsedUrl& url);

// Resolves a reference without "://" against `base`; a base without "://"
// throws invalid_input.
std::string resolveRelativeUrl(std::string_view base, std::string_view reference);
// The canonical form of a redirect target `url` reached from `base`: the
// credentials of the base when the target is on the same scheme, host and
// port and names no user; its path escaped unless it is already escaped.
std::string canonicalUrl(std::string_view url, std::string_view base);

}  // namespace Kx
