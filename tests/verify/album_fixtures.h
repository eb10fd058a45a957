// Small albums for the verdict tests.
#pragma once
#include <string>
#include <vector>

#include "library/album_records.h"
#include "verify/album_check.h"

// Track n (1-based) of a test album: its path, file id and stamp.
inline std::wstring track_path(int n) { return L"C:\\music\\album\\" + std::to_wstring(n) + L".flac"; }
inline std::uint32_t track_file_id(int n) { return 100 + static_cast<std::uint32_t>(n); }
inline std::uint64_t track_stamp(int n) { return 5000 + static_cast<std::uint64_t>(n); }

// A worker's album of `count` tracks numbered 1..count, each with its file.
inline void fill_tracks(TDAlbumCheck& check, int count) {
  check.tracks.clear();
  for (int n = 1; n <= count; ++n) {
    TDTrackCheck track;
    track.length = 20000;
    track.track_number = n;
    track.file_id = track_file_id(n);
    track.file_stamp = track_stamp(n);
    track.path = track_path(n);
    check.tracks.push_back(track);
  }
}

// An album record of `count` lossless tracks numbered 1..count.
inline AlbumRecord make_album(int count) {
  AlbumRecord album;
  album.key = L"artist-album-c:\\music\\album\\-.flac";
  for (int n = 1; n <= count; ++n) {
    TrackRecord track;
    track.file_name_index = n - 1;
    track.length_sectors = 20000;
    track.track_number = n;
    track.sample_count = 20000 * 588;
    track.lossless_cd_quality = true;
    album.tracks.push_back(track);
  }
  return album;
}
