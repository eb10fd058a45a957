// The album and track texts of the verdict rules, shown as they stand.
#pragma once

namespace verdict_text {
// Album messages of the eligibility check (also given by the run when an
// album turns out not to be checkable after its records were fetched).
inline constexpr wchar_t kNotLossless[] = L"Cannot Check: Not Lossless CD Quality";
inline constexpr wchar_t kDifferentLength[] = L"Cannot Check: Track Different Length Than CD Original";
inline constexpr wchar_t kIncomplete[] = L"Cannot Check: Incomplete Album";
// Album message of an album in which no track matched.
inline constexpr wchar_t kAlbumNotPresent[] = L"Cannot Check: Not In Tallydisc (or a different pressing)";
// Track texts.
inline constexpr wchar_t kNotEnoughInformation[] = L"Not Enough Information in Tallydisc to Verify";
inline constexpr wchar_t kTrackNotPresentOrPressing[] = L"Track Not Present in Tallydisc (or a different pressing)";
inline constexpr wchar_t kTrackNotPresent[] = L"Track Not Present in Tallydisc";
}  // namespace verdict_text
