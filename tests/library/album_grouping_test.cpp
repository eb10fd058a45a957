#include "library/album_grouping.h"

#include <gtest/gtest.h>

#include <set>

#include "library/album_fold_table.h"
#include "library/album_key.h"
#include "library/album_tag_rules.h"
#include "library/exceptions.h"
#include "library/index_writer.h"

namespace {
ByteView view(const std::string& s) { return {reinterpret_cast<const std::uint8_t*>(s.data()), s.size()}; }

struct Tags {
  std::wstring album_artist{}, album{}, artist{}, track{}, disc{}, compilation{}, result{}, disc_id{};
};

// A lossless CD-quality track of 10 sectors unless changed.
IndexedTrack make_track(std::int32_t id, std::wstring path, const Tags& t) {
  IndexedTrack track;
  track.file_id = id;
  track.file_stamp = 500 + static_cast<std::uint64_t>(id);
  track.path = std::move(path);
  track.track_stamp = 900 + id;
  track.properties.items = {{L"Audio Quality", L"lOSSLESS", {}}, {L"Sample Count", L"5880", {}}};
  auto add = [&](const wchar_t* name, const std::wstring& value) {
    if (!value.empty()) track.tags.items.push_back({name, value, {}});
  };
  add(L"album artist", t.album_artist);
  add(L"album", t.album);
  add(L"artist", t.artist);
  add(L"track", t.track);
  add(L"disc", t.disc);
  add(L"Compilation", t.compilation);
  add(L"TallydiscResult", t.result);
  add(L"TallydiscDiscID", t.disc_id);
  return track;
}

struct Library {
  LibraryIndexBuilder builder;
  LibraryIndexFiles files;
  AlbumGroupingTables tables;

  void add(IndexedTrack t) { builder.add(t); }
  void group(GroupingOptions options = {}, GroupingHooks hooks = {}) {
    files = builder.files();
    group_albums({builder.file_names, builder.file_index, builder.art_index, view(files.inf_props_n_tags),
                  view(files.album_arts)},
                 options, hooks, tables);
  }
  std::vector<std::wstring> keys() const {
    std::vector<std::wstring> k;
    for (const auto& a : tables.albums) k.push_back(a.key);
    return k;
  }
};
}  // namespace

TEST(AlbumKey, FoldTableHoldsEverySourceOnce) {
  std::set<char16_t> sources;
  std::size_t total = 0;
  for (const FoldGroup& group : fold_groups()) {
    EXPECT_TRUE((group.target >= u'a' && group.target <= u'z') || group.target == u'_');
    for (char16_t c : group.sources) {
      sources.insert(c);
      ++total;
      EXPECT_EQ(fold_character(static_cast<wchar_t>(c)), static_cast<wchar_t>(group.target));
    }
  }
  EXPECT_EQ(total, 516u);
  EXPECT_EQ(sources.size(), 516u);
  EXPECT_EQ(fold_character(L'x'), L'x');
  EXPECT_EQ(fold_character(L'\x4E00'), L'\x4E00');
}

