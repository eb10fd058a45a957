// Fetching records into the local record cache from the rip database
// stand-in that record_fetch_test_driver.py starts: its ports, its record
// folder and its request log arrive in the environment.
#include "verify/record_fetch.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "library/file_ops.h"
#include "library/known_folders.h"
#include "library/xfile.h"
#include "net/loopback_listener.h"
#include "shell/settings_store.h"
#include "support/temp_folder.h"
#include "verify/record_cache.h"

namespace {

constexpr wchar_t kExample[] = L"002-00009c40-0001adb1-0b019002";
constexpr wchar_t kSecond[] = L"003-00012345-00abcdef-12345678";
constexpr wchar_t kUnknown[] = L"001-00000000-00000001-00000002";

std::wstring env(const char* name) {
  const char* value = std::getenv(name);
  const std::string text = value ? value : "";
  return std::wstring(text.begin(), text.end());
}

std::string fileBytes(const std::wstring& path) {
  std::string bytes;
  if (!file_exists(path)) return "<missing>";
  load_whole_file(path, bytes);
  return bytes;
}

class RecordFetch : public ::testing::Test {
 protected:
  void SetUp() override {
    key_ = L"Software\\Lumenvale\\AuralithTest-fetch-" + std::to_wstring(GetCurrentProcessId());
    RegDeleteTreeW(HKEY_CURRENT_USER, key_.c_str());
    set_settings_location(HKEY_CURRENT_USER, key_);
    set_appdata_folder_override(appData_.path());
    ASSERT_FALSE(env("TD_RIPDB_PORT_NORMAL").empty()) << "run through record_fetch_test_driver.py";
  }
  void TearDown() override {
    set_appdata_folder_override(L"");
    RegDeleteTreeW(HKEY_CURRENT_USER, key_.c_str());
    set_settings_location(HKEY_CURRENT_USER, kSettingsKeyPath);
  }

  void useServer(const std::wstring& hostAndPort) {
    ASSERT_TRUE(write_setting(hostAndPort.c_str(), static_cast<DWORD>((hostAndPort.size() + 1) * sizeof(wchar_t)),
                              REG_SZ, setting::kDatabaseServer));
  }
  void useStandIn(const char* mode) {
    useServer(L"127.0.0.1:" + env((std::string("TD_RIPDB_PORT_") + mode).c_str()));
  }
  void useRefusedPort() { useServer(L"127.0.0.1:" + std::to_wstring(refusedPort())); }

  std::wstring cacheFolder() const { return appData_.path() + L"Tallydisc\\TallydiscCache\\"; }
  std::wstring cacheFile(const std::wstring& identifier) const { return cacheFolder() + L"TDbf-" + identifier + L".bin"; }
  static std::string serverRecord(const std::wstring& identifier) {
    return fileBytes(env("TD_RIPDB_RECORDS") + L"\\TDbf-" + identifier + L".bin");
  }
  // Every request the normal stand-in received so far.
  static std::string requestLog() {
    std::string bytes;
    load_whole_file(env("TD_RIPDB_LOG"), bytes);
    return bytes;
  }

  // A cache file with its own content, last written `days` ago.
  void placeCacheFile(const std::wstring& identifier, const std::string& content, int days) {
    ASSERT_TRUE(create_directory_tree(cacheFolder().substr(0, cacheFolder().size() - 1)));
    XFile file(cacheFile(identifier));
    file.open(GENERIC_WRITE, CREATE_ALWAYS, true);
    ASSERT_TRUE(file.is_open());
    ASSERT_TRUE(file.write(content.data(), content.size(), XFile::kFromStart));
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    ULARGE_INTEGER t;
    t.LowPart = now.dwLowDateTime;
    t.HighPart = now.dwHighDateTime;
    t.QuadPart -= static_cast<ULONGLONG>(days) * 24 * 3600 * 10000000ull;
    const FILETIME then{t.LowPart, t.HighPart};
    ASSERT_TRUE(SetFileTime(file.handle, nullptr, nullptr, &then));
  }

  struct Fetched {
    bool available = false;
    bool networkFailure = false;
    std::vector<std::wstring> paths;
  };
  static Fetched fetch(const std::wstring& list) {
    Fetched f;
    f.networkFailure = true;  // must start false
    f.available = fetch_records(list, f.networkFailure, f.paths);
    return f;
  }

