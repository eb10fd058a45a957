#include "net/winsock_session.h"

#include <winsock2.h>

namespace Kx {

namespace {
constexpr WORD kWinsockVersion = MAKEWORD(2, 2);
}

const winsockSession& winsockSession::instance() {
  static winsockSession session;
  return session;
}

winsockSession::winsockSession() {
  WSADATA data;
  started_ = WSAStartup(kWinsockVersion, &data) == 0;
}

winsockSession::~winsockSession() {
  if (started_) WSACleanup();
}

}  // namespace Kx
