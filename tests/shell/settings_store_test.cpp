#include "shell/settings_store.h"

#include <gtest/gtest.h>

#include "shell/data_folder.h"
#include "library/known_folders.h"
#include "shell/platform_theme.h"

namespace {
// Each test works in its own key, so the suite never touches real settings.
class SettingsStore : public ::testing::Test {
 protected:
  void SetUp() override {
    key_ = L"Software\\Lumenvale\\AuralithTest-" + std::to_wstring(GetCurrentProcessId());
    RegDeleteTreeW(HKEY_CURRENT_USER, key_.c_str());
    set_settings_location(HKEY_CURRENT_USER, key_);
  }
  void TearDown() override {
    RegDeleteTreeW(HKEY_CURRENT_USER, key_.c_str());
    set_settings_location(HKEY_CURRENT_USER, kSettingsKeyPath);
  }
  std::wstring key_;
};

const wchar_t* const kNumberSettings[] = {
    setting::kDarkMode, setting::kLeft, setting::kTop, setting::kRight, setting::kBottom, setting::kNotMax,
    setting::kDecodeAll, setting::kReqTwoOrMore, setting::kSkipNonCDQualityReport,
    setting::kNoQuickLookupBasedOnCRCInTag, setting::kNoRecyle, setting::kNoConfirmFileDelete,
    setting::kDelReadOnlyNoConfirm, setting::kTagNoUndo, setting::kTagWritePreserveModDate,
    setting::kAlbumDefinedBy};
const wchar_t* const kStringSettings[] = {setting::kTagMultiValDelimiter, setting::kDatabaseServer,
                                          setting::kLookupServer};
}  // namespace

TEST_F(SettingsStore, EverySettingDefaultsWhenMissingOrMistyped) {
  for (const wchar_t* name : kNumberSettings) EXPECT_EQ(read_setting_dword(name), 0u) << name;
  for (const wchar_t* name : kStringSettings) EXPECT_EQ(read_setting_string(name), L"") << name;

  for (const wchar_t* name : kNumberSettings) {
    const wchar_t text[] = L"1";
    ASSERT_TRUE(write_setting(text, sizeof text, REG_SZ, name));
    EXPECT_EQ(read_setting_dword(name), 0u) << name;
  }
  for (const wchar_t* name : kStringSettings) {
    ASSERT_TRUE(write_setting_dword(name, 7));
    EXPECT_EQ(read_setting_string(name), L"") << name;
  }
}

TEST_F(SettingsStore, ValuesRoundTrip) {
  ASSERT_TRUE(write_setting_dword(setting::kReqTwoOrMore, 1));
  EXPECT_EQ(read_setting_dword(setting::kReqTwoOrMore), 1u);
  const std::int32_t left = -1680;
  ASSERT_TRUE(write_setting_dword(setting::kLeft, static_cast<std::uint32_t>(left)));
  EXPECT_EQ(read_setting_signed(setting::kLeft), -1680);

  const wchar_t server[] = L"127.0.0.1:8080";
  ASSERT_TRUE(write_setting(server, sizeof server, REG_SZ, setting::kDatabaseServer));
  EXPECT_EQ(read_setting_string(setting::kDatabaseServer), server);
  // A value stored without its terminator and an unexpanded REG_EXPAND_SZ.
  ASSERT_TRUE(write_setting(L"ab", 4, REG_SZ, setting::kTagMultiValDelimiter));
  EXPECT_EQ(read_setting_string(setting::kTagMultiValDelimiter), L"ab");
  const wchar_t expand[] = L"%TEMP%\\x";
  ASSERT_TRUE(write_setting(expand, sizeof expand, REG_EXPAND_SZ, setting::kLookupServer));
  EXPECT_EQ(read_setting_string(setting::kLookupServer), expand);
}

TEST_F(SettingsStore, OtherKeysCanBeNamed) {
  const std::wstring sub = key_ + L"\\DecoderCache64";
  const wchar_t value[] = L"C:\\x\\decoder\\flac.dll";
  ASSERT_TRUE(write_setting(value, sizeof value, REG_SZ, L".flac", HKEY_CURRENT_USER, sub.c_str()));
  EXPECT_EQ(read_setting_string(L".flac", HKEY_CURRENT_USER, sub.c_str()), value);
  EXPECT_EQ(read_setting_string(L".flac"), L"");
}

TEST(DataFolder, IsAuralithInsideApplicationData) {
  set_appdata_folder_override(L"C:\\Error");
  EXPECT_EQ(data_folder(), L"C:\\Error\\Auralith");
  EXPECT_EQ(data_file_path(L"TDResultCache.bin"), L"C:\\Error\\Auralith\\TDResultCache.bin");
  set_appdata_folder_override(L"");
  EXPECT_EQ(data_folder(), get_folder(kCsidlAppData) + L"Auralith");
}

TEST(PlatformTheme, WineIsSeenAsACompatibilityLayer) {
  const ThemePlatformFacts facts = read_theme_platform_facts();
  EXPECT_TRUE(facts.on_compatibility_layer);
  EXPECT_GT(facts.build_number, 17762u);  // the test prefix reports Windows 10
  EXPECT_FALSE(platform_supports_dark_windows(facts));
}
