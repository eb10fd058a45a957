#include "verify/result_tag_text.h"

#include <gtest/gtest.h>

#include "library/album_tag_rules.h"

TEST(ResultTagText, FromTrackText) {
  struct Case {
    const wchar_t* text;
    const wchar_t* tag;
  };
  const Case cases[] = {
      {L"Tallydisc Verified Confidence 12, Pressing Offset +6 [TDv2 CRC 0A1B2C3D]",
       L"Tallydisc: Accurate (confidence 12)   [0A1B2C3D]"},
      {L"Tallydisc Verified Confidence 12, Pressing Offset +6 [TDv2 CRC 0a1b2c3d]",
       L"Tallydisc Verified Confidence 12, Pressing Offset +6 [TDv2 CRC 0a1b2c3d]"},
      {L"  Tallydisc Verified Confidence 3 [CRC 0000ABCD]  ", L"Tallydisc: Accurate (confidence 3)   [0000ABCD]"},
      {L"Tallydisc Verified Confidence 5 [0A1B2C3D]", L"Tallydisc: Accurate (confidence 5)   [0A1B2C3D]"},
      {L"Tallydisc Verified Confidence 5 [XX0A1B2C3D]", L"Tallydisc: Accurate (confidence 5)   [0A1B2C3D]"},
      {L"Tallydisc Verified Confidence 5 [1234567]", L"Tallydisc Verified Confidence 5 [1234567]"},
      {L"Tallydisc Verified Confidence 5 ]0A1B2C3D[", L"Tallydisc Verified Confidence 5 ]0A1B2C3D["},
      {L"tallydisc verified confidence 5 [0A1B2C3D]", L"tallydisc verified confidence 5 [0A1B2C3D]"},
      {L" Not Enough Information in Tallydisc to Verify ", L"Not Enough Information in Tallydisc to Verify"},
      {L"File Corrupted", L"File Corrupted"},
      {L"   ", L""},
  };
  for (const auto& c : cases) EXPECT_EQ(result_tag_text(c.text), c.tag) << c.text;
}

TEST(ResultTagText, TagsReadBackByTheGrouping) {
  const std::wstring id = L"003-0000a1b2-0001c3d4-12345678";
  EXPECT_EQ(disc_id_tag_text(id, 2), id + L"-2");
  EXPECT_EQ(disc_id_from_tag(disc_id_tag_text(id, 12)), id);
  EXPECT_EQ(tag_checksum_from_result(result_tag_text(L"Tallydisc Verified Confidence 7 [CRC FFFFFFFF]")), 0xFFFFFFFFu);
  EXPECT_EQ(tag_checksum_from_result(result_tag_text(
                L"Tallydisc Verified Confidence 3, Pressing Offset -12 [TDv1 CRC 00C0FFEE]")),
            0x00C0FFEEu);
}
