#include "index_build.h"

#include <windows.h>

#include <map>
#include <optional>
#include <set>

#include "audio_file_walk.h"
#include "library/exceptions.h"
#include "library/file_view.h"
#include "library/index_files.h"
#include "library/path_rules.h"
#include "library/text_convert.h"
#include "library/watch_folder_list.h"
#include "library/xfile.h"

namespace {
constexpr wchar_t kOnlyUpdateTagsFile[] = L"OnlyUpdateTagsInFileNames.bin";
// Cover pictures the scanner takes from an album's folder, in this order.
const wchar_t* const kCoverNames[] = {L"folder.jpg", L"cover.jpg", L"front.jpg", L"folder.png", L"cover.png"};
// A cover larger than this is not indexed (a sane bound on one picture).
constexpr std::uint64_t kMaxCoverBytes = 16ull << 20;

struct FileTimes {
  std::uint64_t created = 0;
  std::uint64_t written = 0;
};

std::uint64_t as_u64(const FILETIME& t) {
  return (static_cast<std::uint64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime;
}

std::optional<FileTimes> file_times(const std::wstring& path) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExW(make_long_path(path, kLongPathLimitDirectory).c_str(), GetFileExInfoStandard, &data))
    return std::nullopt;
  return FileTimes{as_u64(data.ftCreationTime), as_u64(data.ftLastWriteTime)};
}

// An old index entry, ready to be carried into the new index.
using OldTracks = std::map<std::wstring, IndexedTrack>;

OldTracks read_old_index(const std::wstring& folder) {
  OldTracks old;
  LibraryIndexTables tables;
  if (!read_library_index(folder, tables) || tables.file_index.empty()) return old;
  try {
    MappedIndexFiles mapped(folder);
    FileNameFinder finder(tables.file_names.records);
    const ArtFinder arts(tables.art_index, mapped.album_arts());
    for (const auto& record : tables.file_index) {
      const std::int64_t at = finder.find(record.file_id());
      if (at < 0) continue;
      const FileNameRecord& name = tables.file_names.records[static_cast<std::size_t>(at)];
      const TrackEntry entry = read_track_entry(mapped.inf_props_n_tags(), record);
      IndexedTrack t;
      t.file_id = record.file_id();
      t.file_stamp = name.file_stamp;
      t.second_stamp = name.second_stamp;
      t.path = name.path;
      t.state = record.state();
      t.track_stamp = record.track_stamp();
      t.channels = entry.header.channels();
      t.sample_rate = entry.header.sample_rate();
      t.bits_per_sample = entry.header.bits_per_sample();
      t.properties = entry.properties;
      t.tags = entry.tags;
      if (auto art = arts.find(record))
        t.art.assign(reinterpret_cast<const char*>(art->data()), art->size());
      old.emplace(ascii_lowercase(t.path), std::move(t));
    }
  } catch (const exception_index_corrupted&) {
    old.clear();  // a damaged index is rebuilt from the files
  }
  return old;
}

std::set<std::wstring> read_tag_refresh_list(const std::wstring& path) {
  std::set<std::wstring> paths;
  XFileView view(path);
  if (!view.map()) return paths;
  std::wstring line;
  while (read_line_utf16(view, line))
    if (!line.empty()) paths.insert(ascii_lowercase(line));
  return paths;
}

class CoverFinder {
 public:
  const std::string& cover_for(const std::wstring& audio_path) {
    const std::wstring folder = directory_part(audio_path);
    auto it = by_folder_.find(folder);
    if (it != by_folder_.end()) return it->second;
    std::string bytes;
    for (const wchar_t* name : kCoverNames) {
      XFile f(folder + name);
      f.open(GENERIC_READ, OPEN_EXISTING, true);
      if (!f.is_open() || f.size() == 0 || f.size() > kMaxCoverBytes) continue;
      bytes.resize(static_cast<std::size_t>(f.size()));
      if (f.read(bytes.data(), bytes.size()) == bytes.size()) break;
      bytes.clear();
    }
    return by_folder_.emplace(folder, std::move(bytes)).first->second;
  }

 private:
  std::map<std::wstring, std::string> by_folder_;
};

// "1234567" -> "1,234,567": the way the suite shows sample counts.
std::wstring grouped_thousands(std::int64_t n) {
  std::wstring digits = std::to_wstring(n);
  for (int i = static_cast<int>(digits.size()) - 3; i > 0; i -= 3) digits.insert(static_cast<std::size_t>(i), L",");
  return digits;
}

void fill_from_audio(IndexedTrack& t, const ScannedAudio& audio) {
  t.channels = audio.channels;
  t.sample_rate = audio.sample_rate;
  t.bits_per_sample = audio.bits_per_sample;
  t.properties.items = {{L"Audio Quality", audio.audio_quality, {}},
                        {L"Sample Count", grouped_thousands(audio.sample_count), {}}};
  t.tags = audio.tags;
  t.state = audio.corrupted ? 1 : 0;
}
}  // namespace

ScanResult build_library_index(const std::wstring& data_folder, const ScanOptions& options, AudioReader& reader,
                               const ScanHooks& hooks) {
  const std::wstring folder = add_trailing_backslash(data_folder);
  WatchFolderList watch(data_folder);
  const std::vector<std::wstring> files =
      find_audio_files(watch.folders(), [&](const std::wstring& ext) { return reader.reads_extension(ext); });

  OldTracks old = options.force ? OldTracks() : read_old_index(folder);
  const std::set<std::wstring> refresh_tags = read_tag_refresh_list(folder + kOnlyUpdateTagsFile);
  std::int32_t next_id = 1;
  for (const auto& [path, t] : old) next_id = std::max(next_id, t.file_id + 1);

  LibraryIndexBuilder builder;
  CoverFinder covers;
  for (std::size_t i = 0; i < files.size(); ++i) {
    if (hooks.quit_requested && hooks.quit_requested()) return ScanResult::kQuit;
    if (hooks.progress) hooks.progress(static_cast<std::uint32_t>(i * 100 / files.size()));
    const std::wstring& path = files[i];
    const auto times = file_times(path);
    if (!times) continue;  // gone since the walk

    const std::wstring lower = ascii_lowercase(path);
    const auto previous = old.find(lower);
    const bool unchanged = previous != old.end() && previous->second.file_stamp == times->written;
    IndexedTrack track;
    if (unchanged && !refresh_tags.count(lower)) {
      track = previous->second;
    } else if (unchanged) {  // only the tags were rewritten
      track = previous->second;
      if (auto audio = reader.read(path, false)) track.tags = audio->tags;
    } else {
      track.file_id = previous != old.end() ? previous->second.file_id : next_id++;
      track.path = path;
      track.file_stamp = times->written;
      track.second_stamp = times->created;
      track.track_stamp = static_cast<std::int64_t>(times->written);
      if (auto audio = reader.read(path, !options.only_read_tags)) {
        fill_from_audio(track, *audio);
      } else {
        track.state = 1;  // cannot be opened: listed as corrupted
      }
      track.art = covers.cover_for(path);
    }
    builder.add(track);
  }
  if (hooks.quit_requested && hooks.quit_requested()) return ScanResult::kQuit;
  if (!write_index_files(folder, builder.files())) return ScanResult::kWriteFailed;
  // The refresh list is done with: empty it.
  XFile done(folder + kOnlyUpdateTagsFile);
  done.open(GENERIC_WRITE, TRUNCATE_EXISTING, false);
  if (hooks.progress) hooks.progress(100);
  return ScanResult::kWritten;
}
