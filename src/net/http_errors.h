// The errors of the HTTP engine, beside the transport's family
// (net_errors.h). Each derives from std::runtime_error; what() gives its text.
// Where a reply status is reported, the text is the status text
// ("Not Found (404)", see statusText).
#pragma once
#include <cstdint>
#include <stdexcept>
#include <string>

#include "net/net_errors.h"

namespace Kx {

// Base of the HTTP engine's own errors (Kx::httpRequest::error).
class httpError : public std::runtime_error {
 public:
  explicit httpError(const std::string& text) : std::runtime_error(text) {}
};

class httpBadUrl : public httpError {
 public:
  httpBadUrl() : httpError("invalid URL") {}
};

class httpBadRequest : public httpError {
 public:
  explicit httpBadRequest(const std::string& statusText) : httpError(statusText) {}
};

class httpAuthError : public httpError {
 public:
  httpAuthError() : httpError("authentication failure") {}
  explicit httpAuthError(const std::string& statusText) : httpError(statusText) {}
};

class httpMethodNotAllowed : public httpError {
 public:
  explicit httpMethodNotAllowed(const std::string& statusText) : httpError(statusText) {}
};

class httpInvalidReply : public httpError {
 public:
  httpInvalidReply() : httpError("invalid server response") {}
};

class invalid_url : public invalid_input {
 public:
  invalid_url() = default;
  const char* what() const noexcept override { return "invalid URL"; }
};

class invalid_proxy_url : public invalid_url {
 public:
  const char* what() const noexcept override { return "invalid proxy URL"; }
};

class file_access_error : public std::runtime_error {
 public:
  explicit file_access_error(const std::string& text) : std::runtime_error(text) {}
};

class file_not_found : public file_access_error {
 public:
  file_not_found() : file_access_error("file not found") {}
};

class denied : public std::runtime_error {
 public:
  explicit denied(const std::string& text) : std::runtime_error(text) {}
};

class overflow : public std::overflow_error {
 public:
  overflow() : std::overflow_error("overflow") {}
};

// A list grew beyond its maximum (header values, cookies).
class list_too_long : public std::length_error {
 public:
  list_too_long() : std::length_error("list too long") {}
};

// The reason phrase, " (", the code in decimal and ")".
std::string statusText(const std::string& reason, int code);

}  // namespace Kx
