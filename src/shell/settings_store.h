// The settings store: values under one per-user registry key. Every call
// opens the key, does its work and closes it; nothing is cached, so a value
// written anywhere is seen by the next read. A missing key or value, a
// failed read or a wrong type reads as 0 or as the empty string, which is
// always the setting's default.
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>

// Names of the settings read or written by the system.
namespace setting {
inline constexpr wchar_t kDarkMode[] = L"DarkMode";
inline constexpr wchar_t kLeft[] = L"TD-l";
inline constexpr wchar_t kTop[] = L"TD-t";
inline constexpr wchar_t kRight[] = L"TD-r";
inline constexpr wchar_t kBottom[] = L"TD-b";
inline constexpr wchar_t kNotMax[] = L"TD-NotMax";
inline constexpr wchar_t kDecodeAll[] = L"TD-DecodeAll";
inline constexpr wchar_t kReqTwoOrMore[] = L"TD-ReqTwoOrMore";
inline constexpr wchar_t kSkipNonCDQualityReport[] = L"TD-SkipNonCDQualityReport";
inline constexpr wchar_t kNoQuickLookupBasedOnCRCInTag[] = L"TD-NoQuickLookupBasedOnCRCInTag";
inline constexpr wchar_t kNoRecyle[] = L"TD-NoRecyle";
inline constexpr wchar_t kNoConfirmFileDelete[] = L"TD-NoConfirmFileDelete";
inline constexpr wchar_t kDelReadOnlyNoConfirm[] = L"TD-DelReadOnlyNoConfirm";
inline constexpr wchar_t kTagNoUndo[] = L"Tag-NoUndo";
inline constexpr wchar_t kTagWritePreserveModDate[] = L"Tag-WritePreserveModDate";
inline constexpr wchar_t kTagMultiValDelimiter[] = L"Tag-MultiValDelimiter";
inline constexpr wchar_t kAlbumDefinedBy[] = L"AlbumDefinedBy";
// Self-hosting and test overrides of the built-in server names ("host" or
// "host:port"); absent means the built-in server.
inline constexpr wchar_t kDatabaseServer[] = L"TD-DatabaseServer";
inline constexpr wchar_t kLookupServer[] = L"TD-LookupServer";
}  // namespace setting

inline constexpr wchar_t kSettingsKeyPath[] = L"Software\\Lumenvale\\Auralith";

// The process-wide location of the settings key; start-up sets it first.
void set_settings_location(HKEY root, const std::wstring& key_path);
HKEY settings_root();
std::wstring settings_key_path();

std::uint32_t read_setting_dword(const wchar_t* name);
// Screen coordinates are stored as their 32-bit two's-complement pattern.
inline std::int32_t read_setting_signed(const wchar_t* name) {
  return static_cast<std::int32_t>(read_setting_dword(name));
}
// `root` and `key_path` replace the settings key when given.
std::wstring read_setting_string(const wchar_t* name, HKEY root = nullptr, const wchar_t* key_path = nullptr);
bool write_setting(const void* data, DWORD size, DWORD type, const wchar_t* name, HKEY root = nullptr,
                   const wchar_t* key_path = nullptr);
inline bool write_setting_dword(const wchar_t* name, std::uint32_t value) {
  return write_setting(&value, sizeof value, REG_DWORD, name);
}
