// The system's own exception types. Each carries its message as narrow text.
#pragma once
#include <cstdint>
#include <stdexcept>
#include <string>

// The suite's index files contradict each other.
class exception_index_corrupted : public std::runtime_error {
 public:
  exception_index_corrupted()
      : std::runtime_error("Error reading internal indexes, please clear database and try again") {}
};

// A long run noticed that the user cancelled it.
class exception_user_abort : public std::runtime_error {
 public:
  exception_user_abort() : std::runtime_error("User Abort") {}
};

// A platform call failed; carries its error code.
class exception_win32 : public std::runtime_error {
 public:
  explicit exception_win32(std::uint32_t code)
      : std::runtime_error("Windows error " + std::to_string(code)), code_(code) {}
  std::uint32_t code() const { return code_; }

 private:
  std::uint32_t code_;
};
