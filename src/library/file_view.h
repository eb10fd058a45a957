// XFileView: a read-only memory mapping of a whole file, with a read
// position for the line reader.
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>

#include "library/win_handles.h"
#include "library/xfile.h"

class XFileView {
 public:
  XFileView() = default;
  explicit XFileView(std::wstring path) : file(std::move(path)) {}
  ~XFileView() { unmap(); }
  XFileView(const XFileView&) = delete;
  XFileView& operator=(const XFileView&) = delete;

  // Maps `file` (opened here for reading with sharing unless already open).
  // An empty file succeeds with no view and length 0. On failure everything
  // acquired is released and the file is closed.
  bool map();
  void unmap();

  const std::uint8_t* data() const { return static_cast<const std::uint8_t*>(view_.get()); }
  std::uint64_t length() const { return length_; }

  XFile file;
  std::uint64_t position = 0;

 private:
  XHandle mapping_;
  XMappedView view_;
  std::uint64_t length_ = 0;
};

// Reads one UTF-16LE line from the view's position (see line_rules.h).
// False when the view is exhausted and nothing was read.
bool read_line_utf16(XFileView& view, std::wstring& line);
