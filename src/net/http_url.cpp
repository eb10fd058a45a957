#include "net/http_url.h"

#include "net/net_errors.h"
#include "net/url_escape.h"

namespace Kx {
namespace {
constexpr std::string_view kSchemeSeparator = "://";

std::string lowerAscii(std::string_view text) {
  std::string out(text);
  for (char& c : out)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return out;
}

bool isSeparator(char c) { return c == '/' || c == '\\'; }

// The path of a base URL with its last segment removed, the separator
// before it kept.
void removeLastSegment(std::string& path) {
  std::size_t end = path.size();
  while (end > 0 && isSeparator(path[end - 1])) --end;
  while (end > 0 && !isSeparator(path[end - 1])) --end;
  path.resize(end);
}
}  // namespace

int defaultPort(std::string_view scheme) {
  if (scheme == "http") return 80;
  if (scheme == "https") return 443;
  if (scheme == "ftp" || scheme == "ftpes") return 21;
  if (scheme == "ftps") return 990;
  return 0;
}

bool isDefaultPort(std::string_view scheme, std::string_view port) {
  const int standard = defaultPort(scheme);
  return port.empty() || (standard != 0 && port == std::to_string(standard));
}

std::optional<parsedUrl> parseUrl(std::string_view url, std::string_view defaultScheme) {
  parsedUrl out;
  std::string_view rest;
  const std::size_t separator = url.find(kSchemeSeparator);
  if (separator != std::string_view::npos) {
    out.scheme = lowerAscii(url.substr(0, separator));
    rest = url.substr(separator + kSchemeSeparator.size());
  } else {
    if (defaultScheme.empty()) return std::nullopt;
    out.scheme = lowerAscii(defaultScheme);
    rest = url;
  }
  const std::size_t slash = rest.find('/');
  std::string_view authority = rest.substr(0, slash);
  out.path = slash == std::string_view::npos ? std::string("/") : std::string(rest.substr(slash));

  const std::size_t at = authority.rfind('@');
  if (at != std::string_view::npos) {
    const std::string_view userInfo = authority.substr(0, at);
    const std::size_t colon = userInfo.find(':');
    out.user = unescapeComponent(userInfo.substr(0, colon));
    if (colon != std::string_view::npos) out.password = unescapeComponent(userInfo.substr(colon + 1));
    authority = authority.substr(at + 1);
  }
  const std::size_t colon = authority.rfind(':');
  if (colon != std::string_view::npos) {
    out.host = std::string(authority.substr(0, colon));
    out.port = std::string(authority.substr(colon + 1));
  } else {
    out.host = std::string(authority);
    const int standard = defaultPort(out.scheme);
    if (standard != 0) out.port = std::to_string(standard);
  }
  if (out.host.empty()) return std::nullopt;
  return out;
}

std::string buildUrl(const parsedUrl& url) {
  std::string out = url.scheme + std::string(kSchemeSeparator);
  if (!url.user.empty()) {
    out += escapeComponent(url.user, kUserInfoSafe);
    if (!url.password.empty()) out += ":" + escapeComponent(url.password, kUserInfoSafe);
    out += "@";
  }
  out += hostKey(url);
  out += url.path;
  return out;
}

std::string hostKey(const parsedUrl& url) {
  if (isDefaultPort(url.scheme, url.port)) return url.host;
  return url.host + ":" + url.port;
}

std::string resolveRelativeUrl(std::string_view base, std::string_view reference) {
  const std::size_t separator = base.find(kSchemeSeparator);
  if (separator == std::string_view::npos) throw invalid_input();
  const std::size_t firstSlash = base.find('/', separator + kSchemeSeparator.size());
  if (firstSlash == std::string_view::npos) {
    std::string out(base);
    if (reference.empty() || reference.front() != '/') out += '/';
    return out + std::string(reference);
  }
  if (!reference.empty() && reference.front() == '/')
    return std::string(base.substr(0, firstSlash)) + std::string(reference);

  std::string path(base.substr(firstSlash + 1));
  path = path.substr(0, path.find('?'));
  const bool queryOnly = !reference.empty() && reference.front() == '?';
  // The reference is relative to the folder of the base's document, so its
  // last segment goes before any "../" climbs.
  if (!queryOnly) path.resize(path.find_last_of('/') == std::string::npos ? 0 : path.find_last_of('/') + 1);
  while (reference.substr(0, 2) == "./") reference.remove_prefix(2);
  // A "../" above the root has nothing left to climb and is dropped.
  while (reference.substr(0, 3) == "../") {
    removeLastSegment(path);
    reference.remove_prefix(3);
  }
  std::string out = std::string(base.substr(0, firstSlash + 1)) + path;
  if (!queryOnly && out.back() != '/') out += '/';
  return out + std::string(reference);
}

std::string canonicalUrl(std::string_view url, std::string_view base) {
  std::optional<parsedUrl> target = parseUrl(url);
  const std::optional<parsedUrl> from = parseUrl(base);
  if (!target || !from) return std::string(url);
  bool changed = false;
  if (target->user.empty() && target->scheme == from->scheme && target->host == from->host &&
      target->port == from->port && !from->user.empty()) {
    target->user = from->user;
    target->password = from->password;
    changed = true;
  }
  const std::size_t question = target->path.find('?');
  const std::string path = target->path.substr(0, question);
  const std::string query = question == std::string::npos ? std::string() : target->path.substr(question);

  bool alreadyEscaped = false;
  if (path.find(' ') == std::string::npos) {
    try {
      alreadyEscaped = formUnescape(path) != path;
    } catch (const invalid_input&) {
      // A stray "%" shows a path that was never escaped.
    }
  }
  if (!alreadyEscaped) {
    const std::string escaped = escapeComponent(path, kPathSafe);
    if (escaped != path) {
      target->path = escaped + query;
      changed = true;
    }
  }
  return changed ? buildUrl(*target) : std::string(url);
}

}  // namespace Kx
