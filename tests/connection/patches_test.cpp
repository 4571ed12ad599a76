#include "connection/patches/patches.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>

#include "connection/connection_record.h"
#include "framing/hex.h"

namespace {

struct PatchLayout {
  const char* name;
  std::string_view text;
  std::string fieldText;  // the same text as the connection record holds it
  std::size_t hexDigits;
  std::string idBytes;
  std::uint32_t firstNumber;
  std::uint32_t secondNumber;
  std::uint32_t codeLength;
  std::size_t zeroFill;
  bool closingByte;  // else the text ends with its code block
};

std::uint32_t bigEndianAt(const std::string& bytes, std::size_t offset) {
  std::uint32_t value = 0;
  for (std::size_t i = 0; i < 4; ++i)
    value = (value << 8) | static_cast<unsigned char>(bytes[offset + i]);
  return value;
}

TEST(PatchTexts, FollowTheirHeaderTable) {
  const ConnectionRecord record;
  const PatchLayout layouts[] = {
      {"NhlPatch", patches::NhlPatch, record.NhlPatch, 4092, "\x12\x7E\x81\x81", 9, 1, 1792, 236,
       true},
      {"MarioKartPatch", patches::MarioKartPatch, record.MarioKartPatch, 9310, "\x3D\x1C\x44\xEB",
       24, 3, 4637, 0, true},
      {"SegMK2", patches::SegMK2, record.SegMK2, 7644, "\xC4\xCD\xDF\x0C", 31, 7, 3805, 0, false},
      {"MK2Snes", patches::MK2Snes, record.MK2Snes, 6142, "\xB1\x1F\x97\x2E", 14, 1, 2397, 656,
       true},
      {"NBAJam", patches::NBAJam, record.NBAJam, 12286, "\xE3\x0C\x29\x6E", 141, 5, 6068, 57, true},
      {"ssf2jpatch", patches::ssf2jpatch, record.ssf2jpatch, 6610, "\xD8\x22\x21\x03", 7, 3, 3287,
       0, true},
  };
  for (const PatchLayout& layout : layouts) {
    SCOPED_TRACE(layout.name);
    EXPECT_EQ(layout.fieldText, layout.text);
    ASSERT_EQ(layout.text.size(), layout.hexDigits);
    EXPECT_TRUE(std::all_of(layout.text.begin(), layout.text.end(), [](char c) {
      return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F');
    }));

    const std::string bytes = DecodeHex(layout.text);
    EXPECT_EQ(bytes.size(),
              17 + layout.codeLength + layout.zeroFill + (layout.closingByte ? 1 : 0));
    EXPECT_EQ(bytes[0], '\x03');
    EXPECT_EQ(bytes.substr(1, 4), layout.idBytes);
    EXPECT_EQ(bigEndianAt(bytes, 5), layout.firstNumber);
    EXPECT_EQ(bigEndianAt(bytes, 9), layout.secondNumber);
    EXPECT_EQ(bigEndianAt(bytes, 13), layout.codeLength);

    const std::size_t fillStart = 17 + layout.codeLength;
    EXPECT_EQ(bytes.find_first_not_of('\0', fillStart),
              layout.closingByte ? fillStart + layout.zeroFill : std::string::npos);
    EXPECT_EQ(bytes.back(), layout.closingByte ? '\x02' : '\x08');
  }
}

}  // namespace
