#include "library/path_rules.h"

#include <gtest/gtest.h>

#include "library/folder_fallbacks.h"
#include "library/line_rules.h"
#include "library/text_convert.h"

namespace {
std::wstring path_of_length(std::size_t n) {
  std::wstring p = L"C:\\";
  while (p.size() < n) p += L'a';
  return p;
}
}  // namespace

TEST(LongPath, PrefixStartsAtTheLimit) {
  EXPECT_EQ(make_long_path(path_of_length(259), kLongPathLimitFile), path_of_length(259));
  EXPECT_EQ(make_long_path(path_of_length(260), kLongPathLimitFile), L"\\\\?\\" + path_of_length(260));
  EXPECT_EQ(make_long_path(path_of_length(247), kLongPathLimitDirectory), path_of_length(247));
  EXPECT_EQ(make_long_path(path_of_length(248), kLongPathLimitDirectory), L"\\\\?\\" + path_of_length(248));
}

TEST(LongPath, UncAndPrefixedPathsAreNeverPrefixed) {
  const std::wstring unc = L"\\\\server\\share\\" + std::wstring(400, L'x');
  EXPECT_EQ(make_long_path(unc, kLongPathLimitFile), unc);
  const std::wstring prefixed = L"\\\\?\\" + path_of_length(400);
  EXPECT_EQ(make_long_path(prefixed, kLongPathLimitDirectory), prefixed);
}

TEST(PathParts, SplitsAtTheLastBackslash) {
  struct Case { const wchar_t* path; const wchar_t* file; const wchar_t* dir; const wchar_t* ext; };
  const Case cases[] = {
      {L"C:\\Music\\a.flac", L"a.flac", L"C:\\Music\\", L".flac"},
      {L"C:\\Music\\a.b\\noext", L"noext", L"C:\\Music\\a.b\\", L"."},
      {L"C:\\Music\\archive.tar.gz", L"archive.tar.gz", L"C:\\Music\\", L".gz"},
      {L"C:\\Music\\.hidden", L".hidden", L"C:\\Music\\", L".hidden"},
      {L"name", L"name", L"", L"."},
      {L"C:\\Music\\", L"", L"C:\\Music\\", L"."},
      {L"x.FLAC", L"x.FLAC", L"", L".FLAC"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(file_part(c.path), c.file) << c.path;
    EXPECT_EQ(directory_part(c.path), c.dir) << c.path;
    EXPECT_EQ(extension(c.path), c.ext) << c.path;
  }
  EXPECT_EQ(add_trailing_backslash(L"C:\\x"), L"C:\\x\\");
  EXPECT_EQ(add_trailing_backslash(L"C:\\x\\"), L"C:\\x\\");
}

TEST(TextConvert, Utf8RoundTripAndRepair) {
  const std::string text = "A\xC3\xA9\xE2\x82\xAC\xF0\x9F\x8E\xB5";  // A é € 🎵
  const std::wstring wide = utf8_to_wide(text);
  ASSERT_EQ(wide.size(), 5u);  // the note takes a surrogate pair
  EXPECT_EQ(static_cast<unsigned>(wide[3]), 0xD83Cu);
  EXPECT_EQ(wide_to_utf8(wide), text);
  // Truncated and overlong sequences become U+FFFD; the next byte is kept.
  EXPECT_EQ(utf8_to_wide("\xE2\x82" "b"), std::wstring(L"\xFFFD") + L"b");
  EXPECT_EQ(utf8_to_wide("\xC0\xAF"), std::wstring(L"\xFFFD"));
  EXPECT_TRUE(equals_ascii_nocase(L".FLAC", L".flac"));
  EXPECT_FALSE(equals_ascii_nocase(L"\xC9", L"\xE9"));  // only ASCII folds
}

namespace {
std::vector<std::wstring> utf16_lines(const std::u16string& text) {
  std::string bytes;
  for (char16_t u : text) {
    bytes.push_back(static_cast<char>(u & 0xFF));
    bytes.push_back(static_cast<char>(u >> 8));
  }
  std::uint64_t pos = 0;
  MemoryUtf16Source src{reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size(), pos};
  std::vector<std::wstring> lines;
  std::u16string line;
  while (read_utf16_units_line(src, line)) lines.push_back(units_to_wide(line));
  return lines;
}
std::vector<std::string> byte_lines(const std::string& bytes, bool utf8) {
  std::uint64_t pos = 0;
  MemoryByteSource src{reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size(), pos};
  std::vector<std::string> lines;
  std::string line;
  while (read_byte_units_line(src, line, utf8)) lines.push_back(line);
  return lines;
}
}  // namespace

TEST(LineRules, Utf16LineEndsAndByteOrderMark) {
  EXPECT_EQ(utf16_lines(u"\uFEFFa\r\nb\rc\n"), (std::vector<std::wstring>{L"a", L"b", L"c"}));
  EXPECT_EQ(utf16_lines(u"a\n\nb"), (std::vector<std::wstring>{L"a", L"", L"b"}));
  EXPECT_EQ(utf16_lines(u"x\r\n\uFEFFy\uFEFF"), (std::vector<std::wstring>{L"x", L"y\xFEFF"}));
  EXPECT_TRUE(utf16_lines(u"").empty());
}

TEST(LineRules, ByteLinesDropNulsAndUtf8Mark) {
  EXPECT_EQ(byte_lines("\xEF\xBB\xBF" "a\r\nb\rc\n", true), (std::vector<std::string>{"a", "b", "c"}));
  EXPECT_EQ(byte_lines("\xEF\xBB\xBF" "a", false), (std::vector<std::string>{"\xEF\xBB\xBF" "a"}));
  EXPECT_EQ(byte_lines(std::string("a\0b\n\r", 5), true), (std::vector<std::string>{"ab", ""}));
}

TEST(KnownFolders, FallbacksWhenTheShellKnowsNothing) {
  auto sources = [](std::wstring documents, std::wstring appdata, std::wstring windows) {
    return FolderSources{[=](int csidl) {
                           if (csidl == kCsidlPersonal) return documents;
                           if (csidl == kCsidlAppData) return appdata;
                           return std::wstring();
                         },
                         [=] { return windows; }};
  };
  EXPECT_EQ(resolve_folder(kCsidlAppData, sources(L"C:\\U\\me\\Documents", L"C:\\U\\me\\AppData\\Roaming", L"")),
            L"C:\\U\\me\\AppData\\Roaming\\");
  EXPECT_EQ(resolve_folder(kCsidlAppData, sources(L"C:\\U\\me\\Documents", L"", L"")),
            L"C:\\U\\me\\Application Data\\");
  EXPECT_EQ(resolve_folder(kCsidlAppData, sources(L"", L"", L"")), L"C:\\Error\\");
  EXPECT_EQ(resolve_folder(kCsidlMyMusic, sources(L"C:\\U\\me\\Documents", L"", L"")),
            L"C:\\U\\me\\Documents\\My Music\\");
  EXPECT_EQ(resolve_folder(kCsidlMyMusic, sources(L"", L"", L"")), L"C:\\Error\\");
  EXPECT_EQ(resolve_folder(kCsidlWindows, sources(L"", L"", L"C:\\windows")), L"C:\\windows\\");
  EXPECT_EQ(resolve_folder(kCsidlWindows, sources(L"", L"", L"")), L"C:\\Error\\");
  EXPECT_EQ(resolve_folder(kCsidlAppData, sources(L"", L"\\", L"")), L"");
}