  TempFolder appData_;
  std::wstring key_;
};

TEST_F(RecordFetch, UpperCaseIdentifierIsFetchedAndCachedUnderLowerCase) {
  useStandIn("NORMAL");
  const std::string logBefore = requestLog();
  const Fetched f = fetch(L"002-00009C40-0001ADB1-0B019002");
  EXPECT_TRUE(f.available);
  EXPECT_FALSE(f.networkFailure);
  EXPECT_EQ(f.paths, std::vector<std::wstring>{cacheFile(kExample)});
  EXPECT_EQ(record_cache_path(L"002-00009C40-0001ADB1-0B019002"), cacheFile(kExample));
  EXPECT_EQ(fileBytes(cacheFile(kExample)), serverRecord(kExample));
  const std::string request = requestLog().substr(logBefore.size());
  EXPECT_EQ(request, "GET /tallydisc/0/4/c/TDbf-002-00009c40-0001adb1-0b019002.bin HTTP/1.0\r\n"
                     "User-Agent: Auralith\r\nHost: 127.0.0.1:" +
                         std::string(std::getenv("TD_RIPDB_PORT_NORMAL")) + "\r\n\r\n");
}

TEST_F(RecordFetch, FreshCopyIsUsedWithoutTraffic) {
  useStandIn("NORMAL");
  placeCacheFile(kExample, "cached", 4);
  const std::string logBefore = requestLog();
  const Fetched f = fetch(kExample);
  EXPECT_TRUE(f.available);
  EXPECT_FALSE(f.networkFailure);
  EXPECT_EQ(fileBytes(cacheFile(kExample)), "cached");
  EXPECT_EQ(requestLog(), logBefore);
}

TEST_F(RecordFetch, StaleCopyIsFetchedAgain) {
  useStandIn("NORMAL");
  placeCacheFile(kExample, "cached", 6);
  const Fetched f = fetch(kExample);
  EXPECT_TRUE(f.available);
  EXPECT_EQ(fileBytes(cacheFile(kExample)), serverRecord(kExample));
}

TEST_F(RecordFetch, StaleCopyStaysWhenTheFetchFails) {
  useRefusedPort();
  placeCacheFile(kExample, "cached", 6);
  const Fetched f = fetch(kExample);
  EXPECT_FALSE(f.available);
  EXPECT_TRUE(f.networkFailure);
  EXPECT_EQ(f.paths, std::vector<std::wstring>{cacheFile(kExample)});
  EXPECT_EQ(fileBytes(cacheFile(kExample)), "cached");
}

TEST_F(RecordFetch, NotFoundWritesNothingAndIsNoNetworkFailure) {
  useStandIn("NORMAL");
  const Fetched f = fetch(kUnknown);
  EXPECT_FALSE(f.available);
  EXPECT_FALSE(f.networkFailure);
  EXPECT_EQ(f.paths, std::vector<std::wstring>{cacheFile(kUnknown)});
  EXPECT_FALSE(file_exists(cacheFile(kUnknown)));
}

TEST_F(RecordFetch, OneFreshIdentifierMakesTheAlbumAvailable) {
  useStandIn("NORMAL");
  placeCacheFile(kSecond, "cached", 1);
  const Fetched f = fetch(std::wstring(kUnknown) + L"#" + kSecond);
  EXPECT_TRUE(f.available);
  EXPECT_FALSE(f.networkFailure);
  EXPECT_EQ(f.paths, (std::vector<std::wstring>{cacheFile(kUnknown), cacheFile(kSecond)}));
}

TEST_F(RecordFetch, UnusualButWholeRepliesAreStored) {
  for (const char* mode : {"LOWER", "SLOW"}) {
    useStandIn(mode);
    for (const wchar_t* identifier : {kExample, kSecond}) {
      delete_file(cacheFile(identifier));
      const Fetched f = fetch(identifier);
      EXPECT_TRUE(f.available) << mode;
      EXPECT_FALSE(f.networkFailure) << mode;
      EXPECT_EQ(fileBytes(cacheFile(identifier)), serverRecord(identifier)) << mode;
    }
  }
}

TEST_F(RecordFetch, CutShortOrOversizedRepliesAreNetworkFailuresThatWriteNothing) {
  for (const char* mode : {"EARLY", "BIG"}) {
    useStandIn(mode);
    delete_file(cacheFile(kExample));
    Fetched f = fetch(kExample);
    EXPECT_FALSE(f.available) << mode;
    EXPECT_TRUE(f.networkFailure) << mode;
    EXPECT_FALSE(file_exists(cacheFile(kExample))) << mode;
    placeCacheFile(kExample, "cached", 6);
    f = fetch(kExample);
    EXPECT_TRUE(f.networkFailure) << mode;
    EXPECT_EQ(fileBytes(cacheFile(kExample)), "cached") << mode;
  }
}

TEST_F(RecordFetch, InvalidIdentifiersTouchNeitherDiskNorNetwork) {
  useStandIn("NORMAL");
  const std::string logBefore = requestLog();
  const Fetched f = fetch(L"..\\..\\x#002-00009c40-0001adb1#002-00009c40-0001adb1-0b01900g##"
                          L"002-00009c40-0001adb1-0b019002;10000;20000#/tallydisc/../../x");
  EXPECT_FALSE(f.available);
  EXPECT_FALSE(f.networkFailure);
  EXPECT_TRUE(f.paths.empty());
  EXPECT_EQ(requestLog(), logBefore);
  EXPECT_FALSE(file_exists(appData_.path() + L"Tallydisc"));
}

TEST_F(RecordFetch, FetchAndReadFillsTheTracks) {
  useStandIn("NORMAL");
  std::vector<TDTrackCheck> tracks(2);
  bool networkFailure = true;
  ASSERT_TRUE(fetch_and_read_records(std::wstring(kUnknown) + L"#" + kExample, tracks, networkFailure));
  EXPECT_FALSE(networkFailure);
  // The example record has two chunks; the pair seen twice keeps the higher
  // confidence and the index of the path that brought it (the second).
  EXPECT_EQ(tracks[0].entries, (std::vector<TDTrackEntry>{{7, 0x11111111, 0xaaaaaaaa, 1}}));
  EXPECT_EQ(tracks[1].entries, (std::vector<TDTrackEntry>{{4, 0x22222222, 0, 1}}));

  std::vector<TDTrackCheck> none(2);
  EXPECT_FALSE(fetch_and_read_records(kUnknown, none, networkFailure));
  EXPECT_TRUE(none[0].entries.empty());
}

}  // namespace
