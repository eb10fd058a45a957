#include "verify/harvest.h"

#include <unordered_set>

#include "verify/verdict_texts.h"

void harvest(const TDAlbumCheck& check, std::size_t album_index, AlbumRecord& album, TDAlbumLists& lists) {
  album.accurate_count = 0;
  album.inaccurate_count = 0;
  album.not_enough_info_count = 0;
  album.lines.clear();
  album.paths.clear();
  album.statuses.clear();
  album.inaccurate_tracks.clear();
  album.not_enough_info_tracks.clear();

  for (std::size_t i = 0; i < check.statuses.size(); ++i) {
    const std::int32_t number = i < check.tracks.size() ? check.tracks[i].track_number : 0;
    switch (check.statuses[i]) {
      case track_status::kAccurate:
        ++album.accurate_count;
        break;
      case track_status::kInaccurate:
        ++album.inaccurate_count;
        album.inaccurate_tracks.push_back(number);
        break;
      case track_status::kNotEnoughInformation:
        ++album.not_enough_info_count;
        album.not_enough_info_tracks.push_back(number);
        break;
      default:
        break;
    }
    if (i < check.lines.size()) {
      album.lines.push_back(check.lines[i]);
      album.paths.push_back(i < check.tracks.size() ? check.tracks[i].path : std::wstring());
      album.statuses.push_back(check.statuses[i]);
    }
  }

  std::unordered_set<std::wstring> files;
  for (const auto& path : album.paths)
    if (!path.empty()) files.insert(path);
  const auto file_count = static_cast<std::int32_t>(files.size());

  if (lists.not_present.contains(album_index)) return;
  if (file_count > 0 && album.accurate_count >= file_count) {
    lists.accurate.add(album_index);
  } else if (album.accurate_count > 0) {
    lists.with_errors.add(album_index);
  } else {
    lists.not_present.add(album_index);
    if (!check.album_message.empty()) {
      album.message = check.album_message;
    } else {
      album.message = verdict_text::kAlbumNotPresent;
      if (album.lines.empty()) {
        // Lines and paths stay parallel: the album list and the report pair
        // them up.
        album.lines.assign(album.tracks.size(), verdict_text::kTrackNotPresent);
        album.paths.assign(album.tracks.size(), std::wstring());
        album.statuses.assign(album.tracks.size(), track_status::kNoFile);
      }
    }
  }
}

std::wstring album_summary_line(const TDAlbumLists& lists, std::size_t album_index, const AlbumRecord& album) {
  std::wstring line = L"album: ";
  if (lists.accurate.contains(album_index)) {
    line += L"accurate";
  } else if (lists.with_errors.contains(album_index)) {
    line += L"errors";
  } else if (lists.not_present.contains(album_index)) {
    line += L"not-present";
  } else {
    line += L"cannot-check";
  }
  if (!album.message.empty()) line += L": " + album.message;
  return line;
}
