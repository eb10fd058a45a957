#include "library/file_view.h"

#include "library/line_rules.h"

bool XFileView::map() {
  unmap();
  if (!file.is_open()) file.open(GENERIC_READ, OPEN_EXISTING, true);
  if (!file.is_open()) return false;
  length_ = file.size();
  position = 0;
  if (length_ == 0) return true;
  mapping_.reset(CreateFileMappingW(file.handle, nullptr, PAGE_READONLY,
                                    static_cast<DWORD>(length_ >> 32), static_cast<DWORD>(length_), nullptr));
  if (mapping_) view_ = XMappedView(MapViewOfFile(mapping_.get(), FILE_MAP_READ, 0, 0, 0));
  if (!view_.get()) {
    unmap();
    return false;
  }
  return true;
}

void XFileView::unmap() {
  view_.reset();
  mapping_.reset();
  file.close();
  length_ = 0;
}

bool read_line_utf16(XFileView& view, std::wstring& line) {
  MemoryUtf16Source source{view.data(), view.length(), view.position};
  std::u16string units;
  const bool got = read_utf16_units_line(source, units);
  line = units_to_wide(units);
  return got;
}
