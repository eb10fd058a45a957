#include "library/album_grouping.h"

#include <algorithm>

#include "library/album_key.h"
#include "library/album_tag_rules.h"
#include "library/number_text.h"
#include "library/path_rules.h"

namespace {
constexpr std::int64_t kSamplesPerSector = 588;
// A length in sectors that no track has: pads a table of contents that
// lists fewer lengths than its track count.
constexpr wchar_t kNoTrackLength[] = L"123456789";
// The count comes from a tag: padding stops at the largest track count a
// disc identifier's three digits can state.
constexpr std::int64_t kMaxTocTracks = 999;

std::wstring album_artist_of(const ItemList& tags) {
  std::wstring artist = tags.value_of(L"album artist");
  if (!artist.empty()) return artist;
  if (is_true_value(tags.value_of(L"Compilation"))) return L"Various Artists";
  return tags.value_of(L"artist");
}

void start_album(AlbumGroupingTables& tables, std::wstring key, const std::wstring& artist,
                 const std::wstring& title, std::int32_t total,
                 const ArtFinder& arts, const GroupingOptions& options, const GroupingHooks& hooks,
                 const FileIndexRecord& record) {
  AlbumRecord album;
  album.artist = first_line_trimmed(artist);
  album.title = first_line_trimmed(title);
  album.key = key;
  album.total_tracks = total;
  // Decoded once, from the track that creates the album.
  if (const auto art = arts.find(record); art && hooks.decode_cover)
    album.cover = hooks.decode_cover(*art, options.thumbnail_size);
  const std::size_t position = tables.albums.size();
  tables.albums.push_back(std::move(album));
  tables.album_by_key.emplace(std::move(key), position);
  tables.new_albums.push_back(position);
}

// A display text that a later track disagrees with is blanked for good.
void blank_if_different(std::wstring& display, const std::wstring& tag) {
  if (!display.empty() && display != first_line_trimmed(tag)) display.clear();
}

VerificationTrackEntry entry_for(const TrackRecord& track, std::int32_t length, std::int32_t number,
                                 const FileNameTable& file_names) {
  VerificationTrackEntry e;
  e.length = length;
  e.track_number = number;
  const FileNameRecord& name = file_names.records.at(static_cast<std::size_t>(track.file_name_index));
  e.file_id = name.file_id;
  e.path = name.path;
  e.file_stamp = name.file_stamp;
  e.cache_stamp = track.lossless_cd_quality ? track.track_stamp : -1;
  return e;
}
}  // namespace

