// verify [--json]: the verification run over the current library index,
// then its results by category, as the album list shows them.
#include <windows.h>

#include <atomic>
#include <string>

#include "cli/command_registry.h"
#include "cli/console_output.h"
#include "cli/json_text.h"
#include "cli/progress_bar.h"
#include "library/exceptions.h"
#include "library/text_convert.h"
#include "shell/data_folder.h"
#include "ui/album_categories.h"
#include "verify/platform_services.h"
#include "verify/track_check.h"
#include "verify/verification_run.h"

namespace {
// Edge of the cover thumbnails: the album list's at 96 DPI.
constexpr int kThumbnailSize = 96;

std::atomic<HANDLE> g_stop_event{nullptr};

BOOL WINAPI on_console_break(DWORD type) {
  if (type != CTRL_C_EVENT && type != CTRL_BREAK_EVENT) return FALSE;
  if (HANDLE stop = g_stop_event.load()) SetEvent(stop);
  return TRUE;
}

class ConsoleRun : public clTallydiscCommon {
 public:
  ConsoleRun() : clTallydiscCommon(data_folder(), platform_verification_services()), bar_(L"Verifying") {}
  void status(int percent, const std::wstring& text) override { bar_.update(static_cast<unsigned>(percent), text); }
  void progress(int percent, const std::shared_ptr<const XPlatformImage>&) override {
    bar_.update(static_cast<unsigned>(percent));
  }

 private:
  ProgressBar bar_;
};

const wchar_t* status_word(std::uint32_t status) {
  switch (status) {
    case track_status::kAccurate: return L"accurate";
    case track_status::kInaccurate: return L"inaccurate";
    case track_status::kNotEnoughInformation: return L"not-enough-information";
    case track_status::kError: return L"error";
    default: return L"no-file";
  }
}

// "Track 12: ..." -> 12; 0 for other lines.
int track_number_of(const std::wstring& line) {
  int n = 0;
  if (line.rfind(L"Track ", 0) != 0) return 0;
  for (std::size_t i = 6; i < line.size() && line[i] >= L'0' && line[i] <= L'9'; ++i) n = n * 10 + (line[i] - L'0');
  return n;
}

const std::vector<std::size_t>& albums_of(const clTallydiscCommon& run, int number,
                                          const std::vector<std::size_t>& all) {
  switch (number) {
    case category::kAccurate: return run.lists.accurate.items();
    case category::kWithErrors: return run.lists.with_errors.items();
    case category::kNotPresent: return run.lists.not_present.items();
    case category::kCannotCheck: return run.lists.cannot_check.items();
    case category::kUserExcluded: return run.lists.user_excluded.items();
    default: return all;
  }
}

std::wstring corrupted_path(const clTallydiscCommon& run, std::size_t file_index_position) {
  const std::int32_t id = run.index.file_index[file_index_position].file_id();
  for (const auto& r : run.index.file_names.records)
    if (r.file_id == id) return r.path;
  return {};
}

void print_text(const clTallydiscCommon& run, const std::vector<CategoryEntry>& entries,
                const std::vector<std::size_t>& all) {
  for (const auto& entry : entries) {
    out_line(entry.text);
    if (entry.number == category::kCorrupted) {
      for (std::size_t at : run.grouping.corrupted_files) out_line(L"  " + corrupted_path(run, at));
      continue;
    }
    for (std::size_t a : albums_of(run, entry.number, all)) {
      const AlbumRecord& album = run.grouping.albums[a];
      out_line(L"  " + album.artist + L"\t" + album.title + L"\t" + album.message);
      for (const auto& line : album.lines) out_line(L"    " + line);
    }
  }
}

void print_json(const clTallydiscCommon& run, const std::vector<CategoryEntry>& entries,
                const std::vector<std::size_t>& all) {
  std::string out = "{\"categories\": [";
  bool first_category = true;
  for (const auto& entry : entries) {
    if (entry.number == category::kCorrupted) continue;
    out += first_category ? "" : ", ";
    first_category = false;
    out += "{\"number\": " + std::to_string(entry.number) + ", \"text\": " + json_string(entry.text) +
           ", \"albums\": [";
    bool first_album = true;
    for (std::size_t a : albums_of(run, entry.number, all)) {
      const AlbumRecord& album = run.grouping.albums[a];
      out += first_album ? "" : ", ";
      first_album = false;
      out += "{\"key\": " + json_string(album.key) + ", \"artist\": " + json_string(album.artist) +
             ", \"title\": " + json_string(album.title) + ", \"discIds\": " + json_string(album.disc_id) +
             ", \"message\": " + json_string(album.message) + ", \"tracks\": [";
      for (std::size_t t = 0; t < album.lines.size(); ++t) {
        const std::uint32_t status = t < album.statuses.size() ? album.statuses[t] : track_status::kNoFile;
        out += t ? ", " : "";
        out += "{\"number\": " + std::to_string(track_number_of(album.lines[t])) +
               ", \"status\": " + json_string(status_word(status)) + ", \"line\": " + json_string(album.lines[t]) +
               ", \"path\": " + json_string(t < album.paths.size() ? album.paths[t] : std::wstring()) + "}";
      }
      out += "]}";
    }
    out += "]}";
  }
  out += "], \"corrupted\": [";
  for (std::size_t i = 0; i < run.grouping.corrupted_files.size(); ++i)
    out += (i ? ", " : "") + json_string(corrupted_path(run, run.grouping.corrupted_files[i]));
  out += "]}\n";
  out_bytes(out);
}

int run_verify(const std::vector<std::wstring>& args) {
  bool json = false;
  for (const auto& a : args) {
    if (a == L"--json") json = true;
    else throw CliUsageError("unknown argument");
  }
  create_data_folder();
  const XEvent stop = XEvent::adopt(CreateEventW(nullptr, TRUE, FALSE, nullptr));
  g_stop_event = stop.get();
  SetConsoleCtrlHandler(on_console_break, TRUE);
  ConsoleRun run;
  try {
    run.Run(kThumbnailSize, stop);
  } catch (const exception_user_abort& e) {
    g_stop_event = nullptr;
    run.discard_cache_changes();  // a cancelled run saves nothing
    err_line(utf8_to_wide(e.what()));
    return kExitFailed;
  }
  g_stop_event = nullptr;

  CategoryCounts counts;
  counts.corrupted_tracks = run.grouping.corrupted_files.size();
  counts.with_errors = run.lists.with_errors.size();
  counts.accurate = run.lists.accurate.size();
  counts.not_present = run.lists.not_present.size();
  counts.cannot_check = run.lists.cannot_check.size();
  counts.user_excluded = run.lists.user_excluded.size();
  counts.total = run.grouping.albums.size();
  std::vector<std::size_t> all(run.grouping.albums.size());
  for (std::size_t i = 0; i < all.size(); ++i) all[i] = i;
  const auto entries = category_entries(counts);
  if (json) print_json(run, entries, all);
  else print_text(run, entries, all);
  return kExitOk;
}

const CliCommandRegistration registration{
    {L"verify", L"[--json]",
     L"verify every album of the library index: results by category (Ctrl+C cancels, nothing is saved)",
     run_verify}};
}  // namespace
