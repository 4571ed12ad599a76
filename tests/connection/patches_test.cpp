#include <gtest/gtest.h>

#include "connection/connection_record.h"
#include "framing/hex.h"

namespace {

TEST(PatchTexts, FollowTheirHeaderTable) {
  const ConnectionRecord record;
  // Each text as the record holds it, its header (03, the id, the two numbers, the code length),
  // then the zero fill after the code and the closing byte, if any.
  const struct {
    std::string text;
    const char* header;
    std::size_t zeroFill;
    const char* closing;
  } layouts[] = {{record.NhlPatch, "03127E8181000000090000000100000700", 236, "02"},
                 {record.MarioKartPatch, "033D1C44EB00000018000000030000121D", 0, "02"},
                 {record.SegMK2, "03C4CDDF0C0000001F0000000700000EDD", 0, ""},
                 {record.MK2Snes, "03B11F972E0000000E000000010000095D", 656, "02"},
                 {record.NBAJam, "03E30C296E0000008D00000005000017B4", 57, "02"},
                 {record.ssf2jpatch, "03D8222103000000070000000300000CD7", 0, "02"}};
  for (const auto& layout : layouts) {
    SCOPED_TRACE(layout.header);
    EXPECT_EQ(EncodeHex(DecodeHex(layout.text)), layout.text) << "not upper-case hex bytes";
    const std::size_t codeDigits =
        2 * std::stoul(std::string(layout.header).substr(26), nullptr, 16);
    EXPECT_EQ(layout.text.substr(0, 34) + layout.text.substr(34 + codeDigits),
              layout.header + std::string(2 * layout.zeroFill, '0') + layout.closing);
  }
}

}  // namespace
