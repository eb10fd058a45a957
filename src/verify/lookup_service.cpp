#include "verify/lookup_service.h"

#include <windows.h>

#include <mutex>
#include <random>
#include <string>

#include "library/text_convert.h"
#include "net/http_request.h"
#include "shell/settings_store.h"
#include "verify/lookup_protocol.h"

namespace {
// The process's random generator for the choice of server, behind its lock.
int randomServerNumber() {
  static std::mutex lock;
  static std::mt19937 generator{std::random_device{}()};
  std::lock_guard<std::mutex> guard(lock);
  return std::uniform_int_distribution<int>(1, kLookupServerCount)(generator);
}

std::string toAnsi(const std::wstring& text) {
  if (text.empty()) return {};
  const int size = WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
  if (size <= 0) return {};
  std::string out(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), out.data(), size, nullptr, nullptr);
  return out;
}

std::vector<std::string> splitLines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find("\r\n", start);
    if (end == std::string::npos) end = text.size();
    lines.push_back(text.substr(start, end - start));
    start = end + 2;
  }
  return lines;
}

struct lookupReply {
  int status = 0;
  std::vector<std::string> headerLines;
  std::string body;
};

lookupReply exchange(const std::string& url, const std::string& body) {
  Kx::httpRequest request;
  request.noThrowOnHttpError = true;
  request.connection().setTimeout(kLookupTimeoutSeconds);
  request.addHeader(std::string("user-agent: ") + kLookupAgent);
  request.addRawHeaders(toAnsi(utf8_to_wide(lookupHeaderBlock(body))));
  request.setBody(body + "\r\n", std::string());
  request.perform(url, "POST");
  lookupReply reply;
  reply.status = request.statusCode();
  reply.headerLines = splitLines(request.responseHeaderText());
  // One byte past the cap tells an oversized reply from one that fits.
  reply.body = request.readAll(static_cast<std::int64_t>(kMaxLookupReply) + 1);
  return reply;
}
}  // namespace

TDLookupResult lookupDiscIds(std::vector<TDLookupItem>& items) {
  const pendingLookup pending = collectPendingLookup(items);
  if (pending.positions.empty()) return {};
  const std::string body = toAnsi(pending.body);
  if (body.empty()) return {1, lookup_message::kEmptyBody};

  const std::string url = lookupServerUrl(read_setting_string(setting::kLookupServer), randomServerNumber());
  lookupReply reply;
  try {
    reply = exchange(url, body);
  } catch (...) {
    return {3, lookup_message::kCouldNotConnect};
  }
  TDLookupResult result = lookupStatusResult(reply.status, body.size());
  if (result.failed()) return result;
  if (reply.body.size() > kMaxLookupReply) return {3, lookup_message::kInterrupted};
  const auto lines = verifiedLookupLines(reply.headerLines, reply.body);
  if (!lines) return {3, lookup_message::kInterrupted};
  applyLookupAnswers(items, pending.positions, *lines);
  return {};
}
