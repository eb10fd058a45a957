#include "net/http_request.h"

#include <objbase.h>

#include <algorithm>
#include <optional>
#include <stdexcept>

#include "net/abort_signal.h"
#include "net/challenge_cache.h"
#include "net/http_auth.h"
#include "net/http_head.h"
#include "net/http_url.h"
#include "net/url_escape.h"

namespace Kx {
namespace {
constexpr double kConnectionTimeoutSeconds = 60.0;
// Form data of at least this many bytes goes as multipart.
constexpr std::size_t kMultipartThreshold = 16384;
// The first buffer of readAll, doubled as the body grows.
constexpr std::size_t kReadAllStart = 1024;
constexpr std::string_view kCrLf = "\r\n";

// The connection as a byte source for the head and chunk parsers.
class streamSource : public byteSource {
 public:
  explicit streamSource(streamIn& stream) : stream_(stream) {}
  std::size_t readSome(void* buffer, std::size_t length) override {
    const std::ptrdiff_t n = stream_.readSome(buffer, length);
    if (n < 0) throw network_error();
    return static_cast<std::size_t>(n);
  }

 private:
  streamIn& stream_;
};

bool sendsBody(const std::string& method) { return method == "POST" || method == "NOTIFY" || method == "PUT"; }

bool isRedirect(int code) { return code == 301 || code == 302 || code == 303 || code == 307 || code == 308; }

std::string credentialsOf(const parsedUrl& url) {
  return url.password.empty() ? url.user : url.user + ":" + url.password;
}

std::string pathWithoutQuery(const std::string& path) { return path.substr(0, path.find('?')); }

// Drops every line of `headers` that starts with "Connection:" (any case).
std::string withoutConnectionLines(const std::string& headers) {
  std::string kept;
  std::size_t start = 0;
  while (start < headers.size()) {
    std::size_t end = headers.find(kCrLf, start);
    end = end == std::string::npos ? headers.size() : end + kCrLf.size();
    const std::string_view line = std::string_view(headers).substr(start, end - start);
    if (!startsWithNoCase(line, "Connection:")) kept += line;
    start = end;
  }
  return kept;
}

bool hasHeader(const std::string& headers, std::string_view name) {
  return !headerValues(headers, name).empty();
}

void writeAll(netStreamBase& stream, std::string_view bytes) { stream.write(bytes.data(), bytes.size()); }

bool writeUntilReplyAll(netStreamBase& stream, std::string_view bytes) {
  return stream.writeUntilReply(bytes.data(), bytes.size()) == bytes.size();
}
}  // namespace

std::string freshGuidHex() {
  GUID guid;
  if (FAILED(CoCreateGuid(&guid))) throw std::runtime_error("CoCreateGuid failure");
  static constexpr char kDigits[] = "0123456789abcdef";
  const auto* bytes = reinterpret_cast<const unsigned char*>(&guid);
  std::string hex;
  for (std::size_t i = 0; i < sizeof guid; ++i) {
    hex += kDigits[bytes[i] >> 4];
    hex += kDigits[bytes[i] & 0x0F];
  }
  return hex;
}

httpRequest::httpRequest() { connection_.setTimeout(kConnectionTimeoutSeconds); }

httpRequest::~httpRequest() {
  try {
    reset();
  } catch (...) {
    // Nothing can be reported from a destructor.
  }
}

void httpRequest::addHeader(const std::string& line) {
  if (line.find_first_of("\r\n") != std::string::npos) throw std::invalid_argument("invalid HTTP header");
  extraHeaders_ += line;
  extraHeaders_ += kCrLf;
}

void httpRequest::addRawHeaders(const std::string& text) {
  if (text.empty()) return;
  extraHeaders_ += text;
  if (text.size() < 2 || text.compare(text.size() - 2, 2, kCrLf) != 0) extraHeaders_ += kCrLf;
}

void httpRequest::setBody(std::string bytes, std::string contentType) {
  body_ = std::move(bytes);
  bodyType_ = std::move(contentType);
}

std::string httpRequest::responseHeader(const std::string& name) const { return headerValue(replyHeaders_, name); }

std::vector<std::string> httpRequest::responseHeaders(const std::string& name) const {
  return headerValues(replyHeaders_, name);
}

void httpRequest::reset() {
  connected_ = false;
  reusable_ = false;
  connectedHost_.clear();
  connectedPort_.clear();
  connectedProxy_.clear();
  connection_.close();
}

bool httpRequest::connectionReusable() {
  if (!connected_ || !reusable_ || !connection_.isOpen()) return false;
  const bool bodyDone = chunked_ ? chunks_.lastChunkSeen() : remaining_ == 0;
  if (!bodyDone) return false;
  try {
    connection_.checkError();
  } catch (const std::exception&) {
    return false;
  }
  return true;
}

void httpRequest::clearReply() {
  chunked_ = false;
  chunks_ = chunkedReader();
  replyHeaders_.clear();
  statusLine_.clear();
  statusCode_ = 0;
  remaining_ = -1;
}

void httpRequest::openConnection(const std::string& host, const std::string& port, bool tls, bool reuse) {
  if (reuse && host == connectedHost_ && port == connectedPort_ && tls == connectedTls_ &&
      connection_.proxyUrl() == connectedProxy_)
    return;
  const std::string proxy = connection_.proxyUrl();
  reset();
  connection_.connect(host, port, tls ? kConnectTls : kConnectPlainDirect);
  connected_ = true;
  connectedHost_ = host;
  connectedPort_ = port;
  connectedTls_ = tls;
  connectedProxy_ = proxy;
}

bool httpRequest::sendWithBody(std::string head) {
  if (!body_.empty()) {
    head += "Content-Length: " + std::to_string(body_.size()) + std::string(kCrLf);
    if (!bodyType_.empty()) head += "Content-Type: " + bodyType_ + std::string(kCrLf);
    head += kCrLf;
    return writeUntilReplyAll(connection_, head + body_);
  }
  return sendForm(std::move(head));
}

bool httpRequest::sendForm(std::string head) {
  std::size_t total = 0;
  bool multipart = false;
  for (const formPart& part : formParts) {
    total += part.data.size();
    if (!part.fileName.empty() || !part.contentType.empty()) multipart = true;
  }
  if (total >= kMultipartThreshold) multipart = true;

  std::string body;
  if (!multipart) {
    head += "Content-Type: application/x-www-form-urlencoded\r\n";
    for (const formPart& part : formParts) {
      if (!body.empty()) body += '&';
      body += part.name + "=" + escapeFormValue(part.data);
    }
    head += "Content-Length: " + std::to_string(body.size()) + "\r\n\r\n";
    writeAll(connection_, head);
    const bool bodySent = writeUntilReplyAll(connection_, body);
    // The CRLF after the body is not counted by Content-Length.
    return writeUntilReplyAll(connection_, kCrLf) && bodySent;
  }
  const std::string boundary = freshGuidHex();
  head += "Content-Type: multipart/form-data; boundary=" + boundary + "\r\n";
  for (const formPart& part : formParts) {
    body += "--" + boundary + "\r\nContent-Disposition: form-data; name=\"" + part.name + "\"";
    if (!part.fileName.empty()) body += "; filename=\"" + part.fileName + "\"";
    body += "\r\nContent-Length: " + std::to_string(part.data.size()) + "\r\n";
    if (!part.contentType.empty()) body += "Content-Type: " + part.contentType + "\r\n";
    body += "\r\n" + part.data + "\r\n";
  }
  body += "--" + boundary + "--\r\n";
  head += "Content-Length: " + std::to_string(body.size()) + "\r\n\r\n";
  writeAll(connection_, head);
  return writeUntilReplyAll(connection_, body);
}

void httpRequest::perform(const std::string& requestUrl, const std::string& method, std::int64_t rangeStart,
                          std::int64_t rangeEnd) {
  if (!cookies) cookies = std::make_shared<httpCookieStore>();
  challengeCache& cache = challengeCache::instance();
  std::int32_t redirectsLeft = redirectLimit;
  std::string url = escapeRequestUrl(requestUrl);
  std::vector<std::string> serverChallenges;
  std::vector<std::string> proxyChallenges;
  bool answered401 = false;
  streamSource source(connection_);

  for (;;) {
    checkAbort();
    const std::size_t separator = url.find("://");
    if (url.size() < 3 || separator == std::string::npos || separator == 0) throw bad_url();
    if (url.find('/', separator + 3) == std::string::npos) url += '/';

    if (resolveProxy) proxyUrl = resolveProxy(url);
    std::optional<parsedUrl> proxy;
    if (!proxyUrl.empty()) {
      proxy = parseUrl(proxyUrl, "http");
      if (!proxy || (proxy->scheme != "http" && proxy->scheme != "https")) throw invalid_proxy_url();
    }
    const bool reuse = connectionReusable();
    clearReply();

    const std::optional<parsedUrl> target = parseUrl(url);
    if (!target || (target->scheme != "http" && target->scheme != "https")) throw bad_url();
    const bool https = target->scheme == "https";
    const bool absoluteForm = proxy && !proxy->host.empty() && !tunnelAlways && (!https || !tunnelHttps);
    if (absoluteForm) proxyChallenges = cache.lookup(hostKey(*proxy));

    std::string head = method + " " + (absoluteForm ? url : target->path) + " HTTP/1.1\r\n";
    head += "Host: " + hostKey(*target) + "\r\n";
    if (!target->user.empty()) {
      if (serverChallenges.empty()) serverChallenges = cache.lookup(hostKey(*target));
      // Over plain HTTP the password goes out only once the server asked.
      if (!serverChallenges.empty() || https)
        head += "Authorization: " +
                authorizationValue(method, serverChallenges, credentialsOf(*target), target->path, freshGuidHex) +
                "\r\n";
    }
    if (absoluteForm && !proxyChallenges.empty() && !proxy->user.empty())
      head += "Proxy-Authorization: " +
              authorizationValue(method, proxyChallenges, credentialsOf(*proxy), url, freshGuidHex) + "\r\n";

    extraHeaders_ = withoutConnectionLines(extraHeaders_);
    if (hasHeader(extraHeaders_, "Range") || hasHeader(extraHeaders_, "Connection")) throw invalid_input();
    if (rangeStart != -1 || rangeEnd != -1) {
      head += "Range: bytes=" + std::to_string(rangeStart == -1 ? 0 : rangeStart) + "-";
      if (rangeEnd != -1) head += std::to_string(rangeEnd);
      head += "\r\n";
    }
    if (!keepAlive) head += "Connection: close\r\n";
    if (!hasHeader(extraHeaders_, "Accept")) head += "Accept: */*\r\n";
    const std::string cookiePath = pathWithoutQuery(target->path);
    const std::string cookieValue = cookies->cookieHeaderValue(target->host, cookiePath, https);
    if (!cookieValue.empty()) head += "Cookie: " + cookieValue + "\r\n";
    head += extraHeaders_;

    if (absoluteForm) {
      connection_.setProxy(std::string(), nullptr);
      openConnection(proxy->host, proxy->port, proxy->scheme == "https", reuse);
    } else {
      if (proxy) connection_.setProxy(proxyUrl, openProxyTunnel);
      else connection_.setProxy(std::string(), nullptr);
      openConnection(target->host, target->port, https, reuse);
    }

    bool sent = true;
    if (sendsBody(method)) {
      sent = sendWithBody(std::move(head));
    } else {
      head += kCrLf;
      writeAll(connection_, head);
    }

    replyHead reply = readReplyHead(source);
    const std::optional<statusInfo> status = parseStatusLine(reply.statusLine);
    if (!status) throw invalid_reply();
    statusLine_ = std::move(reply.statusLine);
    replyHeaders_ = std::move(reply.headers);
    statusCode_ = status->code;
    const std::string text = statusText(status->reason, status->code);

    reusable_ = keepAlive && sent && !equalsNoCase(firstToken(responseHeader("Connection")), "close");
    for (const std::string& setCookie : responseHeaders("Set-Cookie")) cookies->store(setCookie, target->host, cookiePath);

    // A HEAD reply has no body, whatever its framing headers say.
    chunked_ = method != "HEAD" && equalsNoCase(firstToken(responseHeader("transfer-encoding")), "chunked");
    if (method == "HEAD") {
      remaining_ = 0;
    } else if (!chunked_) {
      const std::vector<std::string> lengths = responseHeaders("content-length");
      remaining_ = lengths.empty() ? -1 : parseContentLength(lengths.front());
    }

    const int code = status->code;
    if (code >= 200 && code <= 299) return;
    if (isRedirect(code)) {
      if (method != "GET" && method != "HEAD") throw invalid_reply();
      if (redirectsLeft <= 0) throw invalid_reply();
      --redirectsLeft;
      const std::vector<std::string> locations = responseHeaders("location");
      if (locations.empty()) throw invalid_reply();
      const std::string& location = locations.front();
      const std::string next = location.find("://") != std::string::npos ? location : resolveRelativeUrl(url, location);
      url = canonicalUrl(next, url);
      answered401 = false;
      continue;
    }
    switch (code) {
      case 400:
        if (noThrowOnHttpError) return;
        throw bad_request(text);
      case 401:
        if (target->user.empty() || answered401) {
          if (noThrowOnHttpError) return;
          throw auth_error(text);
        }
        serverChallenges = responseHeaders("WWW-Authenticate");
        if (serverChallenges.empty()) throw error(text);
        cache.store(hostKey(*target), serverChallenges);
        answered401 = true;
        continue;
      case 403: {
        if (noThrowOnHttpError) return;
        std::string message = text;
        if (startsWithNoCase(responseHeader("content-type"), "text/") &&
            readText().find("notukerror") != std::string::npos)
          message = "ni";
        throw denied(message);
      }
      case 404:
        if (noThrowOnHttpError) return;
        throw file_not_found();
      case 405:
        if (noThrowOnHttpError) return;
        throw method_not_allowed(text);
      case 407:
        if (absoluteForm && !proxy->user.empty() && proxyChallenges.empty()) {
          std::vector<std::string> challenges = responseHeaders("Proxy-Authenticate");
          if (challenges.empty()) throw error(text);
          cache.store(hostKey(*proxy), std::move(challenges));
          continue;
        }
        if (noThrowOnHttpError) return;
        throw error(text);
      default:
        if (noThrowOnHttpError) return;
        throw error(text);
    }
  }
}

std::ptrdiff_t httpRequest::readSome(void* buffer, std::size_t length) {
  if (chunked_) {
    streamSource source(connection_);
    const std::size_t n = chunks_.read(source, buffer, length);
    if (n == 0 && chunks_.lastChunkSeen() && !reusable_) connection_.shutdown(kShutdownReceive);
    return static_cast<std::ptrdiff_t>(n);
  }
  if (remaining_ == 0) return 0;
  std::size_t wanted = length;
  if (remaining_ > 0) wanted = static_cast<std::size_t>(std::min<std::int64_t>(remaining_, static_cast<std::int64_t>(length)));
  const std::ptrdiff_t got = connection_.readSome(buffer, wanted);
  if (got < 0) throw network_error();
  if (remaining_ > 0) {
    if (got > remaining_) throw bug_check();
    remaining_ -= got;
    if (remaining_ == 0 && !reusable_) connection_.shutdown(kShutdownReceive);
  }
  return got;
}

std::size_t httpRequest::read(void* buffer, std::size_t length) {
  std::size_t total = 0;
  while (total < length) {
    checkAbort();
    const std::ptrdiff_t n = readSome(static_cast<char*>(buffer) + total, length - total);
    if (n <= 0) break;
    total += static_cast<std::size_t>(n);
  }
  return total;
}

std::string httpRequest::readAll(std::int64_t limit) {
  const std::size_t cap = limit < 0 ? std::string().max_size() : static_cast<std::size_t>(limit);
  std::string body;
  std::size_t filled = 0;
  std::size_t size = std::min(kReadAllStart, cap);
  for (;;) {
    body.resize(size);
    const std::size_t n = read(body.data() + filled, size - filled);
    filled += n;
    if (filled < size || size == cap) break;
    size = size > cap / 2 ? cap : size * 2;
  }
  body.resize(filled);
  return body;
}

std::string httpRequest::readText() { return readAll(static_cast<std::int64_t>(kTextLimit)); }

void openProxyTunnel(netStreamSecure& connection, const std::string& host, const std::string& service) {
  // The longest CONNECT reply head accepted, in lines.
  constexpr int kMaxTunnelReplyLines = 33;
  const std::optional<parsedUrl> proxy = parseUrl(connection.proxyUrl(), "http");
  if (!proxy) throw invalid_proxy_url();
  const std::string key = proxy->host + ":" + proxy->port;
  challengeCache& cache = challengeCache::instance();
  std::vector<std::string> challenges = cache.lookup(key);
  const std::string target = host + ":" + service;

  for (;;) {
    std::shared_ptr<netStreamBase> inner;
    unsigned flags = 0;
    if (proxy->scheme == "http") {
      inner = connection.provider().createPlainStream();
    } else if (proxy->scheme == "https") {
      const bool skipChecks = connection.askCertificateDecision(proxy->host);
      inner = connection.provider().createSecureStream(skipChecks ? kTlsSkipCertificateChecks : 0);
      flags = kConnectTls;
    } else {
      throw invalid_proxy_url();
    }
    if (connection.timeout() > 0) inner->setTimeout(connection.timeout());
    inner->connect(proxy->host, proxy->port, flags);

    std::string request = "CONNECT " + target + " HTTP/1.1\r\nHost: " + target + "\r\n";
    if (!challenges.empty() && !proxy->user.empty())
      request += "Proxy-Authorization: " +
                 authorizationValue("CONNECT", challenges, credentialsOf(*proxy), target, freshGuidHex) + "\r\n";
    request += kCrLf;
    writeAll(*inner, request);

    std::vector<std::string> lines;
    streamSource source(*inner);
    try {
      std::string line;
      while (readHeadLine(source, line) && !line.empty()) {
        if (static_cast<int>(lines.size()) == kMaxTunnelReplyLines) throw httpInvalidReply();
        lines.push_back(line);
      }
    } catch (const httpInvalidReply&) {
      throw;
    } catch (const std::exception&) {
      throw httpInvalidReply();
    }
    if (lines.empty()) throw httpInvalidReply();
    const std::optional<statusInfo> status = parseStatusLine(lines.front());
    if (!status) throw httpInvalidReply();
    if (status->code == 200) {
      connection.setInnerStream(inner);
      return;
    }
    if (status->code == 407 && !proxy->user.empty() && challenges.empty()) {
      for (std::size_t i = 1; i < lines.size(); ++i) {
        const std::string_view line = lines[i];
        constexpr std::string_view kName = "Proxy-Authenticate:";
        if (!startsWithNoCase(line, kName)) continue;
        std::size_t value = kName.size();
        while (value < line.size() && (line[value] == ' ' || line[value] == '\t')) ++value;
        challenges.emplace_back(line.substr(value));
      }
      if (challenges.empty()) throw httpInvalidReply();
      inner->close();
      cache.store(key, challenges);
      continue;
    }
    throw httpError(statusText(status->reason, status->code));
  }
}

}  // namespace Kx
