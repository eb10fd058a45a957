// XSharedBlock: the scanner's progress in percent, one 32-bit value in a
// named, page-file-backed mapping guarded by a named mutex. Both processes
// open it by the same name; whoever comes first creates it.
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>

#include "library/win_handles.h"

class XSharedBlock {
 public:
  XSharedBlock() = default;
  ~XSharedBlock() { close(); }
  XSharedBlock(const XSharedBlock&) = delete;
  XSharedBlock& operator=(const XSharedBlock&) = delete;

  // `name` is the shared block name (run id + "-pcdone"). True when the
  // mapping and its view exist.
  bool open(const std::wstring& name);
  // The shared value; the last value read when the block is not open.
  std::uint32_t read();
  void write(std::uint32_t value);
  void close();
  bool is_open() const { return view_ != nullptr; }

 private:
  // Holds the mutex for one copy; nested holders do not wait again.
  class Hold {
   public:
    explicit Hold(XSharedBlock& block);
    ~Hold();

   private:
    XSharedBlock& block_;
    bool took_ = false;
  };

  XHandle mapping_;
  XHandle mutex_;
  bool mutex_held_ = false;
  std::uint32_t* view_ = nullptr;
  std::uint32_t local_ = 0;
};
