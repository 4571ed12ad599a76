#include "fuzz/frame_layout_check.h"

#include <gtest/gtest.h>

#include "framing/hex.h"

namespace {

TEST(FrameLayoutCheck, AcceptsWhatTheServerWritesAndNothingElse) {
  const std::string dataHeader = "001FFA0000000000000000040040";
  const std::string ack = DecodeHex("001FFA00000000000000000000C06B6C1003");
  // In turn: modem commands, a C0, a handshake first and retried, the 86 reply, a padded check,
  // 10 03 inside a data payload and the largest data frame.
  const std::string written =
      "AT&F\rATS0=2\r\rAT+VCID=1\r" + DecodeHex(
                                          "001FFA00000000000000000000C06B6C1003"
                                          "001FFA00000000000000000800830100123400000000F74B1003"
                                          "001FFA00000000000000000798830100000300000000BC6F1003"
                                          "001FFA0000000000000000000086"
                                          "001FFA000000000000000A0000C003C71003"
                                          "001FFA0000000000000000040040AA1003BBB3B31003" +
                                          dataHeader + std::string(2046, 'E') + "BF631003");
  EXPECT_EQ(frameLayoutProblem(written), "");

  const std::pair<const char*, std::string> rejected[] = {
      {"modem answer text", "OK\r"},
      {"command without its carriage return", "ATS0=2"},
      {"wrong check", DecodeHex("001FFA00000000000000000000C06B6D1003")},
      {"check without end marker", ack.substr(0, 16)},
      {"check and 10 04", DecodeHex("001FFA00000000000000000000C06B6C1004")},
      {"cut short", ack.substr(0, 9)},
      {"box's id in ADR", DecodeHex("0012340000000000000000000086")},
      {"handshake without its 8 bytes", DecodeHex("001FFA0000000000000000080083BA6A1003")},
      {"C0 with RCW 0800", DecodeHex("001FFA00000000000000000800C0C2CD1003")},
      {"opcode 80", DecodeHex("001FFA00000000000000000800804B3C1003")},
      {"data frame over 1023 bytes", DecodeHex(dataHeader + std::string(2048, 'E') + "37DB1003")},
      {"half a data frame", DecodeHex(dataHeader + "01020304")},
      {"a stray byte after a frame", ack + std::string(1, '\0')}};
  for (const auto& [name, bytes] : rejected) EXPECT_NE(frameLayoutProblem(bytes), "") << name;
}

}  // namespace
