#include "audio/select_decoder.h"

#include <gtest/gtest.h>

#include <vector>

#include "audio/decoder_cache.h"
#include "audio/program_folder.h"
#include "library/directory_iterator.h"
#include "library/path_rules.h"
#include "library/text_convert.h"
#include "shell/settings_store.h"
#include "support/paths.h"
#include "support/temp_folder.h"

namespace {
// Each test has its own program folder with a "decoder\" of probe plug-ins,
// and its own settings key holding the decoder cache.
class SelectDecoder : public ::testing::Test {
 protected:
  void SetUp() override {
    key_ = L"Software\\Lumenvale\\AuralithTest-" + std::to_wstring(GetCurrentProcessId());
    RegDeleteTreeW(HKEY_CURRENT_USER, key_.c_str());
    set_settings_location(HKEY_CURRENT_USER, key_);
    CreateDirectoryW(decoders().c_str(), nullptr);
    set_program_folder_override(folder_.path());
  }
  void TearDown() override {
    set_program_folder_override(L"");
    RegDeleteTreeW(HKEY_CURRENT_USER, key_.c_str());
    set_settings_location(HKEY_CURRENT_USER, kSettingsKeyPath);
  }

  std::wstring decoders() const { return folder_.path() + L"decoder\\"; }
  void install(const std::wstring& probe, const std::wstring& as = L"") {
    const std::wstring from = host_to_windows_path(TD_PROBE_DIR) + L"\\" + probe + L".dll";
    ASSERT_TRUE(CopyFileW(from.c_str(), (decoders() + (as.empty() ? probe : as) + L".dll").c_str(), FALSE));
  }
  // The plug-ins in the order the file system lists them.
  std::vector<std::wstring> enumeration_order() const {
    std::vector<std::wstring> paths;
    XDirectoryIterator it(decoders() + L"*.dll", false);
    while (it.next()) paths.push_back(it.full_path());
    return paths;
  }
  static std::uint32_t decodes_queries(clSvDecoder& slot) {
    DecoderParamBlock block{};
    EXPECT_NE(slot.Get(slot.instance, L"Probe Queries", &block), 0);
    return block.data_length;
  }

  std::wstring key_;
  TempFolder folder_;
  const DecoderCreateBlock create_{};
};

TEST_F(SelectDecoder, SameExtensionInOtherCaseTakesTheFastPath) {
  install(L"probe_a");
  clSvDecoder slot;
  ASSERT_TRUE(select_decoder(L"C:\\music\\a.PRB", slot, &create_));
  const HMODULE module = slot.module();
  const std::uint32_t queries = decodes_queries(slot);

  ASSERT_TRUE(select_decoder(L"C:\\music\\b.prb", slot, &create_));
  EXPECT_EQ(slot.module(), module);
  EXPECT_NE(slot.instance, nullptr);
  EXPECT_EQ(decodes_queries(slot), queries) << "the fast path asks no \"Decodes\" question";
  // One cache value serves both spellings; its name is that of the file that caused the scan.
  EXPECT_EQ(read_decoder_cache(L".prb"), decoders() + L"probe_a.dll");
}

TEST_F(SelectDecoder, FirstPluginInEnumerationOrderWinsAndIsCached) {
  install(L"probe_a");
  install(L"probe_b");
  std::wstring first;
  for (const std::wstring& p : enumeration_order())
    if (file_part(p) == L"probe_a.dll" || file_part(p) == L"probe_b.dll") {
      first = p;
      break;
    }
  clSvDecoder slot;
  ASSERT_TRUE(select_decoder(L"x.prb", slot, &create_));
  EXPECT_EQ(slot.plugin_path, first);
  EXPECT_EQ(read_decoder_cache(L".prb"), first);
}

TEST_F(SelectDecoder, CachedPluginIsTakenFromOurOwnFolder) {
  install(L"probe_a");
  install(L"probe_b");
  // Cache the plug-in that a scan would not pick first, under a foreign folder.
  const std::vector<std::wstring> order = enumeration_order();
  ASSERT_EQ(order.size(), 2u);
  const std::wstring second = file_part(order[1]);
  ASSERT_TRUE(write_decoder_cache(L".prb", L"D:\\elsewhere\\decoder\\" + second));

  clSvDecoder slot;
  ASSERT_TRUE(select_decoder(L"x.prb", slot, &create_));
  EXPECT_EQ(slot.plugin_path, decoders() + second);
  EXPECT_EQ(read_decoder_cache(L".prb"), decoders() + second);
}

TEST_F(SelectDecoder, StaleCacheEntryCostsOneTryAndIsOverwritten) {
  install(L"probe_a");
  install(L"probe_upper");
  const struct {
    const wchar_t* cached;
  } cases[] = {{L"C:\\gone\\removed.dll"}, {L"C:\\x\\probe_upper.dll"}};  // missing; no longer declaring it
  for (const auto& c : cases) {
    SCOPED_TRACE(c.cached);
    ASSERT_TRUE(write_decoder_cache(L".prb", c.cached));
    clSvDecoder slot;
    ASSERT_TRUE(select_decoder(L"x.prb", slot, &create_));
    EXPECT_EQ(slot.plugin_path, decoders() + L"probe_a.dll");
    EXPECT_EQ(read_decoder_cache(L".prb"), decoders() + L"probe_a.dll");
  }
}

TEST_F(SelectDecoder, ExtensionMatchingRules) {
  install(L"probe_a");
  install(L"probe_b");
  install(L"probe_upper");
  install(L"probe_dot");
  const struct {
    const wchar_t* path;
    const wchar_t* plugin;  // null: no plug-in
  } cases[] = {
      {L"C:\\m\\x.upr", L"probe_upper.dll"},   // an upper-case answer matches
      {L"C:\\m\\x.wma", L"probe_b.dll"},       // any answer of the list, not only the first
      {L"C:\\m\\noext", L"probe_dot.dll"},     // no dot: the extension "."
      {L"C:\\m.d\\noext", L"probe_dot.dll"},   // a dot in the folder does not count
      {L"C:\\m\\x.pr", nullptr},               // the whole extension must match
      {L"C:\\m\\x.prbb", nullptr},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.path);
    clSvDecoder slot;
    const bool found = select_decoder(c.path, slot, &create_);
    ASSERT_EQ(found, c.plugin != nullptr);
    if (found) EXPECT_EQ(file_part(slot.plugin_path), c.plugin);
    else EXPECT_FALSE(slot.is_loaded());
  }
  EXPECT_EQ(read_decoder_cache(L".pr"), L"") << "a failed search leaves the cache alone";
}

