// The networking library's error family. Every type derives from
// std::runtime_error and what() gives its fixed text, or the text with the
// code appended in the forms below.
#pragma once
#include <cstdint>
#include <stdexcept>
#include <string>

namespace Kx {

// A transport failure. A failed socket call reads "network error (10054)":
// the socket error code in signed decimal.
class network_error : public std::runtime_error {
 public:
  network_error() : std::runtime_error("network error") {}
  // The form for a failed socket call; code() gives the socket error.
  static network_error fromSocketError(int code);
  int code() const { return code_; }

 protected:
  network_error(const std::string& text, int code) : std::runtime_error(text), code_(code) {}

 private:
  int code_ = 0;
};

// No connection could be made; built on the error of the last address tried:
// "could not connect: network error (10061)".
class network_error_connect : public network_error {
 public:
  network_error_connect() : network_error("could not connect", 0) {}
  explicit network_error_connect(const network_error& cause)
      : network_error(std::string("could not connect: ") + cause.what(), cause.code()) {}
};

class network_error_timeout : public network_error {
 public:
  network_error_timeout() : network_error("network timeout", 0) {}
};

// A TLS or certificate failure. status() is the security status or platform
// error code (0 when none was involved).
class exception_network_authentication : public std::runtime_error {
 public:
  exception_network_authentication() : std::runtime_error("Network authentication error") {}
  // "Network authentication error: <system text> (80090328)"; the ": <text>"
  // part is left out when the system has no text for the code.
  static exception_network_authentication fromStatus(std::uint32_t status, const std::string& systemText);
  // "Network authentication error (win32:2148081683)" for a certificate call
  // that reported through the thread's last error.
  static exception_network_authentication fromLastError(std::uint32_t code);
  std::uint32_t status() const { return status_; }

 private:
  exception_network_authentication(const std::string& text, std::uint32_t status)
      : std::runtime_error(text), status_(status) {}
  std::uint32_t status_ = 0;
};

class user_abort : public std::runtime_error {
 public:
  user_abort() : std::runtime_error("user abort") {}
};

class not_implemented : public std::runtime_error {
 public:
  not_implemented() : std::runtime_error("not implemented") {}
};

class invalid_input : public std::runtime_error {
 public:
  invalid_input() : std::runtime_error("invalid input") {}
};

class bug_check : public std::runtime_error {
 public:
  bug_check() : std::runtime_error("bug check") {}
};

}  // namespace Kx
