// A scratch file into which a plug-in writes its messages as UTF-16LE
// lines during tag reading and writing; removed when closed.
#pragma once
#include <string>
#include <vector>

#include "audio/decoder_blocks.h"
#include "library/win_handles.h"

class DecoderMessageFile {
 public:
  DecoderMessageFile();
  // The create block that hands this file to a plug-in.
  DecoderCreateBlock create_block() const;
  // The lines written so far, from the start of the file; empty lines skipped.
  std::vector<std::wstring> lines() const;

 private:
  XFileHandle file_;
};
