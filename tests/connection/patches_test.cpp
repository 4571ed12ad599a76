#include "connection/patches/patches.h"

#include <gtest/gtest.h>

#include <string>

#include "connection/connection_record.h"
#include "framing/hex.h"

namespace {

TEST(PatchTexts, FollowTheirHeaderTable) {
  const ConnectionRecord record;
  const struct {
    const char* name;
    std::string_view text;
    std::string fieldText;  // the same text as the connection record holds it
    const char* header;     // 03, the id, the two numbers, the code length
    std::size_t zeroFill;
    const char* closing;  // the byte after the fill, if any
  } layouts[] = {
      {"NhlPatch", patches::NhlPatch, record.NhlPatch, "03127E8181000000090000000100000700", 236,
       "02"},
      {"MarioKartPatch", patches::MarioKartPatch, record.MarioKartPatch,
       "033D1C44EB00000018000000030000121D", 0, "02"},
      {"SegMK2", patches::SegMK2, record.SegMK2, "03C4CDDF0C0000001F0000000700000EDD", 0, ""},
      {"MK2Snes", patches::MK2Snes, record.MK2Snes, "03B11F972E0000000E000000010000095D", 656,
       "02"},
      {"NBAJam", patches::NBAJam, record.NBAJam, "03E30C296E0000008D00000005000017B4", 57, "02"},
      {"ssf2jpatch", patches::ssf2jpatch, record.ssf2jpatch, "03D8222103000000070000000300000CD7",
       0, "02"},
  };
  for (const auto& layout : layouts) {
    SCOPED_TRACE(layout.name);
    EXPECT_EQ(layout.fieldText, layout.text);
    EXPECT_EQ(EncodeHex(DecodeHex(layout.text)), layout.text)
        << "not whole bytes of upper-case hex";
    EXPECT_EQ(layout.text.substr(0, 34), layout.header);
    const std::size_t codeDigits =
        2 * std::stoul(std::string(layout.header).substr(26), nullptr, 16);
    EXPECT_EQ(layout.text.substr(34 + codeDigits),
              std::string(2 * layout.zeroFill, '0') + layout.closing);
  }
}

}  // namespace
