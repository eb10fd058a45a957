// get [--proxy URL] URL: one GET through the HTTP engine; prints the status
// line, the reply header lines, an empty line and the body.
#include "cli/command_registry.h"
#include "cli/console_output.h"
#include "library/text_convert.h"
#include "net/http_request.h"

namespace {
int run_get(const std::vector<std::wstring>& args) {
  std::string proxy;
  std::string url;
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (args[i] == L"--proxy" && i + 1 < args.size()) {
      proxy = wide_to_utf8(args[++i]);
    } else if (url.empty() && args[i].rfind(L"--", 0) != 0) {
      url = wide_to_utf8(args[i]);
    } else {
      throw CliUsageError("unexpected argument");
    }
  }
  if (url.empty()) throw CliUsageError("a URL is needed");

  Kx::httpRequest request;
  request.proxyUrl = proxy;
  request.perform(url, "GET");
  std::string head = request.statusLine() + "\r\n" + request.responseHeaderText() + "\r\n";
  out_bytes(head);
  // The body goes out in pieces so that a large one needs no large buffer.
  char buffer[16384];
  while (const std::size_t n = request.read(buffer, sizeof buffer)) out_bytes(std::string(buffer, n));
  return kExitOk;
}

const CliCommandRegistration registration{
    {L"get", L"[--proxy URL] URL", L"fetch URL with the HTTP engine and print the status line, headers and body",
     run_get}};
}  // namespace
