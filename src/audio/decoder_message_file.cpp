#include "audio/decoder_message_file.h"

#include "library/xfile.h"

DecoderMessageFile::DecoderMessageFile() {
  wchar_t folder[MAX_PATH + 1];
  wchar_t name[MAX_PATH + 1];
  if (GetTempPathW(MAX_PATH + 1, folder) == 0 || GetTempFileNameW(folder, L"TMP", 0, name) == 0) return;
  file_.reset(CreateFileW(name, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                          CREATE_ALWAYS, FILE_FLAG_DELETE_ON_CLOSE, nullptr));
}

DecoderCreateBlock DecoderMessageFile::create_block() const {
  return {file_.valid() ? file_.get() : nullptr, INVALID_HANDLE_VALUE, INVALID_HANDLE_VALUE};
}

std::vector<std::wstring> DecoderMessageFile::lines() const {
  std::vector<std::wstring> out;
  if (!file_) return out;
  XFile file;
  file.handle = file_.get();  // borrowed: owns_handle stays false
  if (file.seek(0, FILE_BEGIN) != 0) return out;
  std::wstring line;
  while (read_line(file, line, true, false))
    if (!line.empty()) out.push_back(line);
  return out;
}
