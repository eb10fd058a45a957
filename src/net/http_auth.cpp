#include "net/http_auth.h"

#include <optional>

#include "net/base64.h"
#include "net/http_errors.h"
#include "net/http_head.h"
#include "net/md5.h"

namespace Kx {
namespace {
constexpr std::string_view kNonceCount = "00000001";

std::string md5Hex(std::string_view text) {
  hasherMD5 hasher;
  hasher.write(text.data(), text.size());
  return hasher.finishHex();
}

// The value of parameter `name`: for a quoted lookup the text between the
// quotes (an unquoted value is passed over), else the rest of the token.
std::optional<std::string> parameter(const std::vector<std::string>& tokens, std::string_view name, bool quoted) {
  for (const std::string& token : tokens) {
    if (token.size() <= name.size() || !startsWithNoCase(token, name) || token[name.size()] != '=') continue;
    const std::string_view value = std::string_view(token).substr(name.size() + 1);
    if (!quoted) return std::string(value);
    if (value.empty() || value.front() != '"') continue;
    const std::size_t close = value.find('"', 1);
    return std::string(value.substr(1, close == std::string_view::npos ? std::string_view::npos : close - 1));
  }
  return std::nullopt;
}

std::string digestValue(std::string_view method, const std::vector<std::string>& tokens, std::string_view credentials,
                        std::string_view uri, const cnonceSource& makeCnonce) {
  const std::string cnonce = makeCnonce();
  const std::size_t colon = credentials.find(':');
  if (colon == std::string_view::npos) throw httpAuthError();
  const std::string_view user = credentials.substr(0, colon);
  const std::string_view password = credentials.substr(colon + 1);
  if (tokens.empty() || !equalsNoCase(tokens.front(), "digest")) throw httpAuthError();

  const std::optional<std::string> nonce = parameter(tokens, "nonce", true);
  const std::optional<std::string> realm = parameter(tokens, "realm", true);
  if (!nonce || !realm) throw httpAuthError();
  const std::string algorithm = parameter(tokens, "algorithm", false).value_or("md5");
  const bool session = equalsNoCase(algorithm, "md5-sess");
  if (!session && !equalsNoCase(algorithm, "md5")) throw httpAuthError();
  const std::optional<std::string> qop = parameter(tokens, "qop", true);
  if (qop && !equalsNoCase(*qop, "auth")) throw httpAuthError();

  const std::string ha2 = md5Hex(std::string(method) + ":" + std::string(uri));
  std::string ha1 = md5Hex(std::string(user) + ":" + *realm + ":" + std::string(password));
  if (session) ha1 = md5Hex(ha1 + ":" + *nonce + ":" + cnonce);
  std::string responseInput = ha1 + ":" + *nonce;
  if (qop) responseInput += ":" + std::string(kNonceCount) + ":" + cnonce + ":" + *qop;
  const std::string response = md5Hex(responseInput + ":" + ha2);

  std::string value = "Digest username=\"" + std::string(user) + "\", realm=\"" + *realm + "\", nonce=\"" + *nonce +
                      "\", uri=\"" + std::string(uri) + "\"";
  if (qop) value += ", qop=" + *qop + ", nc=" + std::string(kNonceCount) + ", cnonce=\"" + cnonce + "\"";
  value += ", response=\"" + response + "\"";
  if (const std::optional<std::string> opaque = parameter(tokens, "opaque", true))
    value += ", opaque=\"" + *opaque + "\"";
  return value;
}

std::string basicValue(std::string_view credentials) { return "Basic " + base64Encode(credentials); }
}  // namespace

std::vector<std::string> challengeTokens(std::string_view challenge) {
  std::vector<std::string> tokens;
  std::string token;
  bool quoted = false;
  for (const char c : challenge) {
    if (c == '"') quoted = !quoted;
    if (!quoted && (c == ' ' || c == '\t' || c == ',')) {
      if (!token.empty()) tokens.push_back(std::move(token));
      token.clear();
      continue;
    }
    token += c;
  }
  if (!token.empty()) tokens.push_back(std::move(token));
  return tokens;
}

std::string authorizationValue(std::string_view method, const std::vector<std::string>& challenges,
                               std::string_view credentials, std::string_view uri, const cnonceSource& makeCnonce) {
  for (const std::string& challenge : challenges) {
    try {
      const std::vector<std::string> tokens = challengeTokens(challenge);
      if (tokens.empty()) throw httpAuthError();
      if (equalsNoCase(tokens.front(), "digest")) return digestValue(method, tokens, credentials, uri, makeCnonce);
      if (equalsNoCase(tokens.front(), "basic")) return basicValue(credentials);
      throw httpAuthError();
    } catch (const httpAuthError&) {
      // This challenge cannot be answered; the next one may.
    }
  }
  return basicValue(credentials);
}

}  // namespace Kx
