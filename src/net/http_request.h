// Kx::httpRequest: one HTTP/1.1 exchange (or a few, over a kept connection)
// with redirects, cookies, proxies and authentication retries. After
// perform, the reply body is read through the streamIn interface,
// de-chunked and bounded by its length.
//
// Life cycle: construct, set options, headers and body, perform, read the
// body; perform again for another exchange (the connection is kept when
// keepAlive is on and the server allows it); reset or destroy.
#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "net/byte_source.h"
#include "net/chunked_reader.h"
#include "net/http_cookies.h"
#include "net/http_errors.h"
#include "net/net_stream_secure.h"
#include "net/stream_in.h"

namespace Kx {

class httpRequest : public streamIn {
 public:
  using error = httpError;
  using bad_url = httpBadUrl;
  using bad_request = httpBadRequest;
  using auth_error = httpAuthError;
  using method_not_allowed = httpMethodNotAllowed;
  using invalid_reply = httpInvalidReply;

  struct formPart {
    std::string name;
    std::string fileName;     // may be empty
    std::string contentType;  // may be empty
    std::string data;
  };
  // Answers the proxy URL for a request URL (empty: no proxy).
  using proxyResolver = std::function<std::string(const std::string& url)>;

  // readAll's default limit.
  static constexpr std::int64_t kDefaultReadLimit = 64ll * 1024 * 1024;
  // The most body bytes readText delivers.
  static constexpr std::size_t kTextLimit = 1024;

  httpRequest();
  ~httpRequest() override;
  httpRequest(const httpRequest&) = delete;
  httpRequest& operator=(const httpRequest&) = delete;

  // Options.
  bool noThrowOnHttpError = false;  // error statuses return instead of throwing
  bool keepAlive = false;           // false: every request says "Connection: close"
  bool tunnelHttps = true;          // HTTPS reaches a proxy through a tunnel
  bool tunnelAlways = false;        // every request reaches a proxy through a tunnel
  std::shared_ptr<httpCookieStore> cookies;  // made on the first perform when empty
  std::int32_t redirectLimit = 10;
  std::vector<formPart> formParts;
  std::string proxyUrl;  // empty: no proxy
  proxyResolver resolveProxy;

  netStreamSecure& connection() { return connection_; }

  // A header line without line end; CR or LF in it throws invalid_argument.
  void addHeader(const std::string& line);
  // Header lines ended by CRLF (a missing final CRLF is added).
  void addRawHeaders(const std::string& text);
  void setBody(std::string bytes, std::string contentType);

  // `url` and `method` are UTF-8; a range bound of -1 is absent. Returns
  // with the reply ready to read after a 2xx status, or after any status
  // while noThrowOnHttpError is set (see the status rules in the source).
  void perform(const std::string& url, const std::string& method, std::int64_t rangeStart = -1,
               std::int64_t rangeEnd = -1);

  const std::string& statusLine() const { return statusLine_; }
  int statusCode() const { return statusCode_; }
  // The reply's header lines, each followed by CRLF.
  const std::string& responseHeaderText() const { return replyHeaders_; }
  std::string responseHeader(const std::string& name) const;
  std::vector<std::string> responseHeaders(const std::string& name) const;
  // The whole body, at most `limit` bytes (-1: no limit).
  std::string readAll(std::int64_t limit = kDefaultReadLimit);
  // At most kTextLimit bytes of the body.
  std::string readText();

  // Closes the connection and forgets its target.
  void reset();

  // streamIn: the reply body.
  std::size_t read(void* buffer, std::size_t length) override;
  std::ptrdiff_t readSome(void* buffer, std::size_t length) override;

 private:
  bool connectionReusable();
  void openConnection(const std::string& host, const std::string& port, bool tls, bool reuse);
  // Sends the head (without its final CRLF) and the body; true when all
  // bytes went out.
  bool sendWithBody(std::string head);
  bool sendForm(std::string head);
  void clearReply();

  netStreamSecure connection_;
  std::string extraHeaders_;
  std::string body_;
  std::string bodyType_;

  std::string statusLine_;
  int statusCode_ = 0;
  std::string replyHeaders_;
  bool chunked_ = false;
  chunkedReader chunks_;
  std::int64_t remaining_ = -1;
  bool reusable_ = false;

  bool connected_ = false;
  std::string connectedHost_;
  std::string connectedPort_;
  bool connectedTls_ = false;
  std::string connectedProxy_;
};

// Opens a CONNECT tunnel to host:service through the connection's proxy
// URL, answering a 407 once with the proxy credentials; leaves the
// connection's inner stream connected to the proxy.
void openProxyTunnel(netStreamSecure& connection, const std::string& host, const std::string& service);

// 32 lower-case hexadecimal digits of a fresh GUID (client nonces, form
// boundaries); a failing GUID source throws runtime_error.
std::string freshGuidHex();

}  // namespace Kx
