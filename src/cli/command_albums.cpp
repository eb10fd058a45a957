// tallydisc-cli albums [--data DIR] [--thumbnail N]: reads the library index
// of the data folder and groups it into albums as a verification run does
// (settings from the settings store), one line per album in creation order:
//   key<TAB>artist<TAB>title<TAB>tracks=%d<TAB>cover=%dx%d (or cover=none)
// then "corrupted=%d".
#include "cli/command_registry.h"
#include "cli/console_output.h"
#include "covers/cover_decoder.h"
#include "library/album_grouping_files.h"
#include "library/exceptions.h"
#include "library/known_folders.h"
#include "library/number_text.h"
#include "shell/data_folder.h"
#include "shell/settings_store.h"

namespace {
// The edge of the square box covers are fitted into unless --thumbnail
// says otherwise.
constexpr int kDefaultThumbnailEdge = 100;

std::wstring cover_text(const std::shared_ptr<const XPlatformImage>& cover) {
  if (!cover) return L"cover=none";
  return L"cover=" + std::to_wstring(cover->width()) + L"x" + std::to_wstring(cover->height());
}

int run_albums(const std::vector<std::wstring>& args) {
  GroupingOptions options;
  options.thumbnail_size = kDefaultThumbnailEdge;
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (args[i] == L"--data" && i + 1 < args.size()) {
      set_appdata_folder_override(args[++i]);
    } else if (args[i] == L"--thumbnail" && i + 1 < args.size()) {
      const std::int64_t edge = parse_decimal_signed(args[++i]);
      if (edge < 1 || edge > 4096) throw CliUsageError("--thumbnail takes an edge of 1 to 4096 pixels");
      options.thumbnail_size = static_cast<int>(edge);
    } else {
      throw CliUsageError("unknown argument");
    }
  }
  options.album_defined_by = read_setting_dword(setting::kAlbumDefinedBy);
  options.skip_non_cd_quality = read_setting_dword(setting::kSkipNonCDQualityReport);

  const std::wstring folder = data_folder();
  LibraryIndexTables tables;
  if (!read_library_index(folder, tables)) {
    err_line(L"cannot open the library index in " + folder);
    return kExitFailed;
  }
  GroupingHooks hooks;
  hooks.decode_cover = decode_cover_thumbnail;
  AlbumGroupingTables albums;
  // exception_index_corrupted reaches the front end, which prints its text
  // and exits with 2.
  group_library_albums(folder, tables, options, hooks, albums);
  for (const AlbumRecord& album : albums.albums) {
    out_line(album.key + L"\t" + album.artist + L"\t" + album.title + L"\ttracks=" +
             std::to_wstring(album.tracks.size()) + L"\t" + cover_text(album.cover));
  }
  out_line(L"corrupted=" + std::to_wstring(albums.corrupted_files.size()));
  return kExitOk;
}

const CliCommandRegistration registration{
    {L"albums", L"[--data DIR] [--thumbnail N]",
     L"group the library index into albums: key, artist, title, track count and cover size per album",
     run_albums}};
}  // namespace