TEST_F(SelectDecoder, PluginMissingOneExportIsNeverUsed) {
  install(L"probe_missing");
  clSvDecoder slot;
  EXPECT_FALSE(select_decoder(L"x.mis", slot, &create_));
  ASSERT_TRUE(write_decoder_cache(L".mis", L"C:\\x\\probe_missing.dll"));
  EXPECT_FALSE(select_decoder(L"x.mis", slot, &create_));
  EXPECT_FALSE(slot.is_loaded());

  EXPECT_FALSE(slot.load((decoders() + L"probe_missing.dll").c_str()));
  EXPECT_FALSE(slot.ok);
  EXPECT_EQ(slot.SetPosition, nullptr);
  EXPECT_NE(slot.Create, nullptr) << "every lookup runs";
  slot.unload();
  EXPECT_EQ(slot.Create, nullptr);
  EXPECT_FALSE(slot.is_loaded());
}

TEST_F(SelectDecoder, AnotherExtensionMovesTheSlotToAnotherPlugin) {
  install(L"probe_a");
  install(L"probe_upper");
  clSvDecoder slot;
  ASSERT_TRUE(select_decoder(L"x.prb", slot, &create_));
  ASSERT_TRUE(select_decoder(L"x.upr", slot, &create_));
  EXPECT_EQ(file_part(slot.plugin_path), L"probe_upper.dll");
  EXPECT_FALSE(select_decoder(L"x.none", slot, &create_));
  EXPECT_FALSE(slot.is_loaded());
  EXPECT_EQ(slot.instance, nullptr);
}

TEST(DecoderPlugins, RealPluginsDeclareTheirExtensionsAndNothingElse) {
  const struct {
    const wchar_t* dll;
    std::vector<std::wstring> extensions;
  } cases[] = {{L"wav.dll", {L".wav"}}, {L"flac.dll", {L".flac"}}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.dll);
    clSvDecoder slot;
    ASSERT_TRUE(slot.load((dist_folder() + L"decoder\\" + c.dll).c_str()));
    slot.instance = slot.Create(nullptr);
    ASSERT_NE(slot.instance, nullptr);
    std::vector<std::wstring> answers;
    for (std::int32_t i = 0;; ++i) {
      DecoderParamBlock block{};
      block.index = i;
      if (slot.Get(slot.instance, L"Decodes", &block) == 0 || block.text == nullptr) break;
      answers.push_back(block.text);
    }
    EXPECT_EQ(answers, c.extensions);
    DecoderParamBlock block{};
    EXPECT_EQ(slot.Get(slot.instance, L"Properties", &block), 0) << "no properties before Open";
  }
}
}  // namespace
