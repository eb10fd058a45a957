#include "verify/record_files.h"

#include "library/xfile.h"
#include "verify/record_reader.h"

void read_record_files(const std::vector<std::wstring>& paths, std::vector<TDTrackCheck>& tracks) {
  RecordEntryReader reader(tracks);
  for (std::size_t i = 0; i < paths.size(); ++i) {
    XFile file(paths[i]);
    file.open(GENERIC_READ, OPEN_EXISTING, true);
    if (!file.is_open()) continue;
    reader.read([&](void* buffer, std::size_t count) { return static_cast<std::size_t>(file.read(buffer, count)); },
                static_cast<std::int32_t>(i));
  }
}