void group_albums(const GroupingInput& input, const GroupingOptions& options, const GroupingHooks& hooks,
                  AlbumGroupingTables& tables) {
  tables = {};
  FileNameFinder finder(input.file_names.records);
  const ArtFinder arts(input.art_index, input.album_arts);
  const std::size_t count = input.file_index.size();
  const std::size_t divisor = count == 0 ? 1 : count;
  for (std::size_t i = 0; i < count; ++i) {
    if (hooks.cancelled && hooks.cancelled()) return;
    if (hooks.progress) hooks.progress(static_cast<int>(i * 100 / divisor));
    const FileIndexRecord& record = input.file_index[i];
    if (record.state() != 0) {
      if ((record.state() & kStateSkipQuietly) == 0) tables.corrupted_files.push_back(i);
      continue;
    }
    const std::int64_t name_index = finder.find(record.file_id());
    if (name_index < 0) continue;
    const std::wstring& path = input.file_names.records[static_cast<std::size_t>(name_index)].path;

    const TrackEntry entry = read_track_entry(input.inf_props_n_tags, record);
    const bool lossless = is_lossless_cd_quality(entry.header, entry.properties.value_of(L"Audio Quality"));
    if (!lossless && options.skip_non_cd_quality != 0) continue;

    const std::wstring artist = album_artist_of(entry.tags);
    const std::wstring title = entry.tags.value_of(L"album");
    const std::wstring track_tag = entry.tags.value_of(L"track");
    const std::int32_t number = track_number_from_tag(track_tag);
    const std::int32_t total = track_total_from_tag(track_tag);
    if (number == 0 && total != 0) continue;
    const std::int32_t disc = track_number_from_tag(entry.tags.value_of(L"disc"));

    std::wstring key = make_album_key(artist, title, disc, options.album_defined_by == 0 ? directory_part(path) : L"",
                                      extension(path));
    std::size_t position = 0;
    if (const auto found = tables.album_by_key.find(key); found != tables.album_by_key.end()) {
      position = found->second;
      blank_if_different(tables.albums[position].artist, artist);
      blank_if_different(tables.albums[position].title, title);
    } else {
      position = tables.albums.size();
      start_album(tables, std::move(key), artist, title, total, arts, options, hooks, record);
    }
    AlbumRecord& album = tables.albums[position];
    if (album.disc_id.empty()) album.disc_id = disc_id_from_tag(entry.tags.value_of(L"TallydiscDiscID"));

    TrackRecord track;
    track.file_name_index = static_cast<std::int32_t>(name_index);
    track.sample_count = sample_count_from_text(entry.properties.value_of(L"Sample Count"));
    const std::int64_t sectors = track.sample_count / kSamplesPerSector;
    track.length_sectors = sectors > INT32_MAX ? INT32_MAX : static_cast<std::int32_t>(sectors);
    track.track_number = number;
    track.lossless_cd_quality = lossless;
    track.tag_checksum = tag_checksum_from_result(entry.tags.value_of(L"TallydiscResult"));
    track.track_stamp = record.track_stamp();
    album.tracks.push_back(track);
  }
}

bool build_track_list_by_number(const AlbumRecord& album, const FileNameTable& file_names,
                                std::vector<VerificationTrackEntry>& entries) {
  entries.clear();
  for (std::size_t n = 1; n <= album.tracks.size(); ++n) {
    const auto number = static_cast<std::int32_t>(n);
    const TrackRecord* found = nullptr;
    for (const auto& track : album.tracks) {
      if (track.track_number == number) {
        found = &track;
        break;
      }
    }
    if (!found) return false;
    entries.push_back(entry_for(*found, found->length_sectors, number, file_names));
  }
  return true;
}

bool build_track_list_by_toc(const AlbumRecord& album, const FileNameTable& file_names,
                             std::wstring_view count_text, const std::vector<std::wstring>& lengths,
                             std::vector<VerificationTrackEntry>& entries) {
  entries.clear();
  std::vector<std::wstring> expected = lengths;
  if (!count_text.empty()) {
    const std::int64_t count = std::min(parse_decimal_signed(count_text), kMaxTocTracks);
    while (static_cast<std::int64_t>(expected.size()) < count) expected.emplace_back(kNoTrackLength);
  }
  bool all_found = true;
  for (std::size_t j = 0; j < expected.size(); ++j) {
    const auto number = static_cast<std::int32_t>(j + 1);
    const std::int64_t wanted = parse_decimal_signed(expected[j]);
    const auto length = static_cast<std::int32_t>(wanted);
    auto first = [&](auto matches) -> const TrackRecord* {
      for (const auto& track : album.tracks)
        if (matches(track)) return &track;
      return nullptr;
    };
    const TrackRecord* found = first([&](const TrackRecord& t) { return t.track_number == number && t.length_sectors == wanted; });
    if (!found) found = first([&](const TrackRecord& t) { return t.length_sectors == wanted; });
    if (!found) found = first([&](const TrackRecord& t) { return t.track_number == number; });
    if (found) {
      entries.push_back(entry_for(*found, length, number, file_names));
    } else {
      VerificationTrackEntry missing;
      missing.length = length;
      missing.track_number = number;
      entries.push_back(missing);
      all_found = false;
    }
  }
  return all_found;
}
