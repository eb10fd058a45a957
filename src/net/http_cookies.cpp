#include "net/http_cookies.h"

#include "net/http_errors.h"
#include "net/http_head.h"

namespace Kx {
namespace {
char lowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

std::string_view trimControl(std::string_view text) {
  while (!text.empty() && static_cast<unsigned char>(text.front()) <= 32) text.remove_prefix(1);
  while (!text.empty() && static_cast<unsigned char>(text.back()) <= 32) text.remove_suffix(1);
  return text;
}

bool domainMatches(std::string_view domain, std::string_view host) {
  if (!domain.empty() && domain.front() == '.')
    return host.size() >= domain.size() && equalsNoCase(host.substr(host.size() - domain.size()), domain);
  return equalsNoCase(domain, host);
}

bool pathMatches(std::string_view cookiePath, std::string_view path) {
  if (!cookiePath.empty() && cookiePath.back() == '/') return path.substr(0, cookiePath.size()) == cookiePath;
  if (path.substr(0, cookiePath.size()) != cookiePath) return false;
  return path.size() == cookiePath.size() || path[cookiePath.size()] == '/';
}
}  // namespace

bool lessNoCase::operator()(const std::string& a, const std::string& b) const {
  const std::size_t n = a.size() < b.size() ? a.size() : b.size();
  for (std::size_t i = 0; i < n; ++i) {
    const char x = lowerAscii(a[i]);
    const char y = lowerAscii(b[i]);
    if (x != y) return static_cast<unsigned char>(x) < static_cast<unsigned char>(y);
  }
  return a.size() < b.size();
}

httpCookie parseSetCookie(std::string_view setCookie, const std::string& host, const std::string& path) {
  httpCookie cookie;
  cookie.attributes["Domain"] = host;
  cookie.attributes["Path"] = path;
  bool first = true;
  std::size_t start = 0;
  while (start <= setCookie.size()) {
    std::size_t end = setCookie.find(';', start);
    if (end == std::string_view::npos) end = setCookie.size();
    const std::string_view part = trimControl(setCookie.substr(start, end - start));
    start = end + 1;
    if (part.empty()) continue;
    const std::size_t equals = part.find('=');
    const std::string key(part.substr(0, equals));
    const std::string value = equals == std::string_view::npos ? std::string() : std::string(part.substr(equals + 1));
    if (first) {
      cookie.name = key;
      cookie.value = value;
      first = false;
    } else {
      cookie.attributes[key] = value;
    }
  }
  return cookie;
}

void httpCookieStore::store(std::string_view setCookie, const std::string& host, const std::string& path) {
  httpCookie cookie = parseSetCookie(setCookie, host, path);
  std::lock_guard<std::mutex> guard(lock_);
  if (cookies_.size() == kMaxCookies) throw list_too_long();
  cookies_.push_back(std::move(cookie));
}

std::map<std::string, std::string, lessNoCase> httpCookieStore::select(std::string_view host, std::string_view path,
                                                                       bool https) const {
  std::map<std::string, std::string, lessNoCase> pairs;
  std::lock_guard<std::mutex> guard(lock_);
  for (const httpCookie& cookie : cookies_) {
    if (!https && cookie.attributes.count("Secure") != 0) continue;
    const auto domain = cookie.attributes.find("Domain");
    const auto cookiePath = cookie.attributes.find("Path");
    if (!domainMatches(domain->second, host) || !pathMatches(cookiePath->second, path)) continue;
    pairs.erase(cookie.name);
    pairs.emplace(cookie.name, cookie.value);
  }
  return pairs;
}

std::string httpCookieStore::cookieHeaderValue(std::string_view host, std::string_view path, bool https) const {
  std::string out;
  for (const auto& [name, value] : select(host, path, https)) {
    if (!out.empty()) out += "; ";
    out += name + "=" + value;
  }
  return out;
}

std::size_t httpCookieStore::size() const {
  std::lock_guard<std::mutex> guard(lock_);
  return cookies_.size();
}

}  // namespace Kx
