#include "verify/album_conclusion.h"

#include "verify/album_verdict.h"
#include "verify/harvest.h"

TDAlbumConclusion conclude_album(TDAlbumCheck& check, double average_confidence, int cannot_check_count) {
  TDResultCacheTable not_kept;
  album_verdict(check, average_confidence, false, cannot_check_count, not_kept);

  constexpr std::size_t kAlbumIndex = 0;
  AlbumRecord album;
  for (const auto& track : check.tracks) {
    TrackRecord record;
    record.length_sectors = track.length;
    record.track_number = track.track_number;
    album.tracks.push_back(record);
  }
  TDAlbumLists lists;
  harvest(check, kAlbumIndex, album, lists);
  return {album.lines, album_summary_line(lists, kAlbumIndex, album)};
}
