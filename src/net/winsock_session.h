// Winsock is started once while the process initialises its static objects
// and cleaned up at exit. Every file that makes sockets holds a reference:
//   static const Kx::winsockSession& g_winsock = Kx::winsockSession::instance();
#pragma once

namespace Kx {

class winsockSession {
 public:
  static const winsockSession& instance();
  winsockSession(const winsockSession&) = delete;
  winsockSession& operator=(const winsockSession&) = delete;

 private:
  winsockSession();
  ~winsockSession();
  bool started_ = false;
};

}  // namespace Kx