TEST(AlbumKey, NormalisedParts) {
  const struct {
    const wchar_t* artist;
    const wchar_t* title;
    const wchar_t* part;
  } cases[] = {
      {L"The Band", L"Some Title", L"band-sometitle"},
      {L"Band, The", L"Some Title", L"band-sometitle"},
      {L"THE Band, the", L"x", L"band-x"},
      {L"Thermal", L"x", L"thermal-x"},
      {L"  Motörhead\r\nsecond line", L"Ace of Spades", L"motorhead-aceofspades"},
      {L"Sigur R\x00F3s", L"\x00C1g\x00E6tis byrjun", L"sigurros-agtisbyrjun"},  // \x00E6 is not folded
      {L"AC-DC", L"Back-In-Black", L"acdc-backinblack"},
      {L"Various Artists", L"Hits", L"hits"},
      {L"va", L"Hits", L"hits"},
      {L"V.A.", L"Hits", L"hits"},
      {L"Compilation", L"Hits", L"hits"},
      {L"", L"Only Title", L"onlytitle"},
      {L"Artist", L"", L"artist"},
      {L"", L"", L""},
      // Brackets: every pair, repeated passes, and the guard for a title
      // that is nothing but a remark.
      {L"A", L"Album (Remastered) [Disc 2]", L"a-album"},
      {L"A", L"Album {x} [y] (z) (w)", L"a-album"},
      {L"A", L"(Live)", L"a-live"},
      {L"A", L"Open (end", L"a-openend"},
      // Disc designations, and the guard for a title that is only one.
      {L"A", L"Album Disc 2", L"a-album"},
      {L"A", L"ALBUM - CD2", L"a-album"},
      {L"A", L"Album CD 1 of 2", L"a-album"},
      {L"A", L"Album disc 1/2", L"a-album"},
      {L"A", L"Album Disc 1-3 Extra", L"a-albumextra"},
      {L"A", L"Album Discothek", L"a-albumdiscothek"},
      {L"A", L"Disc 1", L"a-disc1"},
      {L"A", L"Album\x00A9\x00AE_`;", L"a-album"},
      // Only punctuation: the last step may not wipe the text out.
      {L"!!!", L"???", L"!!!-???"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(normalise_album_key_part(c.artist, c.title), c.part) << c.artist << " / " << c.title;
}

TEST(AlbumKey, ShrinkGuardKeepsAQuarter) {
  EXPECT_EQ(shrink_guard(L"a", L"abcd"), L"a");      // 25%
  EXPECT_EQ(shrink_guard(L"a", L"abcde"), L"abcde");  // 20%
  EXPECT_EQ(shrink_guard(L"", L""), L"");
  EXPECT_EQ(shrink_guard(L"", L"x"), L"x");
}

TEST(AlbumKey, FullKeyAddsDiscFolderAndExtension) {
  EXPECT_EQ(make_album_key(L"A", L"B", 2, L"C:\\Music\\X\\", L".FLAC"), L"a-b-disc2-c:\\music\\x\\-.flac");
  EXPECT_EQ(make_album_key(L"", L"", 0, L"", L"."), L"--.");
  EXPECT_EQ(make_album_key(L"VA", L"Album Disc 2", 2, L"", L".mp3"), L"album-disc2--.mp3");
}

TEST(AlbumTagRules, ReadBackAndNumbers) {
  EXPECT_EQ(tag_checksum_from_result(L"Tallydisc: Accurate (confidence 12)   [0a1B2C3D]"), 0x0A1B2C3Du);
  EXPECT_EQ(tag_checksum_from_result(L"Tallydisc Verified Confidence 3 [TDv2 CRC 89ABCDEF]"), 0x89ABCDEFu);
  EXPECT_EQ(tag_checksum_from_result(L"x [a] [CRC 12] tail"), 0x12u);
  EXPECT_EQ(tag_checksum_from_result(L"] 12 ["), 0u);
  EXPECT_EQ(tag_checksum_from_result(L"[CRC ]"), 0u);
  EXPECT_EQ(tag_checksum_from_result(L"no brackets"), 0u);
  EXPECT_EQ(disc_id_from_tag(L"012-0001a2b3-000c4d5e-9a0b1c0c-7"), L"012-0001a2b3-000c4d5e-9a0b1c0c");
  EXPECT_EQ(disc_id_from_tag(L"plain"), L"plain");
  EXPECT_EQ(sample_count_from_text(L"12,345,678"), 12345678);
  EXPECT_EQ(sample_count_from_text(L"12.345.678 samples"), 12345678);
  EXPECT_EQ(sample_count_from_text(L""), 0);
  EXPECT_EQ(track_number_from_tag(L" 3/12"), 3);
  EXPECT_EQ(track_total_from_tag(L"3/ 12 "), 12);
  EXPECT_EQ(track_total_from_tag(L"3"), 0);
  for (const wchar_t* yes : {L"1", L"-2", L"YeS", L"tRUE"}) EXPECT_TRUE(is_true_value(yes)) << yes;
  for (const wchar_t* no : {L"0", L"", L"no", L"yes please"}) EXPECT_FALSE(is_true_value(no)) << no;
}

TEST(AlbumTagRules, LosslessCdQuality) {
  PropertyHeader cd;
  cd.set_format(2, 44100, 16);
  PropertyHeader hires;
  hires.set_format(2, 96000, 24);
  PropertyHeader mono;
  mono.set_format(1, 44100, 16);
  EXPECT_TRUE(is_lossless_cd_quality(cd, L"LOSSLESS"));
  EXPECT_TRUE(is_lossless_cd_quality(cd, L"Perfect (lossy? no)"));
  EXPECT_FALSE(is_lossless_cd_quality(cd, L""));
  EXPECT_FALSE(is_lossless_cd_quality(cd, L"Lossy"));
  EXPECT_FALSE(is_lossless_cd_quality(hires, L"Lossless"));
  EXPECT_FALSE(is_lossless_cd_quality(mono, L"Lossless"));
}

TEST(AlbumGrouping, SpellingsMeetWhileFoldersAndFormatsStayApart) {
  Library lib;
  lib.add(make_track(1, L"C:\\M\\A\\01.flac", {.album_artist = L"The X", .album = L"Album (Remastered) [Disc 2]", .disc = L"2"}));
  lib.add(make_track(2, L"C:\\M\\A\\02.flac", {.album_artist = L"X, The", .album = L"Album Disc 2", .disc = L"2"}));
  lib.add(make_track(3, L"C:\\M\\A\\03.flac", {.album_artist = L"x", .album = L"ALBUM - CD2", .disc = L"2"}));
  lib.add(make_track(4, L"C:\\M\\A\\01.mp3", {.album_artist = L"X", .album = L"Album", .disc = L"2"}));
  lib.add(make_track(5, L"C:\\M\\B\\01.flac", {.album_artist = L"X", .album = L"Album", .disc = L"2"}));
  lib.group();
  EXPECT_EQ(lib.keys(), (std::vector<std::wstring>{L"x-album-disc2-c:\\m\\a\\-.flac", L"x-album-disc2-c:\\m\\a\\-.mp3",
                                                   L"x-album-disc2-c:\\m\\b\\-.flac"}));
  EXPECT_EQ(lib.tables.albums[0].tracks.size(), 3u);
  EXPECT_EQ(lib.tables.new_albums, (std::vector<std::size_t>{0, 1, 2}));
  EXPECT_EQ(lib.tables.album_by_key.at(lib.keys()[2]), 2u);

  lib.group({.album_defined_by = 1});
  EXPECT_EQ(lib.keys(), (std::vector<std::wstring>{L"x-album-disc2--.flac", L"x-album-disc2--.mp3"}));
  EXPECT_EQ(lib.tables.albums[0].tracks.size(), 4u);
}

TEST(AlbumGrouping, VariousArtistsSpellingsShareOneAlbum) {
  Library lib;
  lib.add(make_track(1, L"C:\\c\\1.flac", {.album_artist = L"Various Artists", .album = L"Hits"}));
  lib.add(make_track(2, L"C:\\c\\2.flac", {.album_artist = L"VA", .album = L"Hits"}));
  lib.add(make_track(3, L"C:\\c\\3.flac", {.album = L"Hits", .artist = L"Someone", .compilation = L"1"}));
  lib.add(make_track(4, L"C:\\c\\4.flac", {.album = L"Hits", .artist = L"Someone"}));
  lib.group();
  EXPECT_EQ(lib.keys(), (std::vector<std::wstring>{L"hits-c:\\c\\-.flac", L"someone-hits-c:\\c\\-.flac"}));
  EXPECT_EQ(lib.tables.albums[0].tracks.size(), 3u);
  // The second spelling differs from the first: the display artist goes.
  EXPECT_EQ(lib.tables.albums[0].artist, L"");
  EXPECT_EQ(lib.tables.albums[0].title, L"Hits");
  EXPECT_EQ(lib.tables.albums[1].artist, L"Someone");
}

TEST(AlbumGrouping, DisplayTextsAreFirstLinesAndStayBlank) {
  Library lib;
  lib.add(make_track(1, L"C:\\d\\1.flac", {.album_artist = L" Art \r\nmore", .album = L"T"}));
  lib.add(make_track(2, L"C:\\d\\2.flac", {.album_artist = L"Art\nother", .album = L"T"}));
  lib.add(make_track(3, L"C:\\d\\3.flac", {.album_artist = L"ART", .album = L"t"}));
  lib.add(make_track(4, L"C:\\d\\4.flac", {.album_artist = L"Art", .album = L"T"}));
  lib.group();
  ASSERT_EQ(lib.tables.albums.size(), 1u);
  EXPECT_EQ(lib.tables.albums[0].artist, L"");
  EXPECT_EQ(lib.tables.albums[0].title, L"");

  Library same;
  same.add(make_track(1, L"C:\\d\\1.flac", {.album_artist = L" Art \r\nmore", .album = L"T"}));
  same.add(make_track(2, L"C:\\d\\2.flac", {.album_artist = L"Art\nother", .album = L"T "}));
  same.group();
  EXPECT_EQ(same.tables.albums[0].artist, L"Art");
  EXPECT_EQ(same.tables.albums[0].title, L"T");
}

TEST(AlbumGrouping, TrackRecordsAndEligibilityOfFiles) {
  Library lib;
  IndexedTrack first = make_track(7, L"C:\\t\\1.flac",
                                  {.album_artist = L"A", .album = L"B", .track = L"1/12",
                                   .result = L"Tallydisc: Accurate (confidence 5)   [DEADBEEF]",
                                   .disc_id = L"012-00000001-00000002-00000003-1"});
  first.properties.items[1].value = L"12,345,678";
  lib.add(first);
  lib.add(make_track(8, L"C:\\t\\2.flac", {.album_artist = L"A", .album = L"B", .track = L"0/12"}));
  lib.add(make_track(9, L"C:\\t\\3.flac", {.album_artist = L"A", .album = L"B"}));
  IndexedTrack empty_quality = make_track(10, L"C:\\t\\4.flac", {.album_artist = L"A", .album = L"B", .track = L"4"});
  empty_quality.properties.items[0].value = L"";
  lib.add(empty_quality);
  IndexedTrack corrupted = make_track(11, L"C:\\t\\5.flac", {.album_artist = L"A", .album = L"B"});
  corrupted.state = 1;
  lib.add(corrupted);
  IndexedTrack quiet = make_track(12, L"C:\\t\\6.flac", {.album_artist = L"A", .album = L"B"});
  quiet.state = 3;
  lib.add(quiet);
  lib.add(make_track(13, L"C:\\t\\7.flac", {.album_artist = L"A", .album = L"B", .disc_id = L"other-2"}));
  // A record whose file id is not in the file-name table is left out.
  lib.builder.file_names.records.back().file_id = 99;

  lib.group();
  ASSERT_EQ(lib.tables.albums.size(), 1u);
  const AlbumRecord& album = lib.tables.albums[0];
  EXPECT_EQ(album.total_tracks, 12);
  EXPECT_EQ(album.disc_id, L"012-00000001-00000002-00000003");
  ASSERT_EQ(album.tracks.size(), 3u);
  EXPECT_EQ(album.tracks[0].file_name_index, 0);
  EXPECT_EQ(album.tracks[0].sample_count, 12345678);
  EXPECT_EQ(album.tracks[0].length_sectors, 20996);
  EXPECT_EQ(album.tracks[0].track_number, 1);
  EXPECT_TRUE(album.tracks[0].lossless_cd_quality);
  EXPECT_EQ(album.tracks[0].tag_checksum, 0xDEADBEEFu);
  EXPECT_EQ(album.tracks[0].track_stamp, 907);
  EXPECT_EQ(album.tracks[1].track_number, 0);  // no "track" tag: kept as 0
  EXPECT_EQ(album.tracks[1].file_name_index, 2);
  EXPECT_FALSE(album.tracks[2].lossless_cd_quality);
  EXPECT_EQ(lib.tables.corrupted_files, std::vector<std::size_t>{4});

  lib.group({.skip_non_cd_quality = 1});
  ASSERT_EQ(lib.tables.albums.size(), 1u);
  EXPECT_EQ(lib.tables.albums[0].tracks.size(), 2u);
}

TEST(AlbumGrouping, CoversAreDecodedOnceFromTheCreatingTrack) {
  Library lib;
  lib.add(make_track(1, L"C:\\a\\1.flac", {.album = L"One"}));
  IndexedTrack with_art = make_track(2, L"C:\\a\\2.flac", {.album = L"One"});
  with_art.art = "PICTURE-LATE";
  lib.add(with_art);
  IndexedTrack second = make_track(3, L"C:\\a\\3.flac", {.album = L"Two"});
  second.art = "PICTURE-TWO";
  lib.add(second);
  std::vector<std::pair<std::string, int>> decoded;
  GroupingHooks hooks;
  hooks.decode_cover = [&](ByteView bytes, int edge) {
    decoded.emplace_back(std::string(bytes.begin(), bytes.end()), edge);
    return std::shared_ptr<const XPlatformImage>();
  };
  lib.group({.thumbnail_size = 64}, hooks);
  EXPECT_EQ(decoded, (std::vector<std::pair<std::string, int>>{{"PICTURE-TWO", 64}}));
}

TEST(AlbumGrouping, InconsistentIndexThrowsAndCancelKeepsWhatWasMade) {
  Library lib;
  for (int i = 1; i <= 4; ++i) lib.add(make_track(i, L"C:\\x\\" + std::to_wstring(i) + L".flac", {.album = std::to_wstring(i)}));
  int checks = 0;
  std::vector<int> progress;
  GroupingHooks hooks;
  hooks.cancelled = [&] { return ++checks > 2; };
  hooks.progress = [&](int p) { progress.push_back(p); };
  lib.group({}, hooks);
  EXPECT_EQ(lib.tables.albums.size(), 2u);
  EXPECT_EQ(progress, (std::vector<int>{0, 25}));

  lib.builder.file_index[3].set_entry(1 << 20, 0, 0);
  EXPECT_THROW(lib.group(), exception_index_corrupted);

  Library art;
  IndexedTrack t = make_track(1, L"C:\\y\\1.flac", {});
  t.art = "IMG";
  art.add(t);
  art.builder.art_index[0].offset = 10;
  EXPECT_THROW(art.group(), exception_index_corrupted);
}

TEST(TrackLists, ByNumberNeedsEveryNumber) {
  Library lib;
  const wchar_t* numbers[] = {L"2", L"1", L"3", L"2"};
  for (int i = 0; i < 4; ++i)
    lib.add(make_track(20 + i, L"C:\\n\\" + std::to_wstring(i) + L".flac", {.album = L"N", .track = numbers[i]}));
  lib.group();
  AlbumRecord album = lib.tables.albums.at(0);
  album.tracks[1].lossless_cd_quality = false;
  std::vector<VerificationTrackEntry> entries;
  // Four records, numbers 1..4 wanted: 4 is missing.
  EXPECT_FALSE(build_track_list_by_number(album, lib.builder.file_names, entries));
  album.tracks.pop_back();
  ASSERT_TRUE(build_track_list_by_number(album, lib.builder.file_names, entries));
  ASSERT_EQ(entries.size(), 3u);
  EXPECT_EQ(entries[0].track_number, 1);
  EXPECT_EQ(entries[0].file_id, 21);
  EXPECT_EQ(entries[0].path, L"C:\\n\\1.flac");
  EXPECT_EQ(entries[0].file_stamp, 521u);
  EXPECT_EQ(entries[0].cache_stamp, -1);
  EXPECT_EQ(entries[1].file_id, 20);
  EXPECT_EQ(entries[1].length, 10);
  EXPECT_EQ(entries[1].cache_stamp, 920);
}

TEST(TrackLists, ByTocMatchesNumberAndLengthThenLengthThenNumber) {
  Library lib;
  const struct {
    const wchar_t* number;
    const wchar_t* samples;
  } files[] = {{L"1", L"5880"}, {L"2", L"11760"}, {L"2", L"17640"}, {L"3", L"23520"}};
  for (int i = 0; i < 4; ++i) {
    IndexedTrack t = make_track(30 + i, L"C:\\t\\" + std::to_wstring(i) + L".flac", {.album = L"T", .track = files[i].number});
    t.properties.items[1].value = files[i].samples;
    lib.add(t);
  }
  lib.group();
  const AlbumRecord& album = lib.tables.albums.at(0);
  std::vector<VerificationTrackEntry> entries;
  // Lengths 10, 20, 30, 40 sectors: number 2 with length 30 wins over the
  // first number 2; the 4th is found by its length alone.
  ASSERT_TRUE(build_track_list_by_toc(album, lib.builder.file_names, L"", {L"30", L"30", L"40", L"10"}, entries));
  ASSERT_EQ(entries.size(), 4u);
  EXPECT_EQ(entries[0].file_id, 32);  // length 30, no track 1 of that length
  EXPECT_EQ(entries[1].file_id, 32);  // track 2 and length 30
  EXPECT_EQ(entries[2].file_id, 33);  // length 40
  EXPECT_EQ(entries[3].file_id, 30);  // length 10
  EXPECT_EQ(entries[1].length, 30);
  EXPECT_EQ(entries[1].track_number, 2);

  // Padded to the count of the disc identifier: the 5th finds no file.
  EXPECT_FALSE(build_track_list_by_toc(album, lib.builder.file_names, L"005-x", {L"10", L"20", L"99", L"77"}, entries));
  ASSERT_EQ(entries.size(), 5u);
  EXPECT_EQ(entries[2].file_id, 33);  // length 99 unknown: number 3
  EXPECT_EQ(entries[3].file_id, 0);   // number 4 and length 77 unknown
  EXPECT_EQ(entries[3].path, L"");
  EXPECT_EQ(entries[3].length, 77);
  EXPECT_EQ(entries[3].cache_stamp, -1);
  EXPECT_EQ(entries[4].length, 123456789);
  EXPECT_EQ(entries[4].track_number, 5);

  // A count from a tag cannot make the list grow without bound.
  build_track_list_by_toc(album, lib.builder.file_names, L"2000000000", {}, entries);
  EXPECT_EQ(entries.size(), 999u);
}
